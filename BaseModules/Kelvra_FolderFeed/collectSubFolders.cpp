#include "collectSubFolders.h"

#include "FileIdentity.h"
#include "NameOrder.h"
#include "PathText.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using NativeView = std::basic_string_view<fs::path::value_type>;

// One entry of a folder, as the enumeration gave it. Only its name is kept:
// most entries of a recording are image files that the walk passes over, and
// copying every entry's full path was a quarter of the walk's cost.
struct FolderEntry {
    fs::path::string_type name;
    // The enumeration reported a regular file (Linux gives the type with the
    // name, and the standard library keeps it): following links cannot make
    // it a folder, so it needs no status query of its own.
    bool reportedAsFile = false;
};

#if defined(_WIN32)

fs::path::string_type entryName(const fs::directory_entry& entry) {
    return entry.path().filename().native();
}

// On Windows every entry keeps its one status query: whether the entry type
// of the enumeration is kept without a further query differs between the
// standard libraries there.
bool reportedAsFile(const fs::directory_entry&) {
    return false;
}

#else

// The entry's path is the folder's path, a slash and the name, and a name
// holds no slash.
fs::path::string_type entryName(const fs::directory_entry& entry) {
    const fs::path::string_type& path = entry.path().native();
    return path.substr(path.rfind('/') + 1);
}

// Answered from the type that the enumeration read where it is known and is
// no link; otherwise this is the entry's status query. A failure counts as
// "not known", and the walk's own query reports it.
bool reportedAsFile(const fs::directory_entry& entry) {
    std::error_code unknown;
    return entry.is_regular_file(unknown);
}

#endif

std::vector<FolderEntry> entriesInNameOrder(const fs::path& folder) {
    std::vector<FolderEntry> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        entries.push_back(FolderEntry{entryName(entry), reportedAsFile(entry)});
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        // Bytes that are equal are equal folded too, so the names compare as
        // their rests behind the start that they share byte for byte; the
        // names of a recording share long starts ("camera1_image000...").
        const NativeView left(a.name);
        const NativeView right(b.name);
        const std::size_t shared = static_cast<std::size_t>(
            std::mismatch(left.begin(), left.end(), right.begin(), right.end()).first -
            left.begin());
        return entryNameLess(left.substr(shared), right.substr(shared));
    });
    return entries;
}

// A regular file is no folder, so it is skipped without a status query, as
// long as skipping it cannot hide a failure that the query would report:
// a folder that may be listed but not searched fails every query (the first
// entry's shows it), and so does a path that is too long for the system.
bool needsStatusQuery(const fs::path& folder, const FolderEntry& entry, bool firstOfFolder) {
#if defined(PATH_MAX)
    // At most one separator goes between the folder and the name.
    const bool tooLong = folder.native().size() + 1 + entry.name.size() >= PATH_MAX;
#else
    static_cast<void>(folder);
    const bool tooLong = false;
#endif
    return firstOfFolder || !entry.reportedAsFile || tooLong;
}

// One folder of the walk, open on the walk's stack: its entries, read and
// sorted when it was entered, and the next one to look at. The stack holds
// the whole descent path, so a deep tree costs heap, not the calling
// thread's stack.
struct OpenFolder {
    fs::path path;
    std::optional<FileIdentity> identity;
    std::vector<FolderEntry> entries;
    std::size_t next = 0;
};

OpenFolder openFolder(fs::path path, const std::optional<FileIdentity>& identity) {
    std::vector<FolderEntry> entries = entriesInNameOrder(path);
    return OpenFolder{std::move(path), identity, std::move(entries), 0};
}

} // namespace

void collectSubFolders(const std::string& folder, std::vector<std::string>& list) {
    const fs::path root = pathFromText(folder);
    // The operating system reads a path only up to a zero byte: without this
    // check a text with one inside would silently walk a different folder.
    if (folder.find('\0') != std::string::npos) {
        throw fs::filesystem_error("directory_iterator::directory_iterator", root,
                                   std::make_error_code(std::errc::invalid_argument));
    }
    FolderVisits visits;
    std::vector<OpenFolder> stack;
    const std::optional<FileIdentity> rootIdentity = fileIdentity(root);
    visits.enter(rootIdentity);
    stack.push_back(openFolder(root, rootIdentity));
    while (!stack.empty()) {
        OpenFolder& current = stack.back();
        if (current.next == current.entries.size()) {
            visits.leave(current.identity);
            stack.pop_back();
            continue;
        }
        const std::size_t index = current.next++;
        const FolderEntry& entry = current.entries[index];
        if (!needsStatusQuery(current.path, entry, index == 0)) {
            continue;
        }
        fs::path entryPath = current.path / entry.name;
        const FileStatus status = queryStatus(entryPath);
        if (status.type != fs::file_type::directory) {
            continue;
        }
        list.push_back(textOfPath(entryPath));
        switch (visits.enter(status.identity)) {
        case FolderVisits::Entry::OnDescentPath:
            break;
        case FolderVisits::Entry::EnteredTooOften:
            throw fs::filesystem_error(
                "directory_iterator::directory_iterator", entryPath,
                std::make_error_code(std::errc::too_many_symbolic_link_levels));
        case FolderVisits::Entry::Entered:
            // current is no longer valid once the stack grows.
            stack.push_back(openFolder(std::move(entryPath), status.identity));
            break;
        }
    }
}
