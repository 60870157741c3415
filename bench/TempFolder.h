#pragma once

#include <filesystem>

// A fresh folder for the benchmark's generated data, removed with everything
// in it when the object goes, so a run leaves nothing behind.
class TempFolder {
public:
    // Makes a new folder inside parent.
    explicit TempFolder(const std::filesystem::path& parent);
    ~TempFolder();

    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
