#include "collectSubFolders.h"

#include "FileIdentity.h"
#include "NameOrder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

using NativeView = std::basic_string_view<fs::path::value_type>;

std::vector<fs::path> entriesInNameOrder(const fs::path& folder) {
    std::vector<fs::path> entries;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        entries.push_back(entry.path());
    }
    std::sort(entries.begin(), entries.end(), [](const fs::path& a, const fs::path& b) {
        return entryNameLess(NativeView(a.filename().native()), NativeView(b.filename().native()));
    });
    return entries;
}

void walk(const fs::path& folder, std::vector<std::string>& list, DescentPath& descent) {
    for (const fs::path& entry : entriesInNameOrder(folder)) {
        const FileStatus status = queryStatus(entry);
        if (status.type != fs::file_type::directory) {
            continue;
        }
        const std::string folderPath = entry.string();
        list.push_back(folderPath);
        if (descent.contains(status.identity)) {
            continue;
        }
        descent.push(status.identity);
        walk(entry, list, descent);
        descent.pop();
    }
}

} // namespace

void collectSubFolders(const std::string& folder, std::vector<std::string>& list) {
    const fs::path root(folder);
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
