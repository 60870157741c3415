#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
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

// A program started in the background, for tests that act on it while it
// runs (send it a signal). Its output goes to temp files; the destructor
// kills it if it still runs and removes them.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::vector<std::string>& arguments);
    ~RunningProgram();

    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Waits until condition holds; false when the program ended or
    // timeoutSeconds passed first (the test then fails, it does not hang).
    bool waitUntil(const std::function<bool()>& condition, int timeoutSeconds = 60);
    // Waits until standard output holds text, likewise.
    bool waitForOutput(const std::string& text, int timeoutSeconds = 60);
    void sendSignal(int signalNumber);
    // Waits for the end, as runProgram does.
    ProgramResult finish(int timeoutSeconds = 60);

private:
    std::string readOut() const;
    std::string readErr() const;
    // Reaps the child if it has ended; true then.
    bool ended();

    std::string outPath_;
    std::string errPath_;
    pid_t child_ = -1;
    bool reaped_ = false;
    int waitStatus_ = 0;
};
