// The memory that decoding a file takes, worked out from its bytes before
// decoding: the decoded image exactly as the decoder makes it, for every
// header layout that the decoder reads, so that no layout slips past the
// capture's memory limit and no real image is counted as more than it is.

#include "DecodeMemory.h"
#include "FileBytes.h"

#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace {

DecodeMemory estimateOf(const std::string& bytes) {
    return estimateDecodeMemory(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

struct EncodedCase {
    const char* name;
    const char* extension;
    int type;
};

class DecodeMemoryOfEncoded : public testing::TestWithParam<EncodedCase> {};

// The image's share of the estimate is the decoded image itself, channels
// and depth as the decoder gives them; the decoder's buffers come on top.
TEST_P(DecodeMemoryOfEncoded, countsTheImageThatTheDecoderMakes) {
    const cv::Mat image(30, 50, GetParam().type, cv::Scalar::all(7));
    std::vector<uchar> encoded;
    ASSERT_TRUE(cv::imencode(GetParam().extension, image, encoded));
    const cv::Mat decoded = cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
    ASSERT_FALSE(decoded.empty());
    const DecodeMemory memory = estimateOf(std::string(encoded.begin(), encoded.end()));
    ASSERT_TRUE(memory.headerRead);
    EXPECT_EQ(memory.imageBytes, decoded.total() * decoded.elemSize());
    EXPECT_GE(memory.total(), memory.imageBytes);
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeMemoryOfEncoded,
                         testing::Values(EncodedCase{"bmpGrey", ".bmp", CV_8UC1},
                                         EncodedCase{"bmpColour", ".bmp", CV_8UC3},
                                         EncodedCase{"bmpAlpha", ".bmp", CV_8UC4},
                                         EncodedCase{"tiffGrey", ".tiff", CV_8UC1},
                                         EncodedCase{"tiffColour", ".tiff", CV_8UC3},
                                         EncodedCase{"tiffAlpha", ".tiff", CV_8UC4},
                                         EncodedCase{"tiffGrey16", ".tiff", CV_16UC1},
                                         EncodedCase{"tiffColour16", ".tiff", CV_16UC3},
                                         EncodedCase{"tiffFloat", ".tiff", CV_32FC1},
                                         EncodedCase{"tiffFloatColour", ".tiff", CV_32FC3},
                                         EncodedCase{"tiffDouble", ".tiff", CV_64FC1}),
                         [](const testing::TestParamInfo<EncodedCase>& info) {
                             return info.param.name;
                         });

void put(std::string& bytes, std::uint64_t value, int size, bool bigEndian) {
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (bigEndian ? size - 1 - i : i);
        bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

// A first directory with width, height, bits per sample (three values, in
// the entry itself where they fit) and samples per pixel, in either byte order and
// either TIFF flavour.
std::string tiffDeclaring(bool bigEndian, bool bigTiff, std::uint32_t width, std::uint32_t height,
                          std::uint16_t bits, std::uint16_t samples) {
    std::string bytes = bigEndian ? "MM" : "II";
    const int offsetSize = bigTiff ? 8 : 4;
    put(bytes, bigTiff ? 43 : 42, 2, bigEndian);
    if (bigTiff) {
        put(bytes, 8, 2, bigEndian);
        put(bytes, 0, 2, bigEndian);
    }
    const std::uint64_t directory = bigTiff ? 16 : 8;
    put(bytes, directory, offsetSize, bigEndian);
    const int entries = 4;
    const int entrySize = bigTiff ? 20 : 12;
    const std::uint64_t bitsTable =
        directory + (bigTiff ? 8 : 2) + entries * entrySize + offsetSize;
    put(bytes, entries, bigTiff ? 8 : 2, bigEndian);
    const auto entry = [&](std::uint16_t tag, std::uint16_t type, std::uint64_t count,
                           std::uint64_t value, int valueSize) {
        put(bytes, tag, 2, bigEndian);
        put(bytes, type, 2, bigEndian);
        put(bytes, count, offsetSize, bigEndian);
        put(bytes, value, valueSize, bigEndian); // left-justified in the field
        put(bytes, 0, offsetSize - valueSize, bigEndian);
    };
    entry(256, 4, 1, width, 4);
    entry(257, 3, 1, height & 0xFFFF, 2);
    if (bigTiff) { // three 16-bit values fit in the entry's 8-byte field
        entry(258, 3, 3, bits, 2);
        bytes.resize(bytes.size() - 6);
        for (int i = 0; i < 3; ++i) {
            put(bytes, bits, 2, bigEndian);
        }
    } else {
        entry(258, 3, 3, bitsTable, offsetSize);
    }
    entry(277, 3, 1, samples, 2);
    put(bytes, 0, offsetSize, bigEndian);
    for (int i = 0; i < 3; ++i) {
        put(bytes, bits, 2, bigEndian);
    }
    return bytes;
}

struct HeaderCase {
    const char* name;
    std::string bytes;
    ImageFormat format;
    bool headerRead;
    std::uint64_t imageBytes;
};

class DecodeMemoryOfHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(DecodeMemoryOfHeader, isReadFromEveryLayout) {
    const DecodeMemory memory = estimateOf(GetParam().bytes);
    EXPECT_EQ(memory.format, GetParam().format);
    EXPECT_EQ(memory.headerRead, GetParam().headerRead);
    EXPECT_EQ(memory.imageBytes, GetParam().imageBytes);
}

// BITMAPCOREHEADER: unsigned 16-bit sizes.
std::string bmpCoreHeader(std::uint16_t width, std::uint16_t height, std::uint16_t bits) {
    std::string bytes = "BM";
    bytes.append(12, '\0'); // file size, reserved, data offset: not read
    put(bytes, 12, 4, false);
    put(bytes, width, 2, false);
    put(bytes, height, 2, false);
    put(bytes, 1, 2, false);
    put(bytes, bits, 2, false);
    put(bytes, 0, 4, false);
    return bytes;
}

// BITMAPINFOHEADER with a palette of the given grey or coloured entries.
std::string bmpInfoHeader(std::int32_t width, std::int32_t height, std::uint16_t bits,
                          std::uint32_t compression, int paletteEntries, bool greyPalette) {
    std::string bytes = "BM";
    bytes.append(12, '\0');
    put(bytes, 40, 4, false);
    put(bytes, static_cast<std::uint32_t>(width), 4, false);
    put(bytes, static_cast<std::uint32_t>(height), 4, false);
    put(bytes, 1, 2, false);
    put(bytes, bits, 2, false);
    put(bytes, compression, 4, false);
    bytes.append(12, '\0'); // image size, resolution: not read
    put(bytes, static_cast<std::uint32_t>(paletteEntries), 4, false);
    put(bytes, 0, 4, false);
    for (int i = 0; i < paletteEntries; ++i) {
        const auto level = static_cast<char>(i);
        bytes += std::string{level, greyPalette ? level : static_cast<char>(i + 1), level, '\0'};
    }
    return bytes;
}

// The samples-per-pixel entry (the fourth) given a type that no decoder
// accepts: it is passed over, as the decoder passes over it, and the
// colour model's default of three samples holds.
std::string tiffWithUnusableSamplesEntry() {
    std::string bytes = tiffDeclaring(false, false, 1000, 500, 16, 7);
    bytes[8 + 2 + 3 * 12 + 2] = 0;
    return bytes;
}

constexpr auto bmp = ImageFormat::Bmp;
constexpr auto tiff = ImageFormat::Tiff;
constexpr auto other = ImageFormat::Other;

INSTANTIATE_TEST_SUITE_P(
    Headers, DecodeMemoryOfHeader,
    testing::Values(
        // No colour model is given, so the stored samples are kept.
        HeaderCase{"littleEndianTiff", tiffDeclaring(false, false, 1000, 500, 16, 3), tiff, true,
                   1000u * 500 * 3 * 2},
        HeaderCase{"bigEndianTiff", tiffDeclaring(true, false, 1000, 500, 16, 4), tiff, true,
                   1000u * 500 * 4 * 2},
        // Five samples are read as 8 bits.
        HeaderCase{"oddSampleCountIsReadAs8Bits", tiffDeclaring(true, false, 1000, 500, 16, 5),
                   tiff, true, 1000u * 500 * 5},
        HeaderCase{"bigTiff", tiffDeclaring(false, true, 70000, 60000, 16, 3), tiff, true,
                   std::uint64_t(70000) * 60000 * 3 * 2},
        HeaderCase{"bigEndianBigTiff", tiffDeclaring(true, true, 70000, 60000, 8, 1), tiff, true,
                   std::uint64_t(70000) * 60000},
        HeaderCase{"unusableEntryIsPassedOver", tiffWithUnusableSamplesEntry(), tiff, true,
                   1000u * 500 * 3 * 2},
        // A 16-bit unsigned width is not a negative one; the decoder makes
        // one grey channel of any core header.
        HeaderCase{"bmpCoreHeaderWidthAbove32767", bmpCoreHeader(60000, 2, 24), bmp, true,
                   60000u * 2},
        HeaderCase{"bmpGreyPaletteIsOneChannel", bmpInfoHeader(300, -200, 8, 0, 256, true), bmp,
                   true, 300u * 200},
        HeaderCase{"bmpColourPaletteIsThreeChannels", bmpInfoHeader(300, 200, 8, 0, 16, false), bmp,
                   true, 300u * 200 * 3},
        HeaderCase{"bmp32BitRgbIsThreeChannels", bmpInfoHeader(300, 200, 32, 0, 0, true), bmp, true,
                   300u * 200 * 3},
        HeaderCase{"bmp32BitBitfieldsIsFourChannels", bmpInfoHeader(300, 200, 32, 3, 0, true), bmp,
                   true, 300u * 200 * 4},
        HeaderCase{"bmpPaletteCutShortCountsColour",
                   bmpInfoHeader(300, 200, 8, 0, 256, true).substr(0, 100), bmp, true,
                   300u * 200 * 3},
        HeaderCase{"bmpCutInItsHeader", bmpInfoHeader(300, 200, 24, 0, 0, true).substr(0, 40), bmp,
                   false, 0},
        HeaderCase{"tiffCutShort", tiffDeclaring(false, false, 10, 10, 8, 1).substr(0, 40), tiff,
                   false, 0},
        HeaderCase{"png", std::string("\x89PNG\r\n\x1a\n", 8), other, false, 0},
        HeaderCase{"empty", std::string(), other, false, 0}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

// Reading a selected file into memory: what is read whole, and what is not
// read at all.
struct ReadCase {
    const char* name;
    // Makes the file at path; false when it cannot be made here.
    bool (*make)(const std::string& path);
    FileReadResult expected;
};

class ReadRegularFile : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadRegularFile, readsWholeRegularFilesAndNothingElse) {
    const TempTree tree;
    const std::string path = tree.path("camera2_x.bmp");
    ASSERT_TRUE(GetParam().make(path));
    FileBytes bytes;
    EXPECT_EQ(readRegularFile(path, bytes), GetParam().expected);
    if (GetParam().expected == FileReadResult::Read) {
        EXPECT_FALSE(bytes.empty());
    } else {
        EXPECT_TRUE(bytes.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadRegularFile,
    testing::Values(
        ReadCase{"smallFile",
                 [](const std::string& path) {
                     return static_cast<bool>(std::ofstream(path) << "BM and more");
                 },
                 FileReadResult::Read},
        // A kernel file reports no size; it is read to its end.
        ReadCase{"fileThatReportsNoSize",
                 [](const std::string& path) {
                     return ::symlink("/proc/self/status", path.c_str()) == 0;
                 },
                 FileReadResult::Read},
        // Larger than the decoder takes: not read into the host's memory.
        // Sparse, so it costs no disk.
        ReadCase{"sparseFileOf3GiB",
                 [](const std::string& path) {
                     std::ofstream(path) << "BM";
                     return ::truncate(path.c_str(), off_t(3) << 30) == 0;
                 },
                 FileReadResult::TooLarge},
        ReadCase{"namedPipe",
                 [](const std::string& path) { return ::mkfifo(path.c_str(), 0600) == 0; },
                 FileReadResult::NotRegularFile},
        ReadCase{"folder", [](const std::string& path) { return ::mkdir(path.c_str(), 0700) == 0; },
                 FileReadResult::NotRegularFile},
        ReadCase{"missing", [](const std::string&) { return true; },
                 FileReadResult::NotRegularFile}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

} // namespace
