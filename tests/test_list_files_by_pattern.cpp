#include "DirectorySearch.h"
#include "NameOrder.h"
#include "listFilesByPattern.h"

#include "support/NativePath.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

using Paths = std::vector<std::string>;

Paths list(const std::string& folder, const std::string& suffix, Paths paths = {}) {
    listFilesByPattern(folder, paths, suffix);
    return paths;
}

TEST(ListFilesByPattern, listsMatchingEntriesAndEntersMatchingFoldersOnly) {
    TempTree tree;
    for (const char* file : {"F/x.bmp", "F/y.BMP", "F/z.tif", "F/notes.txt", "F/old/q.bmp",
                             "F/archive_bmp/r.bmp", "F/archive_bmp/s.png"}) {
        tree.writeFile(file);
    }
    const std::string f = tree.path("F") + nativeSeparator;
    EXPECT_EQ(
        list(tree.path("F"), "bmp"),
        (Paths{f + "archive_bmp", f + nativePath("archive_bmp/r.bmp"), f + "x.bmp", f + "y.BMP"}));
}

TEST(ListFilesByPattern, matchesTheBareSuffixWithoutDotOrCase) {
    TempTree tree;
    // photo.bmpx has the 8.3 short name PHOTO~1.BMP, which a Windows search
    // matches against "*bmp" as well: only the long name may count.
    for (const char* file : {"xbmp", "a.tif", "b.TIFF", "c.tiff", "d.tiff.bak", "photo.bmpx"}) {
        tree.writeFile(file);
    }
    const std::string root = tree.rootText();
    const std::string r = root + nativeSeparator;
    EXPECT_EQ(list(root, "bmp"), Paths{r + "xbmp"});
    EXPECT_EQ(list(root, "tiff"), (Paths{r + "b.TIFF", r + "c.tiff"}));
}

TEST(ListFilesByPattern, entriesComeInTargetPlatformNameOrder) {
    TempTree tree;
    for (const char* file : {"b.bmp", "_a.bmp", "B2.bmp", "a.bmp", "Ab.bmp"}) {
        tree.writeFile(file);
    }
    const std::string r = tree.rootText() + nativeSeparator;
    EXPECT_EQ(list(tree.rootText(), "bmp"),
              (Paths{r + "a.bmp", r + "Ab.bmp", r + "b.bmp", r + "B2.bmp", r + "_a.bmp"}));
}

#if !defined(_WIN32)
// Names that differ only in letter case cannot both exist on Windows.
TEST(ListFilesByPattern, namesEqualButForLetterCaseComeInRawByteOrder) {
    TempTree tree;
    for (const char* file : {"a.bmp", "A.bmp", "a.BMP"}) {
        tree.writeFile(file);
    }
    const std::string r = tree.rootText() + "/";
    EXPECT_EQ(list(tree.rootText(), "bmp"), (Paths{r + "A.bmp", r + "a.BMP", r + "a.bmp"}));
}
#endif

TEST(ListFilesByPattern, appendsBehindWhatTheListHeld) {
    TempTree tree;
    tree.writeFile("one.bmp");
    EXPECT_EQ(list(tree.rootText(), "bmp", {"earlier"}),
              (Paths{"earlier", tree.rootText() + nativeSeparator + "one.bmp"}));
}

TEST(ListFilesByPattern, unsearchableFolderLeavesTheListUnchanged) {
    TempTree tree;
    tree.writeFile("only.png");
    tree.writeFile("full/x.bmp");
    // A zero byte must not cut the text short to a folder that has matches.
    for (const std::string& folder : {tree.rootText(), tree.path("missing"), tree.path("only.png"),
                                      std::string(), tree.path("full") + '\0' + "x"}) {
        EXPECT_EQ(list(folder, "bmp", {"kept"}), Paths{"kept"}) << folder;
    }
}

TEST(ListFilesByPattern, trailingSeparatorStandsDoubled) {
    TempTree tree;
    tree.writeFile("sub_bmp/in.bmp");
    const std::string f = tree.rootText() + nativeSeparator + nativeSeparator;
    EXPECT_EQ(list(tree.rootText() + nativeSeparator, "bmp"),
              (Paths{f + "sub_bmp", f + nativePath("sub_bmp/in.bmp")}));
}

TEST(DirectorySearch, reportsDotEntriesAsFolders) {
    TempTree tree;
    tree.makeFolder("real");
    tree.writeFile("file");
    std::vector<std::pair<std::string, bool>> found;
    DirectorySearch search(tree.rootText(), "");
    for (DirectoryEntry entry; search.next(entry);) {
        found.emplace_back(entry.name, entry.isFolder);
    }
    EXPECT_EQ(found, (std::vector<std::pair<std::string, bool>>{
                         {".", true}, {"..", true}, {"file", false}, {"real", true}}));
}

#if !defined(_WIN32)
// Links need a privilege on Windows that the cross-built tests do not have:
// these cases run on POSIX only.

TEST(ListFilesByPattern, linkBackToTheFolderIsListedButNotEntered) {
    TempTree tree;
    tree.writeFile("F/a.bmp");
    tree.writeFile("G_bmp/g.bmp");
    tree.makeLink("F/loop_bmp", ".");
    tree.makeLink("F/other_bmp", tree.path("G_bmp"));
    tree.makeLink("G_bmp/back_bmp", "../F");
    const std::string f = tree.path("F");
    EXPECT_EQ(list(f, "bmp"), (Paths{f + "/a.bmp", f + "/loop_bmp", f + "/other_bmp",
                                     f + "/other_bmp/back_bmp", f + "/other_bmp/g.bmp"}));
}

TEST(DirectorySearch, followsLinksForTheFolderFlag) {
    TempTree tree;
    tree.makeFolder("real");
    tree.writeFile("file");
    tree.makeLink("link", "real");
    tree.makeLink("tofile", "file");
    std::vector<std::pair<std::string, bool>> found;
    DirectorySearch search(tree.rootText(), "");
    for (DirectoryEntry entry; search.next(entry);) {
        found.emplace_back(entry.name, entry.isFolder);
    }
    EXPECT_EQ(found, (std::vector<std::pair<std::string, bool>>{{".", true},
                                                                {"..", true},
                                                                {"file", false},
                                                                {"link", true},
                                                                {"real", true},
                                                                {"tofile", false}}));
}
#endif

// The search sorts with a shortcut (eight bytes behind the prefix that all
// names share, compared as one integer); it must give exactly the order of
// the plain comparison. Names are drawn from bytes where the order is
// delicate: letters of both cases, '_' between the cases, digits, high bytes,
// long shared prefixes and names that begin other names.
TEST(DirectorySearch, sortsExactlyInTheNameOrderOfTheWalk) {
    std::mt19937 random(20261210);
    const std::string alphabet = std::string("aAbBzZ_09.~") + '\x7f' + '\x80' + '\xe9' + '\xff';
    const std::vector<std::string> prefixes = {"", "frame_0", "FRAME_0", "capture_00000000"};
    for (int round = 0; round < 300; ++round) {
        std::vector<DirectoryEntry> entries;
        const std::string prefix = prefixes[random() % prefixes.size()];
        const int count = 1 + static_cast<int>(random() % 40);
        for (int i = 0; i < count; ++i) {
            std::string name = random() % 4 == 0 ? std::string() : prefix;
            const int length = 1 + static_cast<int>(random() % 12);
            for (int j = 0; j < length; ++j) {
                name += alphabet[random() % alphabet.size()];
            }
            entries.push_back(DirectoryEntry{name, false});
        }
        std::vector<std::string> expected;
        for (const DirectoryEntry& entry : entries) {
            expected.push_back(entry.name);
        }
        std::sort(expected.begin(), expected.end(),
                  [](const std::string& a, const std::string& b) { return entryNameLess(a, b); });

        sortInNameOrder(entries);
        std::vector<std::string> sorted;
        for (const DirectoryEntry& entry : entries) {
            sorted.push_back(entry.name);
        }
        ASSERT_EQ(sorted, expected) << "round " << round;
    }
}

} // namespace
