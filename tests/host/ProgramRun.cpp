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

// A temp file that the child writes one stream to; removed afterwards.
class CaptureFile {
public:
    CaptureFile() {
        char name[] = "/tmp/folderfeed-output-XXXXXX";
        fd_ = mkstemp(name);
        if (fd_ < 0) {
            throw std::runtime_error("cannot make a temp file");
        }
        path_ = name;
    }
    ~CaptureFile() {
        close(fd_);
        unlink(path_.c_str());
    }
    CaptureFile(const CaptureFile&) = delete;
    CaptureFile& operator=(const CaptureFile&) = delete;

    int fd() const { return fd_; }
    std::string contents() const {
        std::ifstream stream(path_, std::ios::binary);
        std::ostringstream text;
        text << stream.rdbuf();
        return text.str();
    }

private:
    int fd_ = -1;
    std::string path_;
};

} // namespace

ProgramResult runProgram(const std::string& program, const std::vector<std::string>& arguments,
                         int timeoutSeconds) {
    const CaptureFile out;
    const CaptureFile err;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    const pid_t child = fork();
    if (child < 0) {
        throw std::runtime_error("cannot fork");
    }
    if (child == 0) {
        dup2(out.fd(), STDOUT_FILENO);
        dup2(err.fd(), STDERR_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }

    ProgramResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    int waitStatus = 0;
    while (waitpid(child, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &waitStatus, 0);
            result.err = "hang: killed after " + std::to_string(timeoutSeconds) + " s\n";
            result.out = out.contents();
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.out = out.contents();
    result.err = err.contents();
    if (WIFSIGNALED(waitStatus)) {
        result.err += "killed by signal " + std::to_string(WTERMSIG(waitStatus)) + "\n";
    }
    return result;
}
