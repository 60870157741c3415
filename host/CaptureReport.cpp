#include "CaptureReport.h"

#include <cstdio>

const char* depthName(int depth) {
    switch (depth) {
    case CV_8U:
        return "8U";
    case CV_8S:
        return "8S";
    case CV_16U:
        return "16U";
    case CV_16S:
        return "16S";
    case CV_32S:
        return "32S";
    case CV_32F:
        return "32F";
    case CV_64F:
        return "64F";
    default:
        return "16F";
    }
}

namespace {

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string counted(std::size_t count, const char* singular, const char* plural) {
    return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

} // namespace

std::string describeImage(const cv::Mat& image) {
    if (image.empty()) {
        return "unreadable";
    }
    return std::to_string(image.cols) + "x" + std::to_string(image.rows) + " " +
           std::to_string(image.channels()) + "ch " + depthName(image.depth());
}

std::string captureLine(int captureNumber, const std::vector<cv::Mat>& images,
                        double milliseconds) {
    std::string line = "capture " + std::to_string(captureNumber) + ": " +
                       counted(images.size(), "image", "images") + ", " +
                       formatted("%.1f", milliseconds) + " ms";
    for (std::size_t i = 0; i < images.size(); ++i) {
        line += (i == 0 ? ": " : ", ") + describeImage(images[i]);
    }
    return line;
}

void ReplayTotals::add(const std::vector<cv::Mat>& images) {
    ++captures_;
    capturesWithoutImages_ += images.empty() ? 1 : 0;
    images_ += images.size();
    for (const cv::Mat& image : images) {
        bytes_ += image.total() * image.elemSize();
        unreadable_ += image.empty() ? 1 : 0;
    }
}

std::string ReplayTotals::summary(double seconds) const {
    const double rate = seconds > 0 ? captures_ / seconds : 0.0;
    std::string text = counted(static_cast<std::size_t>(captures_), "capture", "captures") + ", " +
                       counted(images_, "image", "images") + ", ";
    if (unreadable_ > 0) {
        text += std::to_string(unreadable_) + " unreadable, ";
    }
    if (capturesWithoutImages_ > 0) {
        text += counted(static_cast<std::size_t>(capturesWithoutImages_), "capture", "captures") +
                " without images, ";
    }
    return text + formatted("%.1f", static_cast<double>(bytes_) / 1e6) + " MB decoded in " +
           formatted("%.2f", seconds) + " s (" + formatted("%.1f", rate) + " captures/s)";
}
