#include "ContactSheet.h"
#include "CsvFile.h"
#include "Folderfeed.h"
#include "ImageFileCheck.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string reason(ImageFileProblem problem) {
    return describeProblem(problem);
}

void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

// An 8-bit BMP, whole and of a sane size, whose header claims 1000 palette
// entries: the decoder refuses it (at most 256), while the module's check,
// which looks at the kind of content and the size, lets it through.
std::string bmpWithOversizedPalette() {
    std::string bytes = bmpHeaderDeclaring(4, 3);
    bytes[28] = 8; // bits per pixel, two bytes
    bytes[29] = 0;
    putLittleEndian(bytes, 46, 1000);      // colours used
    putLittleEndian(bytes, 10, 54 + 1024); // pixel data behind a full palette
    bytes += std::string(1024 + 4 * 3, '\0');
    return bytes;
}

// Which files of a recording become empty images, and why: each as the
// module's own check names it, or "the decoder failed" when that check lets
// the file through.
struct EmptyFile {
    std::string name;
    ImageFileProblem problem;
};

void plantEmptyFiles(const TempTree& tree) {
    tree.writeFile("rec/b/camera3P_0_text.bmp", "not an image at all");
    ASSERT_EQ(mkfifo(tree.path("rec/b/camera3P_1_pipe.bmp").c_str(), 0600), 0);
    tree.writeFile("rec/b/camera3P_2_huge.bmp", bmpHeaderDeclaring(200000, 200000));
    tree.writeFile("rec/b/camera3P_3_palette.bmp", bmpWithOversizedPalette());
    writeIdentityBmp(tree, "rec/b/camera3P_4_fine.bmp", 44);
}

const std::vector<EmptyFile> plantedEmptyFiles = {
    {"camera3P_0_text.bmp", ImageFileProblem::NotBmpOrTiff},
    {"camera3P_1_pipe.bmp", ImageFileProblem::NotRegularFile},
    {"camera3P_2_huge.bmp", ImageFileProblem::TooLargeToDecode},
    {"camera3P_3_palette.bmp", ImageFileProblem::DecoderFailed},
};

TEST(ReplayEmptyImages, areNamedWithTheirPathAndReason) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/a/camera3P_0.bmp", 10);
    plantEmptyFiles(tree);
    ASSERT_EQ(checkImageFile(tree.path("rec/b/camera3P_3_palette.bmp")), ImageFileProblem::None)
        << "the module's check now refuses this file: plant another one that only the decoder "
           "refuses";

    for (const char* verbosity : {"", "--quiet"}) {
        std::vector<std::string> arguments = {"replay", tree.path("rec"), "--camera", "camera3P"};
        if (*verbosity != '\0') {
            arguments.push_back(verbosity);
        }
        const ProgramResult result = folderfeed(arguments);
        ASSERT_EQ(result.status, 0) << result.err;
        for (std::size_t i = 0; i < plantedEmptyFiles.size(); ++i) {
            const EmptyFile& file = plantedEmptyFiles[i];
            const std::string line = "  image " + std::to_string(i) + ": empty, " +
                                     reason(file.problem) + ": " + tree.path("rec/b/" + file.name) +
                                     "\n";
            EXPECT_NE(result.out.find(line), std::string::npos) << verbosity << " should say\n"
                                                                << line << result.out;
        }
        EXPECT_NE(result.out.find("capture 1: 5 images"), std::string::npos) << result.out;
        EXPECT_NE(result.out.find("2 captures, 6 images, 4 unreadable, "), std::string::npos)
            << result.out;
        // --quiet leaves out the captures where nothing went wrong.
        const bool quiet = *verbosity != '\0';
        EXPECT_EQ(result.out.find("capture 0: 1 image") != std::string::npos, !quiet)
            << verbosity << "\n"
            << result.out;
    }
}

// The decoder's own complaint about the palette file is OpenCV's line on
// standard error, which the program holds back unless --verbose asks for it.
TEST(ReplayDecoderMessages, areSilentUnlessVerbose) {
    TempTree tree;
    tree.writeFile("rec/a/camera3P_palette.bmp", bmpWithOversizedPalette());
    const ProgramResult plain = folderfeed({"replay", tree.path("rec"), "--camera", "camera3P"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.err.find("imdecode_("), std::string::npos) << plain.err;
    const ProgramResult verbose =
        folderfeed({"replay", tree.path("rec"), "--camera", "camera3P", "--verbose"});
    ASSERT_EQ(verbose.status, 0) << verbose.err;
    EXPECT_NE(verbose.err.find("imdecode_(''): can't read header"), std::string::npos)
        << verbose.err;
}

std::string depthText(const cv::Mat& image) {
    return image.depth() == CV_16U ? "16U" : "8U";
}

// The manifest, row by row, against the files of the recording: every saved
// image is the source file's content, and every row names where it came from.
TEST(ReplayManifest, tracesEverySavedImageBackToItsSourceFile) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/a/camera2_x.bmp", 10);
    writeIdentityTiff16(tree, "rec/a/camera2_y.tiff", 3000);
    // A folder name that CSV must quote.
    const std::string quoted = "b, \"two\"";
    tree.writeFile("rec/" + quoted + "/camera2_x.bmp", "not an image");
    writeIdentityTiff16(tree, "rec/" + quoted + "/camera2_y.tiff", 4000);
    tree.writeFile("rec/c/notes.txt", "nothing for the camera");
    const std::string saved = tree.path("saved");

    const ProgramResult result = folderfeed(
        {"replay", tree.path("rec"), "--camera", "camera2", "--captures", "4", "--save", saved});
    ASSERT_EQ(result.status, 0) << result.err;

    struct ExpectedRow {
        int capture;
        std::string folder;
        std::string image;
        std::string source; // relative to the recording; empty for none
        std::string status;
    };
    const std::string notBmpOrTiff = "empty: " + reason(ImageFileProblem::NotBmpOrTiff);
    const std::vector<ExpectedRow> expected = {
        {0, "a", "0", "a/camera2_x.bmp", "ok"},
        {0, "a", "1", "a/camera2_y.tiff", "ok"},
        {1, quoted, "0", quoted + "/camera2_x.bmp", notBmpOrTiff},
        {1, quoted, "1", quoted + "/camera2_y.tiff", "ok"},
        {2, "c", "", "", "no images"},
        {3, "a", "0", "a/camera2_x.bmp", "ok"},
        {3, "a", "1", "a/camera2_y.tiff", "ok"},
    };
    const std::vector<std::map<std::string, std::string>> rows =
        readCsvFile(saved + "/manifest.csv");
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const ExpectedRow& want = expected[r];
        const std::map<std::string, std::string>& row = rows[r];
        SCOPED_TRACE("row " + std::to_string(r));
        EXPECT_EQ(row.at("capture"), std::to_string(want.capture));
        EXPECT_EQ(row.at("capture_folder"), tree.path("rec/" + want.folder));
        EXPECT_EQ(row.at("image"), want.image);
        EXPECT_EQ(row.at("source_path"),
                  want.source.empty() ? "" : tree.path("rec/" + want.source));
        EXPECT_EQ(row.at("status"), want.status);
        if (want.status != "ok") {
            EXPECT_EQ(row.at("width"), "");
            EXPECT_EQ(row.at("saved_file"), "");
            continue;
        }
        const cv::Mat source = cv::imread(tree.path("rec/" + want.source), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(row.at("width"), std::to_string(source.cols));
        EXPECT_EQ(row.at("height"), std::to_string(source.rows));
        EXPECT_EQ(row.at("channels"), std::to_string(source.channels()));
        EXPECT_EQ(row.at("depth"), depthText(source));
        const cv::Mat copy = cv::imread(saved + "/" + row.at("saved_file"), cv::IMREAD_UNCHANGED);
        ASSERT_FALSE(copy.empty()) << row.at("saved_file");
        ASSERT_EQ(copy.type(), source.type());
        EXPECT_EQ(cv::norm(copy, source, cv::NORM_INF), 0.0) << row.at("saved_file");
    }
    EXPECT_NE(result.err.find("listed in " + saved + "/manifest.csv"), std::string::npos)
        << result.err;
}

// The root itself is never a capture: one error whatever the options, and
// nothing written.
class ReplayWithoutCaptureFolders : public testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ReplayWithoutCaptureFolders, isOneErrorThatNamesTheRule) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/camera1_SprfNormalImage.bmp", 1);
    std::vector<std::string> arguments = {"replay"};
    for (std::string argument : GetParam()) {
        const std::size_t root = argument.find("ROOT");
        if (root != std::string::npos) {
            argument.replace(root, 4, tree.path("rec"));
        }
        arguments.push_back(argument);
    }
    arguments.insert(arguments.end(),
                     {"--save", tree.path("saved"), "--sheet", tree.path("sheet.png")});
    const ProgramResult result = folderfeed(arguments);
    EXPECT_EQ(result.status, 4) << result.out << result.err;
    EXPECT_NE(result.err.find("folderfeed: no capture folders under " + tree.path("rec") +
                              ": the root folder itself is never a capture, every folder "
                              "beneath it is one; put the images in a sub-folder\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(linesStartingWith(result.err, "folderfeed:").size(), 1u) << result.err;
    EXPECT_EQ(result.out.find("capture 0"), std::string::npos) << result.out;
    EXPECT_FALSE(fs::exists(tree.path("saved")));
    EXPECT_FALSE(fs::exists(tree.path("sheet.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReplayWithoutCaptureFolders,
    testing::Values(std::vector<std::string>{"ROOT", "--camera", "camera1"},
                    std::vector<std::string>{"ROOT", "--camera", "camera1", "--captures", "3"},
                    std::vector<std::string>{"ROOT", "--camera", "camera2", "--captures", "1",
                                             "--quiet"},
                    std::vector<std::string>{"--param", "camera1,x,7,ROOT", "--captures", "3"}));

// The pixels of a row's folder band that differ from the background: the
// columns they span, as [first, last], or {-1, -1} for none.
std::pair<int, int> labelExtent(const cv::Mat& sheet, int row) {
    const cv::Point origin = SheetLayout::rowLabelOrigin(row);
    std::pair<int, int> extent{-1, -1};
    for (int y = origin.y; y < origin.y + SheetLayout::rowLabelHeight; ++y) {
        for (int x = 0; x < sheet.cols; ++x) {
            const cv::Vec3b pixel = sheet.at<cv::Vec3b>(y, x);
            if (pixel[0] > 100) { // far above the background's 40
                extent.first = extent.first < 0 ? x : std::min(extent.first, x);
                extent.second = std::max(extent.second, x);
            }
        }
    }
    return extent;
}

TEST(ContactSheetRows, areLabelledWithTheirFolderAndEmptyCapturesStandOut) {
    TempTree tree;
    writeIdentityBmp(tree, "rec/a/camera3N_0.bmp", 60);
    writeIdentityBmp(tree, "rec/a/camera3N_1.bmp", 60);
    const std::string longName(150, 'x');
    writeIdentityBmp(tree, "rec/a" + longName + "/camera3N_0.bmp", 70);
    tree.writeFile("rec/b/other.txt");
    const std::string sheetPath = tree.path("sheet.png");
    const ProgramResult result =
        folderfeed({"replay", tree.path("rec"), "--camera", "camera3N", "--sheet", sheetPath});
    ASSERT_EQ(result.status, 0) << result.err;
    const cv::Mat sheet = cv::imread(sheetPath, cv::IMREAD_COLOR);
    ASSERT_EQ(sheet.size(), cv::Size(SheetLayout::sheetWidth(2), SheetLayout::sheetHeight(3)));

    // "a", the long name shortened to the sheet's width, "b".
    const std::pair<int, int> shortLabel = labelExtent(sheet, 0);
    const std::pair<int, int> longLabel = labelExtent(sheet, 1);
    ASSERT_GE(shortLabel.first, SheetLayout::gap) << "no label on the first row";
    ASSERT_GE(longLabel.first, SheetLayout::gap) << "no label on the second row";
    EXPECT_LT(shortLabel.second, SheetLayout::gap + 20) << "a one-letter label";
    EXPECT_GT(longLabel.second, sheet.cols * 3 / 4) << "the long label fills the width";
    EXPECT_LT(longLabel.second, sheet.cols - SheetLayout::gap) << "and stays inside it";
    EXPECT_GE(labelExtent(sheet, 2).first, SheetLayout::gap) << "no label on the empty capture";

    const cv::Point middle(SheetLayout::cellWidth / 2,
                           SheetLayout::labelHeight + SheetLayout::thumbnailHeight / 2);
    const cv::Vec3b emptyCapture = sheet.at<cv::Vec3b>(SheetLayout::cellOrigin(2, 0) + middle);
    const cv::Vec3b background = sheet.at<cv::Vec3b>(SheetLayout::cellOrigin(2, 1) + middle);
    const cv::Vec3b unreadable(static_cast<uchar>(sheet_colors::unreadableCell[0]),
                               static_cast<uchar>(sheet_colors::unreadableCell[1]),
                               static_cast<uchar>(sheet_colors::unreadableCell[2]));
    // Told apart at a glance: far apart in at least one channel.
    EXPECT_GT(cv::norm(emptyCapture, background, cv::NORM_INF), 80.0)
        << emptyCapture << " against " << background;
    EXPECT_GT(cv::norm(emptyCapture, unreadable, cv::NORM_INF), 80.0)
        << emptyCapture << " against " << unreadable;
}

} // namespace
