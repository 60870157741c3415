#include "FileBytes.h"

#include <algorithm>

namespace {

// One read moves at most this much: Linux caps a single read near 2 GiB, and
// the Windows runtime's count is an unsigned int.
constexpr std::size_t maxReadChunk = std::size_t(1) << 30;
// Where a file reports no size, the buffer starts here and doubles.
constexpr std::size_t unsizedStartBytes = std::size_t(64) << 10;

} // namespace

FileReadResult readOpenFile(const FileVersion& opened, FileBytes& bytes,
                            const std::function<long long(unsigned char*, std::size_t)>& readChunk,
                            const std::function<FileVersion()>& versionNow) {
    bytes.clear();
    const std::uint64_t reportedSize = opened.size;
    if (reportedSize > maxReadableFileBytes) {
        return FileReadResult::TooLarge;
    }
    // A file that grows while it is read is taken as it was when opened; one
    // that reports no size is read to its end.
    const bool sized = reportedSize > 0;
    const auto limit = static_cast<std::size_t>(sized ? reportedSize : maxReadableFileBytes);
    bytes.resize(sized ? limit : unsizedStartBytes);
    std::size_t filled = 0;
    while (filled < limit) {
        if (filled == bytes.size()) {
            bytes.resize(std::min(limit, 2 * bytes.size()));
        }
        const long long count =
            readChunk(bytes.data() + filled, std::min(bytes.size() - filled, maxReadChunk));
        if (count == 0) {
            break;
        }
        if (count < 0) {
            bytes.clear();
            return FileReadResult::Failed;
        }
        filled += static_cast<std::size_t>(count);
    }
    if (!sized && filled == limit) {
        bytes.clear();
        return FileReadResult::TooLarge;
    }
    if (!(versionNow() == opened)) {
        bytes.clear();
        return FileReadResult::Failed;
    }
    bytes.resize(filled);
    return FileReadResult::Read;
}
