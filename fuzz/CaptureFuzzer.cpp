// One capture of a folder whose two selected files, a ".bmp" and a ".tiff",
// hold the fuzzer's bytes. The capture must always complete and hand over
// exactly one image per selected path, an empty one where the file cannot be
// decoded. Run with -rss_limit_mb (and so a malloc limit) so that a decoder
// allocation bomb is reported instead of taking the machine's memory.

#include "FuzzSupport.h"

#include "Kelvra_FolderFeed.h"

#include "support/TempTree.h"

#include <QByteArray>

#include <opencv2/core/mat.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TempTree> tree;
std::unique_ptr<Kelvra_FolderFeed> module;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceModuleOutput();
    tree = std::make_unique<TempTree>();
    tree->makeFolder("rec/cap");
    module = std::make_unique<Kelvra_FolderFeed>();
    const std::string param = "camera2,fuzz,1," + tree->path("rec");
    module->setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
    if (!module->applyParam(nullptr)) {
        fuzzFailure("the capture folder was not accepted");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    tree->writeFile("rec/cap/camera2_fuzz.bmp", bytes);
    tree->writeFile("rec/cap/camera2_fuzz.tiff", bytes);

    module->run();
    std::vector<cv::Mat> images;
    module->getResult(images, nullptr);
    if (images.size() != 2) {
        fuzzFailure("a capture of two selected files handed over " + std::to_string(images.size()) +
                    " images");
    }
    for (const cv::Mat& image : images) {
        if (!image.empty() && (image.rows <= 0 || image.cols <= 0 || image.data == nullptr)) {
            fuzzFailure("a decoded image without pixels");
        }
    }
    return 0;
}
