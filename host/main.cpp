// folderfeed: replays, checks and makes recordings for the folder camera
// module, as a host application would drive it.

#include "CommandLine.h"
#include "CommandLineErrors.h"
#include "Console.h"
#include "ExitStatus.h"
#include "ModuleLibrary.h"
#include "OpenCvMessages.h"
#include "ProgramLocation.h"

#include <CLI/CLI.hpp>

#include <exception>
#include <vector>

namespace {

Verbosity verbosityOf(const Commands& commands) {
    return commands.quiet     ? Verbosity::Quiet
           : commands.verbose ? Verbosity::Verbose
                              : Verbosity::Normal;
}

ExitStatus runCommand(const CLI::App& app, Commands& commands, const std::string& argv0) {
    const OpenCvMessages openCvMessages(commands.verbose);
    if (app.got_subcommand("replay")) {
        ReplayOptions& options = commands.replay;
        if (options.modulePath.empty()) {
            options.modulePath = defaultModuleLibrary(runningProgramPath(argv0));
        }
        options.verbosity = verbosityOf(commands);
        return runReplay(options);
    }
    if (app.got_subcommand("inspect")) {
        commands.inspect.verbosity = verbosityOf(commands);
        return runInspect(commands.inspect);
    }
    writeSampleRecording(commands.sample);
    printNote("sample recording written to " + commands.sample.folder);
    return ExitStatus::Success;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app("Replay, check and make recordings for the folder camera module.", "folderfeed");
    Commands commands;
    defineCommands(app, commands);

    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    if (const std::optional<std::string> message = unknownWordMessage(app, arguments)) {
        printNote(*message);
        return static_cast<int>(ExitStatus::BadCommandLine);
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& helpOrVersion) {
        return app.exit(helpOrVersion);
    } catch (const CLI::ParseError& error) {
        printNote(parseErrorMessage(app, arguments, error));
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
