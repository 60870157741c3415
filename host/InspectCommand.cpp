#include "InspectCommand.h"

#include "CaptureFolderCheck.h"
#include "Console.h"
#include "RecordingWalk.h"

#include <vector>

ExitStatus runInspect(const InspectOptions& options) {
    const std::vector<std::string> folders = captureFoldersOf(options.root);
    std::size_t warnings = 0;
    std::size_t images = 0;
    if (folders.empty()) {
        printLine("warning: no capture folders under " + options.root +
                  ": a replay hands over no images");
        ++warnings;
    }
    for (std::size_t number = 0; number < folders.size(); ++number) {
        const CaptureFolderReport report = checkCaptureFolder(folders[number], options.camera);
        printLine("capture " + std::to_string(number) + ": " + folders[number]);
        for (std::size_t i = 0; i < report.selected.size(); ++i) {
            printLine("  image " + std::to_string(i) + ": " + report.selected[i]);
        }
        for (const std::string& warning : report.warnings) {
            printLine("  warning: " + warning);
        }
        images += report.selected.size();
        warnings += report.warnings.size();
    }
    printLine(std::to_string(folders.size()) + " capture folders, " + std::to_string(images) +
              " images for " + options.camera + ", " + std::to_string(warnings) + " warnings");
    return warnings == 0 ? ExitStatus::Success : ExitStatus::Warnings;
}
