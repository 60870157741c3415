#include "MyThread.h"

#include "CaptureSelection.h"
#include "ModuleState.h"
#include "ScopeExit.h"

#include <QDebug>

#include <opencv2/imgcodecs.hpp>

#include <exception>

namespace {

// An unreadable file becomes an empty image, so a capture always hands over
// one image per selected path. cv::imread throws for some damaged headers
// (a huge or negative size) and when memory runs out; those count as
// unreadable too.
cv::Mat readImageOrEmpty(const std::string& path) {
    try {
        return cv::imread(path, cv::IMREAD_UNCHANGED);
    } catch (const std::exception&) {
        return cv::Mat();
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
    for (const std::string& path : paths) {
        pendingImages.push_back(readImageOrEmpty(path));
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
