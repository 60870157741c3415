#pragma once

#include <string>
#include <vector>

// What one capture folder gives a camera, found with the module's own listing
// and selection code, and what in it a user is likely to trip over.
struct CaptureFolderReport {
    // The paths that a capture of this folder loads, in hand-over order.
    std::vector<std::string> selected;
    std::vector<std::string> warnings;
};

// cameraName must be one of the module's four cameras.
CaptureFolderReport checkCaptureFolder(const std::string& folder, const std::string& cameraName);
