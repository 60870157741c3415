#pragma once

#include "InspectWarning.h"

#include <string>
#include <vector>

// What one capture folder gives a camera, found with the module's own listing,
// selection and file check code, and what in it a user is likely to trip over.
struct CaptureFolderReport {
    // The paths that a capture of this folder loads, in hand-over order.
    std::vector<std::string> selected;
    // Of those, the ones from the "bmp" and the "tiff" listing.
    std::size_t selectedBmp = 0;
    std::size_t selectedTiff = 0;
    std::vector<InspectWarning> warnings;
};

// cameraName must be one of the module's four cameras; root is the
// recording's root as given, which folder begins with.
CaptureFolderReport checkCaptureFolder(const std::string& folder, const std::string& root,
                                       const std::string& cameraName);

// Warnings about a path that contains the camera name, or for "camera1" an
// image kind: every file beneath it is then selected, or taken in that kind's
// pass as well. where is "the root folder's path" or "the folder path".
std::vector<InspectWarning> namesInPath(const std::string& path, const std::string& cameraName,
                                        const std::string& where);
