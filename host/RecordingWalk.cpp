#include "RecordingWalk.h"

#include "ExitStatus.h"
#include "collectSubFolders.h"

#include <system_error>

std::vector<std::string> captureFoldersOf(const std::string& root) {
    std::vector<std::string> folders;
    try {
        collectSubFolders(root, folders);
    } catch (const std::system_error& error) {
        throw CommandError(ExitStatus::BadRecording,
                           std::string("cannot walk the recording: ") + error.what());
    }
    return folders;
}

std::string noCaptureFoldersMessage(const std::string& root) {
    return "no capture folders under " + root +
           ": the root folder itself is never a capture, every folder beneath it is one; "
           "put the images in a sub-folder";
}

std::string folderBelowRoot(const std::string& folder, const std::string& root) {
    if (root.empty() || folder.compare(0, root.size(), root) != 0) {
        return folder;
    }
    std::size_t start = root.size();
    // The walk adds one separator unless the root text already ends in one.
    while (start < folder.size() && (folder[start] == '/' || folder[start] == '\\')) {
        ++start;
    }
    return folder.substr(start);
}
