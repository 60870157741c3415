#include "ModuleLibrary.h"

#include <filesystem>
#include <utility>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

#if defined(_WIN32)
void* openLibrary(const std::string& path) {
    return LoadLibraryA(path.c_str());
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
std::string lastError() {
    return "Windows error " + std::to_string(GetLastError());
}
constexpr const char* moduleFileName = "Kelvra_FolderFeed.dll";
#else
void* openLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}
void closeLibrary(void* handle) {
    dlclose(handle);
}
std::string lastError() {
    const char* error = dlerror();
    return error != nullptr ? error : "unknown error";
}
constexpr const char* moduleFileName = "libKelvra_FolderFeed.so";
#endif

template <typename Function>
Function resolve(void* handle, const char* name, const std::string& path) {
    void* symbol = findSymbol(handle, name);
    if (symbol == nullptr) {
        throw ModuleLoadError("module library " + path + " has no entry point '" + name +
                              "': " + lastError());
    }
    return reinterpret_cast<Function>(symbol);
}

} // namespace

ModuleLibrary::ModuleLibrary(const std::string& path) : path_(path) {
    handle_ = openLibrary(path);
    if (handle_ == nullptr) {
        throw ModuleLoadError("cannot load module library " + path + ": " + lastError());
    }
    try {
        create_ = resolve<CreateFunction>(handle_, "create", path);
        destory_ = resolve<DestroyFunction>(handle_, "destory", path);
    } catch (...) {
        unload();
        throw;
    }
}

ModuleLibrary::~ModuleLibrary() {
    unload();
}

ModuleLibrary::ModuleLibrary(ModuleLibrary&& other) noexcept
    : path_(std::move(other.path_)), handle_(std::exchange(other.handle_, nullptr)),
      create_(std::exchange(other.create_, nullptr)),
      destory_(std::exchange(other.destory_, nullptr)) {}

ModuleLibrary& ModuleLibrary::operator=(ModuleLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        path_ = std::move(other.path_);
        handle_ = std::exchange(other.handle_, nullptr);
        create_ = std::exchange(other.create_, nullptr);
        destory_ = std::exchange(other.destory_, nullptr);
    }
    return *this;
}

void ModuleLibrary::unload() noexcept {
    if (handle_ != nullptr) {
        closeLibrary(handle_);
        handle_ = nullptr;
    }
}

std::string moduleLibraryBeside(const std::string& programPath) {
    return moduleLibraryIn(std::filesystem::path(programPath).parent_path().string());
}

std::string moduleLibraryIn(const std::string& folder) {
    return (std::filesystem::path(folder) / moduleFileName).string();
}
