#pragma once

#include <string>

// The file of the running program. Falls back to argv0 where the system
// cannot tell, which is right whenever the program was started by its path.
std::string runningProgramPath(const std::string& argv0);

// The module library that the program loads unless told otherwise: the one
// beside it, where the build puts it, or else the installed one, found from
// the program's own folder so that a moved install still finds it.
std::string defaultModuleLibrary(const std::string& programPath);
