#pragma once

#include <cstddef>
#include <cstdint>

// The memory that decoding an image file will take, worked out from the
// file's bytes before any pixel is decoded. A file of a few bytes can make
// the decoder allocate gigabytes, before it finds out whether the file holds
// the data, and a decompression bomb does hold it; a capture refuses such a
// file (an empty image in its place) instead of taking the host's memory.
//
// The figure is what the decoder makes of the file with IMREAD_UNCHANGED:
// the image with the channels and depth that the decoder gives it (a grey
// palette BMP decodes to one channel, a one-sample TIFF to one), plus the
// decoder's own working buffers (the TIFF reader's strip or tile buffers, at
// the channel count it reads with). Where the decoder's choice depends on
// more than the header shows, the larger choice is counted.

enum class ImageFormat { Bmp, Tiff, Other };

struct DecodeMemory {
    ImageFormat format = ImageFormat::Other;
    // False when the header cannot be read: cut short, or pointing outside
    // the file. The decoder cannot read such a header either.
    bool headerRead = false;
    // The decoded image.
    std::uint64_t imageBytes = 0;
    // The decoder's buffers while it decodes, beside the image.
    std::uint64_t workingBytes = 0;

    // Saturates instead of overflowing.
    std::uint64_t total() const;
};

// The format is told by the first bytes, as the decoder tells it: "BM" for
// BMP; "II*\0", "MM\0*" (classic) and "II+\0", "MM\0+" (BigTIFF) for TIFF.
DecodeMemory estimateDecodeMemory(const unsigned char* data, std::size_t size);

// Decoding may take this much whatever the file's size: 1 GiB, for instance
// a 16384 x 16384 image of four 8-bit channels.
constexpr std::uint64_t decodeMemoryFloor = std::uint64_t(1) << 30;

// Beyond the floor, decoding may take this many bytes per byte of the file.
// Lossless compression of camera images gains little: sensor noise is not
// compressible. Measured on 19 photographs and camera frames (grey and
// colour, LZW with and without predictor, Deflate, PackBits) the best ratio
// was 12.5 and most were below 4; the costliest TIFF layout for the decoder
// (8-bit grey in a single strip) takes six bytes of memory per decoded
// byte, so those files need at most 75 bytes per file byte. A decompression
// bomb needs thousands.
constexpr std::uint64_t decodeMemoryPerFileByte = 256;

// Whether decoding may take estimate bytes for a file of fileBytes bytes.
bool isDecodeMemoryAcceptable(std::uint64_t estimate, std::uint64_t fileBytes);
