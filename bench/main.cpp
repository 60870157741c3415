// folderfeed-bench: how much the module adds to decoding, and how its folder
// walk and listing compare with plain loops, measured on generated data.
// Run without arguments for the full measurement, with --quick for a run of
// seconds on small data (what the test command does).

#include "CaptureBench.h"
#include "ChildProcess.h"
#include "MemoryBench.h"
#include "Recording.h"
#include "Report.h"
#include "TempFolder.h"
#include "WalkBench.h"

#include <QtGlobal>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Sizes {
    RecordingShape large;
    RecordingShape small;
    int largeRounds;
    int smallRounds;
    TreeShape tree;
    int walkRepeats;
    int listingFiles;
    int listingRepeats;
};

const Sizes fullSizes = {{10, 2448, 2048}, {10, 640, 480}, 5, 20, {20, 20, 50, 8}, 7, 10000, 21};
const Sizes quickSizes = {{3, 612, 512}, {2, 64, 48}, 2, 3, {2, 5, 10, 2}, 3, 500, 3};

struct Options {
    bool help = false;
    bool quick = false;
    std::string modulePath = FOLDERFEED_MODULE_PATH;
    std::string baselineModulePath; // empty: no baseline build
    fs::path workFolder;
    std::string only; // empty: every section
};

const char* const usage =
    "usage: folderfeed-bench [--help] [--quick] [--module PATH] [--baseline-module PATH] "
    "[--work-dir DIR] [--only capture|memory|walk|list]\n";

Options parseOptions(const std::vector<std::string>& arguments) {
    Options options;
    const char* tmp = std::getenv("TMPDIR");
    options.workFolder = tmp != nullptr && *tmp != '\0' ? tmp : "/tmp";
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const auto value = [&]() -> const std::string& {
            if (i + 1 >= arguments.size()) {
                throw std::invalid_argument(argument + " needs a value\n" + usage);
            }
            return arguments[++i];
        };
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--quick") {
            options.quick = true;
        } else if (argument == "--module") {
            options.modulePath = value();
        } else if (argument == "--baseline-module") {
            options.baselineModulePath = value();
        } else if (argument == "--work-dir") {
            options.workFolder = value();
        } else if (argument == "--only") {
            options.only = value();
            if (options.only != "capture" && options.only != "memory" && options.only != "walk" &&
                options.only != "list") {
                throw std::invalid_argument("unknown section " + options.only + "\n" + usage);
            }
        } else {
            throw std::invalid_argument("unknown argument " + argument + "\n" + usage);
        }
    }
    return options;
}

// A host receives the module's log lines through its own message handler;
// this one drops them, so the terminal's speed is no part of a capture.
void discardLog(QtMsgType, const QMessageLogContext&, const QString&) {}

std::string selfPath() {
    return fs::read_symlink("/proc/self/exe").string();
}

RecordingShape shapeFrom(const std::vector<std::string>& fields, std::size_t first) {
    return {std::stoi(fields.at(first)), std::stoi(fields.at(first + 1)),
            std::stoi(fields.at(first + 2))};
}

// The parts that load the module run in child processes: the module's state
// belongs to the loaded library and lasts as long as it, so each measurement
// gets a fresh one, and the memory figure a fresh process.
int runChild(const std::vector<std::string>& fields) {
    qInstallMessageHandler(discardLog);
    if (fields.at(0) == "--child-capture") {
        measureCaptures({fields.at(1), fields.size() > 8 ? fields.at(8) : std::string(),
                         fields.at(2), fields.at(3), shapeFrom(fields, 4), std::stoi(fields.at(7))},
                        std::cout);
    } else {
        measureCaptureMemory({fields.at(1), fields.at(2), fields.at(3), shapeFrom(fields, 4)},
                             std::cout);
    }
    return 0;
}

std::vector<std::string> shapeArguments(const RecordingShape& shape) {
    return {std::to_string(shape.folders), std::to_string(shape.width),
            std::to_string(shape.height)};
}

std::string sizeLabel(const RecordingShape& shape) {
    return std::to_string(shape.width) + "x" + std::to_string(shape.height);
}

std::map<std::string, double> runCaptureChild(const Options& options, const std::string& root,
                                              const std::string& camera,
                                              const RecordingShape& shape, int rounds) {
    std::vector<std::string> arguments = {"--child-capture", options.modulePath, root, camera};
    for (const std::string& field : shapeArguments(shape)) {
        arguments.push_back(field);
    }
    arguments.push_back(std::to_string(rounds));
    if (!options.baselineModulePath.empty()) {
        arguments.push_back(options.baselineModulePath);
    }
    return parseResults(runCapturingOutput(selfPath(), arguments));
}

double megabytesPerSecond(double bytes, double milliseconds) {
    return bytes / 1e6 / (milliseconds / 1e3);
}

void reportCaptures(Report& report, const Options& options, const std::string& root,
                    const RecordingShape& shape, int rounds, bool large) {
    const std::string size = large ? "large" : "small";
    for (const std::string camera : {"camera1", "camera2"}) {
        std::cerr << "measuring " << camera << " captures of " << sizeLabel(shape) << "...\n";
        auto results = runCaptureChild(options, root, camera, shape, rounds);
        const std::string key = "capture." + camera + "." + size + ".";
        const std::string label = camera + " " + sizeLabel(shape) + " ";
        const double moduleMs = results.at("module_ms");
        const double imreadMs = results.at("imread_ms");
        const double readMs = results.at("read_ms");
        const double bytes = results.at("bytes_per_capture");
        report.addSection(camera + ", " + sizeLabel(shape) + ", median of " +
                          std::to_string(static_cast<int>(results.at("captures"))) + " captures, " +
                          std::to_string(bytes / 1e6).substr(0, 5) + " MB of files each");
        const auto add = [&](const std::string& name, const std::string& text, double value,
                             int decimals, std::optional<double> limit = std::nullopt) {
            report.add({key + name, label + text, value, decimals, limit});
        };
        add("module_ms", "a module ms/capture", moduleMs, 3);
        add("imread_ms", "b imread ms/capture", imreadMs, 3);
        add("read_ms", "c read bytes ms/capture", readMs, 3);
        add("module_over_imread", "a/b", moduleMs / imreadMs, 3,
            large ? std::optional<double>(1.05) : std::nullopt);
        add("imread_over_read", "b/c", imreadMs / readMs, 2);
        add("module_mb_per_s", "a MB/s", megabytesPerSecond(bytes, moduleMs), 0);
        add("imread_mb_per_s", "b MB/s", megabytesPerSecond(bytes, imreadMs), 0);
        add("read_mb_per_s", "c MB/s", megabytesPerSecond(bytes, readMs), 0);
        add("module_faults", "a page faults/capture", results.at("module_faults"), 0);
        add("imread_faults", "b page faults/capture", results.at("imread_faults"), 0);
        // Judged on small images, where it is not lost in the decoding time.
        add("fixed_cost_ms", "fixed cost a-b ms", moduleMs - imreadMs, 3,
            large ? std::nullopt : std::optional<double>(1.5));
        if (results.count("baseline_ms") != 0) {
            const double baselineMs = results.at("baseline_ms");
            add("baseline_ms", "a0 baseline module ms/capture", baselineMs, 3);
            add("module_over_baseline", "a/a0", moduleMs / baselineMs, 3,
                large ? std::optional<double>(1.05) : std::nullopt);
            add("baseline_faults", "a0 page faults/capture", results.at("baseline_faults"), 0);
        }
    }
}

void reportMemory(Report& report, const Options& options, const std::string& root,
                  const RecordingShape& shape) {
    report.addSection("memory: peak resident memory added by one capture after a warm-up one");
    for (const std::string camera : {"camera1", "camera2"}) {
        std::cerr << "measuring the memory of one " << camera << " capture...\n";
        std::vector<std::string> arguments = {"--child-memory", options.modulePath, root, camera};
        for (const std::string& field : shapeArguments(shape)) {
            arguments.push_back(field);
        }
        const auto results = parseResults(runCapturingOutput(selfPath(), arguments));
        const double viaModule = results.at("module_added_bytes");
        const double viaImread = results.at("imread_added_bytes");
        const double pixels = results.at("pixel_bytes");
        const std::string key = "memory." + camera + ".";
        const std::string label = camera + " " + sizeLabel(shape) + " ";
        report.add({key + "pixel_mb", label + "decoded pixels held MB", pixels / 1e6, 2, {}});
        report.add(
            {key + "module_added_mb", label + "module: peak RSS added MB", viaModule / 1e6, 2, {}});
        report.add(
            {key + "imread_added_mb", label + "imread: peak RSS added MB", viaImread / 1e6, 2, {}});
        report.add({key + "ratio", label + "module added/pixels", viaModule / pixels, 3, 1.1});
        report.add(
            {key + "imread_ratio", label + "imread added/pixels", viaImread / pixels, 3, {}});
        report.add({key + "module_over_imread",
                    label + "module added/imread added",
                    viaModule / viaImread,
                    3,
                    {}});
    }
}

void reportWalk(Report& report, const fs::path& work, const Sizes& sizes) {
    const std::string root = (work / "tree").string();
    std::cerr << "writing a tree of " << sizes.tree.folders() << " folders...\n";
    writeFolderTree(root, sizes.tree);
    std::cerr << "measuring the folder walk...\n";
    const WalkTimes times = measureWalk(root, sizes.tree, sizes.walkRepeats);
    report.addSection("folder walk: " + std::to_string(sizes.tree.folders()) + " folders, " +
                      std::to_string(sizes.tree.files()) + " files, median of " +
                      std::to_string(sizes.walkRepeats));
    report.add({"walk.module_ms", "module collectSubFolders ms", times.moduleMs, 2, {}});
    report.add(
        {"walk.filesystem_ms", "recursive std::filesystem walk ms", times.filesystemMs, 2, {}});
    report.add({"walk.find_ms", "find ROOT -type d ms", times.findMs, 2, {}});
    report.add({"walk.module_over_filesystem", "module/std::filesystem",
                times.moduleMs / times.filesystemMs, 3, 1.5});
    report.add({"walk.module_over_find", "module/find", times.moduleMs / times.findMs, 3, {}});
}

void reportListing(Report& report, const fs::path& work, const Sizes& sizes) {
    const std::string folder = (work / "listing").string();
    std::cerr << "writing a folder of " << sizes.listingFiles << " files...\n";
    writeListingFolder(folder, sizes.listingFiles);
    std::cerr << "measuring the listing...\n";
    const ListingTimes times = measureListing(folder, sizes.listingFiles, sizes.listingRepeats);
    report.addSection("listing: " + std::to_string(sizes.listingFiles) +
                      " files, all ending in bmp, median of " +
                      std::to_string(sizes.listingRepeats));
    report.add({"list.module_ms", "module listFilesByPattern ms", times.moduleMs, 3, {}});
    report.add({"list.readdir_ms", "readdir loop ms", times.readdirMs, 3, {}});
    report.add(
        {"list.module_over_readdir", "module/readdir", times.moduleMs / times.readdirMs, 3, 1.5});
}

int runBenchmark(const Options& options) {
    const Sizes& sizes = options.quick ? quickSizes : fullSizes;
    const TempFolder work(options.workFolder);
    const auto wanted = [&](const std::string& section) {
        return options.only.empty() || options.only == section;
    };
    Report report;
    report.judgeTargets(!options.quick);

    const std::string largeRoot = (work.path() / "large").string();
    const std::string smallRoot = (work.path() / "small").string();
    if (wanted("capture") || wanted("memory")) {
        std::cerr << "writing the recordings...\n";
        writeRecording(largeRoot, sizes.large);
    }
    if (wanted("capture")) {
        writeRecording(smallRoot, sizes.small);
        reportCaptures(report, options, largeRoot, sizes.large, sizes.largeRounds, true);
        reportCaptures(report, options, smallRoot, sizes.small, sizes.smallRounds, false);
    }
    if (wanted("memory")) {
        reportMemory(report, options, largeRoot, sizes.large);
    }
    if (wanted("walk")) {
        reportWalk(report, work.path(), sizes);
    }
    if (wanted("list")) {
        reportListing(report, work.path(), sizes);
    }
    report.print(std::cout);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        if (!arguments.empty() && arguments[0].rfind("--child-", 0) == 0) {
            return runChild(arguments);
        }
        const Options options = parseOptions(arguments);
        if (options.help) {
            std::cout << usage;
            return 0;
        }
        return runBenchmark(options);
    } catch (const std::exception& error) {
        std::cerr << "folderfeed-bench: " << error.what() << '\n';
        return 1;
    }
}
