#pragma once

#include <string>
#include <vector>

// Appends the path of every folder beneath folder to list, depth first, each
// folder directly before the folders inside it; folder itself is not
// appended. The entries of each folder are taken in name order (NameOrder.h).
// Links to folders are appended and walked, but never into a folder that is
// already on the walk's own descent path, and no folder is entered more than
// FolderVisits::maxEntries times however many links lead to it: the walk of
// a tree of links that share folders (or of a link to /sys) ends in time
// proportional to the real tree.
//
// Failures leave as std::filesystem::filesystem_error (a folder that cannot
// be opened or read, a status query that fails; a folder that links would
// have it enter more often than that, with errc::too_many_symbolic_link_levels
// and the path that reached it once too often) or std::system_error (a name
// that the narrow encoding cannot hold); list keeps what was appended before,
// that path included.
void collectSubFolders(const std::string& folder, std::vector<std::string>& list);
