// Selected files that another process changes while captures read them:
// rewritten, cut short, renamed over with files of other formats or with a
// named pipe, or links to files whose reads block. The host's process is
// never brought down and never left waiting: each capture completes with an
// image that is one whole version of the file, or an empty one.

#include "support/ModuleHost.h"
#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace {

// Another process that changes the recording until the object goes (also
// when an assertion ends the test early).
class BackgroundProcess {
public:
    // A shell loop, for changes made with the system's own tools.
    static BackgroundProcess shell(const std::string& script) {
        const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
        return start([&argv] { ::execv("/bin/sh", const_cast<char**>(argv)); });
    }

    // step repeated as fast as the system allows.
    static BackgroundProcess repeat(const std::function<void()>& step) {
        return start([&step] {
            for (;;) {
                step();
            }
        });
    }

    ~BackgroundProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            ::waitpid(pid_, &status, 0);
        }
    }
    BackgroundProcess(BackgroundProcess&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(BackgroundProcess&&) = delete;

private:
    explicit BackgroundProcess(pid_t pid) : pid_(pid) {}

    // The child of a process with threads may only make system calls, and
    // body must make no other. It dies with the test, should the test be
    // killed (a time limit), instead of changing files for ever.
    static BackgroundProcess start(const std::function<void()>& body) {
        const pid_t pid = fork();
        if (pid < 0) {
            throw std::runtime_error("cannot fork");
        }
        if (pid == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            body();
            ::_exit(127);
        }
        return BackgroundProcess(pid);
    }

    pid_t pid_;
};

std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

bool sameImage(const cv::Mat& a, const cv::Mat& b) {
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// What the captures of one changing file gave: how many of each version.
struct Outcomes {
    std::map<std::string, int> counts;
    std::string unexpected;

    std::string summary() const {
        std::string text;
        for (const auto& [name, count] : counts) {
            text += name + " " + std::to_string(count) + "  ";
        }
        return text;
    }
};

class ChangingFile : public HostTest {
protected:
    // captures the single selected file count times; each image must be
    // empty or one of the named versions.
    Outcomes captureVersions(int count, const std::map<std::string, cv::Mat>& versions) {
        Outcomes outcomes;
        for (int i = 0; i < count; ++i) {
            const std::vector<cv::Mat> images = capture();
            if (images.size() != 1) {
                outcomes.unexpected = "capture " + std::to_string(i) + " handed over " +
                                      std::to_string(images.size()) + " images";
                return outcomes;
            }
            std::string seen = images[0].empty() ? "empty" : "";
            for (const auto& [name, image] : versions) {
                if (seen.empty() && sameImage(images[0], image)) {
                    seen = name;
                }
            }
            if (seen.empty()) {
                outcomes.unexpected = "capture " + std::to_string(i) +
                                      " gave an image that is "
                                      "no version of the file";
                return outcomes;
            }
            ++outcomes.counts[seen];
        }
        return outcomes;
    }

    cv::Mat writeImage(const std::string& relative, int seed) {
        cv::Mat image(512, 1024, CV_16UC1);
        cv::randu(image, cv::Scalar(seed), cv::Scalar(seed + 1000));
        tree.writeFile(relative);
        // Uncompressed and in a single strip: the decoder reads it in one go.
        EXPECT_TRUE(cv::imwrite(tree.path(relative), image, {cv::IMWRITE_TIFF_COMPRESSION, 1}));
        return image;
    }

    TempTree tree;
};

// A second process copies one version and then another over the file, and
// cuts it short in between, as fast as it can. Decoders that map the file
// die of SIGBUS when it shrinks under them.
TEST_F(ChangingFile, cutShortOrRewrittenWhileCapturedNeverKillsTheHost) {
    const cv::Mat first = writeImage("versions/first.tiff", 1000);
    const cv::Mat second = writeImage("versions/second.tiff", 30000);
    const std::string target = tree.path("rec/cap/camera2_changing.tiff");
    tree.writeFile("rec/cap/camera2_changing.tiff");
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const auto rewriter =
        BackgroundProcess::shell("while :; do cp " + quoted(tree.path("versions/first.tiff")) +
                                 " " + quoted(target) + "; truncate -s 300000 " + quoted(target) +
                                 "; cp " + quoted(tree.path("versions/second.tiff")) + " " +
                                 quoted(target) + "; truncate -s 0 " + quoted(target) + "; done");
    const Outcomes outcomes = captureVersions(1000, {{"first", first}, {"second", second}});
    EXPECT_EQ(outcomes.unexpected, "");
    std::printf("%s\n", outcomes.summary().c_str());
}

// Between the listing and the decoding, another process renames over the
// selected file a file with the signature that makes the decoder's
// medical-imaging reader abort the process, and a named pipe, whose opening
// would block for ever; and then a good image again.
TEST_F(ChangingFile, nameSwappedToAnotherFormatOrAPipeNeverAbortsOrHangs) {
    cv::Mat good(64, 64, CV_8UC1);
    cv::randu(good, cv::Scalar(0), cv::Scalar(256));
    tree.writeFile("versions/good.bmp");
    ASSERT_TRUE(cv::imwrite(tree.path("versions/good.bmp"), good));
    tree.writeFile("versions/dicom.bmp", std::string(128, '\0') + "DICM" + std::string(3, '\0'));
    const std::string target = tree.path("rec/cap/camera2_swapped.bmp");
    tree.writeFile("rec/cap/camera2_swapped.bmp");
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    // Each version is a hard link of its own, renamed over the selected name:
    // the rename is atomic, and no data is copied, so the swaps come fast.
    const std::string goodVersion = tree.path("versions/good.bmp");
    const std::string dicomVersion = tree.path("versions/dicom.bmp");
    const std::string staging = tree.path("rec/staging");
    const auto swapper = BackgroundProcess::repeat([&] {
        ::link(goodVersion.c_str(), staging.c_str());
        ::rename(staging.c_str(), target.c_str());
        ::link(dicomVersion.c_str(), staging.c_str());
        ::rename(staging.c_str(), target.c_str());
        ::mkfifo(staging.c_str(), 0600);
        ::rename(staging.c_str(), target.c_str());
    });
    const Outcomes outcomes = captureVersions(1000, {{"good", good}});
    EXPECT_EQ(outcomes.unexpected, "");
    std::printf("%s\n", outcomes.summary().c_str());
}

// /proc/kmsg is a regular file of size 0 whose read waits for the next
// kernel message: a selected link to it must give an empty image at once.
TEST_F(ChangingFile, linkToAFileWhoseReadBlocksGivesAnEmptyImage) {
    const int probe = ::open("/proc/kmsg", O_RDONLY | O_NONBLOCK);
    if (probe < 0) {
        GTEST_SKIP() << "/proc/kmsg cannot be opened here (" << std::strerror(errno)
                     << "): it needs CAP_SYSLOG, which CI's root has";
    }
    ::close(probe);
    tree.makeLink("rec/cap/camera2_kmsg.bmp", "/proc/kmsg");
    ASSERT_TRUE(configure("camera2,,1," + tree.path("rec")));
    const std::vector<cv::Mat> images = capture();
    ASSERT_EQ(images.size(), 1u);
    EXPECT_TRUE(images[0].empty());
}

} // namespace
