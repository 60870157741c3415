#include "DirectorySearch.h"

#include <utility>

DirectorySearch::DirectorySearch(const std::string& folder, const std::string& suffix) {
    std::string pattern = folder;
    pattern += "\\*";
    pattern += suffix;
    handle_ = _findfirst64i32(pattern.c_str(), &record_);
    recordPending_ = handle_ != -1;
}

DirectorySearch::~DirectorySearch() {
    close();
}

DirectorySearch::DirectorySearch(DirectorySearch&& other) noexcept
    : handle_(std::exchange(other.handle_, -1)), record_(other.record_),
      recordPending_(std::exchange(other.recordPending_, false)) {}

DirectorySearch& DirectorySearch::operator=(DirectorySearch&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, -1);
        record_ = other.record_;
        recordPending_ = std::exchange(other.recordPending_, false);
    }
    return *this;
}

void DirectorySearch::close() noexcept {
    if (handle_ != -1) {
        _findclose(handle_);
        handle_ = -1;
    }
}

bool DirectorySearch::next(DirectoryEntry& entry) {
    if (handle_ == -1) {
        return false;
    }
    if (!recordPending_ && _findnext64i32(handle_, &record_) != 0) {
        close();
        return false;
    }
    recordPending_ = false;
    entry.name = record_.name;
    entry.isFolder = (record_.attrib & _A_SUBDIR) != 0;
    return true;
}
