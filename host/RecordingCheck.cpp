#include "RecordingCheck.h"

#include "CaptureSelection.h"
#include "RecordingWalk.h"

#include <map>

namespace {

std::string images(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " image" : " images");
}

} // namespace

std::vector<InspectWarning> checkRoot(const std::string& root, const std::string& cameraName,
                                      std::size_t captureFolders) {
    std::vector<InspectWarning> warnings = namesInPath(root, cameraName, "the root folder's path");
    const std::size_t inRoot =
        selectPathsToLoad(cameraName, listCaptureFolder(root, cameraModeFor(cameraName))).size();
    if (inRoot > 0) {
        const bool one = inRoot == 1;
        warnings.push_back(
            {WarningKind::FilesInRoot,
             std::to_string(inRoot) + " " + cameraName + (one ? " file lies" : " files lie") +
                 " in the root folder itself, which is never a capture: " +
                 (one ? "it is" : "they are") + " never loaded; put the images in a sub-folder"});
    }
    if (captureFolders == 0) {
        warnings.push_back({WarningKind::NoCaptureFolders,
                            noCaptureFoldersMessage(root) + "; a replay refuses this recording"});
    }
    return warnings;
}

void checkImageCounts(std::vector<CaptureFolderReport>& reports, const std::string& cameraName) {
    std::map<std::size_t, std::size_t> foldersByCount;
    for (const CaptureFolderReport& report : reports) {
        if (!report.selected.empty()) {
            ++foldersByCount[report.selected.size()];
        }
    }
    if (foldersByCount.size() < 2) {
        return;
    }
    // On a tie the larger count: a file gone missing is likelier than one
    // that appeared.
    std::size_t usual = 0;
    std::size_t usualFolders = 0;
    for (const auto& [count, folders] : foldersByCount) {
        if (folders >= usualFolders) {
            usual = count;
            usualFolders = folders;
        }
    }
    std::size_t foldersWithImages = 0;
    for (const auto& entry : foldersByCount) {
        foldersWithImages += entry.second;
    }
    for (CaptureFolderReport& report : reports) {
        const std::size_t count = report.selected.size();
        if (count == 0 || count == usual) {
            continue;
        }
        const std::string split = cameraModeFor(cameraName) == CameraMode::Camera2
                                      ? " (" + std::to_string(report.selectedBmp) + " bmp, " +
                                            std::to_string(report.selectedTiff) + " tiff)"
                                      : "";
        report.warnings.push_back(
            {WarningKind::ImageCount,
             "hands over " + images(count) + split + " where most capture folders (" +
                 std::to_string(usualFolders) + " of " + std::to_string(foldersWithImages) +
                 ") hand over " + std::to_string(usual)});
    }
}
