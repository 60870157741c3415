#include "CaptureSelection.h"

#include "listFilesByPattern.h"

#include <algorithm>

const std::array<const char*, 6> imageKindKeys = {
    "SprfSpecularReflectionImage",
    "SprfDiffuseReflectionImage",
    "SprfShapeImage1",
    "SprfShapeImage2",
    "SprfGlossRatioImage",
    "SprfNormalImage",
};

namespace {

bool contains(const std::string& path, const std::string& part) {
    return path.find(part) != std::string::npos;
}

void appendPathsContaining(const std::vector<std::string>& paths, const std::string& part,
                           std::vector<std::string>& selected) {
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(selected),
                 [&part](const std::string& path) { return contains(path, part); });
}

std::vector<std::string> orderByImageKind(const std::vector<std::string>& names) {
    std::vector<std::string> ordered;
    for (std::size_t kind = 0; kind < imageKindPasses(names.size()); ++kind) {
        appendPathsContaining(names, imageKindKeys[kind], ordered);
    }
    return ordered;
}

} // namespace

std::vector<std::string> pathsContaining(const std::vector<std::string>& paths,
                                         const std::string& text) {
    std::vector<std::string> found;
    appendPathsContaining(paths, text, found);
    return found;
}

std::size_t imageKindPasses(std::size_t selectedPaths) {
    return std::min(selectedPaths, imageKindKeys.size());
}

CameraMode cameraModeFor(const std::string& cameraName) {
    if (cameraName == "camera1") {
        return CameraMode::Camera1;
    }
    if (cameraName == "camera2") {
        return CameraMode::Camera2;
    }
    if (cameraName == "camera3P") {
        return CameraMode::Camera3P;
    }
    if (cameraName == "camera3N") {
        return CameraMode::Camera3N;
    }
    return CameraMode::Unknown;
}

CaptureListing listCaptureFolder(const std::string& folder, CameraMode mode) {
    CaptureListing listing;
    if (mode == CameraMode::Unknown) {
        return listing;
    }
    listFilesByPattern(folder, listing.bmp, "bmp");
    if (mode == CameraMode::Camera2) {
        listFilesByPattern(folder, listing.tiff, "tiff");
    }
    return listing;
}

std::vector<std::string> selectPathsToLoad(const std::string& cameraName,
                                           const CaptureListing& listing) {
    std::vector<std::string> selected;
    switch (cameraModeFor(cameraName)) {
    case CameraMode::Camera1:
        return orderByImageKind(pathsContaining(listing.bmp, cameraName));
    case CameraMode::Camera2:
        appendPathsContaining(listing.bmp, cameraName, selected);
        appendPathsContaining(listing.tiff, cameraName, selected);
        return selected;
    case CameraMode::Camera3P:
    case CameraMode::Camera3N:
        appendPathsContaining(listing.bmp, cameraName, selected);
        return selected;
    case CameraMode::Unknown:
        break;
    }
    return selected;
}
