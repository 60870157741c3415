#include "listFilesByPattern.h"

#include "DirectorySearch.h"
#include "FileIdentity.h"
#include "PathText.h"

#include <optional>
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

// One matching folder of the listing, open on the listing's stack. The stack
// holds the whole descent, so a deep chain of matching folders costs heap,
// not the worker thread's stack.
struct OpenSearch {
    std::string folder;
    std::optional<FileIdentity> identity;
    DirectorySearch search;
};

} // namespace

void listFilesByPattern(std::string folder, std::vector<std::string>& list, std::string suffix) {
    // A zero byte would cut the folder short: search nothing rather than a
    // different folder.
    if (folder.find('\0') != std::string::npos || suffix.find('\0') != std::string::npos) {
        return;
    }
    FolderVisits visits;
    std::vector<OpenSearch> stack;
    const std::optional<FileIdentity> folderIdentity = identityOf(folder);
    visits.enter(folderIdentity);
    DirectorySearch first(folder, suffix);
    stack.push_back(OpenSearch{std::move(folder), folderIdentity, std::move(first)});
    DirectoryEntry entry;
    while (!stack.empty()) {
        OpenSearch& current = stack.back();
        if (!current.search.next(entry)) {
            visits.leave(current.identity);
            stack.pop_back();
            continue;
        }
        if (entry.isFolder && (entry.name == "." || entry.name == "..")) {
            continue;
        }
        std::string p;
        p.reserve(current.folder.size() + 1 + entry.name.size());
        p += current.folder;
        p += pathSeparator;
        p += entry.name;
        if (!entry.isFolder) {
            list.push_back(std::move(p));
            continue;
        }
        list.push_back(p);
        // The listing reports nothing: a folder that links would have it
        // enter too often is listed but not entered, like a link back to
        // one being listed.
        const std::optional<FileIdentity> identity = identityOf(p);
        if (visits.enter(identity) == FolderVisits::Entry::Entered) {
            DirectorySearch search(p, suffix);
            // current is no longer valid once the stack grows.
            stack.push_back(OpenSearch{std::move(p), identity, std::move(search)});
        }
    }
}
