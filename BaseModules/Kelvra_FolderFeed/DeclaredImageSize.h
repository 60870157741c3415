#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <string>

// The memory that decoding an image file would take, read from what its
// header declares, before any pixel is decoded. A file of a few bytes can
// declare an image of gigabytes; the decoder allocates that much before it
// finds out whether the file holds the data, and a decompression bomb does
// hold it. The capture refuses such files (an empty image in their place)
// instead of taking the host's memory.
//
// BMP and TIFF (classic and BigTIFF) headers are read, the formats of a
// recording; files of other formats are not decoded at all. The figure is an upper bound of what
// the decoder allocates for the image itself, with the stored depth and channels kept.

// Images that would take more than this are not decoded: 1 GiB, for
// instance 16384 x 16384 pixels of four 8-bit channels.
constexpr std::uint64_t maxDecodedImageBytes = std::uint64_t(1) << 30;

// The bytes the decoded image would take; empty when the data is neither a
// BMP nor a TIFF, or its header cannot be read (the decoder refuses those
// itself). Saturates instead of overflowing.
std::optional<std::uint64_t> declaredImageBytes(std::istream& file);

// True when the file at path is a BMP or TIFF whose header declares an image
// of at most maxDecodedImageBytes. Only such files reach the decoder: it
// recognises formats by content, not by name, and some of its other formats
// abort the whole process on damaged data (a file with the medical-imaging
// signature "DICM" at byte 128 does), where a recording's file must at worst
// become an empty image.
bool isSafeToDecode(const std::string& path);
