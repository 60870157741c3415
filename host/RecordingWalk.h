#pragma once

#include <string>
#include <vector>

// The capture folders of a recording, in the order the module takes them,
// found with the module's own walk. Throws CommandError (BadRecording) with
// the walk's message, which names the path, when the root cannot be walked.
std::vector<std::string> captureFoldersOf(const std::string& root);

// The one message for a root without capture folders, which names the
// layout rule that users miss: the root itself is never a capture.
std::string noCaptureFoldersMessage(const std::string& root);

// folder without the root text in front of it (and the separator after it),
// as the walk built it; folder itself when it does not begin with root.
std::string folderBelowRoot(const std::string& folder, const std::string& root);
