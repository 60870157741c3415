#include "MyThread.h"

#include "CaptureSelection.h"
#include "FileBytes.h"
#include "ImageDecoding.h"
#include "ModuleState.h"
#include "ScopeExit.h"

#include <QDebug>

#include <algorithm>
#include <exception>

namespace {

// The files' bytes go through one buffer that outlives the capture: a buffer
// mapped afresh for every capture costs a page fault per 4 KiB read, about a
// tenth of reading the file. It is kept only as large as the captures need:
// after a capture, a buffer far larger than that capture's files is given
// back. Only one capture runs at a time.
FileBytes& readBuffer() {
    static FileBytes buffer;
    return buffer;
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

void MyThread::loadOneCapture() {
    std::string folder;
    // The host waits in run() until captureDone is set, so it is set on every
    // way out of the body, and last, after everything the capture wrote.
    const ScopeExit completeCapture([] {
        ++folderIndex;
        captureDone.store(true, std::memory_order_release);
    });
    try {
        loadCapture(folder);
    } catch (const std::exception& error) {
        warnCaptureFailed(folder, error.what());
    } catch (...) {
        warnCaptureFailed(folder, "unknown error");
    }
}
