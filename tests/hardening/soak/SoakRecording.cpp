#include "SoakRecording.h"

#include <opencv2/imgcodecs.hpp>

#include <stdexcept>

namespace {

const cv::Size imageSize(640, 480);

} // namespace

SoakRecording::SoakRecording(int folders) : folders_(folders) {
    for (int folder = 1; folder <= folders; ++folder) {
        const std::string name = "rec/f" + std::to_string(folder) + "/camera2_";
        tree_.writeFile(name + "a.bmp"); // makes the folder
        if (!cv::imwrite(tree_.path(name + "a.bmp"),
                         cv::Mat(imageSize, CV_8UC1, cv::Scalar(folder))) ||
            !cv::imwrite(tree_.path(name + "b.tiff"),
                         cv::Mat(imageSize, CV_16UC1, cv::Scalar(1000 + folder)))) {
            throw std::runtime_error("cannot write the soak recording");
        }
    }
}

std::string SoakRecording::parameterString() const {
    return "camera2,soak,1," + tree_.path("rec");
}

std::string SoakRecording::checkCapture(long captureNumber,
                                        const std::vector<cv::Mat>& images) const {
    const int folder = static_cast<int>(captureNumber % folders_) + 1;
    if (images.size() != 2) {
        return "expected 2 images, got " + std::to_string(images.size());
    }
    const struct {
        const cv::Mat& image;
        int depth;
        int value;
    } expected[] = {{images[0], CV_8U, folder}, {images[1], CV_16U, 1000 + folder}};
    for (const auto& e : expected) {
        if (e.image.size() != imageSize || e.image.depth() != e.depth ||
            static_cast<int>(cv::mean(e.image)[0]) != e.value) {
            return "wrong image from folder f" + std::to_string(folder);
        }
    }
    return {};
}
