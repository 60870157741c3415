// Images as real area-scan, line-scan and 3D cameras write them, up to a
// few hundred megabytes decoded, captured through the loaded library: the
// decode guard must hand each of them over exactly as OpenCV's own reader
// reads it. A guard that refuses a real camera's image is as wrong as one
// that lets a bomb through.

#include "support/ModuleHost.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

namespace {

struct CameraImage {
    const char* name;
    int width;
    int height;
    int type;
    const char* extension;
};

class CameraSizedImage : public HostTest, public testing::WithParamInterface<CameraImage> {
protected:
    TempTree tree;
};

TEST_P(CameraSizedImage, isHandedOverAsOpenCvReadsIt) {
    const CameraImage& camera = GetParam();
    const std::string relative = std::string("rec/cap/camera2_frame.") + camera.extension;
    tree.writeFile(relative);
    {
        // Sensor noise, as cameras write it, uncompressed as most do.
        cv::Mat frame(camera.height, camera.width, camera.type);
        cv::randu(frame, cv::Scalar::all(0),
                  cv::Scalar::all(CV_MAT_DEPTH(camera.type) == CV_32F ? 1.0 : 65536.0));
        ASSERT_TRUE(cv::imwrite(tree.path(relative), frame, {cv::IMWRITE_TIFF_COMPRESSION, 1}));
    }
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const std::vector<cv::Mat> images = capture();
    ASSERT_EQ(images.size(), 1u);
    ASSERT_FALSE(images[0].empty()) << camera.name << " was refused";
    const cv::Mat expected = cv::imread(tree.path(relative), cv::IMREAD_UNCHANGED);
    EXPECT_EQ(images[0].size(), cv::Size(camera.width, camera.height));
    EXPECT_EQ(images[0].type(), expected.type());
    EXPECT_EQ(cv::norm(images[0], expected, cv::NORM_INF), 0.0);
}

INSTANTIATE_TEST_SUITE_P(Cameras, CameraSizedImage,
                         testing::Values(
                             // 151 megapixels, 16-bit mono: 302 MB decoded.
                             CameraImage{"areaScanMono16", 14192, 10640, CV_16UC1, "tiff"},
                             // Line-scan frames of 16384 pixels per line: 268 and 328 MB.
                             CameraImage{"lineScan16385Lines", 16384, 16385, CV_8UC1, "tiff"},
                             CameraImage{"lineScan20000Lines", 16384, 20000, CV_8UC1, "tiff"},
                             // A 3D camera's height map in floating point: 400 MB.
                             CameraImage{"heightMapFloat", 10000, 10000, CV_32FC1, "tiff"},
                             // An 8-bit grey BMP (a grey palette) of 360 MB.
                             CameraImage{"lineScanGreyBmp", 16384, 22000, CV_8UC1, "bmp"}),
                         [](const testing::TestParamInfo<CameraImage>& info) {
                             return info.param.name;
                         });

} // namespace
