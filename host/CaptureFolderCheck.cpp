#include "CaptureFolderCheck.h"

#include "CaptureSelection.h"

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
        report.warnings.push_back("missing image kinds: " + list);
    }
    for (const std::string& path : names) {
        std::vector<std::size_t> kinds;
        for (std::size_t kind = 0; kind < imageKindKeys.size(); ++kind) {
            if (contains(path, imageKindKeys[kind])) {
                kinds.push_back(kind);
            }
        }
        if (kinds.empty()) {
            report.warnings.push_back("not loaded, its name has none of the six image kinds: " +
                                      path);
            explained.insert(path);
        } else if (kinds.front() >= passes) {
            report.warnings.push_back("not loaded, " + std::string(imageKindKeys[kinds.front()]) +
                                      " is skipped: with " + std::to_string(names.size()) +
                                      " camera1 files only the first " + std::to_string(passes) +
                                      " kinds are read: " + path);
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
            report.warnings.push_back("not loaded, the camera name's letter case differs from '" +
                                      cameraName + "': " + path);
        } else if (!readsSuffixOf(mode, lowerName)) {
            const std::string hint = mode == CameraMode::Camera2 && endsWith(lowerName, ".tif")
                                         ? " ('.tif' is not 'tiff')"
                                         : "";
            report.warnings.push_back("not loaded, " + cameraName + " reads only names ending in " +
                                      suffixesReadBy(mode) + hint + ": " + path);
        }
    }
}

} // namespace

CaptureFolderReport checkCaptureFolder(const std::string& folder, const std::string& cameraName) {
    const CameraMode mode = cameraModeFor(cameraName);
    const CaptureListing listing = listCaptureFolder(folder, mode);
    CaptureFolderReport report;
    report.selected = selectPathsToLoad(cameraName, listing);

    if (report.selected.empty()) {
        report.warnings.push_back("nothing for " + cameraName +
                                  " here: this capture hands over no images");
    }
    for (const std::string& path : report.selected) {
        std::error_code error;
        if (fs::is_directory(path, error)) {
            report.warnings.push_back("selected path is a folder, handed over as an empty image: " +
                                      path);
        }
    }
    std::set<std::string> explained;
    if (mode == CameraMode::Camera1) {
        checkImageKinds(listing, cameraName, report, explained);
    }
    checkLookAlikes(folder, cameraName, mode, report.selected, explained, report);
    return report;
}
