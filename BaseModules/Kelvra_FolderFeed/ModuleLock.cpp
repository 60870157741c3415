#include "ModuleLock.h"

#include "CaptureDrain.h"
#include "ImageDecoding.h"
#include "MyThread.h"
#include "NeverDestroyed.h"

#include <atomic>

namespace {

// Never destroyed: a host thread may still call in while the process exits.
std::recursive_mutex& moduleLock() {
    static NeverDestroyed<std::recursive_mutex> lock;
    return lock.get();
}

std::atomic<bool>& moduleClosed() {
    static NeverDestroyed<std::atomic<bool>> closed(false);
    return closed.get();
}

// Made at the first host-facing call, after the module-wide state (made when
// the library loads) and after the decoders' state, so destroyed before both:
// a capture still decoding at exit finishes with everything in place.
struct CloseAtExit {
    CloseAtExit() { prepareDecoders(); }
    ~CloseAtExit() {
        const std::lock_guard<std::recursive_mutex> lock(moduleLock());
        moduleClosed().store(true);
        captureDrain().close();
        MyThread::releaseCaptureMemory();
    }
};

std::recursive_mutex& openModuleLock() {
    static CloseAtExit closeAtExit;
    return moduleLock();
}

} // namespace

ModuleCall::ModuleCall() : lock_(openModuleLock()) {}

bool ModuleCall::moduleOpen() const {
    return !moduleClosed().load();
}
