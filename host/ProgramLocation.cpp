#include "ProgramLocation.h"

#include <filesystem>
#include <system_error>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

std::string runningProgramPath(const std::string& argv0) {
#if defined(_WIN32)
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        return std::string(buffer, length);
    }
#else
    // A program started through PATH has no folder in argv0.
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return self.string();
    }
#endif
    return argv0;
}
