#include "MemoryBench.h"

#include "CaptureBench.h"
#include "ProcessMemory.h"

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <malloc.h>

#include <functional>
#include <iostream>
#include <stdexcept>

namespace {

constexpr int fixedMmapThreshold = 128 * 1024;

struct CaptureMemory {
    std::uint64_t addedBytes = 0;
    std::uint64_t pixelBytes = 0;
};

// The peak resident memory that capture adds while it runs and while its
// images are held, and the pixel bytes of those images.
CaptureMemory measureOne(const std::function<void(std::vector<cv::Mat>&)>& capture,
                         const std::vector<ExpectedImage>& expected, const RecordingShape& shape,
                         const std::string& who) {
    std::vector<cv::Mat> images;
    images.reserve(16); // the list's own growth is the host's, not the capture's
    if (!resetPeakResident()) {
        throw std::runtime_error("cannot reset the peak resident size (/proc/self/clear_refs)");
    }
    const std::uint64_t before = residentBytes();
    capture(images);
    const std::uint64_t peak = peakResidentBytes();
    checkImages(images, expected, shape, who);
    CaptureMemory memory;
    memory.addedBytes = peak > before ? peak - before : 0;
    for (const cv::Mat& image : images) {
        memory.pixelBytes += image.total() * image.elemSize();
    }
    return memory;
}

} // namespace

void measureCaptureMemory(const MemoryRun& run, std::ostream& out) {
    if (run.shape.folders < 3) {
        throw std::invalid_argument("the memory figure needs three capture folders");
    }
    if (mallopt(M_MMAP_THRESHOLD, fixedMmapThreshold) == 0) {
        // Another allocator (a sanitizer's, say): the figures are still
        // measured, but memory that it reuses does not show.
        std::cerr << "folderfeed-bench: cannot fix the malloc mmap threshold; memory that the "
                     "allocator reuses is not counted\n";
    }
    const ModuleLibrary library(run.modulePath);
    const ModulePtr module = configuredModule(library, run.camera, run.root);
    const auto moduleCapture = [&](std::vector<cv::Mat>& images) {
        module->run();
        module->getResult(images, nullptr);
    };
    const auto imreadCapture = [&run](int folder) {
        std::vector<std::string> paths;
        for (const ExpectedImage& image : expectedCapture(run.root, run.camera, folder)) {
            paths.push_back(image.path);
        }
        return [paths](std::vector<cv::Mat>& images) {
            for (const std::string& path : paths) {
                images.push_back(cv::imread(path, cv::IMREAD_UNCHANGED));
            }
        };
    };

    // Warm-up: the module takes folder 0, the bare loop reads folder 0 too.
    std::vector<cv::Mat> thrownAway;
    moduleCapture(thrownAway);
    imreadCapture(0)(thrownAway);
    thrownAway.clear();

    const CaptureMemory viaModule = measureOne(
        moduleCapture, expectedCapture(run.root, run.camera, 1), run.shape, "the module");
    const CaptureMemory viaImread = measureOne(
        imreadCapture(2), expectedCapture(run.root, run.camera, 2), run.shape, "cv::imread");
    out << "result module_added_bytes " << viaModule.addedBytes << '\n'
        << "result imread_added_bytes " << viaImread.addedBytes << '\n'
        << "result pixel_bytes " << viaModule.pixelBytes << '\n';
}
