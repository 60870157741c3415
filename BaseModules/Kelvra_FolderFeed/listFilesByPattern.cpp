#include "listFilesByPattern.h"

#include "DirectorySearch.h"
#include "FileIdentity.h"

#include <filesystem>

namespace {

#if defined(_WIN32)
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

void listMatches(const std::string& folder, std::vector<std::string>& list,
                 const std::string& suffix, DescentPath& descent) {
    DirectorySearch search(folder, suffix);
    DirectoryEntry entry;
    while (search.next(entry)) {
        if (entry.isFolder && (entry.name == "." || entry.name == "..")) {
            continue;
        }
        std::string p = folder;
        p += pathSeparator;
        p += entry.name;
        list.push_back(p);
        if (!entry.isFolder) {
            continue;
        }
        const auto identity = fileIdentity(std::filesystem::path(p));
        if (descent.contains(identity)) {
            continue;
        }
        descent.push(identity);
        listMatches(p, list, suffix, descent);
        descent.pop();
    }
}

} // namespace

void listFilesByPattern(std::string folder, std::vector<std::string>& list, std::string suffix) {
    // A zero byte would cut the folder short: search nothing rather than a
    // different folder.
    if (folder.find('\0') != std::string::npos || suffix.find('\0') != std::string::npos) {
        return;
    }
    DescentPath descent;
    descent.push(fileIdentity(std::filesystem::path(folder)));
    listMatches(folder, list, suffix, descent);
}
