#include "ImageFileCheck.h"

#include "DecodeMemory.h"

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

ImageFileProblem checkImageBytes(const FileBytes& bytes) {
    const DecodeMemory memory = estimateDecodeMemory(bytes.data(), bytes.size());
    if (memory.format == ImageFormat::Other) {
        return ImageFileProblem::NotBmpOrTiff;
    }
    if (!memory.headerRead) {
        return ImageFileProblem::DamagedHeader;
    }
    return isDecodeMemoryAcceptable(memory.total(), bytes.size())
               ? ImageFileProblem::None
               : ImageFileProblem::TooLargeToDecode;
}

ImageFileProblem readAndCheckImageFile(const std::string& path, FileBytes& bytes) {
    switch (readRegularFile(path, bytes)) {
    case FileReadResult::Read:
        return checkImageBytes(bytes);
    case FileReadResult::NotRegularFile:
        return ImageFileProblem::NotRegularFile;
    case FileReadResult::Failed:
        return ImageFileProblem::ReadFailed;
    case FileReadResult::TooLarge:
        return ImageFileProblem::TooLargeToDecode;
    }
    return ImageFileProblem::ReadFailed;
}

ImageFileProblem checkImageFile(const std::string& path) {
    FileBytes bytes;
    return readAndCheckImageFile(path, bytes);
}
