#include "CaptureFolderCheck.h"

#include "CaptureSelection.h"
#include "ImageFileCheck.h"
#include "RecordingWalk.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Extensions of files that someone might have meant as camera images.
bool looksLikeImage(const std::string& lowerName) {
    static const char* const extensions[] = {".bmp", ".dib",  ".tif", ".tiff", ".png",
                                             ".jpg", ".jpeg", ".pgm", ".ppm",  ".pnm"};
    return std::any_of(
        std::begin(extensions), std::end(extensions),
        [&lowerName](const char* extension) { return endsWith(lowerName, extension); });
}

std::string suffixesReadBy(CameraMode mode) {
    return mode == CameraMode::Camera2 ? "'bmp' or 'tiff'" : "'bmp'";
}

bool readsSuffixOf(CameraMode mode, const std::string& lowerName) {
    return endsWith(lowerName, "bmp") ||
           (mode == CameraMode::Camera2 && endsWith(lowerName, "tiff"));
}

// "camera1": files that carry no kind, kinds that the pass-count rule never
// reaches, and kinds that are missing.
void checkImageKinds(const CaptureListing& listing, const std::string& cameraName,
                     CaptureFolderReport& report, std::set<std::string>& explained) {
    const std::vector<std::string> names = pathsContaining(listing.bmp, cameraName);
    if (names.empty()) {
        return;
    }
    const std::size_t passes = imageKindPasses(names.size());
    std::vector<std::string> missing;
    for (std::size_t kind = 0; kind < imageKindKeys.size(); ++kind) {
        const bool present =
            std::any_of(names.begin(), names.end(), [kind](const std::string& path) {
                return contains(path, imageKindKeys[kind]);
            });
        if (!present) {
            missing.push_back(imageKindKeys[kind]);
        }
    }
    if (!missing.empty()) {
        std::string list;
        for (const std::string& kind : missing) {
            list += (list.empty() ? "" : ", ") + kind;
        }
        report.warnings.push_back({WarningKind::MissingImageKinds, "missing image kinds: " + list});
    }
    for (const std::string& path : names) {
        std::vector<std::size_t> kinds;
        for (std::size_t kind = 0; kind < imageKindKeys.size(); ++kind) {
            if (contains(path, imageKindKeys[kind])) {
                kinds.push_back(kind);
            }
        }
        if (kinds.empty()) {
            report.warnings.push_back(
                {WarningKind::ImageKindNotLoaded,
                 "not loaded, its name has none of the six image kinds: " + path});
            explained.insert(path);
        } else if (kinds.front() >= passes) {
            report.warnings.push_back({WarningKind::ImageKindNotLoaded,
                                       "not loaded, " + std::string(imageKindKeys[kinds.front()]) +
                                           " is skipped: with " + std::to_string(names.size()) +
                                           " camera1 files only the first " +
                                           std::to_string(passes) + " kinds are read: " + path});
            explained.insert(path);
        }
    }
}

// Files whose names mention the camera, but not in a way the module takes.
void checkLookAlikes(const std::string& folder, const std::string& cameraName, CameraMode mode,
                     const std::vector<std::string>& selected,
                     const std::set<std::string>& explained, CaptureFolderReport& report) {
    const std::set<std::string> loaded(selected.begin(), selected.end());
    const std::string lowerCamera = lowerCase(cameraName);
    std::error_code error;
    std::vector<std::string> names;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        const std::string path = (fs::path(folder) / name).string();
        const std::string lowerName = lowerCase(name);
        if (loaded.count(path) != 0 || explained.count(path) != 0 ||
            !contains(lowerName, lowerCamera) || !looksLikeImage(lowerName)) {
            continue;
        }
        if (!contains(path, cameraName)) {
            report.warnings.push_back({WarningKind::LookAlikeNotLoaded,
                                       "not loaded, the camera name's letter case differs from '" +
                                           cameraName + "': " + path});
        } else if (!readsSuffixOf(mode, lowerName)) {
            const std::string hint = mode == CameraMode::Camera2 && endsWith(lowerName, ".tif")
                                         ? " ('.tif' is not 'tiff')"
                                         : "";
            report.warnings.push_back(
                {WarningKind::LookAlikeNotLoaded, "not loaded, " + cameraName +
                                                      " reads only names ending in " +
                                                      suffixesReadBy(mode) + hint + ": " + path});
        }
    }
}

// A folder with sub-folders and not a single file: users take it for a
// grouping level, but the walk makes it a capture of its own.
bool holdsOnlyFolders(const std::string& folder) {
    std::error_code error;
    bool anyFolder = false;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        if (!it->is_directory(statusError)) {
            return false;
        }
        anyFolder = true;
    }
    return anyFolder && !error;
}

// Selected files that the module's own check turns away, without decoding.
void checkSelectedFiles(const std::vector<std::string>& selected, CaptureFolderReport& report) {
    std::set<std::string> checked;
    for (const std::string& path : selected) {
        if (!checked.insert(path).second) {
            continue;
        }
        std::error_code error;
        if (fs::is_directory(path, error)) {
            report.warnings.push_back(
                {WarningKind::EmptyImage,
                 "selected path is a folder, handed over as an empty image: " + path});
            continue;
        }
        const ImageFileProblem problem = checkImageFile(path);
        if (problem != ImageFileProblem::None) {
            report.warnings.push_back(
                {WarningKind::EmptyImage, std::string("handed over as an empty image, ") +
                                              describeProblem(problem) + ": " + path});
        }
    }
}

} // namespace

std::vector<InspectWarning> namesInPath(const std::string& path, const std::string& cameraName,
                                        const std::string& where) {
    std::vector<InspectWarning> warnings;
    const CameraMode mode = cameraModeFor(cameraName);
    if (contains(path, cameraName)) {
        warnings.push_back(
            {WarningKind::NameInFolderPath, where + " contains '" + cameraName + "' (" + path +
                                                "): every file beneath it whose name ends in " +
                                                suffixesReadBy(mode) + " is taken for " +
                                                cameraName + ", other cameras' files included"});
    }
    if (mode != CameraMode::Camera1) {
        return warnings;
    }
    for (const char* kind : imageKindKeys) {
        if (contains(path, kind)) {
            warnings.push_back({WarningKind::NameInFolderPath,
                                where + " contains the image kind '" + kind + "' (" + path +
                                    "): every camera1 file beneath it is handed over again in " +
                                    kind + "'s pass"});
        }
    }
    return warnings;
}

CaptureFolderReport checkCaptureFolder(const std::string& folder, const std::string& root,
                                       const std::string& cameraName) {
    const CameraMode mode = cameraModeFor(cameraName);
    const CaptureListing listing = listCaptureFolder(folder, mode);
    CaptureFolderReport report;
    report.selected = selectPathsToLoad(cameraName, listing);
    report.selectedBmp = pathsContaining(listing.bmp, cameraName).size();
    report.selectedTiff = pathsContaining(listing.tiff, cameraName).size();

    // The root's own path is checked once for the whole recording.
    const std::string belowRoot = folderBelowRoot(folder, root);
    for (InspectWarning& warning : namesInPath(belowRoot, cameraName, "the folder path")) {
        report.warnings.push_back(std::move(warning));
    }
    if (report.selected.empty()) {
        if (holdsOnlyFolders(folder)) {
            report.warnings.push_back(
                {WarningKind::FolderOfFolders,
                 "holds only folders, yet is a capture of its own (every folder beneath the "
                 "root is one capture, each before the folders inside it): this capture hands "
                 "over no images"});
        } else {
            report.warnings.push_back(
                {WarningKind::NothingForCamera,
                 "nothing for " + cameraName + " here: this capture hands over no images"});
        }
    }
    checkSelectedFiles(report.selected, report);
    std::set<std::string> explained;
    if (mode == CameraMode::Camera1) {
        checkImageKinds(listing, cameraName, report, explained);
    }
    checkLookAlikes(folder, cameraName, mode, report.selected, explained, report);
    return report;
}
