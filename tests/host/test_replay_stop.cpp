#include "ContactSheet.h"
#include "CsvFile.h"
#include "Folderfeed.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct StopSignal {
    std::string name;
    int signalNumber;
    int exitStatus;
};

class ReplayStop : public testing::TestWithParam<StopSignal> {};

// A replay far longer than the test waits, stopped by a signal once it is
// well under way: the capture in progress is finished, and the summary, the
// sheet, the saved images and the manifest all hold exactly the captures
// that were printed.
TEST_P(ReplayStop, finishesTheCaptureWritesEveryOutputAndExitsWithItsStatus) {
    const StopSignal& param = GetParam();
    TempTree tree;
    // Two capture folders of two and one images: captures alternate.
    writeIdentityBmp(tree, "rec/a/camera3P_0.bmp", 10);
    writeIdentityBmp(tree, "rec/a/camera3P_1.bmp", 11);
    writeIdentityBmp(tree, "rec/b/camera3P_0.bmp", 20);
    const std::string saved = tree.path("saved");
    const std::string sheetPath = tree.path("sheet.png");

    RunningProgram replay(FOLDERFEED_PROGRAM_PATH,
                          {"replay", tree.path("rec"), "--camera", "camera3P", "--captures",
                           "100000000", "--save", saved, "--sheet", sheetPath, "--sheet-rows",
                           "10000"});
    ASSERT_TRUE(replay.waitForOutput("capture 5: ")) << "the replay did not get going";
    replay.sendSignal(param.signalNumber);
    const ProgramResult result = replay.finish();
    ASSERT_EQ(result.status, param.exitStatus) << result.out << result.err;

    const std::vector<std::string> captureLines = linesStartingWith(result.out, "capture ");
    const std::size_t captures = captureLines.size();
    ASSERT_GE(captures, 6u);
    ASSERT_LT(captures, 10000u) << "the signal was not acted on";
    for (std::size_t number = 0; number < captures; ++number) {
        const std::string images = number % 2 == 0 ? "2 images" : "1 image";
        EXPECT_EQ(captureLines[number].rfind(
                      "capture " + std::to_string(number) + ": " + images + ", ", 0),
                  0u)
            << captureLines[number];
    }
    EXPECT_NE(result.out.find("\n" + std::to_string(captures) + " captures, "), std::string::npos)
        << "summary missing\n"
        << result.out;
    EXPECT_NE(result.err.find("interrupted by " + param.name + ": stopped after " +
                              std::to_string(captures) + " of 100000000 captures"),
              std::string::npos)
        << result.err;

    const std::vector<std::map<std::string, std::string>> rows =
        readCsvFile(saved + "/manifest.csv");
    const std::size_t expectedRows = captures / 2 * 3 + (captures % 2) * 2;
    ASSERT_EQ(rows.size(), expectedRows);
    EXPECT_EQ(rows.back().at("capture"), std::to_string(captures - 1));
    for (const auto& row : rows) {
        EXPECT_EQ(row.at("status"), "ok");
        EXPECT_TRUE(fs::is_regular_file(fs::path(saved) / row.at("saved_file")))
            << row.at("saved_file");
    }
    std::size_t captureFolders = 0;
    for (const auto& entry : fs::directory_iterator(saved)) {
        captureFolders += entry.is_directory() ? 1 : 0;
    }
    EXPECT_EQ(captureFolders, captures);

    const cv::Mat sheet = cv::imread(sheetPath, cv::IMREAD_COLOR);
    ASSERT_FALSE(sheet.empty()) << "no contact sheet";
    EXPECT_EQ(sheet.rows, SheetLayout::sheetHeight(static_cast<int>(captures)));
}

INSTANTIATE_TEST_SUITE_P(Signals, ReplayStop,
                         testing::Values(StopSignal{"SIGINT", SIGINT, 130},
                                         StopSignal{"SIGTERM", SIGTERM, 143}),
                         [](const testing::TestParamInfo<StopSignal>& info) {
                             return info.param.name;
                         });

// A sample recording stopped half-way leaves nothing behind, not even its
// partial folder.
TEST(SampleStop, leavesNoHalfWrittenRecording) {
    TempTree tree;
    RunningProgram sample(FOLDERFEED_PROGRAM_PATH, {"sample", tree.path("sample"), "--captures",
                                                    "100", "--width", "1024", "--height", "1024"});
    // The partial folder appears with the first image written.
    const auto writing = [&tree] {
        for (const auto& entry : fs::directory_iterator(tree.root())) {
            if (entry.path().filename().string().rfind("sample.partial-", 0) == 0) {
                return true;
            }
        }
        return false;
    };
    ASSERT_TRUE(sample.waitUntil(writing)) << "the sample command did not start writing";
    sample.sendSignal(SIGINT);
    const ProgramResult result = sample.finish();
    EXPECT_EQ(result.status, 130) << result.err;
    EXPECT_NE(result.err.find("interrupted by SIGINT"), std::string::npos) << result.err;
    EXPECT_TRUE(fs::is_empty(tree.root())) << "left behind in " << tree.rootText();
}

} // namespace
