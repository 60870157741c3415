#include "HostileImages.h"

#include <zlib.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

enum : std::uint16_t { typeShort = 3, typeLong = 4 };

struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    std::uint32_t valueOrOffset;
};

void put16(std::string& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<char>(value & 0xFF));
    bytes.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void put32(std::string& bytes, std::uint32_t value) {
    put16(bytes, value & 0xFFFF);
    put16(bytes, value >> 16);
}

std::uint32_t stripCount(const TiffLayout& layout) {
    if (layout.rowsPerStrip == 0) {
        throw std::invalid_argument("rowsPerStrip must not be zero");
    }
    const std::uint64_t strips =
        (std::uint64_t(layout.height) + layout.rowsPerStrip - 1) / layout.rowsPerStrip;
    return static_cast<std::uint32_t>(strips == 0 ? 1 : strips);
}

// Little-endian header, one IFD right behind it, then the strip offset and
// byte count tables, then the data that every strip shares.
std::string buildTiff(const TiffLayout& layout, const std::string& stripData,
                      std::uint32_t strips) {
    constexpr std::uint32_t headerSize = 8;
    const bool alpha = layout.samplesPerPixel == 4;
    const std::uint16_t entryCount = alpha ? 11 : 10;
    const std::uint32_t ifdSize = 2 + 12u * entryCount + 4;
    // A single strip keeps its offset and count in the entry itself, so the
    // data then follows the IFD directly.
    const bool inlineTables = strips == 1;
    const std::uint32_t tableSize = inlineTables ? 0 : 4 * strips;
    const std::uint32_t offsetsTable = headerSize + ifdSize;
    const std::uint32_t countsTable = offsetsTable + tableSize;
    const std::uint32_t dataOffset = countsTable + tableSize;
    const auto stripSize = static_cast<std::uint32_t>(stripData.size());
    std::vector<TiffEntry> entries = {
        {256, typeLong, 1, layout.width},
        {257, typeLong, 1, layout.height},
        {258, typeShort, 1, layout.bitsPerSample},
        {259, typeShort, 1, layout.compression},
        {262, typeShort, 1, layout.photometric},
        {273, typeLong, strips, inlineTables ? dataOffset : offsetsTable},
        {277, typeShort, 1, layout.samplesPerPixel},
        {278, typeLong, 1, layout.rowsPerStrip},
        {279, typeLong, strips, inlineTables ? stripSize : countsTable},
        {284, typeShort, 1, 1}, // contiguous planes
        {338, typeShort, 1, 2}, // the fourth sample is alpha
    };
    if (!alpha) {
        entries.pop_back();
    }

    std::string bytes = "II";
    put16(bytes, 42);
    put32(bytes, headerSize);
    put16(bytes, entryCount);
    for (const TiffEntry& entry : entries) {
        put16(bytes, entry.tag);
        put16(bytes, entry.type);
        put32(bytes, entry.count);
        put32(bytes, entry.valueOrOffset);
    }
    put32(bytes, 0); // no further IFD
    if (!inlineTables) {
        for (std::uint32_t i = 0; i < strips; ++i) {
            put32(bytes, dataOffset);
        }
        for (std::uint32_t i = 0; i < strips; ++i) {
            put32(bytes, stripSize);
        }
    }
    bytes += stripData;
    return bytes;
}

} // namespace

std::string tiffWithSharedStrip(const TiffLayout& layout, const std::string& stripData) {
    return buildTiff(layout, stripData, stripCount(layout));
}

std::string packBitsZeros(std::uint32_t byteCount) {
    if (byteCount % 128 != 0) {
        throw std::invalid_argument("byteCount must be a multiple of 128");
    }
    std::string data;
    for (std::uint32_t i = 0; i < byteCount / 128; ++i) {
        data.push_back(static_cast<char>(-127)); // repeat the next byte 128 times
        data.push_back('\0');
    }
    return data;
}

std::string tiffHeaderDeclaring(std::uint32_t width, std::uint32_t height) {
    TiffLayout layout;
    layout.width = width;
    layout.height = height;
    layout.rowsPerStrip = height == 0 ? 1 : height;
    return buildTiff(layout, std::string(), 1);
}

std::string deflateZeros(std::uint64_t byteCount) {
    z_stream stream{};
    if (deflateInit(&stream, Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("deflateInit failed");
    }
    const std::vector<unsigned char> zeros(1 << 20, 0);
    std::vector<unsigned char> chunk(1 << 16);
    std::string data;
    std::uint64_t left = byteCount;
    int flush = Z_NO_FLUSH;
    do {
        const auto take = static_cast<uInt>(std::min<std::uint64_t>(left, zeros.size()));
        left -= take;
        flush = left == 0 ? Z_FINISH : Z_NO_FLUSH;
        stream.next_in = const_cast<unsigned char*>(zeros.data());
        stream.avail_in = take;
        do {
            stream.next_out = chunk.data();
            stream.avail_out = static_cast<uInt>(chunk.size());
            deflate(&stream, flush);
            data.append(reinterpret_cast<const char*>(chunk.data()),
                        chunk.size() - stream.avail_out);
        } while (stream.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&stream);
    return data;
}

std::string tiffWithHugeStripBuffer() {
    TiffLayout layout;
    layout.width = 65535;
    layout.height = 1;
    layout.rowsPerStrip = 16383;
    layout.compression = 32773;
    return tiffWithSharedStrip(layout, packBitsZeros(128 * 64));
}

std::string deflateRgbaBomb() {
    TiffLayout layout;
    layout.width = 16383;
    layout.height = 16383;
    layout.rowsPerStrip = 16383;
    layout.compression = 8;
    layout.samplesPerPixel = 4;
    layout.photometric = 2;
    return tiffWithSharedStrip(layout, deflateZeros(std::uint64_t(16383) * 16383 * 4));
}
