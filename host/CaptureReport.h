#pragma once

#include <opencv2/core/mat.hpp>

#include <cstddef>
#include <string>
#include <vector>

// "640x480 1ch 8U"; "unreadable" for the empty image that stands in for a
// file the module could not decode.
std::string describeImage(const cv::Mat& image);

// "8U", "16U", ...: OpenCV's name of a depth without the "CV_".
const char* depthName(int depth);

// The line printed for one capture: number, image count, time, then every
// image in hand-over order.
std::string captureLine(int captureNumber, const std::vector<cv::Mat>& images, double milliseconds);

// What a whole replay handed over.
class ReplayTotals {
public:
    void add(const std::vector<cv::Mat>& images);
    // "4 captures, 24 images, 18.4 MB decoded in 0.21 s (19.0 captures/s)",
    // with the unreadable images and the captures without images counted
    // after the images when there are any.
    std::string summary(double seconds) const;
    int captures() const { return captures_; }

private:
    int captures_ = 0;
    int capturesWithoutImages_ = 0;
    std::size_t images_ = 0;
    std::size_t unreadable_ = 0;
    std::size_t bytes_ = 0;
};
