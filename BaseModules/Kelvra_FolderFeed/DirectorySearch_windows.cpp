#include "DirectorySearch.h"

#include "NameOrder.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include <io.h>

namespace {

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// The search matches its pattern against an entry's short 8.3 name as well as
// its long one, so "*bmp" also finds photo.bmpx (short name PHOTO~1.BMP).
// Only long names that really end in the suffix, in any letter case, count.
bool nameEndsWith(const char* name, const std::string& suffix) {
    const std::size_t length = std::strlen(name);
    if (suffix.size() > length) {
        return false;
    }
    const char* tail = name + (length - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (foldAscii(tail[i]) != foldAscii(suffix[i])) {
            return false;
        }
    }
    return true;
}

// Ends a runtime directory search however the reading stops.
class FindHandle {
public:
    explicit FindHandle(std::intptr_t handle) : handle_(handle) {}
    ~FindHandle() {
        if (valid()) {
            _findclose(handle_);
        }
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;

    bool valid() const { return handle_ != -1; }
    std::intptr_t get() const { return handle_; }

private:
    std::intptr_t handle_;
};

} // namespace

DirectorySearch::DirectorySearch(const std::string& folder, const std::string& suffix) {
    // An empty text names no folder: the pattern "\*suffix" would search the
    // root of the current drive instead.
    if (folder.empty()) {
        return;
    }
    std::string pattern = folder;
    pattern += "\\*";
    pattern += suffix;
    _finddata64i32_t record{};
    const FindHandle search(_findfirst64i32(pattern.c_str(), &record));
    if (!search.valid()) {
        return;
    }
    do {
        if (nameEndsWith(record.name, suffix)) {
            matches_.push_back(DirectoryEntry{record.name, (record.attrib & _A_SUBDIR) != 0});
        }
    } while (_findnext64i32(search.get(), &record) == 0);
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
