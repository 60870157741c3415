// folderfeed: replays, checks and makes recordings for the folder camera
// module, as a host application would drive it.

#include "Console.h"
#include "ExitStatus.h"
#include "InspectCommand.h"
#include "ModuleLibrary.h"
#include "ProgramLocation.h"
#include "ReplayCommand.h"
#include "SampleRecording.h"

#include <CLI/CLI.hpp>

#include <opencv2/imgcodecs.hpp>

#include <climits>
#include <exception>
#include <vector>

namespace {

const std::vector<std::string> cameraNames = {"camera1", "camera2", "camera3P", "camera3N"};

// CLI11 checks its own options; this one asks OpenCV whether it can write the
// file type, so a typo in the name fails before a long replay, not after.
const CLI::Validator imageFileName(
    [](std::string& path) -> std::string {
        return cv::haveImageWriter(path)
                   ? std::string()
                   : "cannot write an image named " + path + " (use a name ending in .png)";
    },
    "FILE.png");

struct Commands {
    ReplayOptions replay;
    InspectOptions inspect;
    SampleOptions sample;
    bool verbose = false;
    bool quiet = false;
};

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
                     "Number of captures (default: one pass over the recording)")
        ->check(CLI::Range(1, INT_MAX));
    replay->add_option("--save", options.saveFolder,
                       "Write every image losslessly to DIR/capture_NNNN/image_NN.png "
                       "(DIR new or empty)");
    replay->add_option("--sheet", options.sheetPath, "Write a contact sheet")->check(imageFileName);
    replay
        ->add_option("--sheet-rows", options.sheetRows,
                     "Captures shown on the contact sheet at most")
        ->check(CLI::Range(1, 10000))
        ->capture_default_str();
    CLI::Option* verbose = replay->add_flag("--verbose", commands.verbose,
                                            "Show the module's log lines with their "
                                            "source file, line and function");
    replay->add_flag("--quiet", commands.quiet, "Show no module log lines")->excludes(verbose);
    replay->callback([replay, root, camera] {
        if (replay->count("--param") == 0 && (root->count() == 0 || camera->count() == 0)) {
            throw CLI::ValidationError("replay needs ROOT and --camera, or --param");
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
}

void addSample(CLI::App& app, Commands& commands) {
    SampleOptions& options = commands.sample;
    CLI::App* sample =
        app.add_subcommand("sample", "Write a sample recording for all four cameras");
    sample->add_option("DIR", options.folder, "Folder to create (must not hold anything)")
        ->required();
    sample->add_option("--captures", options.captures, "Number of capture folders")
        ->check(CLI::Range(1, 1000))
        ->capture_default_str();
    sample->add_option("--width", options.imageSize.width, "Image width in pixels")
        ->check(CLI::Range(64, 8192))
        ->capture_default_str();
    sample->add_option("--height", options.imageSize.height, "Image height in pixels")
        ->check(CLI::Range(64, 8192))
        ->capture_default_str();
}

ExitStatus runCommand(const CLI::App& app, Commands& commands, const std::string& argv0) {
    if (app.got_subcommand("replay")) {
        ReplayOptions& options = commands.replay;
        if (options.modulePath.empty()) {
            options.modulePath = defaultModuleLibrary(runningProgramPath(argv0));
        }
        options.logDetail = commands.quiet     ? LogDetail::None
                            : commands.verbose ? LogDetail::WithContext
                                               : LogDetail::Message;
        return runReplay(options);
    }
    if (app.got_subcommand("inspect")) {
        return runInspect(commands.inspect);
    }
    writeSampleRecording(commands.sample);
    printNote("sample recording written to " + commands.sample.folder);
    return ExitStatus::Success;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("Replay, check and make recordings for the folder camera module.", "folderfeed");
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "Show the help of every command");
    Commands commands;
    addReplay(app, commands);
    addInspect(app, commands);
    addSample(app, commands);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help);
    } catch (const CLI::ParseError& error) {
        printNote(std::string("folderfeed: ") + error.what() + " (see folderfeed --help)");
        return static_cast<int>(ExitStatus::BadCommandLine);
    }

    try {
        return static_cast<int>(runCommand(app, commands, argc > 0 ? argv[0] : "folderfeed"));
    } catch (const CommandError& error) {
        clearProgress();
        printNote(std::string("folderfeed: ") + error.what());
        return static_cast<int>(error.status());
    } catch (const std::exception& error) {
        clearProgress();
        printNote(std::string("folderfeed: unexpected error: ") + error.what());
        return static_cast<int>(ExitStatus::InternalError);
    }
}
