#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <utility>
#include <vector>

// Growing the buffer must not fill it with zeros first: every byte is about
// to be overwritten by the read, and clearing a camera image's worth of
// memory costs as much as reading it.
template <typename T> class UninitializedAllocator : public std::allocator<T> {
public:
    template <typename U> struct rebind { using other = UninitializedAllocator<U>; };

    UninitializedAllocator() = default;
    template <typename U> UninitializedAllocator(const UninitializedAllocator<U>&) noexcept {}

    template <typename U> void construct(U* place) noexcept { ::new (static_cast<void*>(place)) U; }
    template <typename U, typename... Args> void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};

// The bytes of one file, as read into memory. A capture reuses one buffer for
// all its files, so a file no larger than the one before costs no allocation.
using FileBytes = std::vector<unsigned char, UninitializedAllocator<unsigned char>>;

enum class FileReadResult {
    Read,           // bytes holds the whole file
    NotRegularFile, // missing, or a folder, pipe, device or socket
    Failed,         // cannot be opened or read, reading it would block, or it
                    // was written to while it was read
    TooLarge,       // larger than maxReadableFileBytes
};

// The decoder takes its input as one row of at most 2^31 - 1 bytes; a larger
// file is not read into the host's memory at all. No image that a camera
// writes comes near it.
constexpr std::uint64_t maxReadableFileBytes = (std::uint64_t(1) << 31) - 1;

// Reads the file at path into bytes through one open descriptor (a handle on
// Windows), so that what the caller checks and decodes is one version of the
// file, whatever other processes do to the path meanwhile: a file rewritten
// or cut short while it is read gives the bytes read until then, never a
// fault. The descriptor is opened non-blocking and checked to be a regular
// file before anything is read: a named pipe, or a file whose reads block,
// must not stall the capture. Files that report no size (some kernel files)
// are read until their end, up to maxReadableFileBytes.
FileReadResult readRegularFile(const std::string& path, FileBytes& bytes);

// For the platform back ends, which only open and check. What the open file's
// status says, as far as a change of the file shows in it.
struct FileVersion {
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the platform's own units
    std::int64_t changed = 0;

    friend bool operator==(const FileVersion& a, const FileVersion& b) {
        return a.size == b.size && a.modified == b.modified && a.changed == b.changed;
    }
};

// Reads an open file whose status was opened (a size of 0: unknown) into
// bytes. readChunk reads up to the given count into the given place and
// returns the count read, 0 at the end of the file, or a negative value when
// reading failed (it retries interruptions itself). versionNow gives the
// file's status again after the read: a file that was written to meanwhile
// may hold rows of two versions, and is not taken.
FileReadResult readOpenFile(const FileVersion& opened, FileBytes& bytes,
                            const std::function<long long(unsigned char*, std::size_t)>& readChunk,
                            const std::function<FileVersion()>& versionNow);
