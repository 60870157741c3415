#include "ContactSheet.h"
#include "Folderfeed.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Captures = std::vector<std::vector<std::string>>;

std::string twoDigits(std::size_t number, int width) {
    std::string text = std::to_string(number);
    return std::string(text.size() < static_cast<std::size_t>(width) ? width - text.size() : 0,
                       '0') +
           text;
}

// A recording ("rec") of two capture folders with every camera's files, names shuffled against the
// order in which they are handed over. "b" holds four "camera1" kinds only,
// so the pass-count rule hands over two of them.
void writeRecording(const TempTree& tree) {
    const std::map<std::string, int> bmps = {
        {"a/shot_camera1_SprfNormalImage.bmp", 6},
        {"a/shot_camera1_SprfSpecularReflectionImage.bmp", 1},
        {"a/shot_camera1_SprfShapeImage2.bmp", 4},
        {"a/shot_camera1_SprfDiffuseReflectionImage.bmp", 2},
        {"a/shot_camera1_SprfGlossRatioImage.bmp", 5},
        {"a/shot_camera1_SprfShapeImage1.bmp", 3},
        {"a/camera2_b.bmp", 20},
        {"a/camera3P_1.bmp", 31},
        {"a/camera3P_0.bmp", 30},
        {"a/camera3N_0.bmp", 40},
        {"b/shot_camera1_SprfNormalImage.bmp", 106},
        {"b/shot_camera1_SprfGlossRatioImage.bmp", 105},
        {"b/shot_camera1_SprfDiffuseReflectionImage.bmp", 102},
        {"b/shot_camera1_SprfSpecularReflectionImage.bmp", 101},
        {"b/camera2_b.bmp", 120},
        {"b/camera3P_0.bmp", 130},
        {"b/camera3N_0.bmp", 140},
    };
    for (const auto& [relative, identity] : bmps) {
        writeIdentityBmp(tree, "rec/" + relative, identity);
    }
    // Sorts before the bmp by name, is handed over after it; 16-bit values.
    writeIdentityTiff16(tree, "rec/a/camera2_a.tiff", 3000);
    writeIdentityTiff16(tree, "rec/b/camera2_a.tiff", 4000);
}

struct CameraCase {
    std::string camera;
    // Source files, relative to the recording, of captures 0, 1 and 2 (the
    // third wraps round to the first folder).
    Captures expected;
};

class ReplayCamera : public testing::TestWithParam<CameraCase> {};

TEST_P(ReplayCamera, handsOverEachCapturesImagesInOrderAndSavesThemUnchanged) {
    const CameraCase& param = GetParam();
    TempTree tree;
    writeRecording(tree);
    const std::string saved = tree.path("saved");

    const ProgramResult result = folderfeed(
        {"replay", tree.path("rec"), "--camera", param.camera, "--captures", "3", "--save", saved});
    ASSERT_EQ(result.status, 0) << result.err;

    for (std::size_t capture = 0; capture < param.expected.size(); ++capture) {
        const std::vector<std::string>& sources = param.expected[capture];
        EXPECT_NE(result.out.find("capture " + std::to_string(capture) + ": " +
                                  std::to_string(sources.size()) + " image"),
                  std::string::npos)
            << result.out;
        const fs::path folder = fs::path(saved) / ("capture_" + twoDigits(capture, 4));
        std::size_t filesSaved = 0;
        for (const auto& entry : fs::directory_iterator(folder)) {
            (void)entry;
            ++filesSaved;
        }
        EXPECT_EQ(filesSaved, sources.size()) << folder;
        for (std::size_t i = 0; i < sources.size(); ++i) {
            const cv::Mat original =
                cv::imread(tree.path("rec/" + sources[i]), cv::IMREAD_UNCHANGED);
            const fs::path savedPath = folder / ("image_" + twoDigits(i, 2) + ".png");
            const cv::Mat copy = cv::imread(savedPath.string(), cv::IMREAD_UNCHANGED);
            ASSERT_FALSE(copy.empty()) << savedPath;
            EXPECT_EQ(copy.type(), original.type()) << savedPath;
            ASSERT_EQ(copy.size(), original.size()) << savedPath;
            EXPECT_EQ(cv::norm(copy, original, cv::NORM_INF), 0.0)
                << savedPath << " should equal " << sources[i];
        }
    }
    EXPECT_NE(result.out.find("3 captures"), std::string::npos) << result.out;
}

const Captures camera1Expected = {
    {"a/shot_camera1_SprfSpecularReflectionImage.bmp",
     "a/shot_camera1_SprfDiffuseReflectionImage.bmp", "a/shot_camera1_SprfShapeImage1.bmp",
     "a/shot_camera1_SprfShapeImage2.bmp", "a/shot_camera1_SprfGlossRatioImage.bmp",
     "a/shot_camera1_SprfNormalImage.bmp"},
    {"b/shot_camera1_SprfSpecularReflectionImage.bmp",
     "b/shot_camera1_SprfDiffuseReflectionImage.bmp"},
};

INSTANTIATE_TEST_SUITE_P(
    Cameras, ReplayCamera,
    testing::Values(
        CameraCase{"camera1", {camera1Expected[0], camera1Expected[1], camera1Expected[0]}},
        CameraCase{"camera2",
                   {{"a/camera2_b.bmp", "a/camera2_a.tiff"},
                    {"b/camera2_b.bmp", "b/camera2_a.tiff"},
                    {"a/camera2_b.bmp", "a/camera2_a.tiff"}}},
        CameraCase{"camera3P",
                   {{"a/camera3P_0.bmp", "a/camera3P_1.bmp"},
                    {"b/camera3P_0.bmp"},
                    {"a/camera3P_0.bmp", "a/camera3P_1.bmp"}}},
        CameraCase{"camera3N", {{"a/camera3N_0.bmp"}, {"b/camera3N_0.bmp"}, {"a/camera3N_0.bmp"}}}),
    [](const testing::TestParamInfo<CameraCase>& info) { return info.param.camera; });

cv::Vec3b pixelAt(const cv::Mat& sheet, int row, int column, cv::Point inCell) {
    return sheet.at<cv::Vec3b>(SheetLayout::cellOrigin(row, column) + inCell);
}

cv::Vec3b bgr(const cv::Scalar& color) {
    return cv::Vec3b(static_cast<uchar>(color[0]), static_cast<uchar>(color[1]),
                     static_cast<uchar>(color[2]));
}

TEST(ContactSheet, showsOneRowPerCaptureWithMarkedCellsForUnreadableAndEmptyCaptures) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/a/camera3P_0.bmp", 50);
    writeIdentityBmp(tree, "rec/a/camera3P_1.bmp", 200);
    tree.writeFile("rec/b/camera3P_0.bmp", "not an image");
    writeIdentityBmp(tree, "rec/b/camera3P_1.bmp", 90);
    tree.writeFile("rec/c/camera3P_0.png", "not listed");
    const std::string sheetPath = tree.path("sheet.png");

    const ProgramResult result =
        folderfeed({"replay", tree.path("rec"), "--camera", "camera3P", "--sheet", sheetPath});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("capture 1: 2 images"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("unreadable"), std::string::npos) << result.out;

    const cv::Mat sheet = cv::imread(sheetPath, cv::IMREAD_COLOR);
    ASSERT_FALSE(sheet.empty());
    EXPECT_EQ(sheet.size(), cv::Size(SheetLayout::sheetWidth(2), SheetLayout::sheetHeight(3)));

    // The middle of the image area, and a point of a marked cell away from
    // its cross and its label.
    const cv::Point middle(SheetLayout::cellWidth / 2,
                           SheetLayout::labelHeight + SheetLayout::thumbnailHeight / 2);
    const cv::Point offCross(SheetLayout::cellWidth / 2, SheetLayout::labelHeight + 12);
    EXPECT_EQ(pixelAt(sheet, 0, 0, middle), cv::Vec3b(50, 50, 50));
    EXPECT_EQ(pixelAt(sheet, 0, 1, middle), cv::Vec3b(200, 200, 200));
    EXPECT_EQ(pixelAt(sheet, 1, 0, offCross), bgr(sheet_colors::unreadableCell));
    EXPECT_EQ(pixelAt(sheet, 1, 1, middle), cv::Vec3b(90, 90, 90));
    EXPECT_EQ(pixelAt(sheet, 2, 0, middle), bgr(sheet_colors::noImagesCell));
    EXPECT_EQ(pixelAt(sheet, 2, 1, middle), bgr(sheet_colors::background));
}

TEST(Inspect, listsHandOverOrderAndPassesACleanRecording) {
    TempTree tree;
    writeRecording(tree);
    const ProgramResult result = folderfeed({"inspect", tree.path("rec"), "--camera", "camera2"});
    EXPECT_EQ(result.status, 0) << result.out << result.err;
    const std::size_t bmp = result.out.find("image 0: " + tree.path("rec/a/camera2_b.bmp"));
    const std::size_t tiff = result.out.find("image 1: " + tree.path("rec/a/camera2_a.tiff"));
    EXPECT_NE(bmp, std::string::npos) << result.out;
    EXPECT_NE(tiff, std::string::npos) << result.out;
    EXPECT_NE(result.out.find("0 warnings"), std::string::npos) << result.out;
}

struct PlantedFault {
    std::string camera;
    std::string warning;
};

// Each planted fault must be named, with the path it concerns where it has one.
TEST(Inspect, namesEveryPlantedFaultAndExitsWithStatusOne) {
    TempTree tree;
    for (const char* kind : {"SprfSpecularReflectionImage", "SprfDiffuseReflectionImage",
                             "SprfGlossRatioImage", "SprfNormalImage"}) {
        writeIdentityBmp(tree, std::string("rec/a/camera1_") + kind + ".bmp", 1);
    }
    writeIdentityBmp(tree, "rec/a/Camera1_SprfShapeImage1.bmp", 1);
    writeIdentityBmp(tree, "rec/a/camera2_x.bmp", 1);
    writeIdentityTiff16(tree, "rec/a/camera2_depth.tif", 1000);
    tree.writeFile("rec/a/camera1_SprfShapeImage2.png", "png");
    tree.makeFolder("rec/b/camera1_SprfSpecularReflectionImage.bmp");
    tree.makeFolder("rec/c");

    const std::vector<PlantedFault> faults = {
        {"camera1", "missing image kinds: SprfShapeImage1, SprfShapeImage2"},
        {"camera1", "SprfGlossRatioImage is skipped: with 4 camera1 files only the first 4 kinds "
                    "are read: " +
                        tree.path("rec/a/camera1_SprfGlossRatioImage.bmp")},
        {"camera1",
         "letter case differs from 'camera1': " + tree.path("rec/a/Camera1_SprfShapeImage1.bmp")},
        {"camera1",
         "reads only names ending in 'bmp': " + tree.path("rec/a/camera1_SprfShapeImage2.png")},
        {"camera1", "selected path is a folder, handed over as an empty image: " +
                        tree.path("rec/b/camera1_SprfSpecularReflectionImage.bmp")},
        {"camera1", "nothing for camera1 here"},
        {"camera2", "('.tif' is not 'tiff'): " + tree.path("rec/a/camera2_depth.tif")},
    };
    std::map<std::string, ProgramResult> results;
    for (const char* camera : {"camera1", "camera2"}) {
        results[camera] = folderfeed({"inspect", tree.path("rec"), "--camera", camera});
        EXPECT_EQ(results[camera].status, 1) << camera << "\n" << results[camera].out;
    }
    for (const PlantedFault& fault : faults) {
        EXPECT_NE(results[fault.camera].out.find(fault.warning), std::string::npos)
            << fault.camera << " should warn: " << fault.warning << "\n"
            << results[fault.camera].out;
    }
}

TEST(Inspect, warnsAboutARecordingWithoutCaptureFolders) {
    TempTree tree;
    tree.writeFile("rec/camera1_SprfNormalImage.bmp");
    const ProgramResult result = folderfeed({"inspect", tree.path("rec"), "--camera", "camera1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.out.find("no capture folders under " + tree.path("rec")), std::string::npos)
        << result.out;
}

struct LogDetailCase {
    std::string name;
    std::string flag;
    // Texts that standard error must hold, and must not hold.
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

class ModuleLogLines : public testing::TestWithParam<LogDetailCase> {};

// The module's log lines reach standard error through the program's Qt
// message handler, its two lines per capture only with --verbose; standard
// output keeps only the program's own lines.
TEST_P(ModuleLogLines, goToStandardErrorInTheChosenDetail) {
    const LogDetailCase& param = GetParam();
    TempTree tree;
    writeRecording(tree);
    std::vector<std::string> arguments = {"replay",   tree.path("rec"), "--camera",
                                          "camera3N", "--captures",     "1"};
    if (!param.flag.empty()) {
        arguments.push_back(param.flag);
    }
    const ProgramResult result = folderfeed(arguments);
    ASSERT_EQ(result.status, 0) << result.err;
    for (const std::string& text : param.present) {
        EXPECT_NE(result.err.find(text), std::string::npos) << text << "\n" << result.err;
    }
    for (const std::string& text : param.absent) {
        EXPECT_EQ(result.err.find(text), std::string::npos) << text << "\n" << result.err;
    }
    EXPECT_EQ(result.out.find("run start"), std::string::npos) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Details, ModuleLogLines,
    testing::Values(LogDetailCase{"plain", "", {}, {"module:", "run end"}},
                    LogDetailCase{"verbose",
                                  "--verbose",
                                  {"module: [INFO]  Kelvra_FolderFeed create success!  (debug, ",
                                   "module: [INFO]  174  run end  (debug, ",
                                   "Kelvra_FolderFeed.cpp:", "Kelvra_FolderFeed::run()"},
                                  {}},
                    LogDetailCase{"quiet", "--quiet", {}, {"module:", "run end"}}),
    [](const testing::TestParamInfo<LogDetailCase>& info) { return info.param.name; });

struct UserError {
    std::string name;
    // Arguments, with ROOT standing for a valid recording, FILE for a plain
    // file and TREE for the test's temp folder.
    std::vector<std::string> arguments;
    int status;
    std::string message;
};

class UserErrors : public testing::TestWithParam<UserError> {};

TEST_P(UserErrors, giveOneClearLineAndTheirExitStatus) {
    const UserError& param = GetParam();
    TempTree tree;
    writeRecording(tree);
    tree.writeFile("plain.txt", "not a library");
    tree.writeFile("full/x", "");
    const std::map<std::string, std::string> placeholders = {
        {"ROOT", tree.path("rec")}, {"FILE", tree.path("plain.txt")}, {"TREE", tree.rootText()}};
    auto substitute = [&placeholders](std::string text) {
        for (const auto& [key, value] : placeholders) {
            for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key)) {
                text.replace(at, key.size(), value);
            }
        }
        return text;
    };
    std::vector<std::string> arguments;
    for (const std::string& argument : param.arguments) {
        arguments.push_back(substitute(argument));
    }

    const ProgramResult result = folderfeed(arguments);
    EXPECT_EQ(result.status, param.status) << result.out << result.err;
    EXPECT_NE(result.err.find(substitute(param.message)), std::string::npos) << result.err;
    EXPECT_EQ(result.out.find("capture 0:"), std::string::npos) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UserErrors,
    testing::Values(
        UserError{"missingModule",
                  {"replay", "ROOT", "--camera", "camera1", "--module", "TREE/none.so"},
                  3,
                  "cannot load module library TREE/none.so"},
        UserError{"fileThatIsNoModule",
                  {"replay", "ROOT", "--camera", "camera1", "--module", "FILE"},
                  3,
                  "cannot load module library FILE"},
        UserError{
            "tooFewFields", {"replay", "--param", "camera1,x,1"}, 4, "rejected by the module"},
        UserError{"leadingComma", {"replay", "--param", ",x,1,ROOT"}, 4, "rejected by the module"},
        UserError{"badNumber", {"replay", "--param", "camera1,x,one,ROOT"}, 4, "bad number field"},
        UserError{"missingRoot",
                  {"replay", "TREE/missing", "--camera", "camera1"},
                  4,
                  "cannot walk the recording: "},
        UserError{"rootIsAFile",
                  {"replay", "FILE", "--camera", "camera1"},
                  4,
                  "cannot walk the recording: "},
        UserError{"noCaptureFolders",
                  {"replay", "TREE/full", "--camera", "camera1"},
                  4,
                  "no capture folders under TREE/full"},
        UserError{"inspectMissingRoot",
                  {"inspect", "TREE/missing", "--camera", "camera1"},
                  4,
                  "TREE/missing"},
        UserError{"saveIntoFullFolder",
                  {"replay", "ROOT", "--camera", "camera1", "--save", "TREE/full"},
                  5,
                  "TREE/full is not empty"},
        UserError{"sampleIntoFullFolder", {"sample", "TREE/full"}, 5, "TREE/full"},
        UserError{"unknownCamera", {"replay", "ROOT", "--camera", "camera9"}, 2, "camera9"},
        UserError{"zeroCaptures",
                  {"replay", "ROOT", "--camera", "camera1", "--captures", "0"},
                  2,
                  "--captures"},
        UserError{"sheetNotAnImage",
                  {"replay", "ROOT", "--camera", "camera1", "--sheet", "TREE/sheet.xyz"},
                  2,
                  "cannot write an image named"},
        UserError{
            "rootWithParam", {"replay", "ROOT", "--param", "camera1,x,1,ROOT"}, 2, "excludes"},
        UserError{"noCommand", {}, 2, "subcommand"},
        UserError{
            "unknownOption", {"inspect", "ROOT", "--camera", "camera1", "--fast"}, 2, "--fast"},
        UserError{"unknownCommandWithAMatch",
                  {"replya", "ROOT", "--camera", "camera1"},
                  2,
                  "folderfeed: unknown command 'replya' (did you mean 'replay'?); see folderfeed "
                  "--help"},
        UserError{"unknownCommandWithoutAMatch",
                  {"frobnicate"},
                  2,
                  "folderfeed: unknown command 'frobnicate'; see folderfeed --help"},
        UserError{"misspeltOption",
                  {"replay", "ROOT", "--camera", "camera1", "--captrues", "3"},
                  2,
                  "folderfeed replay: unknown option '--captrues' (did you mean '--captures'?); "
                  "see folderfeed replay --help"},
        // Named before the option that it leaves missing.
        UserError{"misspeltRequiredOption",
                  {"inspect", "ROOT", "--camra", "camera1"},
                  2,
                  "folderfeed inspect: unknown option '--camra' (did you mean '--camera'?); see "
                  "folderfeed inspect --help"},
        UserError{"misspeltOptionWithValue",
                  {"replay", "ROOT", "--camera", "camera1", "--sheet-row=4"},
                  2,
                  "unknown option '--sheet-row' (did you mean '--sheet-rows'?)"},
        UserError{"optionBeforeTheCommand",
                  {"--quiet", "inspect", "ROOT", "--camera", "camera1"},
                  2,
                  "folderfeed: unknown option '--quiet' before the command"},
        UserError{"capturesNotANumber",
                  {"replay", "ROOT", "--camera", "camera1", "--captures", "abc"},
                  2,
                  "folderfeed replay: --captures: wants a whole number from 1 to 2147483647, not "
                  "'abc'; see folderfeed replay --help"},
        UserError{"sampleWidthNotANumber",
                  {"sample", "TREE/new", "--width", "wide"},
                  2,
                  "folderfeed sample: --width: wants a whole number from 64 to 8192, not 'wide'"},
        UserError{"sheetNotPng",
                  {"replay", "ROOT", "--camera", "camera1", "--sheet", "TREE/sheet.jpg"},
                  2,
                  "--sheet writes a PNG image, give a name ending in .png"}),
    [](const testing::TestParamInfo<UserError>& info) { return info.param.name; });

} // namespace
