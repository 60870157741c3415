#include "ReplayCommand.h"

#include "CaptureReport.h"
#include "CaptureSources.h"
#include "ContactSheet.h"
#include "ImageSaving.h"
#include "Manifest.h"
#include "ModuleLibrary.h"
#include "ParameterFields.h"
#include "RecordingWalk.h"
#include "StopRequest.h"

#include <QByteArray>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string parameterString(const ReplayOptions& options) {
    if (!options.param.empty()) {
        return options.param;
    }
    // The second field and the number are kept by the module but not used.
    return options.camera + ",folderfeed,1," + options.root;
}

void configure(Base& module, const std::string& param) {
    module.setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
    bool accepted = false;
    try {
        accepted = module.applyParam(nullptr);
    } catch (const std::system_error& error) {
        // filesystem_error included: its message names the path.
        throw CommandError(ExitStatus::BadRecording,
                           std::string("cannot walk the recording: ") + error.what());
    } catch (const std::logic_error& error) {
        // std::stoi's invalid_argument and out_of_range for the number field.
        throw CommandError(ExitStatus::BadRecording, "parameter string '" + param +
                                                         "' has a bad number field (" +
                                                         error.what() + ")");
    }
    if (!accepted) {
        throw CommandError(ExitStatus::BadRecording,
                           "parameter string '" + param +
                               "' rejected by the module: it needs four comma-separated "
                               "fields, camera,field2,number,root, and no leading comma");
    }
}

void requireEmptyFolder(const std::string& folder) {
    std::error_code error;
    if (std::filesystem::exists(folder, error) && !std::filesystem::is_empty(folder, error)) {
        throw CommandError(ExitStatus::OutputFailed,
                           "--save folder " + folder + " is not empty: choose a new or empty one");
    }
}

std::string progressText(int done, int total, double seconds) {
    char text[96];
    std::snprintf(text, sizeof text, "replaying: %d of %d captures (%.1f captures/s)", done, total,
                  seconds > 0 ? done / seconds : 0.0);
    return text;
}

// One capture as the program reports and records it.
struct CaptureRecord {
    int number = 0;
    std::vector<cv::Mat> images;
    double milliseconds = 0;
    // The files behind the images, one per image; empty when the folder no
    // longer lists as many files as the module handed over images.
    std::vector<std::string> sources;
    // Why each empty image is empty, by index; empty text for the others.
    std::vector<std::string> emptyReasons;
    bool sourcesChanged = false;

    bool hasEmptyImage() const {
        for (const cv::Mat& image : images) {
            if (image.empty()) {
                return true;
            }
        }
        return false;
    }
};

// Finds the files of the capture again, when something needs them: the
// manifest, or an empty image whose reason is to be told.
void traceSources(CaptureRecord& record, const CaptureSources& sources, bool always) {
    record.emptyReasons.assign(record.images.size(), std::string());
    if (!always && !record.hasEmptyImage()) {
        return;
    }
    std::vector<std::string> paths = sources.pathsOf(record.number);
    if (paths.size() != record.images.size()) {
        record.sourcesChanged = true;
        paths.clear();
    }
    record.sources = std::move(paths);
    for (std::size_t i = 0; i < record.images.size(); ++i) {
        if (record.images[i].empty()) {
            record.emptyReasons[i] = record.sources.empty() ? "unknown, the capture folder changed"
                                                            : emptyImageReason(record.sources[i]);
        }
    }
}

void printCapture(const CaptureRecord& record, const CaptureSources& sources, Verbosity verbosity) {
    const bool problem = record.images.empty() || record.hasEmptyImage() || record.sourcesChanged;
    if (verbosity == Verbosity::Quiet && !problem) {
        return;
    }
    printLine(captureLine(record.number, record.images, record.milliseconds));
    if (record.sourcesChanged) {
        printLine("  the folder " + sources.folderOf(record.number) + " now lists a different " +
                  "number of files than the module read: did the recording change?");
    }
    for (std::size_t i = 0; i < record.images.size(); ++i) {
        if (record.images[i].empty()) {
            printLine("  image " + std::to_string(i) + ": empty, " + record.emptyReasons[i] +
                      (record.sources.empty() ? std::string() : ": " + record.sources[i]));
        }
    }
}

void addToManifest(Manifest& manifest, const CaptureRecord& record, const std::string& folder,
                   const std::vector<std::filesystem::path>& saved) {
    if (record.images.empty()) {
        manifest.addCaptureWithoutImages(record.number, folder);
    }
    for (std::size_t i = 0; i < record.images.size(); ++i) {
        manifest.addImage(record.number, folder, i,
                          record.sources.empty() ? std::string() : record.sources[i],
                          record.images[i], record.emptyReasons[i], saved[i].generic_string());
    }
    manifest.flush();
}

} // namespace

ExitStatus runReplay(const ReplayOptions& options) {
    if (!options.saveFolder.empty()) {
        requireEmptyFolder(options.saveFolder);
    }
    // From here on, Ctrl-C lets the replay end in order.
    const StopRequest stop;
    std::optional<ModuleLibrary> library;
    try {
        library.emplace(options.modulePath);
    } catch (const ModuleLoadError& error) {
        throw CommandError(ExitStatus::ModuleNotLoaded, error.what());
    }

    const ModuleLogOutput logOutput(options.verbosity);
    // Released through destory before the library goes.
    const ModulePtr module = library->createModule();
    const std::string param = parameterString(options);
    configure(*module, param);

    // The module walked the same root a moment ago, so this fails only when
    // the recording changes under our feet.
    const ParameterFields fields = parameterFieldsOf(param);
    const CaptureSources sources(fields.root, fields.camera);
    if (sources.folderCount() == 0) {
        // Whatever --captures asks for: a replay of nothing but empty
        // captures is never what was meant.
        throw CommandError(ExitStatus::BadRecording, noCaptureFoldersMessage(fields.root));
    }
    const int captures =
        options.captures > 0 ? options.captures : static_cast<int>(sources.folderCount());

    std::optional<Manifest> manifest;
    if (!options.saveFolder.empty()) {
        manifest.emplace(std::filesystem::path(options.saveFolder) / "manifest.csv");
    }
    ContactSheet sheet(options.sheetRows);
    ReplayTotals totals;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    for (int number = 0; number < captures && !stop.requested(); ++number) {
        CaptureRecord record;
        record.number = number;
        const Clock::time_point captureStart = Clock::now();
        module->run();
        module->getResult(record.images, nullptr);
        record.milliseconds = secondsSince(captureStart) * 1000.0;

        traceSources(record, sources, manifest.has_value());
        printCapture(record, sources, options.verbosity);
        totals.add(record.images);
        if (manifest) {
            const std::vector<std::filesystem::path> saved =
                saveCaptureImages(options.saveFolder, number, record.images);
            addToManifest(*manifest, record, sources.folderOf(number), saved);
        }
        if (!options.sheetPath.empty()) {
            sheet.addCapture(number, sources.shortFolderOf(number), record.images);
        }
        // Long runs only: a short one is over before a progress line helps.
        if (secondsSince(start) > 1.0 &&
            std::chrono::duration<double>(Clock::now() - lastProgress).count() > 0.2) {
            showProgress(progressText(number + 1, captures, secondsSince(start)));
            lastProgress = Clock::now();
        }
    }
    const double seconds = secondsSince(start);
    clearProgress();
    printLine(totals.summary(seconds));
    if (stop.requested()) {
        printNote(std::string("interrupted by ") + stop.signalName() + ": stopped after " +
                  std::to_string(totals.captures()) + " of " + std::to_string(captures) +
                  " captures; the summary and the outputs hold the captures taken");
    }

    if (!options.sheetPath.empty()) {
        writeImageFile(options.sheetPath, sheet.render());
        std::string note = "contact sheet: " + options.sheetPath;
        if (sheet.rowsShown() < sheet.capturesSeen()) {
            note += " (first " + std::to_string(sheet.rowsShown()) + " of " +
                    std::to_string(sheet.capturesSeen()) + " captures; see --sheet-rows)";
        }
        printNote(note);
    }
    if (manifest) {
        printNote("images saved under " + options.saveFolder + ", listed in " +
                  manifest->path().string());
    }
    return stop.requested() ? stop.exitStatus() : ExitStatus::Success;
}
