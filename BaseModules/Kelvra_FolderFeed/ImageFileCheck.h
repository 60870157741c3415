#pragma once

#include "FileBytes.h"

#include <string>

// Why a selected file would be handed over as an empty image. The capture and
// the folderfeed program use the same check, so what the program reports is
// what a host gets.
enum class ImageFileProblem {
    None,             // reaches the decoder
    NotRegularFile,   // a folder, pipe, device or socket; or missing
    ReadFailed,       // cannot be opened or read, or its read would block
    NotBmpOrTiff,     // the content is of another format (or none)
    DamagedHeader,    // BMP or TIFF signature, but the header cannot be read
    TooLargeToDecode, // decoding would take more memory than is safe in the host
    DecoderFailed,    // passed every check, but the decoder gave no image
};

// A short reason for people: "not a regular file", "not BMP or TIFF content", ...
const char* describeProblem(ImageFileProblem problem);

// The checks on a file's bytes that the capture runs before it decodes
// them: only BMP and TIFF content reaches the decoder (it recognises formats
// by content, not by name, and some of its other readers abort the whole
// process on damaged data), and only when decoding it cannot take more
// memory than is safe (DecodeMemory.h).
ImageFileProblem checkImageBytes(const FileBytes& bytes);

// Reads the file into bytes once and runs the checks that the capture runs
// before it decodes, without decoding. None means the capture hands bytes to
// the decoder; DecoderFailed is never returned here.
ImageFileProblem readAndCheckImageFile(const std::string& path, FileBytes& bytes);

// The same, for a single file.
ImageFileProblem checkImageFile(const std::string& path);
