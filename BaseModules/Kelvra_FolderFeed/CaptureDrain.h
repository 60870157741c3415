#pragma once

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
    // The capture's very last step.
    void endCapture();
    void close();

private:
    std::mutex mutex_;
    std::condition_variable finished_;
    int inProgress_ = 0;
    bool closed_ = false;
};

// The library's one drain; never destroyed.
CaptureDrain& captureDrain();
