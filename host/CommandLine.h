#pragma once

#include "InspectCommand.h"
#include "ReplayCommand.h"
#include "SampleRecording.h"

#include <CLI/CLI.hpp>

// What the command line asks for, filled in by the parser.
struct Commands {
    ReplayOptions replay;
    InspectOptions inspect;
    SampleOptions sample;
    bool verbose = false;
    bool quiet = false;
};

// The program's commands, options, defaults and exit statuses, as the help
// shows them and the README's usage tables list them.
void defineCommands(CLI::App& app, Commands& commands);
