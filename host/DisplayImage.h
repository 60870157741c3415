#pragma once

#include <opencv2/core/mat.hpp>

// An 8-bit, three-channel copy of image for showing on screen. Images of any
// other depth (16-bit above all) are stretched from their own lowest to their
// highest value, so that a 12-bit image in a 16-bit container is not black.
// Empty stays empty.
cv::Mat displayImage(const cv::Mat& image);
