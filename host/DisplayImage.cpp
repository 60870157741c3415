#include "DisplayImage.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace {

cv::Mat threeChannels(const cv::Mat& image) {
    cv::Mat result;
    switch (image.channels()) {
    case 1:
        cv::cvtColor(image, result, cv::COLOR_GRAY2BGR);
        break;
    case 3:
        result = image;
        break;
    case 4:
        cv::cvtColor(image, result, cv::COLOR_BGRA2BGR);
        break;
    default: {
        // Two or more than four channels have no colour meaning: show the first.
        cv::Mat first;
        cv::extractChannel(image, first, 0);
        cv::cvtColor(first, result, cv::COLOR_GRAY2BGR);
        break;
    }
    }
    return result;
}

cv::Mat eightBit(const cv::Mat& image) {
    if (image.depth() == CV_8U) {
        return image;
    }
    // One range over all channels keeps the colours in proportion.
    const cv::Mat samples = image.reshape(1);
    double lowest = 0;
    double highest = 0;
    cv::minMaxLoc(samples, &lowest, &highest);
    const double scale = highest > lowest ? 255.0 / (highest - lowest) : 0.0;
    cv::Mat result;
    samples.convertTo(result, CV_8U, scale, -lowest * scale);
    return result.reshape(image.channels());
}

} // namespace

cv::Mat displayImage(const cv::Mat& image) {
    if (image.empty()) {
        return cv::Mat();
    }
    return threeChannels(eightBit(image));
}
