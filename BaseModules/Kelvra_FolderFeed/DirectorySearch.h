#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <io.h>
#endif

struct DirectoryEntry {
    std::string name;
    bool isFolder = false;
};

// A search for the entries of one folder whose names end in a suffix, as the
// Windows runtime's _findfirst/_findnext search does it with the pattern
// "*suffix": letter case ignored, "." and ".." reported as folders, the folder
// flag following links. It yields one entry at a time and is closed by its
// destructor.
//
// A folder that is missing, is no folder or cannot be read yields nothing.
class DirectorySearch {
public:
    DirectorySearch(const std::string& folder, const std::string& suffix);
    ~DirectorySearch();

    DirectorySearch(DirectorySearch&& other) noexcept;
    DirectorySearch& operator=(DirectorySearch&& other) noexcept;
    DirectorySearch(const DirectorySearch&) = delete;
    DirectorySearch& operator=(const DirectorySearch&) = delete;

    // Fills entry with the next match; false when none is left.
    bool next(DirectoryEntry& entry);

private:
#if defined(_WIN32)
    void close() noexcept;

    intptr_t handle_ = -1;
    _finddata64i32_t record_{};
    bool recordPending_ = false;
#else
    // The whole folder is read, filtered and sorted when the search starts:
    // entries come in name order, like on the target platform, and no folder
    // stays open while the caller descends (a deep tree would otherwise run
    // out of file descriptors).
    std::vector<DirectoryEntry> matches_;
    std::size_t position_ = 0;
#endif
};
