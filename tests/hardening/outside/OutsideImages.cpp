#include "OutsideImages.h"

#include "ProgramRun.h"

#include <algorithm>
#include <stdexcept>

namespace fs = std::filesystem;

std::vector<fs::path> writeOutsideImages(const fs::path& folder) {
    const ProgramResult run =
        runProgram("/bin/bash", {FOLDERFEED_OUTSIDE_WRITER_SCRIPT, folder.string()}, 300);
    if (run.status != 0) {
        throw std::runtime_error("write_images.sh failed:\n" + run.out + run.err);
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        throw std::runtime_error("write_images.sh wrote nothing into " + folder.string());
    }
    return files;
}
