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
    // 1: none, 8: Deflate, 32773: PackBits.
    std::uint16_t compression = 1;
    // 1 with photometric 1 (black is zero), or 3 or 4 (with an alpha
    // sample) with photometric 2 (RGB).
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t photometric = 1;
};

// A TIFF with the given layout whose strips all point at stripData; the
// declared strip byte count is stripData's size.
std::string tiffWithSharedStrip(const TiffLayout& layout, const std::string& stripData);

// PackBits data that decodes to byteCount zero bytes (a multiple of 128).
std::string packBitsZeros(std::uint32_t byteCount);

// Deflate (zlib) data that decodes to byteCount zero bytes: about a
// thousandth of that.
std::string deflateZeros(std::uint64_t byteCount);

// A TIFF that declares width x height grey pixels and stops after the strip
// tables, with no pixel data at all.
std::string tiffHeaderDeclaring(std::uint32_t width, std::uint32_t height);

// 65535 x 1 grey pixels, PackBits, with 16383 rows per strip: a file of a few
// hundred bytes for which the decoder sizes its strip buffer from the rows
// per strip, not the image's height: 4 GiB.
std::string tiffWithHugeStripBuffer();

// 16383 x 16383 RGBA pixels in a single Deflate strip of 1 MB: the decoder
// holds three buffers of 1 GiB each (the image, its RGBA strip, libtiff's
// decoded strip), 2 GiB of them touched.
std::string deflateRgbaBomb();
