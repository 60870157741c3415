#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

// What makes two paths the same file: the walkers use it to never descend
// into a folder that is already on their own descent path (a link back to an
// ancestor would otherwise make them walk the same folders again and again).
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t file = 0;

    friend bool operator==(const FileIdentity& a, const FileIdentity& b) {
        return a.device == b.device && a.file == b.file;
    }
};

// The type of a path, following links, and the identity of what it names.
struct FileStatus {
    std::filesystem::file_type type = std::filesystem::file_type::none;
    std::optional<FileIdentity> identity;
};

// One status query that follows links. A path that does not exist (or a link
// whose target is missing) gives file_type::not_found; any other failure
// throws std::filesystem::filesystem_error for the operation "status".
FileStatus queryStatus(const std::filesystem::path& path);

// The identity of what path names, following links; empty when it cannot be
// queried.
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

// The folders from the walk's start down to the one being walked.
class DescentPath {
public:
    bool contains(const std::optional<FileIdentity>& identity) const;
    void push(const std::optional<FileIdentity>& identity) { folders_.push_back(identity); }
    void pop() { folders_.pop_back(); }

private:
    std::vector<std::optional<FileIdentity>> folders_;
};
