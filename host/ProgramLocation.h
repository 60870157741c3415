#pragma once

#include <string>

// The file of the running program. Falls back to argv0 where the system
// cannot tell, which is right whenever the program was started by its path.
std::string runningProgramPath(const std::string& argv0);
