#pragma once

#include "ProgramRun.h"

#include <string>
#include <vector>

// The built folderfeed program, run as a user runs it.
inline ProgramResult folderfeed(const std::vector<std::string>& arguments) {
    return runProgram(FOLDERFEED_PROGRAM_PATH, arguments);
}

// The lines of text that begin with prefix, in order.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix);
