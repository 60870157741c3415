#pragma once

#include "TempTree.h"

#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// Tiny images whose every pixel holds their identity, so a test checks which
// image came, and in which order, by content rather than by count.

// An 8-bit, one-channel BMP; identity 0..255.
void writeIdentityBmp(const TempTree& tree, const std::string& relative, int identity);
// A 16-bit, one-channel TIFF; identity 0..65535 (above 255 proves 16 bits kept).
void writeIdentityTiff16(const TempTree& tree, const std::string& relative, int identity);

// The identity of an image; -1 for an empty (unreadable) image.
int identityOf(const cv::Mat& image);
std::vector<int> identitiesOf(const std::vector<cv::Mat>& images);

// A BMP header that declares width x height pixels, with no pixel data.
std::string bmpHeaderDeclaring(int width, int height);
