#include "Manifest.h"

#include "CaptureReport.h"
#include "ExitStatus.h"

#include <system_error>
#include <utility>

namespace {

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + '"';
}

} // namespace

Manifest::Manifest(std::filesystem::path path) : path_(std::move(path)) {
    std::error_code error;
    if (path_.has_parent_path()) {
        std::filesystem::create_directories(path_.parent_path(), error);
    }
    file_.open(path_, std::ios::binary | std::ios::trunc);
    if (error || !file_) {
        throw CommandError(ExitStatus::OutputFailed, "cannot write manifest " + path_.string() +
                                                         (error ? ": " + error.message() : ""));
    }
    writeRow({"capture", "capture_folder", "image", "source_path", "width", "height", "channels",
              "depth", "status", "saved_file"});
    flush();
}

void Manifest::addImage(int captureNumber, const std::string& folder, std::size_t imageIndex,
                        const std::string& sourcePath, const cv::Mat& image,
                        const std::string& emptyReason, const std::string& savedFile) {
    if (image.empty()) {
        writeRow({std::to_string(captureNumber), folder, std::to_string(imageIndex), sourcePath, "",
                  "", "", "", "empty: " + emptyReason, ""});
        return;
    }
    writeRow({std::to_string(captureNumber), folder, std::to_string(imageIndex), sourcePath,
              std::to_string(image.cols), std::to_string(image.rows),
              std::to_string(image.channels()), depthName(image.depth()), "ok", savedFile});
}

void Manifest::addCaptureWithoutImages(int captureNumber, const std::string& folder) {
    writeRow({std::to_string(captureNumber), folder, "", "", "", "", "", "", "no images", ""});
}

void Manifest::flush() {
    file_.flush();
    if (!file_) {
        throw CommandError(ExitStatus::OutputFailed,
                           "cannot write manifest " + path_.string() + ": write failed");
    }
}

void Manifest::writeRow(const std::initializer_list<std::string>& fields) {
    bool first = true;
    for (const std::string& field : fields) {
        file_ << (first ? "" : ",") << csvField(field);
        first = false;
    }
    file_ << '\n';
}
