#pragma once

#include <cstdint>
#include <string>

// Image files as a hostile recording holds them: headers that lie about the
// size, data cut short, and small files that decode to large images. They are
// built byte by byte, since no well-behaved writer makes them.

// A grey baseline TIFF (8 bits unless told otherwise) whose strips may all point at one shared run
// of data: a small file can then declare, and decode to, a large image.
struct TiffLayout {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    std::uint32_t rowsPerStrip = 1;
    std::uint16_t bitsPerSample = 8;
    // 1: none, 32773: PackBits.
    std::uint16_t compression = 1;
};

// A TIFF with the given layout whose strips all point at stripData; the
// declared strip byte count is stripData's size.
std::string tiffWithSharedStrip(const TiffLayout& layout, const std::string& stripData);

// PackBits data that decodes to byteCount zero bytes (a multiple of 128).
std::string packBitsZeros(std::uint32_t byteCount);

// A TIFF that declares width x height grey pixels and stops after the strip
// tables, with no pixel data at all.
std::string tiffHeaderDeclaring(std::uint32_t width, std::uint32_t height);
