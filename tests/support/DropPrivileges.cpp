#include "DropPrivileges.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

const std::string runUnprivilegedUnavailable = "<cannot drop privileges>";

namespace {

bool becomeNobody() {
    const passwd* nobody = getpwnam("nobody");
    if (nobody == nullptr) {
        return false;
    }
    return setgroups(0, nullptr) == 0 && setgid(nobody->pw_gid) == 0 &&
           setuid(nobody->pw_uid) == 0 && geteuid() != 0;
}

} // namespace

std::string runUnprivileged(const std::function<std::string()>& body) {
    if (geteuid() != 0) {
        return body();
    }
    int channel[2];
    if (pipe(channel) != 0) {
        return runUnprivilegedUnavailable;
    }
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        const std::string result = becomeNobody() ? body() : runUnprivilegedUnavailable;
        const ssize_t written = write(channel[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(channel[1]);
    std::string result;
    char buffer[256];
    ssize_t count;
    while ((count = read(channel[0], buffer, sizeof buffer)) > 0) {
        result.append(buffer, static_cast<std::size_t>(count));
    }
    close(channel[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return runUnprivilegedUnavailable;
    }
    return result;
}
