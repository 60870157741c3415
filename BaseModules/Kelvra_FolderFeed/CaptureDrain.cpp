#include "CaptureDrain.h"

#include "NeverDestroyed.h"

#include <chrono>

bool CaptureDrain::beginCapture() {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) {
        return false;
    }
    ++inProgress_;
    return true;
}

void CaptureDrain::endCapture() {
    const std::lock_guard<std::mutex> lock(mutex_);
    --inProgress_;
    finished_.notify_all();
}

void CaptureDrain::waitUntilDone(const std::atomic<bool>& done) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done.load(std::memory_order_acquire)) {
        finished_.wait_for(lock, std::chrono::milliseconds(1));
    }
}

void CaptureDrain::close() {
    std::unique_lock<std::mutex> lock(mutex_);
    closed_ = true;
    // A capture always completes: its reads cannot block.
    finished_.wait(lock, [this] { return inProgress_ == 0; });
}

CaptureDrain& captureDrain() {
    static NeverDestroyed<CaptureDrain> drain;
    return drain.get();
}
