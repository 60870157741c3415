#include "MyThread.h"

#include "CaptureSelection.h"
#include "DeclaredImageSize.h"
#include "ModuleState.h"
#include "ScopeExit.h"

#include <QDebug>

#include <opencv2/imgcodecs.hpp>

#include <exception>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace {

// Only regular files reach the decoder: opening a named pipe whose name ends
// in "bmp" would block the capture, and the host with it, for ever, and a
// device file has no end. (Windows has neither among a folder's entries.)
bool isRegularFile(const std::string& path) {
#if defined(_WIN32)
    static_cast<void>(path);
    return true;
#else
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

// An unreadable file becomes an empty image, so a capture always hands over
// one image per selected path. cv::imread throws for some damaged headers
// (a huge or negative size) and when memory runs out; those count as
// unreadable too, and so does a file that is no BMP or TIFF or whose header
// declares an image too large to decode safely inside the host's process.
cv::Mat readImageOrEmpty(const std::string& path) {
    try {
        if (!isRegularFile(path) || !isSafeToDecode(path)) {
            return cv::Mat();
        }
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
