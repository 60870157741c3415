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

void walk(const fs::path& folder, std::vector<std::string>& list, DescentPath& descent) {
    const std::vector<FolderEntry> entries = entriesInNameOrder(folder);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!needsStatusQuery(folder, entries[i], i == 0)) {
            continue;
        }
        const fs::path entryPath = folder / entries[i].name;
        const FileStatus status = queryStatus(entryPath);
        if (status.type != fs::file_type::directory) {
            continue;
        }
        const std::string folderPath = textOfPath(entryPath);
        list.push_back(folderPath);
        if (descent.contains(status.identity)) {
            continue;
        }
        descent.push(status.identity);
        walk(entryPath, list, descent);
        descent.pop();
    }
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
    DescentPath descent;
    descent.push(fileIdentity(root));
    walk(root, list, descent);
}
