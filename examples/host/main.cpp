// A small host for the folder camera module: loads the module library at run
// time, configures one module object with a parameter string and prints what
// each capture hands over. Copy it as the start of your own host.
//
//   host_example PARAMETERS [CAPTURES [MODULE]]
//
//   PARAMETERS  camera,field2,number,root, e.g. "camera2,unused,1,/data/recording"
//   CAPTURES    number of captures (default 1)
//   MODULE      the module library (default: the installed one)
//
// Exit status: 0 done, 1 unexpected error, 2 bad command line, 3 module
// library missing or not a module, 4 parameter string rejected or recording
// cannot be walked, 5 a capture failed.

#include <kelvra-folderfeed/Base.h>

#include <QByteArray>
#include <opencv2/core.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#ifndef KELVRA_FOLDERFEED_MODULE_PATH
#error "Define KELVRA_FOLDERFEED_MODULE_PATH (CMake: KelvraFolderFeed_MODULE_PATH)"
#endif

namespace {

// The library's two exports, unmangled (extern "C"). An object made by
// create must be handed back to the destory of the same library, which
// deletes it with the allocator that made it.
using CreateFunction = Base* (*)();
using DestoryFunction = void (*)(Base*);

enum ExitStatus : int {
    Done = 0,
    UnexpectedError = 1,
    BadCommandLine = 2,
    ModuleNotLoaded = 3,
    ConfigurationRefused = 4,
    CaptureFailed = 5,
};

// A failure that ends the program with a message and an exit status.
class HostError : public std::runtime_error {
public:
    HostError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}
    ExitStatus status() const { return status_; }

private:
    ExitStatus status_;
};

// Owns a loaded library and unloads it when it goes out of scope.
class ModuleLibrary {
public:
    explicit ModuleLibrary(const std::string& path) : path_(path) {
#if defined(_WIN32)
        // LoadLibrary wants backslashes; CMake paths have forward slashes.
        handle_ = LoadLibraryA(std::filesystem::path(path).make_preferred().string().c_str());
#else
        // RTLD_NOW: a library with unresolved symbols fails here, not in the
        // middle of a capture.
        handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
        if (handle_ == nullptr) {
            throw HostError(ModuleNotLoaded,
                            "cannot load module library " + path + ": " + lastError());
        }
    }
    ~ModuleLibrary() {
#if defined(_WIN32)
        FreeLibrary(handle_);
#else
        dlclose(handle_);
#endif
    }
    ModuleLibrary(const ModuleLibrary&) = delete;
    ModuleLibrary& operator=(const ModuleLibrary&) = delete;

    template <typename Function> Function resolve(const char* name) const {
#if defined(_WIN32)
        void* symbol = reinterpret_cast<void*>(GetProcAddress(handle_, name));
#else
        void* symbol = dlsym(handle_, name);
#endif
        if (symbol == nullptr) {
            throw HostError(ModuleNotLoaded, path_ + " is not a folder camera module: no '" + name +
                                                 "' entry point (" + lastError() + ")");
        }
        return reinterpret_cast<Function>(symbol);
    }

private:
    static std::string lastError() {
#if defined(_WIN32)
        return "Windows error " + std::to_string(GetLastError());
#else
        const char* error = dlerror();
        return error != nullptr ? error : "unknown error";
#endif
    }

    std::string path_;
#if defined(_WIN32)
    HMODULE handle_ = nullptr;
#else
    void* handle_ = nullptr;
#endif
};

struct ModuleDeleter {
    DestoryFunction destory = nullptr;
    void operator()(Base* module) const { destory(module); }
};
using ModulePtr = std::unique_ptr<Base, ModuleDeleter>;

// The module refuses a malformed string by returning false and reports a bad
// number field or an unwalkable root folder by throwing.
void configure(Base& module, const std::string& parameters) {
    module.setParam(nullptr, QByteArray::fromStdString(parameters));
    bool accepted = false;
    try {
        accepted = module.applyParam(nullptr);
    } catch (const std::filesystem::filesystem_error& error) {
        throw HostError(ConfigurationRefused,
                        std::string("cannot walk the recording: ") + error.what());
    } catch (const std::system_error& error) {
        throw HostError(ConfigurationRefused,
                        std::string("cannot walk the recording: ") + error.what());
    } catch (const std::invalid_argument&) {
        throw HostError(ConfigurationRefused,
                        "the number field of '" + parameters + "' is not a number");
    } catch (const std::out_of_range&) {
        throw HostError(ConfigurationRefused,
                        "the number field of '" + parameters + "' is out of range");
    }
    if (!accepted) {
        throw HostError(ConfigurationRefused, "the module rejected '" + parameters +
                                                  "': it needs camera,field2,number,root");
    }
}

const char* depthName(int depth) {
    switch (depth) {
    case CV_8U:
        return "8U";
    case CV_8S:
        return "8S";
    case CV_16U:
        return "16U";
    case CV_16S:
        return "16S";
    case CV_32S:
        return "32S";
    case CV_32F:
        return "32F";
    case CV_64F:
        return "64F";
    default:
        return "?";
    }
}

// "2 images: 640x480 3ch 8U, 640x480 1ch 16U"; a file that could not be read
// arrives as an empty image in its place.
std::string describe(const std::vector<cv::Mat>& images) {
    std::string text = std::to_string(images.size()) + (images.size() == 1 ? " image" : " images");
    for (std::size_t i = 0; i < images.size(); ++i) {
        const cv::Mat& image = images[i];
        text += i == 0 ? ": " : ", ";
        if (image.empty()) {
            text += "empty";
        } else {
            text += std::to_string(image.cols) + "x" + std::to_string(image.rows) + " " +
                    std::to_string(image.channels()) + "ch " + depthName(image.depth());
        }
    }
    return text;
}

int parseCaptureCount(const std::string& text) {
    std::size_t used = 0;
    int count = 0;
    try {
        count = std::stoi(text, &used);
    } catch (const std::logic_error&) {
        used = 0;
    }
    if (used != text.size() || count < 1) {
        throw HostError(BadCommandLine,
                        "CAPTURES must be a whole number of at least 1, not '" + text + "'");
    }
    return count;
}

void runHost(const std::string& parameters, int captures, const std::string& modulePath) {
    std::cout << "module: " << modulePath << '\n';
    // Declared first, so destroyed last: the module object must be gone before
    // its code is unloaded.
    const ModuleLibrary library(modulePath);
    const auto create = library.resolve<CreateFunction>("create");
    const auto destory = library.resolve<DestoryFunction>("destory");

    const ModulePtr module(create(), ModuleDeleter{destory});
    if (!module) {
        throw HostError(ModuleNotLoaded, modulePath + ": create returned no module object");
    }
    configure(*module, parameters);

    for (int capture = 0; capture < captures; ++capture) {
        // Blocks until the capture is loaded.
        if (!module->run()) {
            throw HostError(CaptureFailed, "capture " + std::to_string(capture) + " failed");
        }
        std::vector<cv::Mat> images;
        // false only says that this capture handed over no images.
        module->getResult(images, nullptr);
        std::cout << "capture " << capture << ": " << describe(images) << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "host_example")
                  << " PARAMETERS [CAPTURES [MODULE]]\n"
                     "  PARAMETERS  camera,field2,number,root, e.g. "
                     "\"camera2,unused,1,/data/recording\"\n"
                     "  CAPTURES    number of captures (default 1)\n"
                     "  MODULE      module library (default "
                  << KELVRA_FOLDERFEED_MODULE_PATH << ")\n";
        return BadCommandLine;
    }
    try {
        const int captures = argc >= 3 ? parseCaptureCount(argv[2]) : 1;
        runHost(argv[1], captures, argc >= 4 ? argv[3] : KELVRA_FOLDERFEED_MODULE_PATH);
        return Done;
    } catch (const HostError& error) {
        std::cerr << "host_example: " << error.what() << '\n';
        return error.status();
    } catch (const std::exception& error) {
        std::cerr << "host_example: unexpected error: " << error.what() << '\n';
        return UnexpectedError;
    }
}
