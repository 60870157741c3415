#include "ReplayCommand.h"

#include "CaptureReport.h"
#include "ContactSheet.h"
#include "ImageSaving.h"
#include "ModuleLibrary.h"
#include "RecordingWalk.h"

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

// The root folder field as the module reads it: everything after the third
// comma, commas included.
std::string rootFieldOf(const std::string& param) {
    std::size_t comma = std::string::npos;
    for (int i = 0; i < 3; ++i) {
        comma = param.find(',', comma == std::string::npos ? 0 : comma + 1);
        if (comma == std::string::npos) {
            return std::string();
        }
    }
    return param.substr(comma + 1);
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

} // namespace

ExitStatus runReplay(const ReplayOptions& options) {
    if (!options.saveFolder.empty()) {
        requireEmptyFolder(options.saveFolder);
    }
    std::optional<ModuleLibrary> library;
    try {
        library.emplace(options.modulePath);
    } catch (const ModuleLoadError& error) {
        throw CommandError(ExitStatus::ModuleNotLoaded, error.what());
    }

    const ModuleLogOutput logOutput(options.logDetail);
    // Released through destory before the library goes.
    const ModulePtr module = library->createModule();
    const std::string param = parameterString(options);
    configure(*module, param);

    int captures = options.captures;
    if (captures == 0) {
        // The module walked the same root a moment ago, so this fails only
        // when the recording changes under our feet.
        captures = static_cast<int>(captureFoldersOf(rootFieldOf(param)).size());
        if (captures == 0) {
            throw CommandError(ExitStatus::BadRecording, "no capture folders under " +
                                                             rootFieldOf(param) +
                                                             ": nothing to replay");
        }
    }

    ContactSheet sheet(options.sheetRows);
    ReplayTotals totals;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    for (int number = 0; number < captures; ++number) {
        const Clock::time_point captureStart = Clock::now();
        std::vector<cv::Mat> images;
        module->run();
        module->getResult(images, nullptr);
        const double milliseconds = secondsSince(captureStart) * 1000.0;

        printLine(captureLine(number, images, milliseconds));
        totals.add(images);
        if (!options.saveFolder.empty()) {
            saveCaptureImages(options.saveFolder, number, images);
        }
        if (!options.sheetPath.empty()) {
            sheet.addCapture(number, images);
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

    if (!options.sheetPath.empty()) {
        writeImageFile(options.sheetPath, sheet.render());
        std::string note = "contact sheet: " + options.sheetPath;
        if (sheet.rowsShown() < sheet.capturesSeen()) {
            note += " (first " + std::to_string(sheet.rowsShown()) + " of " +
                    std::to_string(sheet.capturesSeen()) + " captures; see --sheet-rows)";
        }
        printNote(note);
    }
    if (!options.saveFolder.empty()) {
        printNote("images saved under " + options.saveFolder);
    }
    return ExitStatus::Success;
}
