#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <unordered_map>

// What makes two paths the same file: the walkers use it to never descend
// into a folder that is already on their own descent path (a link back to an
// ancestor would otherwise make them walk the same folders again and again),
// and to bound how often they enter any one folder.
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

// The folders that a walk has entered, by identity: how often each, and
// whether it is on the walk's current descent path. Links may lead to one
// folder from several places, and a recording that links a folder into a
// few captures replays it in each; but links that share folders multiply
// the paths (six levels of two links each make 64 paths to the bottom one),
// and a link to a system tree such as /sys leads into a web of them. So a
// walk enters each folder at most maxEntries times, whatever the links:
// its time and memory stay proportional to the real tree.
class FolderVisits {
public:
    static constexpr int maxEntries = 8;

    enum class Entry {
        Entered,        // counted; leave() it when its walk is done
        OnDescentPath,  // a link back to a folder being walked: not entered
        EnteredTooOften // already entered maxEntries times: not entered
    };

    // A folder without identity (its status could not be queried) is always
    // entered: the walk cannot tell it from another.
    Entry enter(const std::optional<FileIdentity>& identity);
    void leave(const std::optional<FileIdentity>& identity);

private:
    struct Visit {
        int entries = 0;
        bool onDescentPath = false;
    };
    struct Hash {
        std::size_t operator()(const FileIdentity& identity) const noexcept {
            return std::hash<std::uint64_t>()(identity.file * 0x9E3779B97F4A7C15ull ^
                                              identity.device);
        }
    };
    std::unordered_map<FileIdentity, Visit, Hash> visits_;
};
