#include "DirectorySearch.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace {

char foldAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string foldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) {
        c = foldAscii(c);
    }
    return folded;
}

// One entry's place in the sort: the eight folded bytes that follow the
// prefix shared by every name in the folder, most significant first, zeros
// past the end of the name.
struct SortSlot {
    std::uint64_t head = 0;
    std::size_t index = 0;
};

} // namespace

// The Windows search matches "*suffix" without regard to letter case.
bool nameEndsWith(std::string_view name, std::string_view suffix) {
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

// Puts entries in the order of entryNameLess (NameOrder.h): ASCII letters
// folded to upper case, bytes compared unsigned, a name before the longer
// names that it begins, and equal folded names in raw byte order. Sorting is
// most of the cost of listing a large folder, so most comparisons are of one
// integer: the names of a recording share a long prefix ("frame_0...") and
// differ in the bytes right after it. No name holds a zero byte, so a zero
// past a name's end sorts it before every longer name with the same start,
// as the order wants; names whose heads tie are compared in full.
void sortInNameOrder(std::vector<DirectoryEntry>& entries) {
    std::vector<std::string> folded;
    folded.reserve(entries.size());
    for (const DirectoryEntry& entry : entries) {
        folded.push_back(foldedName(entry.name));
    }
    std::size_t shared = folded.empty() ? 0 : folded.front().size();
    for (const std::string& name : folded) {
        const std::string& first = folded.front();
        const std::size_t limit = std::min(shared, name.size());
        shared = static_cast<std::size_t>(
            std::mismatch(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(limit),
                          first.begin())
                .first -
            name.begin());
    }
    std::vector<SortSlot> slots(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        slots[i].index = i;
        for (std::size_t at = shared; at < shared + sizeof(std::uint64_t); ++at) {
            slots[i].head <<= 8;
            if (at < folded[i].size()) {
                slots[i].head |= static_cast<unsigned char>(folded[i][at]);
            }
        }
    }
    std::sort(slots.begin(), slots.end(), [&](const SortSlot& a, const SortSlot& b) {
        if (a.head != b.head) {
            return a.head < b.head;
        }
        const int byFolded = folded[a.index].compare(folded[b.index]);
        return byFolded != 0 ? byFolded < 0 : entries[a.index].name < entries[b.index].name;
    });
    std::vector<DirectoryEntry> sorted;
    sorted.reserve(entries.size());
    for (const SortSlot& slot : slots) {
        sorted.push_back(std::move(entries[slot.index]));
    }
    entries.swap(sorted);
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
