// folderfeed_decode_peak FILE: what decoding one image file takes, against
// what the module's estimate says it will take. Decodes the file as a
// capture does (its bytes in memory, IMREAD_UNCHANGED) and prints one
// "key value" line per figure:
//
//   estimate_bytes   the module's estimate (image and decoder buffers)
//   image_bytes      the estimate's share for the decoded image
//   vm_added_bytes   peak address space that the decoding added
//   rss_added_bytes  peak resident memory that the decoding added
//   decoded_bytes    the pixel bytes of the decoded image (0: none)
//
// Address space is what the decoder allocates, touched or not: every block
// of 128 KiB or more is mapped on its own and unmapped when freed (a fixed
// malloc mmap threshold), so the peak shows the largest set of blocks held
// at once. One file per process, as the peak cannot be reset.

#include "DecodeMemory.h"
#include "FileBytes.h"

#include <opencv2/core/utils/logger.hpp>
#include <opencv2/imgcodecs.hpp>

#include <malloc.h>

#include <fstream>
#include <iostream>
#include <string>

namespace {

// A figure of /proc/self/status, in bytes.
long long statusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, key.size() + 1, key + ":") == 0) {
            return std::stoll(line.substr(key.size() + 1)) * 1024;
        }
    }
    throw std::runtime_error("no " + key + " in /proc/self/status");
}

// The decoders' first use sets up state of their own; that is no part of
// what one file costs.
void warmUpDecoders() {
    for (const char* extension : {".bmp", ".tiff"}) {
        std::vector<uchar> encoded;
        cv::imencode(extension, cv::Mat(8, 8, CV_8UC1, cv::Scalar(1)), encoded);
        cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: folderfeed_decode_peak FILE\n";
        return 2;
    }
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    FileBytes bytes;
    if (readRegularFile(argv[1], bytes) != FileReadResult::Read || bytes.empty()) {
        std::cerr << "cannot read " << argv[1] << '\n';
        return 1;
    }
    const DecodeMemory estimate = estimateDecodeMemory(bytes.data(), bytes.size());
    warmUpDecoders();

    std::ofstream("/proc/self/clear_refs") << "5"; // resets the resident peak
    const long long vmBefore = statusBytes("VmSize");
    const long long rssBefore = statusBytes("VmRSS");
    cv::Mat image;
    try {
        image = cv::imdecode(cv::Mat(1, static_cast<int>(bytes.size()), CV_8UC1, bytes.data()),
                             cv::IMREAD_UNCHANGED);
    } catch (const std::exception&) {
        // A refused file still shows what was allocated before the refusal.
    }
    const long long vmAdded = statusBytes("VmPeak") - vmBefore;
    const long long rssAdded = statusBytes("VmHWM") - rssBefore;

    std::cout << "estimate_bytes " << estimate.total() << '\n'
              << "image_bytes " << estimate.imageBytes << '\n'
              << "vm_added_bytes " << vmAdded << '\n'
              << "rss_added_bytes " << rssAdded << '\n'
              << "decoded_bytes " << image.total() * image.elemSize() << '\n';
    return 0;
}
