#pragma once

#include <stdexcept>
#include <string>

// The program's exit statuses, so that scripts can tell failures apart.
enum class ExitStatus : int {
    Success = 0,
    // inspect found something that a replay would trip over.
    Warnings = 1,
    // An option or argument that the program cannot use.
    BadCommandLine = 2,
    // The module library is missing or is not a module.
    ModuleNotLoaded = 3,
    // The module refused the configuration, or the recording cannot be walked.
    BadRecording = 4,
    // An output file or folder could not be written.
    OutputFailed = 5,
    // A fault of the program itself; the message says where.
    InternalError = 70,
    // Stopped by SIGINT (Ctrl-C) or SIGTERM after the capture in progress; the
    // outputs hold the captures taken. 128 + the signal's number, as a shell
    // reports a program that the signal ended.
    Interrupted = 130,
    Terminated = 143,
};

// A failure that ends the command with one line for the user.
class CommandError : public std::runtime_error {
public:
    CommandError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}

    ExitStatus status() const { return status_; }

private:
    ExitStatus status_;
};
