#include "ChildProcess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>

extern char** environ;

namespace {

class FileActions {
public:
    FileActions() { posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

class Pipe {
public:
    Pipe() {
        if (::pipe2(ends_, O_CLOEXEC) != 0) {
            throw std::system_error(errno, std::generic_category(), "pipe");
        }
    }
    ~Pipe() {
        closeWriteEnd();
        ::close(ends_[0]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    int readEnd() const { return ends_[0]; }
    int writeEnd() const { return ends_[1]; }
    void closeWriteEnd() {
        if (ends_[1] >= 0) {
            ::close(ends_[1]);
            ends_[1] = -1;
        }
    }

private:
    int ends_[2] = {-1, -1};
};

std::string describe(const std::string& program, const std::vector<std::string>& arguments) {
    std::string text = program;
    for (const std::string& argument : arguments) {
        text += ' ' + argument;
    }
    return text;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& arguments,
            FileActions& actions) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int error =
        posix_spawnp(&child, program.c_str(), actions.get(), nullptr, argv.data(), environ);
    if (error != 0) {
        throw std::system_error(error, std::generic_category(),
                                "cannot start " + describe(program, arguments));
    }
    return child;
}

void waitForSuccess(pid_t child, const std::string& program,
                    const std::vector<std::string>& arguments) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            throw std::system_error(errno, std::generic_category(), "waitpid");
        }
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error(describe(program, arguments) + " failed (wait status " +
                                 std::to_string(status) + ")");
    }
}

} // namespace

std::string runCapturingOutput(const std::string& program,
                               const std::vector<std::string>& arguments) {
    Pipe output;
    FileActions actions;
    posix_spawn_file_actions_adddup2(actions.get(), output.writeEnd(), STDOUT_FILENO);
    const pid_t child = spawn(program, arguments, actions);
    output.closeWriteEnd();

    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(output.readEnd(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    waitForSuccess(child, program, arguments);
    return text;
}

void runDiscardingOutput(const std::string& program, const std::vector<std::string>& arguments) {
    FileActions actions;
    posix_spawn_file_actions_addopen(actions.get(), STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    waitForSuccess(spawn(program, arguments, actions), program, arguments);
}

std::map<std::string, double> parseResults(const std::string& output) {
    std::map<std::string, double> results;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string tag;
        std::string key;
        double value = 0;
        if (fields >> tag >> key >> value && tag == "result") {
            results[key] = value;
        }
    }
    return results;
}
