// Hosts that break the one-call-at-a-time contract, as a host author's first
// two-camera station does, and hosts that have run out of file descriptors.
// Calls from several threads come one after the other: no hang, no data race
// (the ThreadSanitizer build runs these too), no image lost or made up. A
// station that wants two cameras with two configurations loads two copies of
// the library.

#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Ids = std::vector<int>;

void configureModule(Base& module, const std::string& param) {
    module.setParam(nullptr, QByteArray::fromStdString(param));
    ASSERT_TRUE(module.applyParam(nullptr));
}

// count captures through module; every image handed over is appended to ids.
void captureMany(Base& module, int count, Ids& ids) {
    for (int i = 0; i < count; ++i) {
        module.run();
        std::vector<cv::Mat> images;
        module.getResult(images, nullptr);
        for (const cv::Mat& image : images) {
            ids.push_back(identityOf(image));
        }
    }
}

class ConcurrentHost : public HostTest {
protected:
    // Three capture folders of one camera2 image each: identities 1, 2, 3.
    void writeRecording(const std::string& root, int firstIdentity) {
        for (int folder = 0; folder < 3; ++folder) {
            writeIdentityBmp(tree, root + "/f" + std::to_string(folder) + "/camera2.bmp",
                             firstIdentity + folder);
        }
    }
    TempTree tree;
};

// Both objects share the one state of the library, so one object's capture
// may be collected by the other's getResult; but every capture is loaded
// once and handed over once, whichever thread asks.
TEST_F(ConcurrentHost, twoObjectsOnTwoThreadsCaptureOneThousandTimesEach) {
    writeRecording("rec", 1);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const ModulePtr second = library.createModule();
    Ids first;
    Ids other;
    std::thread thread([&] { captureMany(*second, 1000, other); });
    captureMany(*module, 1000, first);
    thread.join();
    Ids all = first;
    all.insert(all.end(), other.begin(), other.end());
    ASSERT_EQ(all.size(), 2000u);
    for (int identity : {1, 2, 3}) {
        const auto seen = std::count(all.begin(), all.end(), identity);
        EXPECT_GE(seen, 666) << identity;
        EXPECT_LE(seen, 667) << identity;
    }
}

// Configuring one object used to clear the flag that another object's
// capture was waiting for, and that capture never ended.
TEST_F(ConcurrentHost, configuringOneObjectWhileAnotherCapturesNeverHangsIt) {
    writeRecording("rec", 1);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const ModulePtr second = library.createModule();
    std::thread configurer([&] {
        for (int i = 0; i < 200; ++i) {
            configureModule(*second, "camera2,,1," + tree.path("rec"));
        }
    });
    Ids ids;
    captureMany(*module, 1000, ids);
    configurer.join();
    EXPECT_EQ(ids.size(), 1000u);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), -1), 0);
}

// Two copies of the library under two file names: two module-wide states,
// two configurations, two threads that do not wait for each other's lock.
TEST_F(ConcurrentHost, stationWithTwoLibraryCopiesKeepsTwoConfigurations) {
    writeRecording("left", 1);
    writeRecording("right", 11);
    const fs::path copy = tree.root() / "copy" / "libKelvra_FolderFeed_right.so";
    fs::create_directories(copy.parent_path());
    fs::copy_file(FOLDERFEED_MODULE_PATH, copy);
    const ModuleLibrary rightLibrary(copy.string());
    const ModulePtr right = rightLibrary.createModule();
    ASSERT_TRUE(configure("camera2,,1," + tree.path("left")));
    configureModule(*right, "camera2,,1," + tree.path("right"));
    Ids leftIds;
    Ids rightIds;
    std::thread thread([&] { captureMany(*right, 1000, rightIds); });
    captureMany(*module, 1000, leftIds);
    thread.join();
    ASSERT_EQ(leftIds.size(), 1000u);
    ASSERT_EQ(rightIds.size(), 1000u);
    for (std::size_t i = 0; i < 1000; ++i) {
        ASSERT_EQ(leftIds[i], 1 + static_cast<int>(i % 3)) << i;
        ASSERT_EQ(rightIds[i], 11 + static_cast<int>(i % 3)) << i;
    }
}

// The highest descriptor in use, after every lower one has been taken, so
// that a limit just above it leaves exactly the free descriptors wanted.
int fillDescriptorsUpToTheHighest(std::vector<int>& fillers) {
    int highest = 0;
    DIR* fds = ::opendir("/proc/self/fd");
    const int listing = ::dirfd(fds);
    while (const dirent* entry = ::readdir(fds)) {
        const int fd = std::atoi(entry->d_name);
        if (fd != listing) {
            highest = std::max(highest, fd);
        }
    }
    ::closedir(fds);
    for (int fd = 0; fd < highest; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1) {
            fillers.push_back(::dup(0));
        }
    }
    return highest;
}

class ExhaustedProcess : public ConcurrentHost, public testing::WithParamInterface<int> {};

// Starting a Qt thread makes an event dispatcher for it, and Qt's own needs
// descriptors: with none left, the host used to abort inside Qt.
TEST_P(ExhaustedProcess, captureCompletesWithFewOrNoFreeDescriptors) {
    writeIdentityBmp(tree, "rec/cap/camera2.bmp", 5);
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    ASSERT_EQ(identitiesOf(capture()), Ids{5});
    std::vector<int> fillers;
    const int highest = fillDescriptorsUpToTheHighest(fillers);
    struct rlimit original;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
    struct rlimit exhausted = original;
    exhausted.rlim_cur = static_cast<rlim_t>(highest + 1 + GetParam());
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &exhausted), 0);
    const std::vector<cv::Mat> images = capture();
    ::setrlimit(RLIMIT_NOFILE, &original);
    for (int fd : fillers) {
        ::close(fd);
    }
    // Nothing may be listable without a descriptor; whatever comes is whole.
    const Ids ids = identitiesOf(images);
    EXPECT_TRUE(ids.empty() || ids == Ids{5} || ids == Ids{-1}) << ids.size();
    EXPECT_EQ(identitiesOf(capture()), Ids{5}) << "the next capture, with descriptors again";
}

INSTANTIATE_TEST_SUITE_P(FreeDescriptors, ExhaustedProcess, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::to_string(info.param) + "Free";
                         });

} // namespace
