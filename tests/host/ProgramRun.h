#pragma once

#include <string>
#include <vector>

// What one run of a program gave: its exit status and everything it wrote.
struct ProgramResult {
    // The exit status; -1 when the program was killed by a signal (a crash)
    // or had to be stopped because it hung.
    int status = -1;
    std::string out;
    std::string err;
};

// Runs program with arguments, as a shell user would, and waits for it. A run
// that outlives timeoutSeconds is killed and reported as a hang (status -1,
// "hang" in err).
ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         int timeoutSeconds = 60);
