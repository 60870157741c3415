#include "TestImages.h"

#include <opencv2/imgcodecs.hpp>

#include <cstdint>
#include <stdexcept>

namespace {

// The format comes from the helper, not from the file's name, so that a test
// can give an image a name that no camera takes (".png") and still write it
// with a build of OpenCV that only has BMP and TIFF (the Windows one).
void write(const TempTree& tree, const std::string& relative, const cv::Mat& image,
           const char* format) {
    std::vector<unsigned char> bytes;
    if (!cv::imencode(format, image, bytes)) {
        throw std::runtime_error("cannot encode image " + relative);
    }
    tree.writeFile(relative, std::string(bytes.begin(), bytes.end()));
}

void putLittleEndian(std::string& bytes, std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

void writeIdentityBmp(const TempTree& tree, const std::string& relative, int identity) {
    write(tree, relative, cv::Mat(3, 4, CV_8UC1, cv::Scalar(identity)), ".bmp");
}

void writeIdentityTiff16(const TempTree& tree, const std::string& relative, int identity) {
    write(tree, relative, cv::Mat(3, 4, CV_16UC1, cv::Scalar(identity)), ".tiff");
}

int identityOf(const cv::Mat& image) {
    if (image.empty()) {
        return -1;
    }
    const cv::Mat first = image(cv::Rect(0, 0, 1, 1));
    return static_cast<int>(cv::sum(first)[0]);
}

std::vector<int> identitiesOf(const std::vector<cv::Mat>& images) {
    std::vector<int> identities;
    for (const auto& image : images) {
        identities.push_back(identityOf(image));
    }
    return identities;
}

std::string bmpHeaderDeclaring(int width, int height) {
    std::string bytes = "BM";
    putLittleEndian(bytes, 54, 4); // file size (a lie, like the rest)
    putLittleEndian(bytes, 0, 4);
    putLittleEndian(bytes, 54, 4); // pixel data offset
    putLittleEndian(bytes, 40, 4); // info header size
    putLittleEndian(bytes, static_cast<std::uint32_t>(width), 4);
    putLittleEndian(bytes, static_cast<std::uint32_t>(height), 4);
    putLittleEndian(bytes, 1, 2);  // planes
    putLittleEndian(bytes, 24, 2); // bits per pixel
    putLittleEndian(bytes, 0, 4);  // no compression
    for (int i = 0; i < 5; ++i) {
        putLittleEndian(bytes, 0, 4);
    }
    return bytes;
}
