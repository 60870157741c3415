#include "Folderfeed.h"
#include "ImageFileCheck.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kinds[] = {"SprfSpecularReflectionImage",
                             "SprfDiffuseReflectionImage",
                             "SprfShapeImage1",
                             "SprfShapeImage2",
                             "SprfGlossRatioImage",
                             "SprfNormalImage"};

// Three capture folders a, b and c under root, each with everything that
// every camera needs: nothing to warn about.
void writeCleanRecording(const TempTree& tree, const std::string& root) {
    for (const char* folder : {"a", "b", "c"}) {
        const std::string base = root + "/" + folder + "/";
        for (const char* kind : kinds) {
            writeIdentityBmp(tree, base + "shot_camera1_" + kind + ".bmp", 1);
        }
        writeIdentityBmp(tree, base + "camera2_color.bmp", 2);
        writeIdentityTiff16(tree, base + "camera2_depth.tiff", 2000);
        writeIdentityBmp(tree, base + "camera3N_0.bmp", 3);
        writeIdentityBmp(tree, base + "camera3N_1.bmp", 4);
    }
}

std::string summaryLineOf(const std::string& out) {
    const std::size_t start = out.rfind('\n', out.size() >= 2 ? out.size() - 2 : 0);
    return out.substr(start == std::string::npos ? 0 : start + 1);
}

TEST(InspectCleanRecording, warnsAboutNothingForAnyCamera) {
    TempTree tree;
    writeCleanRecording(tree, "rec");
    // camera3P has no files in it; the traps below check what inspect says then.
    for (const char* camera : {"camera1", "camera2", "camera3N"}) {
        const ProgramResult result = folderfeed({"inspect", tree.path("rec"), "--camera", camera});
        EXPECT_EQ(result.status, 0) << camera << "\n" << result.out;
        EXPECT_NE(summaryLineOf(result.out).find(", 0 warnings"), std::string::npos)
            << camera << "\n"
            << result.out;
    }
}

struct Trap {
    std::string name;
    std::string camera;
    // The recording's root below the test's temp folder.
    std::string root;
    std::function<void(const TempTree&)> plant;
    // The warning, as inspect must print it.
    std::function<std::string(const TempTree&)> warning;
    std::string kind;
};

class InspectTrap : public testing::TestWithParam<Trap> {};

TEST_P(InspectTrap, isNamedWithItsKindAndExitStatusOne) {
    const Trap& trap = GetParam();
    TempTree tree;
    writeCleanRecording(tree, trap.root);
    trap.plant(tree);
    const std::string warning = trap.warning(tree);

    const ProgramResult result =
        folderfeed({"inspect", tree.path(trap.root), "--camera", trap.camera});
    EXPECT_EQ(result.status, 1) << result.out << result.err;
    EXPECT_NE(result.out.find("warning: " + warning + "\n"), std::string::npos)
        << "should warn: " << warning << "\n"
        << result.out;
    const std::string summary = summaryLineOf(result.out);
    EXPECT_NE(summary.find(trap.kind + ": "), std::string::npos) << summary;
}

void remove(const TempTree& tree, const std::string& relative) {
    fs::remove(tree.path(relative));
}

std::string text(const std::string& fixed) {
    return fixed;
}

INSTANTIATE_TEST_SUITE_P(
    Traps, InspectTrap,
    testing::Values(
        Trap{"cameraNameInRoot", "camera1", "camera1_run", [](const TempTree&) {},
             [](const TempTree& tree) {
                 return "the root folder's path contains 'camera1' (" + tree.path("camera1_run") +
                        "): every file beneath it whose name ends in 'bmp' is taken for "
                        "camera1, other cameras' files included";
             },
             "name in folder path"},
        Trap{"imageKindInFolderName", "camera1", "rec",
             [](const TempTree& tree) {
                 fs::rename(tree.path("rec/b"), tree.path("rec/b_SprfShapeImage1"));
             },
             [](const TempTree&) {
                 return text("the folder path contains the image kind 'SprfShapeImage1' "
                             "(b_SprfShapeImage1): every camera1 file beneath it is handed over "
                             "again in SprfShapeImage1's pass");
             },
             "name in folder path"},
        Trap{"cameraNameInFolderName", "camera3N", "rec",
             [](const TempTree& tree) {
                 fs::rename(tree.path("rec/c"), tree.path("rec/c_camera3N"));
             },
             [](const TempTree&) {
                 return text("the folder path contains 'camera3N' (c_camera3N): every file "
                             "beneath it whose name ends in 'bmp' is taken for camera3N, other "
                             "cameras' files included");
             },
             "name in folder path"},
        Trap{"missingTiff", "camera2", "rec",
             [](const TempTree& tree) { remove(tree, "rec/b/camera2_depth.tiff"); },
             [](const TempTree&) {
                 return text("hands over 1 image (1 bmp, 0 tiff) where most capture folders "
                             "(2 of 3) hand over 2");
             },
             "image count"},
        Trap{"oneOfTwoFiles", "camera3N", "rec",
             [](const TempTree& tree) { remove(tree, "rec/c/camera3N_1.bmp"); },
             [](const TempTree&) {
                 return text("hands over 1 image where most capture folders (2 of 3) hand over 2");
             },
             "image count"},
        Trap{"notBmpContent", "camera3N", "rec",
             [](const TempTree& tree) { tree.writeFile("rec/a/camera3N_0.bmp", "{\"json\": 1}"); },
             [](const TempTree& tree) {
                 return std::string("handed over as an empty image, ") +
                        describeProblem(ImageFileProblem::NotBmpOrTiff) + ": " +
                        tree.path("rec/a/camera3N_0.bmp");
             },
             "empty image"},
        Trap{"refusedHeader", "camera2", "rec",
             [](const TempTree& tree) {
                 tree.writeFile("rec/b/camera2_color.bmp", bmpHeaderDeclaring(200000, 200000));
             },
             [](const TempTree& tree) {
                 return std::string("handed over as an empty image, ") +
                        describeProblem(ImageFileProblem::TooLargeToDecode) + ": " +
                        tree.path("rec/b/camera2_color.bmp");
             },
             "empty image"},
        // A TIFF signature and nothing behind it. Which reason the module's
        // check gives is the check's business; inspect must give that one.
        Trap{"truncatedHeader", "camera2", "rec",
             [](const TempTree& tree) {
                 tree.writeFile("rec/c/camera2_depth.tiff", std::string("II*\0", 4));
             },
             [](const TempTree& tree) {
                 const std::string path = tree.path("rec/c/camera2_depth.tiff");
                 const ImageFileProblem problem = checkImageFile(path);
                 EXPECT_NE(problem, ImageFileProblem::None) << "the module's check lets it pass";
                 return std::string("handed over as an empty image, ") + describeProblem(problem) +
                        ": " + path;
             },
             "empty image"},
        Trap{"folderOfFolders", "camera3N", "rec",
             [](const TempTree& tree) {
                 fs::create_directory(tree.path("rec/c/inner"));
                 for (const auto& entry : fs::directory_iterator(tree.path("rec/c"))) {
                     if (entry.is_regular_file()) {
                         fs::rename(entry.path(),
                                    tree.path("rec/c/inner/" + entry.path().filename().string()));
                     }
                 }
             },
             [](const TempTree&) {
                 return text("holds only folders, yet is a capture of its own (every folder "
                             "beneath the root is one capture, each before the folders inside "
                             "it): this capture hands over no images");
             },
             "folder of folders"},
        Trap{"filesInTheRoot", "camera3N", "rec",
             [](const TempTree& tree) { writeIdentityBmp(tree, "rec/camera3N_0.bmp", 9); },
             [](const TempTree&) {
                 return text("1 camera3N file lies in the root folder itself, which is never a "
                             "capture: it is never loaded; put the images in a sub-folder");
             },
             "files in the root"},
        Trap{"nothingForTheCamera", "camera3P", "rec", [](const TempTree&) {},
             [](const TempTree&) {
                 return text("nothing for camera3P here: this capture hands over no images");
             },
             "nothing for the camera"}),
    [](const testing::TestParamInfo<Trap>& info) { return info.param.name; });

TEST(InspectQuiet, showsOnlyTheFoldersWithWarningsAndTheSummary) {
    TempTree tree;
    writeCleanRecording(tree, "rec");
    tree.writeFile("rec/b/camera3N_1.bmp", "not an image");

    const ProgramResult noisy = folderfeed({"inspect", tree.path("rec"), "--camera", "camera3N"});
    const ProgramResult quiet =
        folderfeed({"inspect", tree.path("rec"), "--camera", "camera3N", "--quiet"});
    EXPECT_EQ(quiet.status, 1) << quiet.out << quiet.err;
    EXPECT_EQ(quiet.out, "capture 1: " + tree.path("rec/b") + "\n" +
                             linesStartingWith(noisy.out, "  warning: ").front() + "\n" +
                             summaryLineOf(noisy.out))
        << "quiet:\n"
        << quiet.out << "\nin full:\n"
        << noisy.out;

    remove(tree, "rec/b/camera3N_1.bmp");
    writeIdentityBmp(tree, "rec/b/camera3N_1.bmp", 4);
    const ProgramResult clean =
        folderfeed({"inspect", tree.path("rec"), "--camera", "camera3N", "--quiet"});
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_EQ(clean.out, "3 capture folders, 6 images for camera3N, 0 warnings\n");
}

} // namespace
