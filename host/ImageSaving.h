#pragma once

#include <opencv2/core/mat.hpp>

#include <filesystem>
#include <string>
#include <vector>

// Writes image to path, making the folder first; throws CommandError
// (OutputFailed) naming the path when it cannot.
void writeImageFile(const std::filesystem::path& path, const cv::Mat& image);

// "capture_0003": the folder name of a capture, in saved images and in
// sample recordings alike.
std::string captureFolderName(int captureNumber);

// Writes the images of one capture losslessly, depth and channels kept:
// folder/capture_0003/image_00.png, ... Images that PNG cannot hold (not 8- or
// 16-bit unsigned, or with two or more than four channels) go to .tiff
// instead. An unreadable (empty) image leaves its number out. Returns, for
// every image, the path written relative to folder ("capture_0003/
// image_00.png"), or an empty path for an unreadable image.
std::vector<std::filesystem::path> saveCaptureImages(const std::filesystem::path& folder,
                                                     int captureNumber,
                                                     const std::vector<cv::Mat>& images);
