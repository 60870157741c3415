#include "ProgramLocation.h"

#include "ModuleLibrary.h"

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

std::string defaultModuleLibrary(const std::string& programPath) {
    const std::string beside = moduleLibraryBeside(programPath);
    std::error_code error;
    if (std::filesystem::exists(beside, error)) {
        return beside;
    }
    const std::filesystem::path installed =
        std::filesystem::path(programPath).parent_path() / FOLDERFEED_INSTALLED_MODULE_DIR;
    return moduleLibraryIn(installed.lexically_normal().string());
}
