#include "FileBytes.h"

#include "FileDescriptor.h"

#include <algorithm>
#include <cerrno>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

bool isRegular(unsigned short mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}

// The runtime keeps times in seconds only: a change within the same second
// shows in the size at most.
FileVersion versionOf(const struct _stat64& info) {
    return {static_cast<std::uint64_t>(std::max<__int64>(info.st_size, 0)),
            static_cast<std::int64_t>(info.st_mtime), static_cast<std::int64_t>(info.st_ctime)};
}

FileReadResult failureOf(int error) {
    return error == ENOENT ? FileReadResult::NotRegularFile : FileReadResult::Failed;
}

} // namespace

// The narrow runtime functions take the path in the code page of the ANSI
// file functions, as the folder walk and the listing write it.
FileReadResult readRegularFile(const std::string& path, FileBytes& bytes) {
    bytes.clear();
    // Device names ("NUL", "COM1") open devices, not files: only what names
    // a regular file is opened, and the descriptor is checked again below.
    struct _stat64 byName;
    if (_stat64(path.c_str(), &byName) != 0) {
        return failureOf(errno);
    }
    if (!isRegular(byName.st_mode)) {
        return FileReadResult::NotRegularFile;
    }
    const FileDescriptor file(_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT));
    if (!file.valid()) {
        return failureOf(errno);
    }
    struct _stat64 info;
    if (_fstat64(file.get(), &info) != 0) {
        return FileReadResult::Failed;
    }
    if (!isRegular(info.st_mode)) {
        return FileReadResult::NotRegularFile;
    }
    const auto readChunk = [&file](unsigned char* place, std::size_t count) -> long long {
        return _read(file.get(), place, static_cast<unsigned int>(count));
    };
    const auto versionNow = [&file]() {
        struct _stat64 now;
        return _fstat64(file.get(), &now) == 0 ? versionOf(now) : FileVersion{};
    };
    return readOpenFile(versionOf(info), bytes, readChunk, versionNow);
}
