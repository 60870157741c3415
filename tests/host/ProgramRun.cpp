#include "ProgramRun.h"

#include <chrono>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// A temp file for one output stream, made and closed at once: the child
// opens it by name, the test reads it by name.
std::string makeTempFile() {
    char name[] = "/tmp/folderfeed-output-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        throw std::runtime_error("cannot make a temp file");
    }
    close(fd);
    return name;
}

std::string contentsOf(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

void redirect(const std::string& path, int target) {
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC);
    if (fd < 0 || dup2(fd, target) < 0) {
        _exit(127);
    }
    close(fd);
}

} // namespace

RunningProgram::RunningProgram(const std::string& program,
                               const std::vector<std::string>& arguments)
    : outPath_(makeTempFile()), errPath_(makeTempFile()) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    child_ = fork();
    if (child_ < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (child_ == 0) {
        redirect(outPath_, STDOUT_FILENO);
        redirect(errPath_, STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

RunningProgram::~RunningProgram() {
    if (child_ > 0 && !reaped_) {
        kill(child_, SIGKILL);
        waitpid(child_, &waitStatus_, 0);
    }
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

std::string RunningProgram::readOut() const {
    return contentsOf(outPath_);
}

std::string RunningProgram::readErr() const {
    return contentsOf(errPath_);
}

bool RunningProgram::ended() {
    if (!reaped_ && waitpid(child_, &waitStatus_, WNOHANG) == child_) {
        reaped_ = true;
    }
    return reaped_;
}

bool RunningProgram::waitUntil(const std::function<bool()>& condition, int timeoutSeconds) {
    const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    while (Clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        if (ended()) {
            return condition();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

bool RunningProgram::waitForOutput(const std::string& text, int timeoutSeconds) {
    return waitUntil([this, &text] { return readOut().find(text) != std::string::npos; },
                     timeoutSeconds);
}

void RunningProgram::sendSignal(int signalNumber) {
    if (!ended()) {
        kill(child_, signalNumber);
    }
}

ProgramResult RunningProgram::finish(int timeoutSeconds) {
    ProgramResult result;
    const auto deadline = Clock::now() + std::chrono::seconds(timeoutSeconds);
    while (!ended()) {
        if (Clock::now() > deadline) {
            kill(child_, SIGKILL);
            waitpid(child_, &waitStatus_, 0);
            reaped_ = true;
            result.err = "hang: killed after " + std::to_string(timeoutSeconds) + " s\n";
            result.out = readOut();
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.status = WIFEXITED(waitStatus_) ? WEXITSTATUS(waitStatus_) : -1;
    result.out = readOut();
    result.err = readErr();
    if (WIFSIGNALED(waitStatus_)) {
        result.err += "killed by signal " + std::to_string(WTERMSIG(waitStatus_)) + "\n";
    }
    return result;
}

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         int timeoutSeconds) {
    RunningProgram running(program, arguments);
    return running.finish(timeoutSeconds);
}
