// Captures through the loaded library, on recordings made by the tests. Each
// image's pixels hold its identity, so order is checked by content.

#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include "support/DropPrivileges.h"

#include <sys/resource.h>
#endif

#include <functional>

namespace {

using Ids = std::vector<int>;
constexpr int unreadable = -1;

class Capture : public HostTest {
protected:
    std::vector<int> captureIds() { return identitiesOf(capture()); }
    void configureOrFail(const std::string& camera, const std::string& root) {
        ASSERT_TRUE(configure(camera + ",field2,1," + root));
    }
    TempTree tree;
};

// One capture folder holding files of every camera, named so that the
// listing order differs from the "camera1" kind order.
void writeMixedCaptureFolder(const TempTree& tree) {
    writeIdentityBmp(tree, "rec/cap/a_camera1_SprfNormalImage.bmp", 6);
    writeIdentityBmp(tree, "rec/cap/b_camera1_SprfShapeImage2.bmp", 4);
    writeIdentityBmp(tree, "rec/cap/c_camera1_SprfSpecularReflectionImage.bmp", 1);
    writeIdentityBmp(tree, "rec/cap/d_camera1_SprfGlossRatioImage.bmp", 5);
    writeIdentityBmp(tree, "rec/cap/e_camera1_SprfShapeImage1.bmp", 3);
    writeIdentityBmp(tree, "rec/cap/f_camera1_SprfDiffuseReflectionImage.bmp", 2);
    writeIdentityBmp(tree, "rec/cap/g_camera12_no_kind.bmp", 91);
    writeIdentityBmp(tree, "rec/cap/h_Camera1_SprfShapeImage1.bmp", 92);
    writeIdentityBmp(tree, "rec/cap/camera2_a.bmp", 20);
    writeIdentityTiff16(tree, "rec/cap/camera2_b.tiff", 1000);
    writeIdentityTiff16(tree, "rec/cap/camera2_c.tif", 1001);
    writeIdentityBmp(tree, "rec/cap/camera3P.bmp", 30);
    writeIdentityBmp(tree, "rec/cap/camera3N.bmp", 31);
    writeIdentityBmp(tree, "rec/cap/camera3P_photo.png", 32);
}

struct CameraCase {
    const char* name;
    std::string camera;
    Ids expected;
};

class CameraMode : public Capture, public testing::WithParamInterface<CameraCase> {};

TEST_P(CameraMode, loadsItsOwnFilesInHandOverOrder) {
    writeMixedCaptureFolder(tree);
    configureOrFail(GetParam().camera, tree.path("rec"));
    EXPECT_EQ(captureIds(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cameras, CameraMode,
                         testing::Values(CameraCase{"camera1", "camera1", {1, 2, 3, 4, 5, 6}},
                                         CameraCase{"camera2", "camera2", {20, 1000}},
                                         CameraCase{"camera3P", "camera3P", {30}},
                                         CameraCase{"camera3N", "camera3N", {31}},
                                         CameraCase{"upperCase", "Camera1", {}},
                                         CameraCase{"capitals", "CAMERA2", {}},
                                         CameraCase{"otherNumber", "camera4", {}},
                                         CameraCase{"digitAfter", "camera12", {}}),
                         [](const testing::TestParamInfo<CameraCase>& info) {
                             return info.param.name;
                         });

TEST_F(Capture, camera2KeepsSixteenBitTiffs) {
    writeIdentityBmp(tree, "rec/cap/camera2.bmp", 7);
    writeIdentityTiff16(tree, "rec/cap/camera2.tiff", 40000);
    configureOrFail("camera2", tree.path("rec"));
    const auto images = capture();
    ASSERT_EQ(identitiesOf(images), (Ids{7, 40000}));
    EXPECT_EQ(images[0].depth(), CV_8U);
    EXPECT_EQ(images[1].depth(), CV_16U);
}

struct KindCase {
    const char* name;
    std::vector<std::pair<std::string, int>> files;
    Ids expected;
};

class Camera1Kinds : public Capture, public testing::WithParamInterface<KindCase> {};

TEST_P(Camera1Kinds, passCountFollowsTheNumberOfSelectedPaths) {
    for (const auto& [file, identity] : GetParam().files) {
        writeIdentityBmp(tree, "rec/cap/" + file, identity);
    }
    configureOrFail("camera1", tree.path("rec"));
    EXPECT_EQ(captureIds(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Passes, Camera1Kinds,
    testing::Values(
        // Four selected paths run passes 0 to 3: gloss ratio and normal are never looked for.
        KindCase{"fourPathsLoadTwo",
                 {{"camera1_SprfNormalImage.bmp", 6},
                  {"camera1_SprfGlossRatioImage.bmp", 5},
                  {"camera1_SprfDiffuseReflectionImage.bmp", 2},
                  {"camera1_SprfSpecularReflectionImage.bmp", 1}},
                 {1, 2}},
        KindCase{"sevenPathsWithTwoSpecular",
                 {{"a_camera1_SprfNormalImage.bmp", 6},
                  {"b_camera1_SprfSpecularReflectionImage.bmp", 11},
                  {"c_camera1_SprfShapeImage2.bmp", 4},
                  {"d_camera1_SprfGlossRatioImage.bmp", 5},
                  {"e_camera1_SprfSpecularReflectionImage.bmp", 12},
                  {"f_camera1_SprfShapeImage1.bmp", 3},
                  {"g_camera1_SprfDiffuseReflectionImage.bmp", 2}},
                 {11, 12, 2, 3, 4, 5, 6}},
        KindCase{"digitAfterTheNameIsSelected",
                 {{"camera12_SprfDiffuseReflectionImage.bmp", 2},
                  {"camera1_SprfSpecularReflectionImage.bmp", 1}},
                 {1, 2}},
        KindCase{"pathWithTwoKeysIsReadInEachPass",
                 {{"camera1_SprfShapeImage1_SprfShapeImage2.bmp", 34},
                  {"camera1_SprfSpecularReflectionImage.bmp", 1},
                  {"camera1_SprfDiffuseReflectionImage.bmp", 2},
                  {"camera1_SprfNormalImage.bmp", 6}},
                 {1, 2, 34, 34}}),
    [](const testing::TestParamInfo<KindCase>& info) { return info.param.name; });

TEST_F(Capture, cameraNameInTheRootPathSelectsEveryListedFile) {
    writeIdentityBmp(tree, "camera3P_rec/cap/b.bmp", 2);
    writeIdentityBmp(tree, "camera3P_rec/cap/a.bmp", 1);
    writeIdentityBmp(tree, "camera3P_rec/cap/c.png", 3);
    configureOrFail("camera3P", tree.path("camera3P_rec"));
    EXPECT_EQ(captureIds(), (Ids{1, 2}));
}

TEST_F(Capture, matchingSubFolderIsListedAndEntered) {
    writeIdentityBmp(tree, "rec/cap/camera3N_dir_bmp/x.bmp", 8);
    writeIdentityBmp(tree, "rec/cap/sub_bmp/camera3N_in.bmp", 7);
    writeIdentityBmp(tree, "rec/cap/plain/camera3N_hidden.bmp", 9);
    configureOrFail("camera3N", tree.path("rec"));
    // The matching folder's own path is selected and reads as an empty image;
    // "plain" does not end in "bmp" and is not entered.
    EXPECT_EQ(captureIds(), (Ids{unreadable, 8, 7}));
}

TEST_F(Capture, unreadableFilesBecomeEmptyImagesAndTheCaptureCompletes) {
    tree.writeFile("rec/cap/camera3P_a_junk.bmp", "this is no image");
    tree.writeFile("rec/cap/camera3P_b_huge.bmp", bmpHeaderDeclaring(50000, 50000));
    tree.writeFile("rec/cap/camera3P_c_negative.bmp", bmpHeaderDeclaring(16, -2147483647));
    tree.writeFile("rec/cap/camera3P_d_empty.bmp", "");
    writeIdentityBmp(tree, "rec/cap/camera3P_e_good.bmp", 5);
    configureOrFail("camera3P", tree.path("rec"));
    EXPECT_EQ(captureIds(), (Ids{unreadable, unreadable, unreadable, unreadable, 5}));
}

class Rounds : public Capture {
protected:
    void writeFolders(int count) {
        for (int folder = 1; folder <= count; ++folder) {
            writeIdentityBmp(tree, "rec/f" + std::to_string(folder) + "/camera2.bmp", folder);
        }
    }
};

TEST_F(Rounds, capturesWrapAroundTheFolders) {
    writeFolders(3);
    configureOrFail("camera2", tree.path("rec"));
    Ids taken;
    for (int i = 0; i < 7; ++i) {
        taken.push_back(captureIds().at(0));
    }
    EXPECT_EQ(taken, (Ids{1, 2, 3, 1, 2, 3, 1}));
}

TEST_F(Rounds, unknownCameraStillAdvancesTheFolder) {
    writeFolders(3);
    configureOrFail("camera9", tree.path("rec"));
    EXPECT_EQ(captureIds(), Ids{});
    EXPECT_EQ(captureIds(), Ids{});
    // Reconfiguring appends the walk again (six folders); the index stays.
    configureOrFail("camera2", tree.path("rec"));
    EXPECT_EQ(captureIds(), Ids{3});
    EXPECT_EQ(captureIds(), Ids{1});
}

TEST_F(Rounds, folderIndexPastTheEndWrapsToTheFirstFolder) {
    writeFolders(3);
    configureOrFail("camera9", tree.path("rec"));
    for (int i = 0; i < 8; ++i) {
        capture();
    }
    configureOrFail("camera2", tree.path("rec")); // six folders, index at 8
    EXPECT_EQ(captureIds(), Ids{1});
    EXPECT_EQ(captureIds(), Ids{2});
}

TEST_F(Rounds, capturesWithNoFolderCompleteEmpty) {
    tree.writeFile("rec/camera2.bmp"); // a file at the root is no capture folder
    EXPECT_EQ(captureIds(), Ids{});    // never configured
    configureOrFail("camera2", tree.path("rec"));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(captureIds(), Ids{});
    }
}

TEST_F(Capture, getResultWithNothingPendingLeavesTheListAlone) {
    std::vector<cv::Mat> images{cv::Mat(1, 1, CV_8UC1, cv::Scalar(77))};
    EXPECT_FALSE(module->getResult(images, nullptr));
    EXPECT_EQ(identitiesOf(images), Ids{77});
}

TEST_F(Capture, getResultAppendsEveryPendingCaptureOnceBehindTheCallersImages) {
    writeIdentityBmp(tree, "rec/f1/camera3P_1.bmp", 1);
    writeIdentityBmp(tree, "rec/f1/camera3P_2.bmp", 2);
    writeIdentityBmp(tree, "rec/f2/camera3P.bmp", 3);
    configureOrFail("camera3P", tree.path("rec"));
    ASSERT_TRUE(module->run());
    ASSERT_TRUE(module->run());
    std::vector<cv::Mat> images{cv::Mat(1, 1, CV_8UC1, cv::Scalar(77))};
    ASSERT_TRUE(module->getResult(images, nullptr));
    EXPECT_EQ(identitiesOf(images), (Ids{77, 1, 2, 3}));
    EXPECT_FALSE(module->getResult(images, nullptr));
    EXPECT_EQ(images.size(), 4u);
    // The caller's list holds the only handle: the module kept none.
    for (std::size_t i = 1; i < images.size(); ++i) {
        EXPECT_EQ(images[i].u->refcount, 1) << "image " << i;
    }
}

// QDebug prints a QString inside double quotes, with backslashes and quotes
// escaped: a Windows root shows each backslash doubled.
std::string quotedLikeQDebug(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + "\"";
}

TEST_F(Capture, runLogsStartAndEndLinesWithContext) {
    writeIdentityBmp(tree, "rec/cap/camera2.bmp", 1);
    const std::string param = "camera2,x,3," + tree.path("rec");
    configureOrFail("camera2", tree.path("rec"));
    module->setParam(nullptr, QByteArray::fromStdString(param));
    logs.clear();
    capture();
    const auto records = logs.records();
    ASSERT_EQ(logs.texts(),
              (std::vector<std::string>{"[INFO]   run start " + quotedLikeQDebug(param),
                                        "[INFO]  174  run end"}));
    for (const auto& record : records) {
        EXPECT_EQ(record.type, QtDebugMsg);
        EXPECT_NE(record.file.find("Kelvra_FolderFeed.cpp"), std::string::npos);
        EXPECT_GT(record.line, 0);
        EXPECT_NE(record.function.find("Kelvra_FolderFeed::run"), std::string::npos);
    }
}

TEST_F(Capture, runStartLineShowsAnEmptyTextBeforeAnySetParam) {
    capture();
    EXPECT_EQ(logs.texts().at(1), "[INFO]   run start \"\"");
}

// QThread::start does nothing while the previous capture's thread is still
// finishing; many quick captures in a row would then hang the host.
TEST_F(Rounds, restartWhileWorkerStillFinishing) {
    writeFolders(3);
    tree.makeFolder("empty/one");
    configureOrFail("camera2", tree.path("rec"));
    for (int i = 0; i < 600; ++i) {
        ASSERT_EQ(captureIds(), Ids{i % 3 + 1}) << "capture " << i;
    }
    configureOrFail("camera2", tree.path("empty")); // nothing to load: fastest captures
    for (int i = 0; i < 600; ++i) {
        capture();
    }
}

#if !defined(_WIN32)
// Windows has no process limit that a test could set this way.
// With no thread to be had (a process limit reached), run must neither hang
// waiting for a worker that never started nor lose the capture.
TEST(CaptureWithoutThreads, runLoadsOnTheHostThreadWhenNoThreadCanStart) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/f1/camera3P.bmp", 1);
    writeIdentityBmp(tree, "rec/f2/camera3P.bmp", 2);
    const std::string outcome = runUnprivileged([&] {
        const rlimit oneProcess{1, 1};
        if (setrlimit(RLIMIT_NPROC, &oneProcess) != 0) {
            return std::string("setrlimit failed");
        }
        ModuleLibrary library(FOLDERFEED_MODULE_PATH);
        ModulePtr module = library.createModule();
        module->setParam(nullptr, QByteArray::fromStdString("camera3P,,1," + tree.path("rec")));
        if (!module->applyParam(nullptr)) {
            return std::string("rejected");
        }
        std::string taken;
        for (int i = 0; i < 3; ++i) {
            std::vector<cv::Mat> images;
            module->run();
            module->getResult(images, nullptr);
            for (int identity : identitiesOf(images)) {
                taken += std::to_string(identity);
            }
        }
        return taken;
    });
    if (outcome == runUnprivilegedUnavailable) {
        GTEST_SKIP() << "cannot drop root privileges here, and root ignores the process limit";
    }
    EXPECT_EQ(outcome, "121");
}
#endif

} // namespace
