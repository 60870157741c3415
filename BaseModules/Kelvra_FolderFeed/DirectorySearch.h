#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct DirectoryEntry {
    std::string name;
    bool isFolder = false;
};

// A search for the entries of one folder whose names end in a suffix, as the
// Windows runtime's _findfirst/_findnext search does it with the pattern
// "*suffix": letter case ignored, "." and ".." reported as folders, the folder
// flag following links. Only the long name counts: a name whose 8.3 short
// name ends in the suffix but whose long name does not is left out. It
// yields one entry at a time; the platform's own search is closed before the
// first one.
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
    // The whole folder is read, filtered and sorted when the search starts,
    // on every platform: entries come in name order even where the file
    // system does not sort (FAT, exFAT, network drives, Linux), and no folder
    // stays open while the caller descends (a deep tree would otherwise run
    // out of handles).
    std::vector<DirectoryEntry> matches_;
    std::size_t position_ = 0;
};

// For the platform back ends, which only enumerate: whether a name ends in the
// suffix with ASCII letter case ignored, as the Windows search matches a
// "*suffix" pattern; and the name order of the folder walk (NameOrder.h), in
// which every back end yields its entries.
bool nameEndsWith(std::string_view name, std::string_view suffix);
void sortInNameOrder(std::vector<DirectoryEntry>& entries);
