#pragma once

#include <algorithm>
#include <string>

// The separator that the walkers put between a folder and a name: the
// platform's own, so paths look to a Windows host as its own paths do.
#if defined(_WIN32)
inline constexpr char nativeSeparator = '\\';
#else
inline constexpr char nativeSeparator = '/';
#endif

// A relative path written with '/' in a test table, in the platform's form, so
// that one table serves every platform.
inline std::string nativePath(std::string relative) {
    std::replace(relative.begin(), relative.end(), '/', nativeSeparator);
    return relative;
}
