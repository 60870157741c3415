#pragma once

#include <string>

// What inspect warns about, by kind, so that its summary can count them.
enum class WarningKind {
    NoCaptureFolders,
    NameInFolderPath,   // the camera name or an image kind in a folder's path
    FilesInRoot,        // camera files in the root, which is never a capture
    NothingForCamera,   // a capture that hands over no images
    FolderOfFolders,    // an intermediate folder, a capture of its own
    ImageCount,         // a capture that hands over another number of images
    EmptyImage,         // a selected file that will come back empty
    MissingImageKinds,  // camera1
    ImageKindNotLoaded, // camera1: no kind, or a kind the pass count skips
    LookAlikeNotLoaded, // near misses: letter case, suffix
};

// "empty image", ...: the summary's name of a kind.
const char* warningKindName(WarningKind kind);

struct InspectWarning {
    WarningKind kind;
    std::string text;
};
