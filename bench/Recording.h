#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A generated recording: capture folders capture_000, capture_001, ... that
// each hold the six "camera1" kinds as 8-bit BMPs and "camera2" as an 8-bit
// BMP and a 16-bit TIFF, all of one size. Every pixel of an image holds the
// image's identity, so a check tells by content which image came where.
struct RecordingShape {
    int folders = 10;
    int width = 2448;
    int height = 2048;
};

struct ExpectedImage {
    std::string path;
    int type = 0; // OpenCV type: CV_8UC1 or CV_16UC1
    int identity = 0;
};

void writeRecording(const std::string& root, const RecordingShape& shape);

// The images that camera hands over for the capture folder folderIndex, in
// hand-over order, as the recording's layout defines it.
std::vector<ExpectedImage> expectedCapture(const std::string& root, const std::string& camera,
                                           int folderIndex);

// Sum of the file sizes of images.
std::uint64_t fileBytes(const std::vector<ExpectedImage>& images);

namespace cv {
class Mat;
}

// Throws std::runtime_error, naming who, unless images are exactly the
// expected ones: count, order (by identity), size and type.
void checkImages(const std::vector<cv::Mat>& images, const std::vector<ExpectedImage>& expected,
                 const RecordingShape& shape, const std::string& who);
