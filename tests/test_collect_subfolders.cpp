#include "collectSubFolders.h"

#include "support/DropPrivileges.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>

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

Paths walk(const TempTree& tree) {
    Paths folders;
    collectSubFolders(tree.rootText(), folders);
    return relativeTo(tree, folders);
}

TEST(CollectSubFolders, takesEntriesInTargetPlatformNameOrderDepthFirst) {
    TempTree tree;
    for (const char* folder : {"b", "_x", "Z", "ab", "a_", "a", "A/A2", "A/A1"}) {
        tree.makeFolder(folder);
    }
    tree.writeFile("0file");
    tree.writeFile("A/A1/deep.bmp");
    // Letters fold to upper case, '_' sorts after them, case ties by raw bytes.
    EXPECT_EQ(walk(tree), (Paths{"A", "A/A1", "A/A2", "a", "ab", "a_", "b", "Z", "_x"}));
}

TEST(CollectSubFolders, rootWithFilesOnlyAppendsNothing) {
    TempTree tree;
    tree.writeFile("one.bmp");
    tree.writeFile("two.tiff");
    EXPECT_TRUE(walk(tree).empty());
}

TEST(CollectSubFolders, keepsWhatTheListHeldAndTheRootTextAsGiven) {
    TempTree tree;
    tree.makeFolder("A/B");
    Paths folders{"earlier"};
    collectSubFolders(tree.rootText() + "/", folders);
    EXPECT_EQ(folders, (Paths{"earlier", tree.rootText() + "/A", tree.rootText() + "/A/B"}));
}

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
    testing::Values(
        UnopenableRoot{"empty", [](const TempTree&) { return std::string(); }},
        UnopenableRoot{"missing", [](const TempTree& t) { return t.path("missing"); }},
        UnopenableRoot{"file", [](const TempTree& t) { return t.path("plain.bmp"); }},
        UnopenableRoot{"zeroByte", [](const TempTree& t) { return t.rootText() + '\0' + "x"; }}),
    [](const testing::TestParamInfo<UnopenableRoot>& info) { return info.param.name; });

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
                   std::to_string(folders.size()) + " " + folders.back().substr(tree.rootText().size());
        }
    });
    if (outcome == runUnprivilegedUnavailable) {
        GTEST_SKIP() << "cannot drop root privileges here, and root reads every folder";
    }
    EXPECT_EQ(outcome, "locked 3 /b_locked");
}

} // namespace
