#include "FileIdentity.h"

#include <memory>
#include <system_error>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

#if defined(_WIN32)

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};

} // namespace

std::optional<FileIdentity> fileIdentity(const fs::path& path) {
    // Backup semantics let CreateFile open folders, not only files.
    HANDLE raw =
        CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (raw == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const std::unique_ptr<void, HandleCloser> handle(raw);
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle.get(), &info)) {
        return std::nullopt;
    }
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

FileStatus queryStatus(const fs::path& path) {
    FileStatus status;
    status.type = fs::status(path).type();
    if (status.type == fs::file_type::directory) {
        status.identity = fileIdentity(path);
    }
    return status;
}

#else

namespace {

fs::file_type typeOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return fs::file_type::directory;
    }
    if (S_ISREG(mode)) {
        return fs::file_type::regular;
    }
    if (S_ISCHR(mode)) {
        return fs::file_type::character;
    }
    if (S_ISBLK(mode)) {
        return fs::file_type::block;
    }
    if (S_ISFIFO(mode)) {
        return fs::file_type::fifo;
    }
    if (S_ISSOCK(mode)) {
        return fs::file_type::socket;
    }
    return fs::file_type::unknown;
}

} // namespace

std::optional<FileIdentity> fileIdentity(const fs::path& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

FileStatus queryStatus(const fs::path& path) {
    // One stat() gives both the type and the identity; std::filesystem would
    // need a second query for the identity.
    struct stat info;
    FileStatus status;
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            status.type = fs::file_type::not_found;
            return status;
        }
        throw fs::filesystem_error("status", path, std::error_code(error, std::generic_category()));
    }
    status.type = typeOf(info.st_mode);
    status.identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                                   static_cast<std::uint64_t>(info.st_ino)};
    return status;
}

#endif

FolderVisits::Entry FolderVisits::enter(const std::optional<FileIdentity>& identity) {
    if (!identity) {
        return Entry::Entered;
    }
    Visit& visit = visits_[*identity];
    if (visit.onDescentPath) {
        return Entry::OnDescentPath;
    }
    if (visit.entries >= maxEntries) {
        return Entry::EnteredTooOften;
    }
    ++visit.entries;
    visit.onDescentPath = true;
    return Entry::Entered;
}

void FolderVisits::leave(const std::optional<FileIdentity>& identity) {
    if (identity) {
        visits_[*identity].onDescentPath = false;
    }
}
