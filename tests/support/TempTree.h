#pragma once

#include <filesystem>
#include <string>

// A fresh folder under the system's temp folder, removed with everything in
// it when the object goes. Tests build their recordings in it.
class TempTree {
public:
    TempTree();
    ~TempTree();

    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // root() as the narrow text that a host would pass.
    std::string rootText() const { return root_.string(); }
    std::string path(const std::string& relative) const { return (root_ / relative).string(); }

    // Makes the folder and any missing parents; returns its path.
    std::filesystem::path makeFolder(const std::string& relative) const;
    // Writes bytes to the file, making its folder first.
    std::filesystem::path writeFile(const std::string& relative,
                                    const std::string& bytes = "") const;
    // A symbolic link at relative that points to target (taken as it is).
    std::filesystem::path makeLink(const std::string& relative, const std::string& target) const;

private:
    std::filesystem::path root_;
};
