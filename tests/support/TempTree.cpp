#include "TempTree.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

TempTree::TempTree() {
    std::random_device seed;
    std::mt19937_64 generator(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("folderfeed-test-" + std::to_string(generator()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            // Readable by all, so a case that drops its privileges can use it.
            fs::permissions(candidate, fs::perms::owner_all | fs::perms::group_read |
                                           fs::perms::group_exec | fs::perms::others_read |
                                           fs::perms::others_exec);
            root_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot make a temp folder");
}

TempTree::~TempTree() {
    std::error_code error;
    // A test may have taken permissions away; give them back so all goes.
    for (auto it = fs::recursive_directory_iterator(
             root_, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::remove_all(root_, error);
}

fs::path TempTree::makeFolder(const std::string& relative) const {
    const fs::path folder = root_ / relative;
    fs::create_directories(folder);
    return folder;
}

fs::path TempTree::writeFile(const std::string& relative, const std::string& bytes) const {
    const fs::path file = root_ / relative;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
    return file;
}

fs::path TempTree::makeLink(const std::string& relative, const std::string& target) const {
    const fs::path link = root_ / relative;
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
    return link;
}
