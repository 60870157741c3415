#include "DecodeMemory.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <optional>

namespace {

using U64 = std::uint64_t;

constexpr U64 maxU64 = std::numeric_limits<U64>::max();

U64 saturatingProduct(std::initializer_list<U64> factors) {
    U64 product = 1;
    for (U64 factor : factors) {
        if (factor != 0 && product > maxU64 / factor) {
            return maxU64;
        }
        product *= factor;
    }
    return product;
}

U64 saturatingSum(std::initializer_list<U64> terms) {
    U64 sum = 0;
    for (U64 term : terms) {
        sum = term > maxU64 - sum ? maxU64 : sum + term;
    }
    return sum;
}

U64 bytesForBits(U64 bits) {
    return bits / 8 + (bits % 8 != 0 ? 1 : 0);
}

// Bounds-checked reads of little- or big-endian numbers from the file's bytes.
class Bytes {
public:
    Bytes(const unsigned char* data, std::size_t size, bool bigEndian)
        : data_(data), size_(size), bigEndian_(bigEndian) {}

    bool has(U64 offset, U64 count) const { return offset <= size_ && count <= size_ - offset; }

    std::optional<U64> number(U64 offset, std::size_t count) const {
        if (!has(offset, count)) {
            return std::nullopt;
        }
        U64 value = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t index = bigEndian_ ? i : count - 1 - i;
            value = (value << 8) | data_[offset + index];
        }
        return value;
    }

    const unsigned char* at(U64 offset) const { return data_ + offset; }
    std::size_t size() const { return size_; }

private:
    const unsigned char* data_;
    std::size_t size_;
    bool bigEndian_;
};

std::int64_t signed32(U64 value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

// ---------------------------------------------------------------- BMP

enum BmpCompression : U64 { bmpRgb = 0 };

// The decoder reads a palette of up to 256 BGRA entries and decodes to one
// grey channel when every entry is grey.
std::optional<bool> paletteIsGrey(const Bytes& file, U64 offset, U64 entries, U64 entrySize) {
    if (!file.has(offset, entries * entrySize)) {
        return std::nullopt;
    }
    for (U64 i = 0; i < entries; ++i) {
        const unsigned char* entry = file.at(offset + i * entrySize);
        if (entry[0] != entry[1] || entry[1] != entry[2]) {
            return false;
        }
    }
    return true;
}

// BITMAPFILEHEADER (14 bytes), then the header size and either the core
// header (12 bytes, unsigned 16-bit sizes) or one of the info headers (36
// bytes and more, signed 32-bit sizes; a negative height is a top-down image).
DecodeMemory bmpMemory(const Bytes& file) {
    DecodeMemory memory;
    memory.format = ImageFormat::Bmp;
    const auto headerSize = file.number(14, 4);
    if (!headerSize) {
        return memory;
    }
    U64 width = 0;
    U64 height = 0;
    U64 bits = 0;
    U64 channels = 3;
    if (*headerSize == 12) {
        const auto w = file.number(18, 2);
        const auto h = file.number(20, 2);
        const auto b = file.number(24, 2);
        if (!w || !h || !b) {
            return memory;
        }
        width = *w;
        height = *h;
        bits = *b;
        // The decoder makes one grey channel of a core header, whatever
        // its depth.
        channels = 1;
    } else if (*headerSize >= 36) {
        const auto w = file.number(18, 4);
        const auto h = file.number(22, 4);
        const auto b = file.number(28, 2);
        const auto compression = file.number(30, 4);
        const auto coloursUsed = file.number(46, 4);
        if (!w || !h || !b || !compression || !coloursUsed) {
            return memory;
        }
        // The decoder refuses a width of zero or less before it allocates.
        width = signed32(*w) > 0 ? *w : 0;
        const std::int64_t signedHeight = signed32(*h);
        height = static_cast<U64>(signedHeight < 0 ? -signedHeight : signedHeight);
        bits = *b;
        if (bits <= 8) {
            const U64 entries =
                *coloursUsed == 0 || *coloursUsed > 256 ? U64(1) << bits : *coloursUsed;
            const auto grey = paletteIsGrey(file, 14 + *headerSize, entries, 4);
            channels = grey.value_or(false) ? 1 : 3;
        } else if (bits == 32) {
            channels = *compression == bmpRgb ? 3 : 4;
        } else if (bits != 16 && bits != 24) {
            channels = 4;
        }
    } else {
        // The decoder reads no other header size.
        return memory;
    }
    memory.headerRead = true;
    memory.imageBytes = saturatingProduct({width, height, channels});
    // One row of the file and one of three channels.
    const U64 rowBytes = saturatingProduct({width, std::max<U64>(bits, 1)}) / 8 + 4;
    memory.workingBytes = saturatingSum({rowBytes, saturatingProduct({width, 3}), 64});
    return memory;
}

// ---------------------------------------------------------------- TIFF

enum TiffTag : U64 {
    imageWidth = 256,
    imageLength = 257,
    bitsPerSampleTag = 258,
    compressionTag = 259,
    photometricTag = 262,
    samplesPerPixelTag = 277,
    rowsPerStripTag = 278,
    planarConfigTag = 284,
    tileWidthTag = 322,
    tileLengthTag = 323,
};

enum TiffValues : U64 {
    compressionNone = 1,
    compressionOldJpeg = 6,
    photometricMinIsWhite = 0,
    photometricMinIsBlack = 1,
    photometricRgb = 2,
    photometricPalette = 3,
    photometricLogLuv = 32845,
    planarSeparate = 2,
};

// What the first image file directory says, as far as the decoder's memory
// depends on it. Absent tags stay empty.
struct TiffDirectory {
    std::optional<U64> width;
    std::optional<U64> height;
    std::optional<U64> bitsPerSample;
    std::optional<U64> compression;
    std::optional<U64> photometric;
    std::optional<U64> samplesPerPixel;
    std::optional<U64> rowsPerStrip;
    std::optional<U64> planarConfig;
    std::optional<U64> tileWidth;
    std::optional<U64> tileLength;

    std::optional<U64>* field(U64 tag) {
        switch (tag) {
        case imageWidth:
            return &width;
        case imageLength:
            return &height;
        case bitsPerSampleTag:
            return &bitsPerSample;
        case compressionTag:
            return &compression;
        case photometricTag:
            return &photometric;
        case samplesPerPixelTag:
            return &samplesPerPixel;
        case rowsPerStripTag:
            return &rowsPerStrip;
        case planarConfigTag:
            return &planarConfig;
        case tileWidthTag:
            return &tileWidth;
        case tileLengthTag:
            return &tileLength;
        default:
            return nullptr;
        }
    }
};

class TiffReader {
public:
    TiffReader(const Bytes& file, bool bigTiff) : file_(file), bigTiff_(bigTiff) {}

    std::optional<TiffDirectory> firstDirectory() const {
        const auto directory = bigTiff_ ? file_.number(8, 8) : file_.number(4, 4);
        if (!directory) {
            return std::nullopt;
        }
        const std::size_t countSize = bigTiff_ ? 8 : 2;
        const U64 entrySize = bigTiff_ ? 20 : 12;
        const auto entries = file_.number(*directory, countSize);
        // The decoder reads the whole directory, or nothing.
        if (!entries ||
            !file_.has(*directory + countSize, saturatingProduct({*entries, entrySize}))) {
            return std::nullopt;
        }
        TiffDirectory tags;
        for (U64 i = 0; i < *entries; ++i) {
            const U64 entry = *directory + countSize + i * entrySize;
            std::optional<U64>* field = tags.field(*file_.number(entry, 2));
            // The decoder passes over an entry it cannot use (a wrong type,
            // no value) and reads the rest; so does this. Where a tag comes
            // twice, or holds one value per sample, the largest counts.
            const std::optional<U64> value = field != nullptr ? largestValue(entry) : std::nullopt;
            if (value) {
                *field = std::max(field->value_or(0), *value);
            }
        }
        return tags;
    }

private:
    // The largest of the entry's first few values, of any integer type that
    // the decoder accepts for these tags; a negative one counts as zero.
    std::optional<U64> largestValue(U64 entry) const {
        const auto type = file_.number(entry + 2, 2);
        const auto count = file_.number(entry + 4, bigTiff_ ? 8 : 4);
        if (!type || !count || *count == 0) {
            return std::nullopt;
        }
        std::size_t size = 0;
        bool isSigned = false;
        switch (*type) {
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
            return std::nullopt;
        }
        const U64 valueField = entry + 4 + (bigTiff_ ? 8 : 4);
        const std::size_t inlineSize = bigTiff_ ? 8 : 4;
        U64 where = valueField;
        if (saturatingProduct({*count, size}) > inlineSize) {
            const auto offset = file_.number(valueField, inlineSize);
            if (!offset) {
                return std::nullopt;
            }
            where = *offset;
        }
        // Per-sample tags hold one value per sample, at most four that the
        // decoder reads.
        const U64 values = std::min<U64>(*count, 4);
        std::optional<U64> largest;
        for (U64 i = 0; i < values; ++i) {
            auto value = file_.number(where + i * size, size);
            if (!value) {
                break;
            }
            if (isSigned && (*value >> (8 * size - 1)) != 0) {
                value = 0;
            }
            largest = std::max(largest.value_or(0), *value);
        }
        return largest;
    }

    const Bytes& file_;
    bool bigTiff_;
};

// The type that the decoder gives the image, from the bits per sample, the
// samples per pixel and the colour model.
struct TiffImageType {
    U64 channels = 1;
    U64 bytesPerChannel = 1;
};

TiffImageType decodedType(U64 bits, U64 samples, std::optional<U64> photometric) {
    const bool grey =
        photometric == U64(photometricMinIsWhite) || photometric == U64(photometricMinIsBlack);
    const bool palette = photometric == U64(photometricPalette);
    if (samples == 3 && photometric == U64(photometricLogLuv)) {
        return {3, 4};
    }
    // Deep samples of other colour models, or of odd sample counts, are read
    // as 8 bits.
    const bool otherModel = photometric.has_value() && *photometric > photometricRgb;
    if (bits > 8 && (otherModel || (samples != 1 && samples != 3 && samples != 4))) {
        bits = 8;
    }
    if (bits > 16) {
        return {std::max<U64>(samples, 1), bits <= 32 ? U64(4) : U64(8)};
    }
    const U64 bytes = bits <= 8 ? 1 : 2;
    if (bits <= 8 && palette) {
        return {3, bytes};
    }
    return {grey ? U64(1) : std::max<U64>(samples, 1), bytes};
}

// The reader's own small allocations: its directory, the codec's tables.
constexpr U64 tiffDecoderState = U64(1) << 20;

// libtiff splits a single uncompressed strip into strips of about 8 KiB when
// it opens a file, unless that makes a million strips or more.
U64 rowsPerStripAsRead(const TiffDirectory& tags, U64 width, U64 height, U64 bits, U64 samples,
                       U64 rowsPerStrip) {
    const bool singleStrip = rowsPerStrip >= height;
    if (!singleStrip || tags.compression.value_or(compressionNone) != compressionNone ||
        tags.planarConfig.value_or(1) != 1) {
        return rowsPerStrip;
    }
    const U64 rowBytes = bytesForBits(saturatingProduct({width, samples, bits}));
    if (rowBytes == 0 || height == 0) {
        return rowsPerStrip;
    }
    constexpr U64 stripBytes = 8192;
    const U64 rows = rowBytes > stripBytes ? 1 : stripBytes / rowBytes;
    const U64 strips = height / rows + (height % rows != 0 ? 1 : 0);
    return rows < rowsPerStrip && strips <= 1000000 ? rows : rowsPerStrip;
}

DecodeMemory tiffMemory(const Bytes& file, bool bigTiff) {
    DecodeMemory memory;
    memory.format = ImageFormat::Tiff;
    const auto tags = TiffReader(file, bigTiff).firstDirectory();
    if (!tags) {
        return memory;
    }
    memory.headerRead = true;
    const U64 width = tags->width.value_or(0);
    const U64 height = tags->height.value_or(0);
    const bool grey = tags->photometric == U64(photometricMinIsWhite) ||
                      tags->photometric == U64(photometricMinIsBlack);
    U64 bits = tags->bitsPerSample.value_or(1);
    if (!tags->bitsPerSample && tags->compression == U64(compressionOldJpeg)) {
        bits = 8;
    }
    const U64 samples = tags->samplesPerPixel.value_or(grey ? 1 : 3);
    const TiffImageType type = decodedType(bits, samples, tags->photometric);
    memory.imageBytes = saturatingProduct({width, height, type.channels, type.bytesPerChannel});

    // The decoder reads a strip or a tile at a time into a buffer of its own,
    // sized from the tile size or the rows per strip as the header gives them
    // (not cut to the image's height), at four 8-bit channels when the image
    // is 8-bit (it reads those as RGBA), at the stored samples otherwise; and
    // a second one where packed samples are unpacked.
    const bool tiled = tags->tileWidth.has_value() || tags->tileLength.has_value();
    U64 tileWidth = tiled ? tags->tileWidth.value_or(0) : width;
    U64 tileHeight = tiled ? tags->tileLength.value_or(0) : tags->rowsPerStrip.value_or(0);
    if (tileWidth == 0) {
        tileWidth = width;
    }
    if (tileHeight == 0 || (!tiled && tileHeight == std::numeric_limits<std::uint32_t>::max())) {
        tileHeight = height;
    }
    if (!tiled) {
        tileHeight = rowsPerStripAsRead(*tags, width, height, bits, samples, tileHeight);
    }
    const U64 decodedBits = 8 * type.bytesPerChannel;
    U64 readBuffer = 0;
    U64 unpackBuffer = 0;
    U64 libraryBuffer = 0;
    if (decodedBits == 8) {
        readBuffer = saturatingProduct({tileHeight, tileWidth, 4});
        // libtiff decodes the strip or tile itself before it converts it to
        // RGBA: all samples of it, one plane after the other when they are
        // stored apart. Its strips are cut to the image's height.
        const U64 libraryRows = tiled ? tileHeight : std::min(tileHeight, height);
        const U64 planes =
            tags->planarConfig == U64(planarSeparate) ? std::max<U64>(samples, 4) : samples;
        libraryBuffer = saturatingProduct(
            {libraryRows, bytesForBits(saturatingProduct({tileWidth, planes, bits}))});
    } else {
        readBuffer = saturatingProduct(
            {tileHeight, bytesForBits(saturatingProduct({samples, tileWidth, bits}))});
        if (bits < decodedBits) {
            unpackBuffer = saturatingProduct(
                {tileHeight, bytesForBits(saturatingProduct({samples, tileWidth, decodedBits}))});
        }
    }
    // libtiff reads each strip or tile as stored into a buffer of its own
    // before it decodes it (the decoder gives it no mapping of the bytes).
    // Compressed data is in the file, and may be up to half as large again
    // as what it decodes to.
    const U64 storedRows = tiled ? tileHeight : std::min(tileHeight, height);
    const U64 storedBytes = saturatingProduct(
        {storedRows, bytesForBits(saturatingProduct({tileWidth, samples, bits}))});
    const U64 rawBuffer = tags->compression.value_or(compressionNone) == compressionNone
                              ? storedBytes
                              : std::min<U64>(file.size(), saturatingProduct({storedBytes, 2}));
    memory.workingBytes =
        saturatingSum({readBuffer, unpackBuffer, libraryBuffer, rawBuffer, tiffDecoderState});
    return memory;
}

} // namespace

std::uint64_t DecodeMemory::total() const {
    return saturatingSum({imageBytes, workingBytes});
}

DecodeMemory estimateDecodeMemory(const unsigned char* data, std::size_t size) {
    if (size >= 2 && std::memcmp(data, "BM", 2) == 0) {
        return bmpMemory(Bytes(data, size, false));
    }
    if (size < 4) {
        return DecodeMemory{};
    }
    const bool little =
        std::memcmp(data, "II\x2a\0", 4) == 0 || std::memcmp(data, "II\x2b\0", 4) == 0;
    const bool big = std::memcmp(data, "MM\0\x2a", 4) == 0 || std::memcmp(data, "MM\0\x2b", 4) == 0;
    if (!little && !big) {
        return DecodeMemory{};
    }
    const bool bigTiff = data[little ? 2 : 3] == 0x2b;
    return tiffMemory(Bytes(data, size, big), bigTiff);
}

bool isDecodeMemoryAcceptable(std::uint64_t estimate, std::uint64_t fileBytes) {
    return estimate <=
           std::max(decodeMemoryFloor, saturatingProduct({decodeMemoryPerFileByte, fileBytes}));
}
