#pragma once

#include <string>
#include <vector>

// The capture folders of a recording, in the order the module takes them,
// found with the module's own walk. Throws CommandError (BadRecording) with
// the walk's message, which names the path, when the root cannot be walked.
std::vector<std::string> captureFoldersOf(const std::string& root);
