#pragma once

#include <opencv2/core/mat.hpp>

#include <filesystem>
#include <fstream>
#include <string>

// The manifest of saved images (--save DIR writes DIR/manifest.csv): one CSV
// row per image handed over, so that every saved file can be traced back to
// the recording. Columns:
//   capture, capture_folder, image, source_path, width, height, channels,
//   depth, status, saved_file
// status is "ok", "empty: <reason>" or, for a capture that handed over no
// image at all (one row, no image number), "no images". Rows are flushed
// capture by capture, so an interrupted or failed replay keeps every row of
// the captures it finished. Fields are quoted as RFC 4180 asks.
class Manifest {
public:
    // Creates the file, with its header row; throws CommandError (OutputFailed).
    explicit Manifest(std::filesystem::path path);

    Manifest(const Manifest&) = delete;
    Manifest& operator=(const Manifest&) = delete;

    // emptyReason is used for an empty image; savedFile is relative to DIR.
    void addImage(int captureNumber, const std::string& folder, std::size_t imageIndex,
                  const std::string& sourcePath, const cv::Mat& image,
                  const std::string& emptyReason, const std::string& savedFile);
    void addCaptureWithoutImages(int captureNumber, const std::string& folder);
    // Ends a capture's rows; throws CommandError (OutputFailed) when they
    // could not be written.
    void flush();

    const std::filesystem::path& path() const { return path_; }

private:
    void writeRow(const std::initializer_list<std::string>& fields);

    std::filesystem::path path_;
    std::ofstream file_;
};
