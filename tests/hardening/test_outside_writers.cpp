// Files that programs other than OpenCV write (ImageMagick, libtiff's tools,
// tifffile; see outside/write_images.sh), captured through the loaded
// library: each must come exactly as OpenCV's own reader reads the file.
// OpenCV's writer alone makes few of the layouts that cameras and their
// software write, so the module's reading of headers is checked against
// these.

#include "OutsideImages.h"

#include "support/ModuleHost.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cstdio>

namespace fs = std::filesystem;

namespace {

class OutsideWriters : public HostTest {
protected:
    TempTree tree;
};

TEST_F(OutsideWriters, everyFileComesAsOpenCvReadsIt) {
    const std::vector<fs::path> written = writeOutsideImages(tree.root() / "written");
    // One capture folder per file, named after the camera so that the file
    // is selected whatever its name; the folders come in the files' order.
    std::vector<fs::path> files;
    for (std::size_t i = 0; i < written.size(); ++i) {
        char folder[48];
        std::snprintf(folder, sizeof folder, "rec/camera2_%03zu", i);
        const fs::path copy = tree.makeFolder(folder) / written[i].filename();
        fs::copy_file(written[i], copy);
        files.push_back(copy);
    }
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    for (const fs::path& file : files) {
        const std::vector<cv::Mat> images = capture();
        const cv::Mat expected = cv::imread(file.string(), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(expected.empty()) << "OpenCV cannot read " << file.filename();
        ASSERT_EQ(images.size(), 1u) << file.filename();
        ASSERT_FALSE(images[0].empty()) << file.filename() << " was refused";
        EXPECT_EQ(images[0].size(), expected.size()) << file.filename();
        ASSERT_EQ(images[0].type(), expected.type()) << file.filename();
        EXPECT_EQ(cv::norm(images[0], expected, cv::NORM_INF), 0.0) << file.filename();
    }
}

} // namespace
