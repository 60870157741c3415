#pragma once

#include <string>

// Everything the program shows goes through here, never through std::cerr,
// which may be filtered (OpenCvMessages.h). Module log lines arrive on
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

// How much a command shows.
enum class Verbosity {
    Quiet,   // --quiet: what went wrong, and the summary
    Normal,  // every capture or capture folder, and the summary
    Verbose, // --verbose: and every log line of the module, with its context
};

// Sends the module's Qt log lines to standard error for as long as it lives.
// Its debug lines (two per capture) only with Verbose, with the module's
// file, line and function; warnings and worse, which say that something
// failed, always.
class ModuleLogOutput {
public:
    explicit ModuleLogOutput(Verbosity verbosity);
    ~ModuleLogOutput();

    ModuleLogOutput(const ModuleLogOutput&) = delete;
    ModuleLogOutput& operator=(const ModuleLogOutput&) = delete;
};
