// A host that calls exit() on one thread while another takes captures: the
// library's state is destroyed at exit, and a capture still loading on the
// worker used to find its pending images freed under it. Forty tries, each
// a fresh process, with the exit coming at a different point of the captures.

#include "ProgramRun.h"

#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdlib>

namespace {

TEST(ExitDuringCapture, fortyTriesEndWithStatusZero) {
    const TempTree tree;
    // Captures of some milliseconds, so that exits fall inside them.
    for (int folder = 0; folder < 3; ++folder) {
        cv::Mat image(1024, 2048, CV_16UC1);
        cv::randu(image, cv::Scalar(0), cv::Scalar(65536));
        const std::string path = tree.path("rec/f" + std::to_string(folder) + "/camera2.tiff");
        tree.writeFile("rec/f" + std::to_string(folder) + "/camera2.tiff");
        ASSERT_TRUE(cv::imwrite(path, image, {cv::IMWRITE_TIFF_COMPRESSION, 1}));
    }
    // The host never destroys its module object: it exits.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS", (std::string(asan != nullptr ? asan : "") + ":detect_leaks=0").c_str(),
             1);
    int crashes = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        const std::string delayMicroseconds = std::to_string(2000 + 700 * attempt);
        const ProgramResult run =
            runProgram(FOLDERFEED_EXIT_HOST_PATH,
                       {FOLDERFEED_MODULE_PATH, tree.path("rec"), delayMicroseconds});
        if (run.status != 0) {
            ++crashes;
            ADD_FAILURE() << "attempt " << attempt << " (exit after " << delayMicroseconds
                          << " us): status " << run.status << "\n"
                          << run.err;
        }
    }
    EXPECT_EQ(crashes, 0);
}

} // namespace
