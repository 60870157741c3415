#pragma once

#include <opencv2/core/types.hpp>

#include <string>

struct SampleOptions {
    std::string folder;
    int captures = 4;
    cv::Size imageSize{640, 480};
};

// Writes a recording that every camera can replay: per capture folder the six
// "camera1" kinds (8-bit BMP), "camera2" as an 8-bit colour BMP and a 16-bit
// TIFF, and two BMPs each for "camera3P" and "camera3N". Each image shows its
// capture, camera and kind as text and as a pattern. The recording appears
// whole or not at all, also when Ctrl-C or SIGTERM stops it; an existing,
// non-empty folder is never touched. Throws CommandError.
void writeSampleRecording(const SampleOptions& options);
