#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>

// Counts the captures in progress, so that the module can be closed at
// process exit only when none is left loading on a worker thread (the pending
// images would be freed under it). close() waits for them and refuses every
// capture that would start afterwards.
class CaptureDrain {
public:
    // False once closed: the capture must not start.
    bool beginCapture();
    // The capture's very last step, after it has set its done flag.
    void endCapture();
    void close();

    // Returns once done is set. Tests it, then waits at most 1 ms for the
    // end of a capture, and tests again: the host's thread sleeps while a
    // capture loads, and is woken as soon as one ends rather than at the next
    // millisecond, which was most of the fixed cost of a small capture.
    void waitUntilDone(const std::atomic<bool>& done);

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    int inProgress_ = 0;
    bool closed_ = false;
};

// The library's one drain; never destroyed.
CaptureDrain& captureDrain();
