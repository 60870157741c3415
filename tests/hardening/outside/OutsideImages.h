#pragma once

#include <filesystem>
#include <string>
#include <vector>

// Image files written by programs other than OpenCV (write_images.sh), into
// folder. Throws std::runtime_error, with the script's output, when a writer
// is missing or fails. Returns the files in name order.
std::vector<std::filesystem::path> writeOutsideImages(const std::filesystem::path& folder);
