#pragma once

// The folder camera's working state. It belongs to the loaded library, not to
// a module object: every object that create() makes shares this one set, and
// destroying an object leaves it as it was.
//
// Only captureDone synchronises the host's thread and the worker: the worker
// makes all its writes to pendingImages and folderIndex first and then stores
// the flag with release ordering; the host's thread loads it with acquire
// ordering and touches the results only after it has seen it set.

#include <opencv2/core/mat.hpp>

#include <atomic>
#include <string>
#include <vector>

extern std::string paramText;
extern std::string cameraName;
extern std::string paramField2;
extern int paramNumber;
extern std::string rootFolder;
extern std::vector<std::string> subFolders;
extern int folderIndex;
extern std::vector<cv::Mat> pendingImages;
extern std::atomic<bool> captureDone;
