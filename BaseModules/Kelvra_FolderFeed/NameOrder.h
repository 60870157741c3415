#pragma once

#include <string_view>

// Orders the entries of a folder the way the target platform's file system
// lists them: bytes compared with ASCII letters folded to upper case (so '_'
// sorts after the letters), ties broken by the raw bytes. Entries come sorted
// so that a recording replays in the same order on every platform.
template <typename CharT>
bool entryNameLess(std::basic_string_view<CharT> left, std::basic_string_view<CharT> right) {
    const auto fold = [](CharT c) {
        return (c >= CharT('a') && c <= CharT('z')) ? CharT(c - CharT('a') + CharT('A')) : c;
    };
    using Unsigned = std::make_unsigned_t<CharT>;
    const std::size_t common = left.size() < right.size() ? left.size() : right.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<Unsigned>(fold(left[i]));
        const auto b = static_cast<Unsigned>(fold(right[i]));
        if (a != b) {
            return a < b;
        }
    }
    if (left.size() != right.size()) {
        return left.size() < right.size();
    }
    for (std::size_t i = 0; i < common; ++i) {
        const auto a = static_cast<Unsigned>(left[i]);
        const auto b = static_cast<Unsigned>(right[i]);
        if (a != b) {
            return a < b;
        }
    }
    return false;
}

inline bool entryNameLess(std::string_view left, std::string_view right) {
    return entryNameLess<char>(left, right);
}
