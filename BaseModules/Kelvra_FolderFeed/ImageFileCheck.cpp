#include "ImageFileCheck.h"

#include "DeclaredImageSize.h"

#include <fstream>
#include <optional>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

const char* describeProblem(ImageFileProblem problem) {
    switch (problem) {
    case ImageFileProblem::None:
        return "none";
    case ImageFileProblem::NotRegularFile:
        return "not a regular file";
    case ImageFileProblem::ReadFailed:
        return "cannot be read";
    case ImageFileProblem::NotBmpOrTiff:
        return "not BMP or TIFF content";
    case ImageFileProblem::DamagedHeader:
        return "damaged or truncated header";
    case ImageFileProblem::TooLargeToDecode:
        return "too large to decode safely";
    case ImageFileProblem::DecoderFailed:
        return "the decoder failed";
    }
    return "unknown";
}

ImageFileProblem checkImageFile(const std::string& path) {
#if !defined(_WIN32)
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return ImageFileProblem::NotRegularFile;
    }
#endif
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return ImageFileProblem::ReadFailed;
    }
    const std::optional<std::uint64_t> bytes = declaredImageBytes(file);
    if (!bytes) {
        return ImageFileProblem::NotBmpOrTiff;
    }
    return *bytes <= maxDecodedImageBytes ? ImageFileProblem::None
                                          : ImageFileProblem::TooLargeToDecode;
}
