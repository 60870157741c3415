#include "MyThread.h"

#include "CaptureDrain.h"
#include "CaptureSelection.h"
#include "FileBytes.h"
#include "IdleEventDispatcher.h"
#include "ImageDecoding.h"
#include "ModuleState.h"
#include "NeverDestroyed.h"
#include "ScopeExit.h"

#include <QDebug>

#include <algorithm>
#include <exception>
#include <limits>
#include <memory>

namespace {

// The files' bytes go through one buffer that outlives the capture: a buffer
// mapped afresh for every capture costs a page fault per 4 KiB read, about a
// tenth of reading the file. It is kept only as large as the captures need:
// after a capture, a buffer far larger than that capture's files is given
// back. Only one capture runs at a time. The object is never destroyed, as a
// capture may still be reading while the process exits; its memory is given
// back when the module is closed.
FileBytes& readBuffer() {
    static NeverDestroyed<FileBytes> buffer;
    return buffer.get();
}

void keepReadBufferFor(std::size_t largestFile) {
    FileBytes& buffer = readBuffer();
    if (buffer.capacity() > 2 * largestFile + (std::size_t(1) << 20)) {
        FileBytes().swap(buffer);
    }
}

void loadCapture(std::string& folder) {
    if (cameraModeFor(cameraName) == CameraMode::Unknown || subFolders.empty()) {
        return;
    }
    if (folderIndex < 0 || static_cast<std::size_t>(folderIndex) >= subFolders.size()) {
        folderIndex = 0;
    }
    folder = subFolders[static_cast<std::size_t>(folderIndex)];
    const auto paths =
        selectPathsToLoad(cameraName, listCaptureFolder(folder, cameraModeFor(cameraName)));
    std::size_t largestFile = 0;
    for (const std::string& path : paths) {
        pendingImages.push_back(decodeImageFile(path, readBuffer()));
        largestFile = std::max(largestFile, readBuffer().size());
    }
    keepReadBufferFor(largestFile);
}

void warnCaptureFailed(const std::string& folder, const char* error) noexcept {
    try {
        qWarning() << "[WARN] " << folder.c_str() << error;
    } catch (...) {
        // Nothing left to report with; the capture still completes.
    }
}

} // namespace

void MyThread::run() {
    loadOneCapture();
}

void MyThread::releaseCaptureMemory() {
    FileBytes().swap(readBuffer());
}

void MyThread::startCapture() {
    // QThread::start does nothing while the previous capture's thread is still
    // finishing, and the caller's wait would then never end.
    wait();
    if (!captureDrain().beginCapture()) {
        captureDone.store(true, std::memory_order_release);
        return;
    }
    // Qt deletes a thread's dispatcher when the thread ends: one for each
    // start. QThread takes ownership.
    if (eventDispatcher() == nullptr) {
        setEventDispatcher(std::make_unique<IdleEventDispatcher>().release());
    }
    start(QThread::InheritPriority);
    if (!isRunning() && !isFinished()) {
        // The system refused a new thread (Qt has logged why). Load the capture
        // here instead, so the host still gets it and its wait ends.
        loadOneCapture();
    }
}

void MyThread::loadOneCapture() {
    std::string folder;
    // The host waits in run() until captureDone is set, so it is set on every
    // way out of the body, and last, after everything the capture wrote.
    // Captures under an unknown camera name advance the index without ever
    // wrapping it: it stops short of overflowing.
    const ScopeExit completeCapture([] {
        if (folderIndex < std::numeric_limits<int>::max()) {
            ++folderIndex;
        }
        captureDone.store(true, std::memory_order_release);
        captureDrain().endCapture();
    });
    try {
        loadCapture(folder);
    } catch (const std::exception& error) {
        warnCaptureFailed(folder, error.what());
    } catch (...) {
        warnCaptureFailed(folder, "unknown error");
    }
}
