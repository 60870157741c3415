#pragma once

#include "CaptureFolderCheck.h"
#include "InspectWarning.h"

#include <string>
#include <vector>

// The checks of inspect that look at the recording as a whole rather than
// at one capture folder.

// The root itself: its path, the camera's files that lie in it (the root is
// never a capture), and whether it has capture folders at all.
std::vector<InspectWarning> checkRoot(const std::string& root, const std::string& cameraName,
                                      std::size_t captureFolders);

// Warns in every capture folder that hands over another number of images
// than most of them do (a missing TIFF, one of two files): a host that
// expects a fixed number per capture trips over it. Folders that hand over
// nothing have their own warning already.
void checkImageCounts(std::vector<CaptureFolderReport>& reports, const std::string& cameraName);
