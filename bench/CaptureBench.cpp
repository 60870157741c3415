#include "CaptureBench.h"

#include "Interleaved.h"

#include "FileDescriptor.h"

#include <QByteArray>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void throwErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// The file's bytes in a buffer from OpenCV's allocator, the one that a
// decoded image gets its pixels from.
cv::Mat readWholeFile(const std::string& path) {
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        throwErrno("open " + path);
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0) {
        throwErrno("stat " + path);
    }
    cv::Mat bytes(1, static_cast<int>(info.st_size), CV_8UC1);
    std::size_t done = 0;
    while (done < bytes.total()) {
        const ssize_t got = ::read(file.get(), bytes.data + done, bytes.total() - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throwErrno("read " + path);
        }
        done += static_cast<std::size_t>(got);
    }
    return bytes;
}

// Minor page faults of the whole process, the worker thread's included.
long minorPageFaults() {
    struct rusage usage;
    if (::getrusage(RUSAGE_SELF, &usage) != 0) {
        throwErrno("getrusage");
    }
    return usage.ru_minflt;
}

} // namespace

ModulePtr configuredModule(const ModuleLibrary& library, const std::string& camera,
                           const std::string& root) {
    ModulePtr module = library.createModule();
    const std::string param = camera + ",unused,1," + root;
    module->setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
    if (!module->applyParam(nullptr)) {
        throw std::runtime_error("the module refused the parameter string " + param);
    }
    return module;
}

void measureCaptures(const CaptureRun& run, std::ostream& out) {
    const ModuleLibrary library(run.modulePath);
    const ModulePtr module = configuredModule(library, run.camera, run.root);
    // Another file, so another loaded library with state of its own.
    const bool withBaseline = !run.baselineModulePath.empty();
    std::optional<ModuleLibrary> baselineLibrary;
    ModulePtr baseline;
    if (withBaseline) {
        baselineLibrary.emplace(run.baselineModulePath);
        baseline = configuredModule(*baselineLibrary, run.camera, run.root);
    }

    std::vector<std::vector<ExpectedImage>> captures;
    for (int folder = 0; folder < run.shape.folders; ++folder) {
        captures.push_back(expectedCapture(run.root, run.camera, folder));
    }
    const auto captureOf = [&](int trial) -> const std::vector<ExpectedImage>& {
        return captures[static_cast<std::size_t>(trial % run.shape.folders)];
    };

    std::vector<cv::Mat> moduleImages;
    std::vector<cv::Mat> baselineImages;
    std::vector<cv::Mat> decodedImages;
    std::vector<cv::Mat> fileContents;
    // The module takes its folders in turn, so trial t is its capture of
    // folder t modulo the folder count, like the other two contestants'.
    std::vector<Contestant> contestants = {
        {"module",
         [&](int) {
             module->run();
             module->getResult(moduleImages, nullptr);
         },
         [&](int trial) {
             checkImages(moduleImages, captureOf(trial), run.shape, "the module");
             moduleImages.clear();
         }},
        {"imread",
         [&](int trial) {
             for (const ExpectedImage& image : captureOf(trial)) {
                 decodedImages.push_back(cv::imread(image.path, cv::IMREAD_UNCHANGED));
             }
         },
         [&](int trial) {
             checkImages(decodedImages, captureOf(trial), run.shape, "cv::imread");
             decodedImages.clear();
         }},
        {"read",
         [&](int trial) {
             for (const ExpectedImage& image : captureOf(trial)) {
                 fileContents.push_back(readWholeFile(image.path));
             }
         },
         [&](int) { fileContents.clear(); }},
    };
    if (withBaseline) {
        contestants.push_back({"baseline module",
                               [&](int) {
                                   baseline->run();
                                   baseline->getResult(baselineImages, nullptr);
                               },
                               [&](int trial) {
                                   checkImages(baselineImages, captureOf(trial), run.shape,
                                               "the baseline module");
                                   baselineImages.clear();
                               }});
    }

    // One untimed pass over all folders brings every file into the page
    // cache and every code path into memory.
    const auto samples =
        timeInterleaved(contestants, run.shape.folders, run.rounds * run.shape.folders);
    // Page faults show where memory is mapped afresh for every capture
    // instead of reused: counted over one more untimed pass, per capture.
    std::vector<double> faults(contestants.size(), 0.0);
    const int firstFaultTrial = static_cast<int>(samples[0].size()) + run.shape.folders;
    for (int trial = firstFaultTrial; trial < firstFaultTrial + run.shape.folders; ++trial) {
        for (std::size_t which = 0; which < contestants.size(); ++which) {
            const long before = minorPageFaults();
            contestants[which].timed(trial);
            faults[which] += static_cast<double>(minorPageFaults() - before);
            contestants[which].afterwards(trial);
        }
    }
    std::uint64_t bytes = 0;
    for (const auto& capture : captures) {
        bytes += fileBytes(capture);
    }
    out << "result module_ms " << median(samples[0]) << '\n'
        << "result imread_ms " << median(samples[1]) << '\n'
        << "result read_ms " << median(samples[2]) << '\n'
        << "result bytes_per_capture " << bytes / captures.size() << '\n'
        << "result captures " << samples[0].size() << '\n'
        << "result module_faults " << faults[0] / run.shape.folders << '\n'
        << "result imread_faults " << faults[1] / run.shape.folders << '\n'
        << "result read_faults " << faults[2] / run.shape.folders << '\n';
    if (withBaseline) {
        out << "result baseline_ms " << median(samples[3]) << '\n'
            << "result baseline_faults " << faults[3] / run.shape.folders << '\n';
    }
}
