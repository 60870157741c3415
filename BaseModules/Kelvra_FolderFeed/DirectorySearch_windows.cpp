#include "DirectorySearch.h"

#include <cstdint>

#include <io.h>

namespace {

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
        // The search matches its pattern against an entry's 8.3 short name as
        // well as its long one, so "*bmp" also finds photo.bmpx (short name
        // PHOTO~1.BMP): only long names that really end in the suffix count.
        if (nameEndsWith(record.name, suffix)) {
            matches_.push_back(DirectoryEntry{record.name, (record.attrib & _A_SUBDIR) != 0});
        }
    } while (_findnext64i32(search.get(), &record) == 0);
    sortInNameOrder(matches_);
}
