#include "InspectCommand.h"

#include "CaptureFolderCheck.h"
#include "RecordingCheck.h"
#include "RecordingWalk.h"

#include <map>
#include <vector>

namespace {

// "3 warnings (image count: 1, empty image: 2)", kinds in their order.
std::string warningSummary(const std::map<WarningKind, std::size_t>& byKind) {
    std::size_t total = 0;
    std::string kinds;
    for (const auto& [kind, count] : byKind) {
        total += count;
        kinds += std::string(kinds.empty() ? " (" : ", ") + warningKindName(kind) + ": " +
                 std::to_string(count);
    }
    return std::to_string(total) + (total == 1 ? " warning" : " warnings") + kinds +
           (kinds.empty() ? "" : ")");
}

} // namespace

ExitStatus runInspect(const InspectOptions& options) {
    const std::vector<std::string> folders = captureFoldersOf(options.root);
    std::map<WarningKind, std::size_t> warningsByKind;

    for (const InspectWarning& warning : checkRoot(options.root, options.camera, folders.size())) {
        printLine("warning: " + warning.text);
        ++warningsByKind[warning.kind];
    }

    std::vector<CaptureFolderReport> reports;
    reports.reserve(folders.size());
    for (const std::string& folder : folders) {
        reports.push_back(checkCaptureFolder(folder, options.root, options.camera));
    }
    checkImageCounts(reports, options.camera);

    std::size_t images = 0;
    for (std::size_t number = 0; number < reports.size(); ++number) {
        const CaptureFolderReport& report = reports[number];
        images += report.selected.size();
        for (const InspectWarning& warning : report.warnings) {
            ++warningsByKind[warning.kind];
        }
        if (options.verbosity == Verbosity::Quiet && report.warnings.empty()) {
            continue;
        }
        printLine("capture " + std::to_string(number) + ": " + folders[number]);
        if (options.verbosity != Verbosity::Quiet) {
            for (std::size_t i = 0; i < report.selected.size(); ++i) {
                printLine("  image " + std::to_string(i) + ": " + report.selected[i]);
            }
        }
        for (const InspectWarning& warning : report.warnings) {
            printLine("  warning: " + warning.text);
        }
    }
    printLine(std::to_string(folders.size()) + " capture folders, " + std::to_string(images) +
              " images for " + options.camera + ", " + warningSummary(warningsByKind));
    return warningsByKind.empty() ? ExitStatus::Success : ExitStatus::Warnings;
}
