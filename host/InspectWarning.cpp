#include "InspectWarning.h"

const char* warningKindName(WarningKind kind) {
    switch (kind) {
    case WarningKind::NoCaptureFolders:
        return "no capture folders";
    case WarningKind::NameInFolderPath:
        return "name in folder path";
    case WarningKind::FilesInRoot:
        return "files in the root";
    case WarningKind::NothingForCamera:
        return "nothing for the camera";
    case WarningKind::FolderOfFolders:
        return "folder of folders";
    case WarningKind::ImageCount:
        return "image count";
    case WarningKind::EmptyImage:
        return "empty image";
    case WarningKind::MissingImageKinds:
        return "missing image kinds";
    case WarningKind::ImageKindNotLoaded:
        return "image kind not loaded";
    case WarningKind::LookAlikeNotLoaded:
        return "look-alike not loaded";
    }
    return "other";
}
