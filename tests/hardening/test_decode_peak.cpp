// The capture's estimate of what decoding a file takes, against what
// decoding it really takes: the peak address space that the decoder adds,
// measured in a fresh process per file (folderfeed_decode_peak). The
// estimate must never fall short of it, or a file could take more of the
// host's memory than the limit allows, and must stay close to it, or real
// images would be refused. The files come from outside writers, from
// OpenCV's writer at camera size, and from hostile recordings.

#include "HostileImages.h"
#include "OutsideImages.h"
#include "ProgramRun.h"

#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool underSanitizer = true;
#else
constexpr bool underSanitizer = false;
#endif

std::map<std::string, double> measure(const fs::path& file) {
    const ProgramResult run = runProgram(FOLDERFEED_DECODE_PEAK_PATH, {file.string()}, 120);
    if (run.status != 0) {
        throw std::runtime_error("folderfeed_decode_peak " + file.string() + ":\n" + run.err);
    }
    std::map<std::string, double> figures;
    std::istringstream lines(run.out);
    std::string key;
    double value = 0;
    while (lines >> key >> value) {
        figures[key] = value;
    }
    return figures;
}

cv::Mat noise(int rows, int cols, int type) {
    cv::Mat image(rows, cols, type);
    cv::randu(image, cv::Scalar::all(0), cv::Scalar::all(CV_MAT_DEPTH(type) == CV_32F ? 1 : 255));
    return image;
}

void writeOpenCvImages(const TempTree& tree, std::vector<fs::path>& files) {
    const struct {
        const char* name;
        int type;
    } images[] = {
        {"opencv_grey8_2448x2048.bmp", CV_8UC1},    {"opencv_rgb8_2448x2048.bmp", CV_8UC3},
        {"opencv_grey8_2448x2048.tiff", CV_8UC1},   {"opencv_rgb8_2448x2048.tiff", CV_8UC3},
        {"opencv_grey16_2448x2048.tiff", CV_16UC1}, {"opencv_float32_2448x2048.tiff", CV_32FC1}};
    for (const auto& image : images) {
        const fs::path path = tree.root() / "opencv" / image.name;
        tree.makeFolder("opencv");
        if (!cv::imwrite(path.string(), noise(2048, 2448, image.type))) {
            throw std::runtime_error("cannot write " + path.string());
        }
        files.push_back(path);
    }
}

void writeHostileImages(const TempTree& tree, std::vector<fs::path>& files) {
    TiffLayout sharedStrips;
    sharedStrips.width = 8192;
    sharedStrips.height = 8192;
    sharedStrips.compression = 32773;
    const std::pair<const char*, std::string> hostile[] = {
        {"strip_buffer_of_4GiB.tiff", tiffWithHugeStripBuffer()},
        {"deflate_rgba_bomb.tiff", deflateRgbaBomb()},
        {"packbits_shared_strips_8192x8192.tiff",
         tiffWithSharedStrip(sharedStrips, packBitsZeros(8192))},
    };
    for (const auto& [name, bytes] : hostile) {
        files.push_back(tree.writeFile(std::string("hostile/") + name, bytes));
    }
}

TEST(DecodePeak, estimateBoundsWhatDecodingTakesAndStaysCloseToIt) {
    if (underSanitizer) {
        GTEST_SKIP() << "a sanitizer's allocator maps memory its own way; measured in the "
                        "normal build";
    }
    const TempTree tree;
    std::vector<fs::path> files = writeOutsideImages(tree.root() / "outside");
    writeOpenCvImages(tree, files);
    writeHostileImages(tree, files);

    // Beside the image and the buffers that grow with it, the decoder takes a
    // little of its own (directories, codec tables), which the estimate
    // counts as one fixed MiB.
    constexpr double fixedSlack = 1.5 * (1 << 20);
    std::printf("%-44s %12s %12s %12s %9s\n", "file", "estimate MB", "measured MB", "resident MB",
                "est/meas");
    for (const fs::path& file : files) {
        const auto figures = measure(file);
        const double estimate = figures.at("estimate_bytes");
        const double measured = figures.at("vm_added_bytes");
        std::printf("%-44s %12.2f %12.2f %12.2f %9.3f\n", file.filename().c_str(), estimate / 1e6,
                    measured / 1e6, figures.at("rss_added_bytes") / 1e6, estimate / measured);
        EXPECT_GE(estimate, measured) << file.filename() << ": the decoder took more";
        EXPECT_LE(estimate, 1.6 * measured + fixedSlack) << file.filename() << ": far above";
        EXPECT_GT(figures.at("decoded_bytes"), 0) << file.filename() << " did not decode";
    }
}

} // namespace
