#include "MyThread.h"

#include "CaptureSelection.h"
#include "FileBytes.h"
#include "ImageDecoding.h"
#include "ModuleState.h"
#include "ScopeExit.h"

#include <QDebug>

#include <exception>

namespace {

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
    // One buffer for every file of the capture: files of one camera are
    // alike in size, so after the first one reading allocates nothing.
    FileBytes buffer;
    for (const std::string& path : paths) {
        pendingImages.push_back(decodeImageFile(path, buffer));
    }
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
