#include "DeclaredImageSize.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <limits>

namespace {

using U64 = std::uint64_t;

U64 saturatingProduct(std::initializer_list<U64> factors) {
    U64 product = 1;
    for (U64 factor : factors) {
        if (factor != 0 && product > std::numeric_limits<U64>::max() / factor) {
            return std::numeric_limits<U64>::max();
        }
        product *= factor;
    }
    return product;
}

bool readAt(std::istream& file, U64 offset, char* bytes, std::size_t count) {
    if (offset > static_cast<U64>(std::numeric_limits<std::streamoff>::max())) {
        return false;
    }
    file.clear();
    file.seekg(static_cast<std::streamoff>(offset));
    file.read(bytes, static_cast<std::streamsize>(count));
    return static_cast<std::size_t>(file.gcount()) == count;
}

U64 unsignedValue(const unsigned char* bytes, std::size_t size, bool bigEndian) {
    U64 value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const std::size_t index = bigEndian ? i : size - 1 - i;
        value = (value << 8) | bytes[index];
    }
    return value;
}

// BITMAPFILEHEADER, then BITMAPCOREHEADER (12 bytes, 16-bit sizes) or one of
// the later info headers (32-bit signed sizes; a negative height is a
// top-down image).
std::optional<U64> bmpImageBytes(std::istream& file) {
    std::array<char, 30> header{};
    if (!readAt(file, 0, header.data(), header.size())) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(header.data());
    const U64 infoSize = unsignedValue(bytes + 14, 4, false);
    std::int64_t width = 0;
    std::int64_t height = 0;
    U64 bitsPerPixel = 0;
    if (infoSize == 12) {
        width = static_cast<std::int16_t>(unsignedValue(bytes + 18, 2, false));
        height = static_cast<std::int16_t>(unsignedValue(bytes + 20, 2, false));
        bitsPerPixel = unsignedValue(bytes + 24, 2, false);
    } else {
        width = static_cast<std::int32_t>(unsignedValue(bytes + 18, 4, false));
        height = static_cast<std::int32_t>(unsignedValue(bytes + 22, 4, false));
        bitsPerPixel = unsignedValue(bytes + 28, 2, false);
    }
    // Palette images may decode to colour: three channels at the least.
    const U64 channels = bitsPerPixel == 32 ? 4 : 3;
    return saturatingProduct({static_cast<U64>(width < 0 ? -width : width),
                              static_cast<U64>(height < 0 ? -height : height), channels});
}

// The first image file directory, as the decoder reads it: the tags of the
// size, the samples per pixel and the bits per sample.
class TiffReader {
public:
    TiffReader(std::istream& file, bool bigEndian, bool bigTiff)
        : file_(file), bigEndian_(bigEndian), bigTiff_(bigTiff) {}

    std::optional<U64> imageBytes() {
        const std::size_t offsetSize = bigTiff_ ? 8 : 4;
        U64 directory = 0;
        if (!readNumber(bigTiff_ ? 8 : 4, offsetSize, directory)) {
            return std::nullopt;
        }
        const std::size_t countSize = bigTiff_ ? 8 : 2;
        const std::size_t entrySize = bigTiff_ ? 20 : 12;
        U64 entries = 0;
        if (!readNumber(directory, countSize, entries)) {
            return std::nullopt;
        }
        U64 width = 0;
        U64 height = 0;
        U64 samples = 1;
        U64 bits = 1;
        for (U64 i = 0; i < entries; ++i) {
            const U64 entry = directory + countSize + i * entrySize;
            U64 tag = 0;
            U64 value = 0;
            if (!readNumber(entry, 2, tag)) {
                return std::nullopt;
            }
            if (tag != 256 && tag != 257 && tag != 258 && tag != 277) {
                continue;
            }
            // The decoder passes over an entry it cannot use (a wrong type,
            // no value) and reads the rest; so does this.
            if (!readFirstValue(entry, value)) {
                continue;
            }
            U64& field = tag == 256 ? width : tag == 257 ? height : tag == 258 ? bits : samples;
            field = std::max(field, value);
        }
        // The decoder keeps the stored depth (rounded up to 8, 16, 32 or 64
        // bits), and makes up to four channels whatever the header says of
        // the samples (a colour photometric with one sample gives three),
        // so four channels are counted at the least.
        const U64 bytesPerSample = bits <= 8 ? 1 : bits <= 16 ? 2 : bits <= 32 ? 4 : 8;
        const U64 pixelBytes = saturatingProduct({std::max<U64>(samples, 4), bytesPerSample});
        return saturatingProduct({width, height, pixelBytes});
    }

private:
    bool readNumber(U64 offset, std::size_t size, U64& value) {
        std::array<unsigned char, 8> bytes{};
        if (!readAt(file_, offset, reinterpret_cast<char*>(bytes.data()), size)) {
            return false;
        }
        value = unsignedValue(bytes.data(), size, bigEndian_);
        return true;
    }

    // The entry's first value, of any integer type the decoder accepts for
    // these tags; stored in the entry itself when it fits, elsewhere
    // otherwise.
    bool readFirstValue(U64 entry, U64& value) {
        U64 type = 0;
        U64 count = 0;
        const std::size_t countSize = bigTiff_ ? 8 : 4;
        if (!readNumber(entry + 2, 2, type) || !readNumber(entry + 4, countSize, count) ||
            count == 0) {
            return false;
        }
        std::size_t size = 0;
        bool isSigned = false;
        switch (type) {
        case 1: // BYTE
            size = 1;
            break;
        case 6: // SBYTE
            size = 1;
            isSigned = true;
            break;
        case 3: // SHORT
            size = 2;
            break;
        case 8: // SSHORT
            size = 2;
            isSigned = true;
            break;
        case 4:  // LONG
        case 13: // IFD
            size = 4;
            break;
        case 9: // SLONG
            size = 4;
            isSigned = true;
            break;
        case 16: // LONG8
        case 18: // IFD8
            size = 8;
            break;
        case 17: // SLONG8
            size = 8;
            isSigned = true;
            break;
        default:
            return false;
        }
        const U64 valueField = entry + 4 + countSize;
        const std::size_t inlineSize = bigTiff_ ? 8 : 4;
        U64 where = valueField;
        if (saturatingProduct({count, size}) > inlineSize &&
            !readNumber(valueField, inlineSize, where)) {
            return false;
        }
        if (!readNumber(where, size, value)) {
            return false;
        }
        // A negative value is refused by the decoder; count it as zero.
        if (isSigned && (value >> (8 * size - 1)) != 0) {
            value = 0;
        }
        return true;
    }

    std::istream& file_;
    bool bigEndian_;
    bool bigTiff_;
};

} // namespace

std::optional<U64> declaredImageBytes(std::istream& file) {
    std::array<char, 4> signature{};
    if (!readAt(file, 0, signature.data(), signature.size())) {
        return std::nullopt;
    }
    const std::string start(signature.data(), signature.size());
    if (start.compare(0, 2, "BM") == 0) {
        return bmpImageBytes(file);
    }
    const bool little = start == std::string("II\x2a\0", 4) || start == std::string("II\x2b\0", 4);
    const bool big = start == std::string("MM\0\x2a", 4) || start == std::string("MM\0\x2b", 4);
    if (!little && !big) {
        return std::nullopt;
    }
    const bool bigTiff = start[little ? 2 : 3] == '\x2b';
    return TiffReader(file, big, bigTiff).imageBytes();
}

bool isSafeToDecode(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    const std::optional<U64> bytes = declaredImageBytes(file);
    return bytes.has_value() && *bytes <= maxDecodedImageBytes;
}
