#include "ImageDecoding.h"

#include <opencv2/imgcodecs.hpp>

namespace {

cv::Mat decodeChecked(const std::string& path, FileBytes& buffer, ImageFileProblem& problem) {
    problem = readAndCheckImageFile(path, buffer);
    if (problem != ImageFileProblem::None) {
        return cv::Mat();
    }
    // A header over the bytes, not a copy of them.
    const cv::Mat encoded(1, static_cast<int>(buffer.size()), CV_8UC1, buffer.data());
    cv::Mat image = cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
    if (image.empty()) {
        problem = ImageFileProblem::DecoderFailed;
    }
    return image;
}

} // namespace

cv::Mat decodeImageFile(const std::string& path, FileBytes& buffer,
                        ImageFileProblem* problem) noexcept {
    ImageFileProblem found = ImageFileProblem::None;
    cv::Mat image;
    // The decoder throws for some damaged headers, and any step may run out
    // of memory: all of it counts as a file that cannot be decoded.
    try {
        image = decodeChecked(path, buffer, found);
    } catch (...) {
        found = ImageFileProblem::DecoderFailed;
    }
    if (problem != nullptr) {
        *problem = found;
    }
    return image;
}

void prepareDecoders() noexcept {
    try {
        for (const char* extension : {".bmp", ".tiff"}) {
            std::vector<uchar> encoded;
            cv::imencode(extension, cv::Mat(2, 2, CV_8UC1, cv::Scalar(0)), encoded);
            cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
        }
    } catch (...) {
        // A decoder that cannot even do this makes empty images later.
    }
}
