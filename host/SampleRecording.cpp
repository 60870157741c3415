#include "SampleRecording.h"

#include "CaptureSelection.h"
#include "ExitStatus.h"
#include "ImageSaving.h"
#include "StopRequest.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <filesystem>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct SampleImage {
    std::string camera;
    std::string kind;
    int kindNumber; // sets the stripe pattern
    int type;       // CV_8UC1, CV_8UC3 or CV_16UC1
    std::string extension;
};

std::vector<SampleImage> imagesOfOneCapture() {
    std::vector<SampleImage> images;
    for (std::size_t kind = 0; kind < imageKindKeys.size(); ++kind) {
        images.push_back({"camera1", imageKindKeys[kind], static_cast<int>(kind), CV_8UC1, ".bmp"});
    }
    images.push_back({"camera2", "color", 0, CV_8UC3, ".bmp"});
    images.push_back({"camera2", "depth16", 1, CV_16UC1, ".tiff"});
    images.push_back({"camera3P", "phase0", 0, CV_8UC1, ".bmp"});
    images.push_back({"camera3P", "phase1", 1, CV_8UC1, ".bmp"});
    images.push_back({"camera3N", "phase0", 2, CV_8UC1, ".bmp"});
    images.push_back({"camera3N", "phase1", 3, CV_8UC1, ".bmp"});
    return images;
}

cv::Scalar tintOf(const std::string& camera) {
    if (camera == "camera2") {
        return cv::Scalar(200, 140, 60);
    }
    if (camera == "camera3P") {
        return cv::Scalar(60, 90, 200);
    }
    if (camera == "camera3N") {
        return cv::Scalar(80, 190, 90);
    }
    return cv::Scalar(160, 160, 160);
}

void drawOutlinedText(cv::Mat& canvas, const std::string& text, cv::Point origin, double scale) {
    const int thickness = std::max(1, static_cast<int>(scale * 2));
    cv::putText(canvas, text, origin, cv::FONT_HERSHEY_SIMPLEX, scale, cv::Scalar(0, 0, 0),
                thickness + 4, cv::LINE_AA);
    cv::putText(canvas, text, origin, cv::FONT_HERSHEY_SIMPLEX, scale, cv::Scalar(255, 255, 255),
                thickness, cv::LINE_AA);
}

// Stripes whose count tells the kind, one dot per capture along the bottom,
// and the identity in words.
cv::Mat drawImage(const SampleImage& sample, int capture, cv::Size size) {
    cv::Mat canvas(size, CV_8UC3, cv::Scalar(0, 0, 0));
    const cv::Scalar tint = tintOf(sample.camera);
    const int stripes = 2 * (sample.kindNumber + 1);
    for (int i = 0; i < stripes; i += 2) {
        const int left = size.width * i / stripes;
        const int right = size.width * (i + 1) / stripes;
        cv::rectangle(canvas, cv::Rect(left, 0, right - left, size.height), tint * 0.45,
                      cv::FILLED);
    }
    const int radius = std::max(3, size.height / 24);
    for (int i = 0; i <= capture && i < 20; ++i) {
        cv::circle(canvas, cv::Point(radius * 2 + i * radius * 3, size.height - radius * 2), radius,
                   tint, cv::FILLED, cv::LINE_AA);
    }
    const double scale = size.width / 640.0;
    const int lineHeight = static_cast<int>(48 * scale);
    drawOutlinedText(canvas, "capture " + std::to_string(capture),
                     cv::Point(lineHeight / 2, lineHeight * 3 / 2), 1.5 * scale);
    drawOutlinedText(canvas, sample.camera, cv::Point(lineHeight / 2, lineHeight * 5 / 2),
                     1.2 * scale);
    drawOutlinedText(canvas, sample.kind, cv::Point(lineHeight / 2, lineHeight * 7 / 2),
                     0.9 * scale);

    if (sample.type == CV_8UC3) {
        return canvas;
    }
    cv::Mat gray;
    cv::cvtColor(canvas, gray, cv::COLOR_BGR2GRAY);
    if (sample.type == CV_8UC1) {
        return gray;
    }
    // A depth image: a smooth ramp over the whole 16-bit range under the
    // drawing, so it only looks right when all 16 bits arrive.
    cv::Mat depth(size, CV_16UC1);
    for (int y = 0; y < size.height; ++y) {
        auto* row = depth.ptr<std::uint16_t>(y);
        for (int x = 0; x < size.width; ++x) {
            row[x] = static_cast<std::uint16_t>(40000.0 * x / std::max(1, size.width - 1));
        }
    }
    cv::Mat drawing;
    gray.convertTo(drawing, CV_16UC1, 100.0);
    return cv::max(depth, drawing);
}

void refuseExistingContent(const fs::path& folder) {
    std::error_code error;
    if (fs::exists(folder, error) &&
        !(fs::is_directory(folder, error) && fs::is_empty(folder, error))) {
        throw CommandError(ExitStatus::OutputFailed,
                           folder.string() + " already exists and is not an empty folder: "
                                             "choose a new one");
    }
}

// Removes a half-written recording when writing fails.
class PartialFolder {
public:
    explicit PartialFolder(fs::path path) : path_(std::move(path)) {}
    ~PartialFolder() {
        if (!kept_) {
            std::error_code error;
            fs::remove_all(path_, error);
        }
    }
    PartialFolder(const PartialFolder&) = delete;
    PartialFolder& operator=(const PartialFolder&) = delete;

    const fs::path& path() const { return path_; }
    void keep() { kept_ = true; }

private:
    fs::path path_;
    bool kept_ = false;
};

} // namespace

void writeSampleRecording(const SampleOptions& options) {
    const fs::path target = fs::path(options.folder).lexically_normal();
    const fs::path name =
        target.has_filename() ? target.filename() : target.parent_path().filename();
    const fs::path finalPath = target.has_filename() ? target : target.parent_path();
    refuseExistingContent(finalPath);

    // Ctrl-C removes the half-written recording instead of leaving it behind.
    const StopRequest stop;
    PartialFolder partial(finalPath.parent_path() /
                          (name.string() + ".partial-" + std::to_string(getpid())));
    for (int capture = 0; capture < options.captures; ++capture) {
        const fs::path folder = partial.path() / captureFolderName(capture);
        for (const SampleImage& sample : imagesOfOneCapture()) {
            if (stop.requested()) {
                throw CommandError(stop.exitStatus(), std::string("interrupted by ") +
                                                          stop.signalName() + ": " +
                                                          finalPath.string() + " not written");
            }
            writeImageFile(folder / (sample.camera + "_" + sample.kind + sample.extension),
                           drawImage(sample, capture, options.imageSize));
        }
    }
    std::error_code error;
    fs::remove(finalPath, error); // an empty folder the user made beforehand
    fs::rename(partial.path(), finalPath, error);
    if (error) {
        throw CommandError(ExitStatus::OutputFailed,
                           "cannot move the sample recording into place at " + finalPath.string() +
                               ": " + error.message());
    }
    partial.keep();
}
