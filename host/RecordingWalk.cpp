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
