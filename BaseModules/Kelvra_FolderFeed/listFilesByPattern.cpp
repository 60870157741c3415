#include "listFilesByPattern.h"

#include "DirectorySearch.h"
#include "FileIdentity.h"
#include "PathText.h"

#include <system_error>
#include <utility>

namespace {

#if defined(_WIN32)
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif

// The listing reports nothing, so a text that names no file has no identity.
std::optional<FileIdentity> identityOf(const std::string& path) {
    try {
        return fileIdentity(pathFromText(path));
    } catch (const std::system_error&) {
        return std::nullopt;
    }
}

void listMatches(const std::string& folder, std::vector<std::string>& list,
                 const std::string& suffix, DescentPath& descent) {
    DirectorySearch search(folder, suffix);
    DirectoryEntry entry;
    while (search.next(entry)) {
        if (entry.isFolder && (entry.name == "." || entry.name == "..")) {
            continue;
        }
        std::string p;
        p.reserve(folder.size() + 1 + entry.name.size());
        p += folder;
        p += pathSeparator;
        p += entry.name;
        if (!entry.isFolder) {
            list.push_back(std::move(p));
            continue;
        }
        list.push_back(p);
        const auto identity = identityOf(p);
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
    descent.push(identityOf(folder));
    listMatches(folder, list, suffix, descent);
}
