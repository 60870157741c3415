// Image files as hostile recordings hold them, captured through the loaded
// library. Whatever a file holds, the capture completes and hands over one
// image per selected path: an empty one where the file cannot be decoded.

#include "HostileImages.h"

#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <sys/stat.h>

#include <filesystem>
#include <functional>

namespace {

using Ids = std::vector<int>;
constexpr int unreadable = -1;

std::string encoded(const std::string& extension, const cv::Mat& image) {
    std::vector<uchar> bytes;
    if (!cv::imencode(extension, image, bytes)) {
        throw std::runtime_error("cannot encode " + extension);
    }
    return std::string(bytes.begin(), bytes.end());
}

std::string goodBmp() {
    return encoded(".bmp", cv::Mat(64, 64, CV_8UC1, cv::Scalar(9)));
}
std::string goodTiff() {
    return encoded(".tiff", cv::Mat(64, 64, CV_16UC1, cv::Scalar(9)));
}

std::string firstHalf(const std::string& bytes) {
    return bytes.substr(0, bytes.size() / 2);
}

struct HostileFile {
    const char* name;
    const char* suffix; // "bmp" or "tiff"
    std::function<std::string()> bytes;
};

class HostileImage : public HostTest, public testing::WithParamInterface<HostileFile> {
protected:
    TempTree tree;
};

// The hostile file sits between two good images: it becomes one empty image,
// and the images around it still come, in their places.
TEST_P(HostileImage, becomesOneEmptyImageAndTheCaptureCompletes) {
    const HostileFile& file = GetParam();
    writeIdentityBmp(tree, "rec/cap/camera2_a.bmp", 1);
    tree.writeFile(std::string("rec/cap/camera2_b.") + file.suffix, file.bytes());
    writeIdentityBmp(tree, "rec/cap/camera2_c.bmp", 3);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const Ids expected =
        std::string(file.suffix) == "bmp" ? Ids{1, unreadable, 3} : Ids{1, 3, unreadable};
    EXPECT_EQ(identitiesOf(capture()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileImage,
    testing::Values(
        HostileFile{"zeroByteTiff", "tiff", [] { return std::string(); }},
        HostileFile{"truncatedBmp", "bmp", [] { return firstHalf(goodBmp()); }},
        HostileFile{"bmpCutInItsHeader", "bmp", [] { return goodBmp().substr(0, 30); }},
        HostileFile{"truncatedTiff", "tiff", [] { return firstHalf(goodTiff()); }},
        HostileFile{"tiffCutInItsHeader", "tiff", [] { return goodTiff().substr(0, 20); }},
        HostileFile{"bmpNegativeWidth", "bmp", [] { return bmpHeaderDeclaring(-16, 16); }},
        HostileFile{"bmpZeroSize", "bmp", [] { return bmpHeaderDeclaring(0, 0); }},
        HostileFile{"tiffHugeSize", "tiff", [] { return tiffHeaderDeclaring(100000, 100000); }},
        HostileFile{"tiffLargestSize", "tiff",
                    [] { return tiffHeaderDeclaring(0xFFFFFFFFu, 0xFFFFFFFFu); }},
        HostileFile{"tiffZeroSize", "tiff", [] { return tiffHeaderDeclaring(0, 0); }},
        HostileFile{"tiffWithoutPixelData", "tiff", [] { return tiffHeaderDeclaring(4, 4); }},
        HostileFile{"bmpBytesInATiff", "tiff", [] { return firstHalf(goodBmp()); }},
        // The decoder goes by content. Its medical-imaging reader aborts the
        // whole process on this one; only BMP and TIFF content is decoded.
        HostileFile{"dicomSignatureInABmp", "bmp",
                    [] { return std::string(128, '\0') + "DICM" + std::string(3, '\0'); }},
        HostileFile{"pngInABmp", "bmp",
                    [] { return encoded(".png", cv::Mat(4, 4, CV_8UC1, cv::Scalar(9))); }},
        // Small files that make the decoder allocate gigabytes for its own
        // buffers, beside an image that is small or within the limit.
        HostileFile{"tiffWithAStripBufferOf4GiB", "tiff", [] { return tiffWithHugeStripBuffer(); }},
        HostileFile{"deflateRgbaBombInOneStrip", "tiff", [] { return deflateRgbaBomb(); }}),
    [](const testing::TestParamInfo<HostileFile>& info) { return info.param.name; });

class SpecialFile : public HostTest {
protected:
    TempTree tree;
};

// A decompression bomb: every strip of this 64 KiB file points at the same
// 128 bytes of PackBits data, which decode to a row of 8192 pixels. The
// decoder reads it as what it declares, an 8192 x 8192 image of 64 MiB, and
// the module hands that image over like any other.
TEST_F(SpecialFile, tiffBombBelowTheMemoryLimitIsDecodedInFull) {
    TiffLayout layout;
    layout.width = 8192;
    layout.height = 8192;
    layout.rowsPerStrip = 1;
    layout.compression = 32773;
    const std::string bomb = tiffWithSharedStrip(layout, packBitsZeros(8192));
    ASSERT_LT(bomb.size(), 70u * 1024);
    tree.writeFile("rec/cap/camera2_bomb.tiff", bomb);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const auto images = capture();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].size(), cv::Size(8192, 8192));
    EXPECT_EQ(images[0].type(), CV_8UC1);
    EXPECT_EQ(cv::countNonZero(images[0]), 0);
}

// The same trick with 16-bit samples and 24576 x 24576 pixels: 200 KiB that
// would decode to 1.1 GiB. Declared images above 1 GiB are not decoded.
TEST_F(SpecialFile, tiffBombAboveTheMemoryLimitBecomesAnEmptyImage) {
    TiffLayout layout;
    layout.width = 24576;
    layout.height = 24576;
    layout.rowsPerStrip = 1;
    layout.bitsPerSample = 16;
    layout.compression = 32773;
    const std::string bomb = tiffWithSharedStrip(layout, packBitsZeros(2 * 24576));
    ASSERT_LT(bomb.size(), 200u * 1024);
    tree.writeFile("rec/cap/camera2_bomb.tiff", bomb);
    writeIdentityBmp(tree, "rec/cap/camera2_good.bmp", 4);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    EXPECT_EQ(identitiesOf(capture()), (Ids{4, unreadable}));
}

// Opening a named pipe blocks until something writes to it: handed to the
// decoder, one such entry would stop the capture, and the host, for ever.
TEST_F(SpecialFile, namedPipeWithAnImageNameBecomesAnEmptyImage) {
    writeIdentityBmp(tree, "rec/cap/camera2_a.bmp", 1);
    ASSERT_EQ(mkfifo(tree.path("rec/cap/camera2_pipe.bmp").c_str(), 0600), 0);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    EXPECT_EQ(identitiesOf(capture()), (Ids{1, unreadable}));
}

} // namespace
