#include "CaptureSources.h"

#include "CaptureSelection.h"
#include "ImageFileCheck.h"
#include "RecordingWalk.h"

#include <utility>

CaptureSources::CaptureSources(std::string root, std::string camera)
    : root_(std::move(root)), camera_(std::move(camera)), folders_(captureFoldersOf(root_)) {}

const std::string& CaptureSources::folderOf(int captureNumber) const {
    return folders_[static_cast<std::size_t>(captureNumber) % folders_.size()];
}

std::string CaptureSources::shortFolderOf(int captureNumber) const {
    return folderBelowRoot(folderOf(captureNumber), root_);
}

std::vector<std::string> CaptureSources::pathsOf(int captureNumber) const {
    return selectPathsToLoad(camera_,
                             listCaptureFolder(folderOf(captureNumber), cameraModeFor(camera_)));
}

std::string emptyImageReason(const std::string& path) {
    const ImageFileProblem problem = checkImageFile(path);
    return describeProblem(problem == ImageFileProblem::None ? ImageFileProblem::DecoderFailed
                                                             : problem);
}
