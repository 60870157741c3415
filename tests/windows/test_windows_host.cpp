// What only Windows can show of the module as a host loads it: root folders
// written with either separator, the runtime library's directory search
// matching suffixes without regard to letter case, and LoadLibrary's errors.

#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Ids = std::vector<int>;

class WindowsCapture : public HostTest {
protected:
    Ids captureIds() { return identitiesOf(capture()); }
    TempTree tree;
};

std::string withForwardSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

struct RootCase {
    const char* name;
    std::string (*rootText)(const TempTree& tree);
};

class RootSeparators : public WindowsCapture, public testing::WithParamInterface<RootCase> {};

TEST_P(RootSeparators, everyFormOfTheRootWalksTheSameFolders) {
    writeIdentityBmp(tree, "rec/f1/camera3P.bmp", 1);
    writeIdentityBmp(tree, "rec/f1/sub/camera3P.bmp", 2);
    writeIdentityBmp(tree, "rec/f2/camera3P.bmp", 3);
    const std::string root = GetParam().rootText(tree);
    ASSERT_TRUE(configure("camera3P,,1," + root)) << root;
    Ids taken;
    for (int i = 0; i < 4; ++i) {
        const Ids ids = captureIds();
        ASSERT_EQ(ids.size(), 1u) << "capture " << i << " of " << root;
        taken.push_back(ids[0]);
    }
    EXPECT_EQ(taken, (Ids{1, 2, 3, 1})) << root;
}

INSTANTIATE_TEST_SUITE_P(
    Roots, RootSeparators,
    testing::Values(
        RootCase{"backslashes", [](const TempTree& t) { return t.path("rec"); }},
        RootCase{"trailingBackslash", [](const TempTree& t) { return t.path("rec") + "\\"; }},
        RootCase{"forwardSlashes",
                 [](const TempTree& t) { return withForwardSlashes(t.path("rec")); }},
        RootCase{"trailingForwardSlash",
                 [](const TempTree& t) { return withForwardSlashes(t.path("rec")) + "/"; }}),
    [](const testing::TestParamInfo<RootCase>& info) { return info.param.name; });

struct SuffixCase {
    const char* name;
    std::string camera;
    std::vector<std::pair<std::string, int>> bmpFiles;
    std::vector<std::pair<std::string, int>> tiffFiles;
    Ids expected;
};

class SuffixLetterCase : public WindowsCapture, public testing::WithParamInterface<SuffixCase> {};

TEST_P(SuffixLetterCase, directorySearchMatchesSuffixesInAnyLetterCase) {
    for (const auto& [file, identity] : GetParam().bmpFiles) {
        writeIdentityBmp(tree, "rec/cap/" + file, identity);
    }
    for (const auto& [file, identity] : GetParam().tiffFiles) {
        writeIdentityTiff16(tree, "rec/cap/" + file, identity);
    }
    ASSERT_TRUE(configure(GetParam().camera + ",,1," + tree.path("rec")));
    EXPECT_EQ(captureIds(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Suffixes, SuffixLetterCase,
    testing::Values(
        // Name order folds letters to upper case: "A" < "b" < "C".
        SuffixCase{"camera3PAnyCaseNoDotNeeded",
                   "camera3P",
                   {{"camera3P_b.Bmp", 2},
                    {"camera3P_A.BMP", 1},
                    {"camera3P_Cbmp", 3},
                    {"camera3P_d.bmP", 4},
                    {"camera3P_e.bmp.txt", 90},
                    {"camera3P_f.png", 91}},
                   {},
                   {1, 2, 3, 4}},
        SuffixCase{"camera2BmpThenTiffAnyCase",
                   "camera2",
                   {{"camera2_z.BMP", 5}},
                   {{"camera2_a.TIFF", 1000}, {"camera2_b.Tiff", 1001}, {"camera2_c.TIF", 1002}},
                   {5, 1000, 1001}},
        SuffixCase{"camera1KindsInUpperCaseFiles",
                   "camera1",
                   {{"camera1_SprfDiffuseReflectionImage.BMP", 2},
                    {"camera1_SprfSpecularReflectionImage.Bmp", 1}},
                   {},
                   {1, 2}}),
    [](const testing::TestParamInfo<SuffixCase>& info) { return info.param.name; });

TEST(WindowsModuleLibrary, missingLibraryIsAnErrorNamingThePath) {
    TempTree tree;
    const std::string path = tree.path("Kelvra_FolderFeed.dll");
    try {
        ModuleLibrary library(path);
        FAIL() << "loaded " << path;
    } catch (const ModuleLoadError& error) {
        EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("Windows error"), std::string::npos)
            << error.what();
    }
}

TEST(WindowsModuleLibrary, libraryWithoutTheEntryPointsIsRefused) {
    // A system DLL that every Windows has and that exports no "create".
    try {
        ModuleLibrary library("kernel32.dll");
        FAIL() << "kernel32.dll taken for a module";
    } catch (const ModuleLoadError& error) {
        EXPECT_NE(std::string(error.what()).find("has no entry point 'create'"), std::string::npos)
            << error.what();
    }
}

} // namespace
