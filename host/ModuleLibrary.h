#pragma once

#include "Base.h"

#include <memory>
#include <stdexcept>
#include <string>

// The module's two entry points, as a host resolves them by name.
using CreateFunction = Base* (*)();
using DestroyFunction = void (*)(Base*);

// Hands a module object back to the library that made it.
struct ModuleDeleter {
    DestroyFunction destory = nullptr;
    void operator()(Base* module) const { destory(module); }
};
using ModulePtr = std::unique_ptr<Base, ModuleDeleter>;

class ModuleLoadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A module library loaded at run time, unloaded by the destructor. Module
// objects made by it must be gone before it is.
class ModuleLibrary {
public:
    // Loads the library and resolves create and destory; throws
    // ModuleLoadError naming the path and the reason.
    explicit ModuleLibrary(const std::string& path);
    ~ModuleLibrary();

    ModuleLibrary(ModuleLibrary&& other) noexcept;
    ModuleLibrary& operator=(ModuleLibrary&& other) noexcept;
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    ModulePtr createModule() const { return ModulePtr(create_(), ModuleDeleter{destory_}); }

    CreateFunction createFunction() const { return create_; }
    DestroyFunction destroyFunction() const { return destory_; }
    const std::string& path() const { return path_; }

private:
    void unload() noexcept;

    std::string path_;
    void* handle_ = nullptr;
    CreateFunction create_ = nullptr;
    DestroyFunction destory_ = nullptr;
};

// Where the module library lies beside a program: same folder, platform name.
std::string moduleLibraryBeside(const std::string& programPath);
// The module library's platform file name in a folder.
std::string moduleLibraryIn(const std::string& folder);
