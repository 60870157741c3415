#pragma once

#include <map>
#include <string>
#include <vector>

// Runs program (searched in PATH when it has no slash) with arguments,
// waits for it and returns what it wrote to standard output; standard error
// passes through. Throws std::runtime_error unless it exits with status 0.
std::string runCapturingOutput(const std::string& program,
                               const std::vector<std::string>& arguments);

// The same, with standard output thrown away.
void runDiscardingOutput(const std::string& program, const std::vector<std::string>& arguments);

// The "result KEY VALUE" lines of a child's output.
std::map<std::string, double> parseResults(const std::string& output);
