#include "ImageSaving.h"

#include "ExitStatus.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <system_error>

namespace {

bool pngHolds(const cv::Mat& image) {
    const int channels = image.channels();
    return (image.depth() == CV_8U || image.depth() == CV_16U) &&
           (channels == 1 || channels == 3 || channels == 4);
}

std::string numbered(const char* format, int number) {
    char text[32];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

} // namespace

std::string captureFolderName(int captureNumber) {
    return numbered("capture_%04d", captureNumber);
}

void writeImageFile(const std::filesystem::path& path, const cv::Mat& image) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) {
            throw CommandError(ExitStatus::OutputFailed, "cannot make folder " +
                                                             path.parent_path().string() + ": " +
                                                             error.message());
        }
    }
    bool written = false;
    std::string reason = "the encoder refused it";
    try {
        written = cv::imwrite(path.string(), image);
    } catch (const cv::Exception& exception) {
        reason = exception.what();
    }
    if (!written) {
        throw CommandError(ExitStatus::OutputFailed,
                           "cannot write image " + path.string() + ": " + reason);
    }
}

std::vector<std::filesystem::path> saveCaptureImages(const std::filesystem::path& folder,
                                                     int captureNumber,
                                                     const std::vector<cv::Mat>& images) {
    const std::filesystem::path captureFolder = captureFolderName(captureNumber);
    std::vector<std::filesystem::path> written;
    for (std::size_t i = 0; i < images.size(); ++i) {
        const cv::Mat& image = images[i];
        if (image.empty()) {
            written.emplace_back();
            continue;
        }
        const std::string name =
            numbered("image_%02d", static_cast<int>(i)) + (pngHolds(image) ? ".png" : ".tiff");
        writeImageFile(folder / captureFolder / name, image);
        written.push_back(captureFolder / name);
    }
    return written;
}
