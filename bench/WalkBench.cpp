#include "WalkBench.h"

#include "ChildProcess.h"
#include "Interleaved.h"
#include "collectSubFolders.h"
#include "listFilesByPattern.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string numbered(const char* prefix, int number) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%05d", prefix, number);
    return name;
}

void writeEmptyFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        throw std::system_error(errno, std::generic_category(), "cannot create " + path);
    }
    ::close(fd);
}

void expectCount(std::size_t found, std::size_t expected, const std::string& who) {
    if (found != expected) {
        throw std::runtime_error(who + " found " + std::to_string(found) + " entries instead of " +
                                 std::to_string(expected));
    }
}

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

} // namespace

std::size_t TreeShape::folders() const {
    const auto t = static_cast<std::size_t>(top);
    const auto m = static_cast<std::size_t>(middle);
    return t + t * m + t * m * static_cast<std::size_t>(leaves);
}

std::size_t TreeShape::files() const {
    return static_cast<std::size_t>(top) * static_cast<std::size_t>(middle) *
           static_cast<std::size_t>(leaves) * static_cast<std::size_t>(filesPerLeaf);
}

void writeFolderTree(const std::string& root, const TreeShape& shape) {
    for (int t = 0; t < shape.top; ++t) {
        for (int m = 0; m < shape.middle; ++m) {
            for (int l = 0; l < shape.leaves; ++l) {
                const std::string leaf = root + "/" + numbered("day", t) + "/" +
                                         numbered("lot", m) + "/" + numbered("capture", l);
                fs::create_directories(leaf);
                for (int f = 0; f < shape.filesPerLeaf; ++f) {
                    writeEmptyFile(leaf + "/" + numbered("camera1_image", f) + ".bmp");
                }
            }
        }
    }
}

WalkTimes measureWalk(const std::string& root, const TreeShape& shape, int repeats) {
    std::vector<std::string> moduleFolders;
    std::vector<std::string> plainFolders;
    const std::vector<Contestant> contestants = {
        {"module", [&](int) { collectSubFolders(root, moduleFolders); },
         [&](int) {
             expectCount(moduleFolders.size(), shape.folders(), "the module's walk");
             moduleFolders.clear();
         }},
        {"filesystem",
         [&](int) {
             for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
                 if (entry.is_directory()) {
                     plainFolders.push_back(entry.path().string());
                 }
             }
         },
         [&](int) {
             expectCount(plainFolders.size(), shape.folders(), "the std::filesystem walk");
             plainFolders.clear();
         }},
        {"find",
         [&](int) {
             runDiscardingOutput("find", {root, "-type", "d"});
         },
         nullptr},
    };
    const auto samples = timeInterleaved(contestants, 1, repeats);
    return {median(samples[0]), median(samples[1]), median(samples[2])};
}

void writeListingFolder(const std::string& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) {
        writeEmptyFile(folder + "/" + numbered("frame_", i) + ".bmp");
    }
}

ListingTimes measureListing(const std::string& folder, int count, int repeats) {
    std::vector<std::string> moduleFiles;
    std::vector<std::string> plainFiles;
    const std::vector<Contestant> contestants = {
        {"module", [&](int) { listFilesByPattern(folder, moduleFiles, "bmp"); },
         [&](int) {
             expectCount(moduleFiles.size(), static_cast<std::size_t>(count),
                         "the module's listing");
             moduleFiles.clear();
         }},
        {"readdir",
         [&](int) {
             const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
             if (!dir) {
                 throw std::system_error(errno, std::generic_category(), "opendir " + folder);
             }
             while (const dirent* entry = readdir(dir.get())) {
                 const std::string name = entry->d_name;
                 if (name != "." && name != "..") {
                     plainFiles.push_back(folder + "/" + name);
                 }
             }
         },
         [&](int) {
             expectCount(plainFiles.size(), static_cast<std::size_t>(count), "the readdir loop");
             plainFiles.clear();
         }},
    };
    const auto samples = timeInterleaved(contestants, 1, repeats);
    return {median(samples[0]), median(samples[1])};
}
