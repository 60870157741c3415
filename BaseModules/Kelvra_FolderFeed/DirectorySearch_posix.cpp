#include "DirectorySearch.h"

#include "NameOrder.h"

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The Windows search matches "*suffix" without regard to letter case.
bool nameEndsWith(const std::string& name, const std::string& suffix) {
    if (suffix.size() > name.size()) {
        return false;
    }
    const std::size_t offset = name.size() - suffix.size();
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (foldAscii(name[offset + i]) != foldAscii(suffix[i])) {
            return false;
        }
    }
    return true;
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool isFolderAt(int folderFd, const char* name) {
    struct stat info;
    return fstatat(folderFd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

DirectorySearch::DirectorySearch(const std::string& folder, const std::string& suffix) {
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        return;
    }
    const int folderFd = dirfd(dir.get());
    while (const dirent* entry = readdir(dir.get())) {
        std::string name = entry->d_name;
        if (!nameEndsWith(name, suffix)) {
            continue;
        }
        const bool isDotEntry = name == "." || name == "..";
        const bool isFolder = isDotEntry || isFolderAt(folderFd, entry->d_name);
        matches_.push_back(DirectoryEntry{std::move(name), isFolder});
    }
    std::sort(matches_.begin(), matches_.end(),
              [](const DirectoryEntry& a, const DirectoryEntry& b) {
                  return entryNameLess(a.name, b.name);
              });
}

DirectorySearch::~DirectorySearch() = default;
DirectorySearch::DirectorySearch(DirectorySearch&& other) noexcept = default;
DirectorySearch& DirectorySearch::operator=(DirectorySearch&& other) noexcept = default;

bool DirectorySearch::next(DirectoryEntry& entry) {
    if (position_ >= matches_.size()) {
        return false;
    }
    entry = std::move(matches_[position_++]);
    return true;
}
