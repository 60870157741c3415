#include "CommandLine.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <string>
#include <vector>

#ifndef FOLDERFEED_VERSION
#define FOLDERFEED_VERSION "unknown"
#endif

namespace {

const std::vector<std::string> cameraNames = {"camera1", "camera2", "camera3P", "camera3N"};

// CLI11's own range check calls "abc" a value out of range; this one says
// that a number is wanted.
CLI::Validator wholeNumber(int lowest, int highest) {
    const std::string range = std::to_string(lowest) + " to " + std::to_string(highest);
    return CLI::Validator(
        [lowest, highest, range](std::string& text) -> std::string {
            const bool digits = !text.empty() && text.size() <= 10 &&
                                std::all_of(text.begin(), text.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; });
            const long long value = digits ? std::stoll(text) : -1;
            if (!digits || value < lowest || value > highest) {
                return "wants a whole number from " + range + ", not '" + text + "'";
            }
            return std::string();
        },
        range);
}

// The sheet is drawn for people and compared by tests pixel for pixel, so it
// is written losslessly, as PNG, and nothing else.
const CLI::Validator pngFileName(
    [](std::string& path) -> std::string {
        std::string end = path.size() >= 4 ? path.substr(path.size() - 4) : path;
        std::transform(end.begin(), end.end(), end.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return end == ".png" ? std::string()
                             : "cannot write an image named " + path +
                                   ": --sheet writes a PNG image, give a name ending in .png";
    },
    "FILE.png");

std::string exitStatuses(const std::vector<std::pair<int, const char*>>& statuses) {
    std::string text = "Exit statuses:";
    for (const auto& [status, meaning] : statuses) {
        std::string number = std::to_string(status);
        number.resize(5, ' ');
        text += "\n  " + number + meaning;
    }
    return text;
}

const std::pair<int, const char*> done{0, "done"};
const std::pair<int, const char*> badCommandLine{2, "bad command line"};
const std::pair<int, const char*> outputFailed{5, "an output cannot be written"};
const std::pair<int, const char*> internalError{70, "a fault of the program itself"};
const std::pair<int, const char*> interrupted{
    130, "stopped by Ctrl-C (SIGINT); a replay first finishes the capture in progress and "
         "writes its outputs"};
const std::pair<int, const char*> terminated{143, "stopped by SIGTERM, likewise"};

void addReplay(CLI::App& app, Commands& commands) {
    ReplayOptions& options = commands.replay;
    CLI::App* replay =
        app.add_subcommand("replay", "Replay a recording through the module, as a host does");
    CLI::Option* root = replay->add_option("ROOT", options.root, "Root folder of the recording");
    CLI::Option* camera = replay->add_option("--camera", options.camera, "Camera to replay")
                              ->check(CLI::IsMember(cameraNames));
    replay
        ->add_option("--param", options.param,
                     "Whole parameter string camera,field2,number,root (instead of ROOT and "
                     "--camera)")
        ->excludes(root)
        ->excludes(camera);
    replay->add_option("--module", options.modulePath,
                       "Module library to load (default: the one beside this program, else the "
                       "installed one)");
    replay
        ->add_option("--captures", options.captures,
                     "Number of captures; past the last capture folder they go round again "
                     "(default: one pass over the recording)")
        ->type_name("N")
        ->check(wholeNumber(1, INT_MAX));
    replay
        ->add_option("--save", options.saveFolder,
                     "Write every image losslessly to DIR/capture_NNNN/image_NN.png and list "
                     "them in DIR/manifest.csv (DIR new or empty)")
        ->type_name("DIR");
    replay
        ->add_option("--sheet", options.sheetPath,
                     "Write a contact sheet of the captures, as a PNG image")
        ->check(pngFileName);
    replay
        ->add_option("--sheet-rows", options.sheetRows,
                     "Captures shown on the contact sheet at most (default: 50)")
        ->type_name("N")
        ->check(wholeNumber(1, 10000));
    CLI::Option* verbose = replay->add_flag(
        "--verbose", commands.verbose,
        "Also show the module's log lines, with their source file, line and function, and "
        "the decoder's messages");
    replay
        ->add_flag("--quiet", commands.quiet,
                   "Show only the captures with unreadable images or none, and the summary")
        ->excludes(verbose);
    replay->footer(exitStatuses(
        {done,
         badCommandLine,
         {3, "module library missing or not a module"},
         {4, "parameter string rejected, recording cannot be walked or has no capture folders"},
         outputFailed,
         internalError,
         interrupted,
         terminated}));
    replay->callback([replay, root, camera] {
        if (replay->count("--param") == 0 && (root->count() == 0 || camera->count() == 0)) {
            throw CLI::ValidationError("ROOT and --camera are needed, or --param");
        }
    });
}

void addInspect(CLI::App& app, Commands& commands) {
    InspectOptions& options = commands.inspect;
    CLI::App* inspect = app.add_subcommand(
        "inspect", "List what a replay would load from each capture folder, with warnings; "
                   "exit status 1 when there are warnings");
    inspect->add_option("ROOT", options.root, "Root folder of the recording")->required();
    inspect->add_option("--camera", options.camera, "Camera to check for")
        ->required()
        ->check(CLI::IsMember(cameraNames));
    inspect->add_flag("--quiet", commands.quiet,
                      "Show only the capture folders with warnings, and the summary");
    inspect->footer(exitStatuses({{0, "done, no warnings"},
                                  {1, "done, with warnings"},
                                  badCommandLine,
                                  {4, "the recording cannot be walked"},
                                  internalError}));
}

void addSample(CLI::App& app, Commands& commands) {
    SampleOptions& options = commands.sample;
    CLI::App* sample =
        app.add_subcommand("sample", "Write a sample recording for all four cameras");
    sample->add_option("DIR", options.folder, "Folder to create (must not hold anything)")
        ->required();
    sample->add_option("--captures", options.captures, "Number of capture folders (default: 4)")
        ->type_name("N")
        ->check(wholeNumber(1, 1000));
    sample->add_option("--width", options.imageSize.width, "Image width in pixels (default: 640)")
        ->type_name("W")
        ->check(wholeNumber(64, 8192));
    sample
        ->add_option("--height", options.imageSize.height, "Image height in pixels (default: 480)")
        ->type_name("H")
        ->check(wholeNumber(64, 8192));
    sample->footer(exitStatuses({done,
                                 badCommandLine,
                                 outputFailed,
                                 internalError,
                                 {130, "stopped by Ctrl-C (SIGINT); nothing is left behind"},
                                 {143, "stopped by SIGTERM, likewise"}}));
}

} // namespace

void defineCommands(CLI::App& app, Commands& commands) {
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    app.set_version_flag("--version", std::string("folderfeed ") + FOLDERFEED_VERSION,
                         "Show the program's version");
    app.footer("See folderfeed COMMAND --help for a command's options, defaults and exit "
               "statuses.");
    addReplay(app, commands);
    addInspect(app, commands);
    addSample(app, commands);
}
