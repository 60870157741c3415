// Recorded trees that change, lock, loop, go deep or grow wide, captured
// through the loaded library. Configuration either succeeds or throws a
// standard exception; every capture completes.

#include "support/DropPrivileges.h"
#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Ids = std::vector<int>;
constexpr int unreadable = -1;

class HostileTree : public HostTest {
protected:
    std::vector<Ids> captureIds(int count) {
        std::vector<Ids> taken;
        for (int i = 0; i < count; ++i) {
            taken.push_back(identitiesOf(capture()));
        }
        return taken;
    }
    void configureOrFail(const std::string& root) { ASSERT_TRUE(configure("camera2,,1," + root)); }
    TempTree tree;
};

TEST_F(HostileTree, foldersThatVanishOrBecomeFilesAfterConfigurationCaptureEmpty) {
    for (int folder = 1; folder <= 4; ++folder) {
        writeIdentityBmp(tree, "rec/f" + std::to_string(folder) + "/camera2.bmp", folder);
    }
    configureOrFail(tree.path("rec"));
    fs::remove_all(tree.root() / "rec/f2");
    fs::remove_all(tree.root() / "rec/f3");
    tree.writeFile("rec/f3", "a file where the folder was");
    EXPECT_EQ(captureIds(5), (std::vector<Ids>{{1}, {}, {}, {4}, {1}}));
}

TEST_F(HostileTree, rootThatVanishesAfterConfigurationCapturesEmptyAndFailsToReconfigure) {
    writeIdentityBmp(tree, "rec/f1/camera2.bmp", 1);
    configureOrFail(tree.path("rec"));
    fs::remove_all(tree.root() / "rec");
    EXPECT_EQ(captureIds(2), (std::vector<Ids>{{}, {}}));
    EXPECT_THROW(configure("camera2,,1," + tree.path("rec")), fs::filesystem_error);
}

// Files appear, vanish and are rewritten while captures list and read their
// folder. Whatever a capture meets, it completes; a file it reads is either
// whole or empty, and the file that nobody touches comes every time.
TEST_F(HostileTree, filesChangingWhileCapturesListAndReadThem) {
    constexpr int churnFiles = 20;
    constexpr int stable = 200;
    writeIdentityBmp(tree, "rec/cap/camera2_stable.bmp", stable);
    std::vector<std::string> churnImages;
    for (int i = 0; i < churnFiles; ++i) {
        std::vector<uchar> bytes;
        cv::imencode(".bmp", cv::Mat(8, 8, CV_8UC1, cv::Scalar(i + 1)), bytes);
        churnImages.emplace_back(bytes.begin(), bytes.end());
    }
    configureOrFail(tree.path("rec"));

    // Rewrites, and now and then removes, the churn files until it goes out
    // of scope (also when an assertion below ends the test early).
    struct Churn {
        std::atomic<bool> stop{false};
        std::thread thread;
        ~Churn() {
            stop = true;
            thread.join();
        }
    } churn;
    churn.thread = std::thread([&] {
        for (int round = 0; !churn.stop.load(); ++round) {
            const int i = round % churnFiles;
            const std::string path =
                tree.path("rec/cap/camera2_churn" + std::to_string(i) + ".bmp");
            if (round % 3 == 2) {
                std::error_code ignored;
                fs::remove(path, ignored);
            } else {
                std::ofstream(path, std::ios::binary | std::ios::trunc)
                    .write(churnImages[i].data(),
                           static_cast<std::streamsize>(churnImages[i].size()));
            }
        }
    });
    int stableSeen = 0;
    int churnSeen = 0;
    for (int captureNumber = 0; captureNumber < 300; ++captureNumber) {
        const Ids ids = identitiesOf(capture());
        ASSERT_LE(ids.size(), std::size_t{churnFiles + 1});
        for (int id : ids) {
            if (id == stable) {
                ++stableSeen;
            } else if (id >= 1 && id <= churnFiles) {
                ++churnSeen;
            } else {
                ASSERT_EQ(id, unreadable) << "capture " << captureNumber;
            }
        }
    }
    EXPECT_EQ(stableSeen, 300);
    EXPECT_GT(churnSeen, 0);
}

// A file that may not be read, and two folders that become unlistable after
// configuration (the walk at configuration would rightly refuse them): a
// matching sub-folder of a capture folder and a capture folder itself.
TEST_F(HostileTree, lockedFilesAndFoldersGiveEmptyImagesUnprivileged) {
    writeIdentityBmp(tree, "rec/a/camera2.bmp", 1);
    writeIdentityBmp(tree, "rec/b/camera2_x.bmp", 2);
    writeIdentityBmp(tree, "rec/b/camera2_locked_bmp/camera2_in.bmp", 3);
    writeIdentityBmp(tree, "rec/c/camera2.bmp", 4);
    fs::permissions(tree.root() / "rec/b/camera2_x.bmp", fs::perms::none);
    const std::vector<fs::path> lockedLater = {tree.root() / "rec/b/camera2_locked_bmp",
                                               tree.root() / "rec/c"};
    // The unprivileged child locks these itself, so it must own them.
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        ASSERT_NE(nobody, nullptr);
        for (const fs::path& folder : lockedLater) {
            ASSERT_EQ(chown(folder.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
    }
    const std::string outcome = runUnprivileged([&]() -> std::string {
        try {
            ModuleLibrary library(FOLDERFEED_MODULE_PATH);
            ModulePtr unprivileged = library.createModule();
            const std::string param = "camera2,,1," + tree.path("rec");
            unprivileged->setParam(nullptr,
                                   QByteArray(param.data(), static_cast<int>(param.size())));
            if (!unprivileged->applyParam(nullptr)) {
                return std::string("rejected");
            }
            for (const fs::path& folder : lockedLater) {
                fs::permissions(folder, fs::perms::none);
            }
            std::string taken;
            for (int i = 0; i < 3; ++i) {
                std::vector<cv::Mat> images;
                unprivileged->run();
                unprivileged->getResult(images, nullptr);
                taken += "[";
                for (int id : identitiesOf(images)) {
                    taken += std::to_string(id) + " ";
                }
                taken += "]";
            }
            return taken;
        } catch (const std::exception& error) {
            return std::string("exception: ") + error.what();
        }
    });
    if (outcome == runUnprivilegedUnavailable) {
        GTEST_SKIP() << "cannot drop root privileges here, and root reads every file";
    }
    // The locked sub-folder is listed (an empty image for its path) but not
    // entered; the locked file reads as an empty image; rec/c lists nothing.
    EXPECT_EQ(outcome, "[1 ][-1 -1 ][]");
}

TEST_F(HostileTree, namesThatAreNotUtf8AreWalkedReadAndLogged) {
    const std::string root = "rec\xff";
    writeIdentityBmp(tree, root + "/cap\xfe\x80/camera2_\xff.bmp", 1);
    writeIdentityTiff16(tree, root + "/cap\xfe\x80/camera2_\xc3\x28.tiff", 2);
    configureOrFail(tree.path(root));
    EXPECT_EQ(captureIds(1), (std::vector<Ids>{{1, 2}}));
    const auto texts = logs.texts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2].rfind("[INFO]   run start \"camera2,,1,", 0), 0u);
}

// One link back to the root and one across to a sibling: the walk stays
// finite, and the captures go round the folders it found.
TEST_F(HostileTree, parentPointingLinksKeepTheCaptureRoundFinite) {
    writeIdentityBmp(tree, "rec/A/camera2.bmp", 1);
    writeIdentityBmp(tree, "rec/B/camera2.bmp", 2);
    tree.makeLink("rec/A/up", "..");
    tree.makeLink("rec/B/toA", "../A");
    configureOrFail(tree.path("rec"));
    // A, A/up (the root: no image of its own), B, B/toA, B/toA/up, A again.
    EXPECT_EQ(captureIds(6), (std::vector<Ids>{{1}, {}, {2}, {1}, {}, {1}}));
}

TEST_F(HostileTree, treeOneThousandFoldersDeepIsWalkedAndCapturedToTheBottom) {
    constexpr int depth = 1000;
    std::string deepest = "rec";
    for (int level = 0; level < depth; ++level) {
        deepest += "/d";
    }
    writeIdentityBmp(tree, "rec/d/camera2.bmp", 1);
    writeIdentityBmp(tree, deepest + "/camera2.bmp", 7);
    configureOrFail(tree.path("rec"));
    const std::vector<Ids> taken = captureIds(depth + 1);
    EXPECT_EQ(taken.front(), Ids{1});
    EXPECT_EQ(taken[depth - 1], Ids{7});
    EXPECT_EQ(taken.back(), Ids{1}); // round again
}

// The listing of one capture folder descends a chain of folders that all
// match "bmp": each is listed (an empty image for its path) and entered.
TEST_F(HostileTree, captureFolderWithMatchingFoldersNineHundredDeepIsListedWhole) {
    constexpr int depth = 900; // each level adds 4 bytes; the path stays below PATH_MAX
    std::string deepest = "rec/camera2";
    for (int level = 0; level < depth; ++level) {
        deepest += "/bmp";
    }
    writeIdentityBmp(tree, deepest + "/x.bmp", 7);
    configureOrFail(tree.path("rec"));
    Ids expected(depth, unreadable);
    expected.push_back(7);
    EXPECT_EQ(captureIds(1), std::vector<Ids>{expected});
}

TEST_F(HostileTree, captureFolderWithOneHundredThousandFiles) {
    const fs::path capture = tree.makeFolder("rec/cap");
    for (int i = 0; i < 100000; ++i) {
        // Listed with "bmp" but belonging to no camera of this capture.
        std::ofstream(capture / ("camera9_" + std::to_string(i) + ".bmp"));
    }
    writeIdentityBmp(tree, "rec/cap/camera2_b.bmp", 2);
    writeIdentityBmp(tree, "rec/cap/camera2_a.bmp", 1);
    writeIdentityTiff16(tree, "rec/cap/camera2_c.tiff", 3);
    configureOrFail(tree.path("rec"));
    EXPECT_EQ(captureIds(2), (std::vector<Ids>{{1, 2, 3}, {1, 2, 3}}));
}

// Folders that link the next level from many places: 6 levels of 32 links,
// 32^6 paths to the bottom folder. Configuration stops with the error for
// too many links as soon as a folder is reached more often than a walk
// enters one, naming the path, with what came before kept.
TEST_F(HostileTree, linksThatShareFoldersSixLevelsDeepFailFastWithTheLinkError) {
    for (int level = 0; level < 6; ++level) {
        tree.makeFolder("rec/L" + std::to_string(level));
        for (int link = 0; link < 32; ++link) {
            tree.makeLink("rec/L" + std::to_string(level) + "/to" + std::to_string(link),
                          "../L" + std::to_string(level + 1));
        }
    }
    writeIdentityBmp(tree, "rec/L6/camera2.bmp", 6);
    struct rusage before;
    getrusage(RUSAGE_SELF, &before);
    try {
        configure("camera2,,1," + tree.path("rec"));
        FAIL() << "configured";
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::make_error_code(std::errc::too_many_symbolic_link_levels));
        EXPECT_NE(error.path1().string().find("/to"), std::string::npos) << error.what();
    }
    struct rusage after;
    getrusage(RUSAGE_SELF, &after);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024) << "KiB of peak memory added";
}

// A link to the kernel's own tree, which is full of links back and across:
// configuration ends, with the folders or with the error for too many links;
// the captures go on.
TEST_F(HostileTree, linkToSysConfiguresOrFailsWithTheLinkError) {
    writeIdentityBmp(tree, "rec/cap/camera2.bmp", 1);
    tree.makeLink("rec/cap/sys", "/sys");
    try {
        EXPECT_TRUE(configure("camera2,,1," + tree.path("rec")));
    } catch (const fs::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::make_error_code(std::errc::too_many_symbolic_link_levels))
            << error.what();
    }
    EXPECT_EQ(captureIds(1), std::vector<Ids>{{1}});
}

// The same kind of links, with names that end in "bmp", made in a capture
// folder after configuration: the capture's listing enters each folder a
// bounded number of times, and the capture completes.
TEST_F(HostileTree, linksThatShareMatchingFoldersAddedAfterConfigurationKeepTheCaptureFinite) {
    writeIdentityBmp(tree, "rec/cap/camera2.bmp", 1);
    configureOrFail(tree.path("rec"));
    for (int level = 0; level < 6; ++level) {
        tree.makeFolder("rec/cap/L" + std::to_string(level) + "_bmp");
        for (int link = 0; link < 32; ++link) {
            tree.makeLink("rec/cap/L" + std::to_string(level) + "_bmp/to" + std::to_string(link) +
                              "_bmp",
                          "../L" + std::to_string(level + 1) + "_bmp");
        }
    }
    writeIdentityBmp(tree, "rec/cap/L6_bmp/camera2_bottom.bmp", 6);
    const Ids ids = captureIds(1).front();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 1), 1);
    EXPECT_GT(std::count(ids.begin(), ids.end(), 6), 0);
    EXPECT_LE(std::count(ids.begin(), ids.end(), 6), 8);
}

// The walk keeps its descent on the heap: a tree 2,020 folders deep (as deep
// as PATH_MAX lets it be with one-letter names) is configured from a thread
// with a stack of 256 KiB.
TEST_F(HostileTree, treeTwoThousandFoldersDeepConfiguresOnASmallStack) {
    constexpr int depth = 2020;
    // The root is named after the camera, so that a file's name needs no
    // room for it. Built one level at a time from an open folder, as a path
    // this long is more than some library calls take.
    std::string deepest = tree.path("camera2");
    int folder = ::open(tree.makeFolder("camera2").c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth; ++level) {
        ASSERT_EQ(::mkdirat(folder, "d", 0755), 0) << level;
        const int next = ::openat(folder, "d", O_RDONLY | O_DIRECTORY);
        ::close(folder);
        folder = next;
        deepest += "/d";
    }
    ASSERT_LT((deepest + "/x.bmp").size(), std::size_t{PATH_MAX});
    std::vector<uchar> image;
    cv::imencode(".bmp", cv::Mat(3, 4, CV_8UC1, cv::Scalar(7)), image);
    const int file = ::openat(folder, "x.bmp", O_WRONLY | O_CREAT, 0644);
    ASSERT_EQ(::write(file, image.data(), image.size()), static_cast<ssize_t>(image.size()));
    ::close(file);
    ::close(folder);
    struct Call {
        Base* module;
        QByteArray param;
        bool configured = false;
    } call{module.get(), QByteArray::fromStdString("camera2,,1," + tree.path("camera2"))};
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attributes,
                  [](void* argument) -> void* {
                      auto* call = static_cast<Call*>(argument);
                      call->module->setParam(nullptr, call->param);
                      call->configured = call->module->applyParam(nullptr);
                      return nullptr;
                  },
                  &call),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_TRUE(call.configured);
    const std::vector<Ids> taken = captureIds(depth);
    EXPECT_EQ(taken.back(), Ids{7});
}

} // namespace
