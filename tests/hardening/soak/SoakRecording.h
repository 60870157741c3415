#pragma once

#include "support/TempTree.h"

#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// A small "camera2" recording for the soak: a few capture folders, each with
// one BMP and one 16-bit TIFF of camera size whose pixels carry the folder's
// number, so every capture can be checked, not only counted.
class SoakRecording {
public:
    explicit SoakRecording(int folders);

    std::string parameterString() const;
    int folders() const { return folders_; }

    // Empty when the images are those of the capture with this number
    // (counted from 0); otherwise what is wrong with them.
    std::string checkCapture(long captureNumber, const std::vector<cv::Mat>& images) const;

private:
    TempTree tree_;
    int folders_;
};
