#pragma once

#include <string>
#include <vector>

// Where the images of each capture of a replay come from. The module hands
// over images only; the program finds their folder and files again with the
// module's own walk, listing and selection code, as the module does: capture
// N reads the Nth capture folder, round and round.
class CaptureSources {
public:
    // Walks root; throws CommandError (BadRecording) when it cannot.
    CaptureSources(std::string root, std::string camera);

    std::size_t folderCount() const { return folders_.size(); }
    // Needs folderCount() > 0.
    const std::string& folderOf(int captureNumber) const;
    // The folder below the root, for labels: "day1/shot_0003".
    std::string shortFolderOf(int captureNumber) const;
    // The files that the capture hands over, in hand-over order, listed now.
    std::vector<std::string> pathsOf(int captureNumber) const;

private:
    std::string root_;
    std::string camera_;
    std::vector<std::string> folders_;
};

// Why the file at path came back as an empty image, found with the module's
// own check: "not BMP or TIFF content", ..., or "the decoder failed" when
// the check would have let it through.
std::string emptyImageReason(const std::string& path);
