#pragma once

#include "ExitStatus.h"

#include <string>

struct InspectOptions {
    std::string root;
    std::string camera;
};

// Lists, for every capture folder in walk order, the files a replay would
// load, with warnings; loads no image. Returns Warnings when it gave any.
ExitStatus runInspect(const InspectOptions& options);
