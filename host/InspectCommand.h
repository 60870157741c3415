#pragma once

#include "Console.h"
#include "ExitStatus.h"

#include <string>

struct InspectOptions {
    std::string root;
    std::string camera;
    // Quiet: only the capture folders with warnings, and the summary.
    Verbosity verbosity = Verbosity::Normal;
};

// Lists, for every capture folder in walk order, the files a replay would
// load, with warnings, and a summary with the warnings counted by kind;
// loads no image. Returns Warnings when it gave any.
ExitStatus runInspect(const InspectOptions& options);
