#pragma once

#include <cstddef>
#include <string>

// A recording-like folder tree: top x middle x leaves capture folders in
// three levels, each capture folder holding filesPerLeaf empty image files.
struct TreeShape {
    int top = 20;
    int middle = 20;
    int leaves = 50;
    int filesPerLeaf = 8;

    std::size_t folders() const;
    std::size_t files() const;
};

void writeFolderTree(const std::string& root, const TreeShape& shape);

// Median milliseconds of the module's folder walk, a plain recursive
// std::filesystem walk that collects the same folder paths, and
// "find ROOT -type d"; each walk's folder count is checked.
struct WalkTimes {
    double moduleMs = 0;
    double filesystemMs = 0;
    double findMs = 0;
};

WalkTimes measureWalk(const std::string& root, const TreeShape& shape, int repeats);

// A folder of count empty files frame_00000.bmp, frame_00001.bmp, ...
void writeListingFolder(const std::string& folder, int count);

// Median milliseconds of the module's listing of the folder with the suffix
// "bmp" and of a plain readdir loop that collects the entries' paths.
struct ListingTimes {
    double moduleMs = 0;
    double readdirMs = 0;
};

ListingTimes measureListing(const std::string& folder, int count, int repeats);
