#pragma once

#include <string>
#include <vector>

// Appends to list the path of every entry of folder whose name ends in suffix
// (a bare suffix such as "bmp", letter case ignored), and descends into the
// matching entries that are folders, each folder's contents directly behind
// its own path. Paths are folder, the platform's separator and the name, so a
// folder given with a trailing separator shows it doubled. A folder that
// cannot be searched adds nothing. Never descends into a folder that is
// already on its own descent path, nor into one it has entered
// FolderVisits::maxEntries times already, however many links lead there.
void listFilesByPattern(std::string folder, std::vector<std::string>& list, std::string suffix);
