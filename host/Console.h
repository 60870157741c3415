#pragma once

#include <string>

// Everything the program shows goes through here. Module log lines arrive on
// the worker's thread as well as the host's, and the progress line is
// redrawn in between, so all writes are serialised and a log line or a
// result line first clears the progress line, then puts it back.

// Result lines: standard output.
void printLine(const std::string& line);
// Notes and errors: standard error.
void printNote(const std::string& line);

// A progress line on standard error, shown only when it is a terminal.
void showProgress(const std::string& text);
void clearProgress();

enum class LogDetail {
    None,        // --quiet
    Message,     // the message text only
    WithContext, // --verbose: with the module's file, line and function
};

// Sends the module's Qt log lines to standard error for as long as it lives.
class ModuleLogOutput {
public:
    explicit ModuleLogOutput(LogDetail detail);
    ~ModuleLogOutput();

    ModuleLogOutput(const ModuleLogOutput&) = delete;
    ModuleLogOutput& operator=(const ModuleLogOutput&) = delete;
};
