#pragma once

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

// A file descriptor of the C runtime (POSIX, or the Windows runtime's), closed
// however the code that opened it ends.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) noexcept : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
#if defined(_WIN32)
            _close(fd_);
#else
            ::close(fd_);
#endif
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    bool valid() const noexcept {
        return fd_ >= 0;
    }
    int get() const noexcept {
        return fd_;
    }

private:
    int fd_;
};
