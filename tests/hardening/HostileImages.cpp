#include "HostileImages.h"

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
    const std::uint16_t entryCount = 10;
    const std::uint32_t ifdSize = 2 + 12u * entryCount + 4;
    // A single strip keeps its offset and count in the entry itself, so the
    // data then follows the IFD directly.
    const bool inlineTables = strips == 1;
    const std::uint32_t tableSize = inlineTables ? 0 : 4 * strips;
    const std::uint32_t offsetsTable = headerSize + ifdSize;
    const std::uint32_t countsTable = offsetsTable + tableSize;
    const std::uint32_t dataOffset = countsTable + tableSize;
    const auto stripSize = static_cast<std::uint32_t>(stripData.size());
    const std::vector<TiffEntry> entries = {
        {256, typeLong, 1, layout.width},
        {257, typeLong, 1, layout.height},
        {258, typeShort, 1, layout.bitsPerSample},
        {259, typeShort, 1, layout.compression},
        {262, typeShort, 1, 1}, // black is zero
        {273, typeLong, strips, inlineTables ? dataOffset : offsetsTable},
        {277, typeShort, 1, 1},
        {278, typeLong, 1, layout.rowsPerStrip},
        {279, typeLong, strips, inlineTables ? stripSize : countsTable},
        {284, typeShort, 1, 1}, // contiguous planes
    };

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
