#include "collectSubFolders.h"
#include "listFilesByPattern.h"

#include "support/NativePath.h"
#include "support/TempTree.h"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include "support/DropPrivileges.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using Paths = std::vector<std::string>;

// Paths relative to the tree's root, so expectations read like the tree.
Paths relativeTo(const TempTree& tree, const Paths& paths) {
    Paths relative;
    for (const auto& path : paths) {
        EXPECT_EQ(path.rfind(tree.rootText(), 0), 0u) << path;
        relative.push_back(path.substr(tree.rootText().size() + 1));
    }
    return relative;
}

Paths native(std::initializer_list<const char*> relative) {
    Paths paths;
    for (const char* path : relative) {
        paths.push_back(nativePath(path));
    }
    return paths;
}

Paths walk(const TempTree& tree) {
    Paths folders;
    collectSubFolders(tree.rootText(), folders);
    return relativeTo(tree, folders);
}

TEST(CollectSubFolders, takesEntriesInTargetPlatformNameOrderDepthFirst) {
    TempTree tree;
    for (const char* folder : {"b", "_x", "Z", "ab", "a_", "A/A2", "A/A1"}) {
        tree.makeFolder(folder);
    }
    tree.writeFile("0file");
    tree.writeFile("A/A1/deep.bmp");
    // Letters fold to upper case and '_' sorts after them, whatever order the
    // file system keeps.
    EXPECT_EQ(walk(tree), native({"A", "A/A1", "A/A2", "ab", "a_", "b", "Z", "_x"}));
}

#if !defined(_WIN32)
// Names that differ only in letter case cannot both exist on Windows.
TEST(CollectSubFolders, namesEqualButForLetterCaseComeInRawByteOrder) {
    TempTree tree;
    for (const char* folder : {"b", "a", "B", "A"}) {
        tree.makeFolder(folder);
    }
    EXPECT_EQ(walk(tree), (Paths{"A", "a", "B", "b"}));
}
#endif

TEST(CollectSubFolders, rootWithFilesOnlyAppendsNothing) {
    TempTree tree;
    tree.writeFile("one.bmp");
    tree.writeFile("two.tiff");
    EXPECT_TRUE(walk(tree).empty());
}

TEST(CollectSubFolders, keepsWhatTheListHeldAndTheRootTextAsGiven) {
    TempTree tree;
    tree.makeFolder("A/B");
    // A trailing separator is not doubled: the join adds one only when the
    // text does not already end in one.
    for (const std::string& root : {tree.rootText(), tree.rootText() + nativeSeparator}) {
        Paths folders{"earlier"};
        collectSubFolders(root, folders);
        const std::string r = tree.rootText() + nativeSeparator;
        EXPECT_EQ(folders, (Paths{"earlier", r + "A", r + nativePath("A/B")})) << root;
    }
}

// Every folder that the walk finds is a capture folder: its text, handed to
// the pattern listing or to a new walk, must name that same folder again,
// whatever letters its name holds.
TEST(CollectSubFolders, folderTextsNameTheSameFolderForTheListingAndTheWalk) {
    TempTree tree;
    const fs::path folder = tree.root() / fs::u8path("caf\xc3\xa9"); // café
    fs::create_directories(folder / "inner");
    std::ofstream(folder / "x.bmp") << "x";
    Paths folders;
    collectSubFolders(tree.rootText(), folders);
    ASSERT_EQ(folders.size(), 2u);
    Paths files;
    listFilesByPattern(folders[0], files, "bmp");
    EXPECT_EQ(files, Paths{folders[0] + nativeSeparator + "x.bmp"});
    Paths again;
    collectSubFolders(folders[0], again);
    EXPECT_EQ(again, Paths{folders[1]});
}

#if defined(_WIN32)
// The narrow text of a name is in the code page of the file functions. A
// name with a letter outside it has no text that names it: the walk stops
// there rather than hand over a look-alike that names another folder or none.
TEST(CollectSubFolders, nameOutsideTheCodePageThrowsKeepingEarlierFolders) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "the name is chosen to be outside code page 1252, which is not in use";
    }
    TempTree tree;
    tree.makeFolder("A");
    fs::create_directory(tree.root() / L"\u4e2d");
    Paths folders;
    EXPECT_THROW(collectSubFolders(tree.rootText(), folders), std::system_error);
    EXPECT_EQ(folders, Paths{tree.path("A")});
}

// A Windows host may write a root with forward slashes: it stays as given in
// front of every folder, and the walk joins with its own separator.
TEST(CollectSubFolders, rootWithForwardSlashesKeepsThemInFront) {
    TempTree tree;
    tree.makeFolder("A/B");
    std::string root = tree.rootText();
    std::replace(root.begin(), root.end(), '\\', '/');
    Paths folders;
    collectSubFolders(root, folders);
    EXPECT_EQ(folders, (Paths{root + "\\A", root + "\\A\\B"}));
}
#endif

#if !defined(_WIN32)
// On Windows names are UTF-16 and the narrow text is a code-page conversion
// of them, not the bytes that the file system holds; links need a privilege
// there that the cross-built tests do not have, and folder permissions are
// access lists that chmod does not reach. These cases run on POSIX only.

TEST(CollectSubFolders, namesThatAreNotUtf8PassThroughAsBytes) {
    TempTree tree;
    const std::string name = "cap\xff\xfe";
    tree.makeFolder(name + "/inner");
    EXPECT_EQ(walk(tree), (Paths{name, name + "/inner"}));
}

TEST(CollectSubFolders, followsLinksToFoldersAndSkipsDanglingOnes) {
    TempTree tree;
    tree.makeFolder("elsewhere/inside");
    tree.makeFolder("rec");
    tree.writeFile("file.bmp");
    tree.makeLink("rec/linked", tree.path("elsewhere"));
    tree.makeLink("rec/dangling", tree.path("missing"));
    tree.makeLink("rec/tofile", tree.path("file.bmp"));
    Paths folders;
    collectSubFolders(tree.path("rec"), folders);
    EXPECT_EQ(folders, (Paths{tree.path("rec/linked"), tree.path("rec/linked/inside")}));
}

TEST(CollectSubFolders, linkToAnAncestorIsAppendedOnceButNotWalked) {
    TempTree tree;
    tree.makeFolder("A");
    tree.makeLink("A/up", "..");
    EXPECT_EQ(walk(tree), (Paths{"A", "A/up"}));
}

TEST(CollectSubFolders, twoCrossingLinksStayFinite) {
    TempTree tree;
    tree.makeFolder("A");
    tree.makeFolder("B");
    tree.makeLink("A/up", "..");
    tree.makeLink("B/toA", "../A");
    // B/toA is A, but A is not on B's descent path, so it is walked once there.
    EXPECT_EQ(walk(tree), (Paths{"A", "A/up", "B", "B/toA", "B/toA/up"}));
}

// Links that share folders without a cycle. Each level links the next one
// from two places, so the bottom folder has 2^depth paths.
void linkLevels(const TempTree& tree, int depth, int linksPerLevel) {
    for (int level = 0; level < depth; ++level) {
        tree.makeFolder("L" + std::to_string(level));
        for (int link = 0; link < linksPerLevel; ++link) {
            tree.makeLink("L" + std::to_string(level) + "/to" + std::to_string(link) + "_bmp",
                          "../L" + std::to_string(level + 1));
        }
    }
    tree.writeFile("L" + std::to_string(depth) + "/bottom.bmp");
}

TEST(CollectSubFolders, folderLinkedIntoAFewPlacesIsWalkedInEach) {
    TempTree tree;
    tree.makeFolder("shared/inner");
    for (const char* capture : {"A", "B", "C"}) {
        tree.makeFolder(std::string("rec/") + capture);
        tree.makeLink(std::string("rec/") + capture + "/shared", "../../shared");
    }
    Paths folders;
    collectSubFolders(tree.path("rec"), folders);
    EXPECT_EQ(relativeTo(tree, folders),
              (Paths{"rec/A", "rec/A/shared", "rec/A/shared/inner", "rec/B", "rec/B/shared",
                     "rec/B/shared/inner", "rec/C", "rec/C/shared", "rec/C/shared/inner"}));
}

// Three levels of two links: the bottom folder is reached 8 times, the most
// that a walk enters one folder. One level more reaches it 16 times: the walk
// stops at the ninth with the error for too many links, naming that path,
// after the paths that came before it.
TEST(CollectSubFolders, linksThatShareFoldersStopWhenAFolderIsReachedTooOften) {
    {
        TempTree tree;
        linkLevels(tree, 3, 2);
        Paths folders;
        collectSubFolders(tree.path("L0"), folders);
        EXPECT_EQ(std::count_if(folders.begin(), folders.end(),
                                [](const std::string& path) {
                                    return path.size() > 3 && path.rfind("_bmp") == path.size() - 4;
                                }),
                  2 + 4 + 8);
    }
    TempTree tree;
    linkLevels(tree, 4, 2);
    Paths folders;
    try {
        collectSubFolders(tree.path("L0"), folders);
        FAIL() << "walked " << folders.size() << " folders";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::make_error_code(std::errc::too_many_symbolic_link_levels));
        ASSERT_FALSE(folders.empty());
        EXPECT_EQ(error.path1().string(), folders.back());
        EXPECT_EQ(relativeTo(tree, {folders.back()}),
                  (Paths{"L0/to1_bmp/to0_bmp/to0_bmp/to0_bmp"}));
    }
}

// The listing reports nothing: beyond the bound it lists a folder without
// entering it. Six levels of four links would give 4096 paths to the bottom
// file; it comes eight times.
TEST(ListFilesByPattern, linksThatShareFoldersEnterEachAtMostEightTimes) {
    TempTree tree;
    linkLevels(tree, 6, 4);
    Paths listed;
    listFilesByPattern(tree.path("L0"), listed, "bmp");
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(),
                            [](const std::string& path) {
                                return path.find("bottom.bmp") != std::string::npos;
                            }),
              8);
}
#endif

struct UnopenableRoot {
    const char* name;
    std::string (*rootText)(const TempTree&);
};

class CollectSubFoldersRootError : public testing::TestWithParam<UnopenableRoot> {};

TEST_P(CollectSubFoldersRootError, throwsAtOnceAndAppendsNothing) {
    TempTree tree;
    tree.writeFile("plain.bmp");
    Paths folders{"kept"};
    EXPECT_THROW(collectSubFolders(GetParam().rootText(tree), folders), fs::filesystem_error);
    EXPECT_EQ(folders, Paths{"kept"});
}

INSTANTIATE_TEST_SUITE_P(
    Roots, CollectSubFoldersRootError,
    testing::Values(UnopenableRoot{"empty", [](const TempTree&) { return std::string(); }},
                    UnopenableRoot{"missing", [](const TempTree& t) { return t.path("missing"); }},
                    UnopenableRoot{"file", [](const TempTree& t) { return t.path("plain.bmp"); }},
                    UnopenableRoot{"zeroByte",
                                   [](const TempTree& t) { return t.rootText() + '\0' + "x"; }}),
    [](const testing::TestParamInfo<UnopenableRoot>& info) { return info.param.name; });

#if !defined(_WIN32)
TEST(CollectSubFolders, unlistableFolderIsAppendedThenThrowsKeepingEarlierFolders) {
    TempTree tree;
    tree.makeFolder("a_before/inner");
    tree.makeFolder("b_locked/hidden");
    tree.makeFolder("c_after");
    fs::permissions(tree.root() / "b_locked", fs::perms::none);

    const std::string outcome = runUnprivileged([&] {
        Paths folders;
        try {
            collectSubFolders(tree.rootText(), folders);
            return std::string("no exception");
        } catch (const fs::filesystem_error& error) {
            return (error.path1() == tree.root() / "b_locked" ? std::string("locked ")
                                                              : std::string("other ")) +
                   std::to_string(folders.size()) + " " +
                   folders.back().substr(tree.rootText().size());
        }
    });
    if (outcome == runUnprivilegedUnavailable) {
        GTEST_SKIP() << "cannot drop root privileges here, and root reads every folder";
    }
    EXPECT_EQ(outcome, "locked 3 /b_locked");
}
#endif

} // namespace
