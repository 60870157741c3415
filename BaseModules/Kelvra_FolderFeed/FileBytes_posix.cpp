#include "FileBytes.h"

#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if !defined(O_CLOEXEC)
#define O_CLOEXEC 0
#endif

namespace {

std::int64_t nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

FileVersion versionOf(const struct stat& info) {
    return {static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)), nanoseconds(info.st_mtim),
            nanoseconds(info.st_ctim)};
}

FileReadResult failureOf(int error) {
    return error == ENOENT || error == ENOTDIR || error == ELOOP ? FileReadResult::NotRegularFile
                                                                 : FileReadResult::Failed;
}

} // namespace

FileReadResult readRegularFile(const std::string& path, FileBytes& bytes) {
    bytes.clear();
    // Only a regular file is opened at all: opening some devices has effects
    // of its own (a tape rewinds). The descriptor is checked again below, as
    // the path may name something else by then.
    struct stat byName;
    if (::stat(path.c_str(), &byName) != 0) {
        return failureOf(errno);
    }
    if (!S_ISREG(byName.st_mode)) {
        return FileReadResult::NotRegularFile;
    }
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.valid()) {
        return failureOf(errno);
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0) {
        return FileReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        return FileReadResult::NotRegularFile;
    }
    const auto readChunk = [&file](unsigned char* place, std::size_t count) -> long long {
        for (;;) {
            const ssize_t got = ::read(file.get(), place, count);
            // EAGAIN included: a read that would block makes the file unreadable.
            if (got >= 0 || errno != EINTR) {
                return got;
            }
        }
    };
    const auto versionNow = [&file]() {
        struct stat now;
        return ::fstat(file.get(), &now) == 0 ? versionOf(now) : FileVersion{};
    };
    return readOpenFile(versionOf(info), bytes, readChunk, versionNow);
}
