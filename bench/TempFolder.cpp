#include "TempFolder.h"

#include <cerrno>
#include <stdlib.h>
#include <string>
#include <system_error>

TempFolder::TempFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "folderfeed-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(),
                                "cannot make a temp folder in " + parent.string());
    }
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}
