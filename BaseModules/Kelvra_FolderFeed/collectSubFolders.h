#pragma once

#include <string>
#include <vector>

// Appends the path of every folder beneath folder to list, depth first, each
// folder directly before the folders inside it; folder itself is not
// appended. The entries of each folder are taken in name order (NameOrder.h).
// Links to folders are appended and walked, but never into a folder that is
// already on the walk's own descent path.
//
// Failures leave as std::filesystem::filesystem_error (a folder that cannot
// be opened or read, a status query that fails) or std::system_error (a name
// that the narrow encoding cannot hold); list keeps what was appended before.
void collectSubFolders(const std::string& folder, std::vector<std::string>& list);
