#pragma once

#include "Console.h"
#include "ExitStatus.h"

#include <string>

struct ReplayOptions {
    std::string root;
    std::string camera;
    // The whole four-field parameter string; replaces root and camera.
    std::string param;
    std::string modulePath;
    // 0: one pass over the recording.
    int captures = 0;
    std::string saveFolder;
    std::string sheetPath;
    int sheetRows = 50;
    Verbosity verbosity = Verbosity::Normal;
};

// Drives the module as a host does: loads the library, configures it, takes
// the captures and releases it. Ctrl-C or SIGTERM ends the replay after the
// capture in progress, with every output written for the captures taken;
// the result is then Interrupted or Terminated. Throws CommandError for what
// the user can fix.
ExitStatus runReplay(const ReplayOptions& options);
