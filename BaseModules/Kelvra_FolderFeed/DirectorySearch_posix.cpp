#include "DirectorySearch.h"

#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool isFolderAt(int folderFd, const char* name) {
    struct stat info;
    return fstatat(folderFd, name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

// The folder flag follows links. Where the enumeration already gives the
// entry's own type and it is no link, that type is the answer, and a folder
// of ten thousand images needs no status query per image. A link, or a file
// system that gives no type, needs one.
bool isFolderEntry(int folderFd, const dirent& entry) {
    switch (entry.d_type) {
    case DT_DIR:
        return true;
    case DT_LNK:
    case DT_UNKNOWN:
        return isFolderAt(folderFd, entry.d_name);
    default:
        return false;
    }
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
        const bool isFolder = isDotEntry || isFolderEntry(folderFd, *entry);
        matches_.push_back(DirectoryEntry{std::move(name), isFolder});
    }
    sortInNameOrder(matches_);
}
