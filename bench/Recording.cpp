#include "Recording.h"

#include "CaptureSelection.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace {

constexpr int camera2BmpSlot = 6;
constexpr int camera2TiffSlot = 7;
constexpr int slotsPerFolder = 8;
// Above 255, so a 16-bit image that came back as 8 bits shows.
constexpr int tiffIdentityBase = 1000;

std::string folderName(int folderIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "capture_%03d", folderIndex);
    return name;
}

std::string folderPath(const std::string& root, int folderIndex) {
    return root + "/" + folderName(folderIndex);
}

ExpectedImage camera1Image(const std::string& root, int folderIndex, int kind) {
    return {folderPath(root, folderIndex) + "/camera1_" + imageKindKeys[kind] + ".bmp", CV_8UC1,
            folderIndex * slotsPerFolder + kind + 1};
}

ExpectedImage camera2Bmp(const std::string& root, int folderIndex) {
    return {folderPath(root, folderIndex) + "/camera2_frame.bmp", CV_8UC1,
            folderIndex * slotsPerFolder + camera2BmpSlot + 1};
}

ExpectedImage camera2Tiff(const std::string& root, int folderIndex) {
    return {folderPath(root, folderIndex) + "/camera2_frame.tiff", CV_16UC1,
            tiffIdentityBase + folderIndex * slotsPerFolder + camera2TiffSlot};
}

void writeImage(const ExpectedImage& image, const RecordingShape& shape) {
    const cv::Mat pixels(shape.height, shape.width, image.type, cv::Scalar(image.identity));
    // Uncompressed TIFF, as cameras record it; the default would be LZW.
    const std::vector<int> options = {cv::IMWRITE_TIFF_COMPRESSION, 1};
    if (!cv::imwrite(image.path, pixels, image.type == CV_16UC1 ? options : std::vector<int>())) {
        throw std::runtime_error("cannot write " + image.path);
    }
}

} // namespace

void writeRecording(const std::string& root, const RecordingShape& shape) {
    if (shape.folders * slotsPerFolder >= 255) {
        throw std::invalid_argument("too many capture folders for 8-bit identities");
    }
    for (int folderIndex = 0; folderIndex < shape.folders; ++folderIndex) {
        std::filesystem::create_directories(folderPath(root, folderIndex));
        for (int kind = 0; kind < static_cast<int>(imageKindKeys.size()); ++kind) {
            writeImage(camera1Image(root, folderIndex, kind), shape);
        }
        writeImage(camera2Bmp(root, folderIndex), shape);
        writeImage(camera2Tiff(root, folderIndex), shape);
    }
}

std::vector<ExpectedImage> expectedCapture(const std::string& root, const std::string& camera,
                                           int folderIndex) {
    std::vector<ExpectedImage> images;
    if (camera == "camera1") {
        for (int kind = 0; kind < static_cast<int>(imageKindKeys.size()); ++kind) {
            images.push_back(camera1Image(root, folderIndex, kind));
        }
    } else if (camera == "camera2") {
        images.push_back(camera2Bmp(root, folderIndex));
        images.push_back(camera2Tiff(root, folderIndex));
    } else {
        throw std::invalid_argument("the recording has no images of camera " + camera);
    }
    return images;
}

std::uint64_t fileBytes(const std::vector<ExpectedImage>& images) {
    std::uint64_t total = 0;
    for (const ExpectedImage& image : images) {
        total += std::filesystem::file_size(image.path);
    }
    return total;
}

void checkImages(const std::vector<cv::Mat>& images, const std::vector<ExpectedImage>& expected,
                 const RecordingShape& shape, const std::string& who) {
    if (images.size() != expected.size()) {
        throw std::runtime_error(who + " handed over " + std::to_string(images.size()) +
                                 " images instead of " + std::to_string(expected.size()));
    }
    for (std::size_t i = 0; i < images.size(); ++i) {
        const cv::Mat& image = images[i];
        const ExpectedImage& want = expected[i];
        const bool shapeRight =
            image.rows == shape.height && image.cols == shape.width && image.type() == want.type;
        const auto corner = [&image](int row, int col) {
            return image.depth() == CV_16U ? int(image.at<std::uint16_t>(row, col))
                                           : int(image.at<std::uint8_t>(row, col));
        };
        if (!shapeRight || corner(0, 0) != want.identity ||
            corner(image.rows - 1, image.cols - 1) != want.identity) {
            throw std::runtime_error(who + ": image " + std::to_string(i) + " is not the one of " +
                                     want.path);
        }
    }
}
