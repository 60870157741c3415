#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// How a camera name picks files out of a capture folder. The worker and the
// host's inspection tool both go through these functions, so what a recording
// check reports is what a replay loads.

enum class CameraMode { Camera1, Camera2, Camera3P, Camera3N, Unknown };

// The camera name compared whole, letter case significant.
CameraMode cameraModeFor(const std::string& cameraName);

// The image kinds of "camera1", in the order in which they are handed over.
extern const std::array<const char*, 6> imageKindKeys;

// The listings of one capture folder: "bmp" for every camera, "tiff" for
// "camera2" only.
struct CaptureListing {
    std::vector<std::string> bmp;
    std::vector<std::string> tiff;
};

// Lists folder with the suffixes that mode reads; nothing for Unknown.
CaptureListing listCaptureFolder(const std::string& folder, CameraMode mode);

// The paths that contain text anywhere (folder part included, letter case
// significant), in their order: how a camera name and an image-kind key pick
// paths.
std::vector<std::string> pathsContaining(const std::vector<std::string>& paths,
                                         const std::string& text);

// The number of "camera1" kind passes that look for a kind: one pass per
// selected path, so fewer than six selected paths never reach the later kinds.
std::size_t imageKindPasses(std::size_t selectedPaths);

// The listed paths that cameraName loads, in hand-over order. A path belongs
// to the camera when it contains the name anywhere, folder part included.
// "camera1" takes its paths by image kind, one pass per kind, with as many
// passes as it selected paths (so fewer than six paths never reach the later
// kinds); "camera2" takes its "bmp" paths, then its "tiff" paths; the other
// cameras take their paths in listing order.
std::vector<std::string> selectPathsToLoad(const std::string& cameraName,
                                           const CaptureListing& listing);
