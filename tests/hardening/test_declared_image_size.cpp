// The size that an image file's header declares, read before decoding: an
// upper bound of what the decoder allocates, for every header layout that the
// decoder reads, so that no layout slips past the capture's memory limit.

#include "DeclaredImageSize.h"

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>

#include <sstream>

namespace {

std::optional<std::uint64_t> declared(const std::string& bytes) {
    std::istringstream file(bytes);
    return declaredImageBytes(file);
}

struct EncodedCase {
    const char* name;
    const char* extension;
    int type;
};

class DeclaredSizeOfEncoded : public testing::TestWithParam<EncodedCase> {};

TEST_P(DeclaredSizeOfEncoded, boundsWhatTheDecoderMakesOfIt) {
    const cv::Mat image(30, 50, GetParam().type, cv::Scalar::all(7));
    std::vector<uchar> encoded;
    ASSERT_TRUE(cv::imencode(GetParam().extension, image, encoded));
    const cv::Mat decoded = cv::imdecode(encoded, cv::IMREAD_UNCHANGED);
    ASSERT_FALSE(decoded.empty());
    const auto bytes = declared(std::string(encoded.begin(), encoded.end()));
    ASSERT_TRUE(bytes.has_value());
    const std::uint64_t actual = decoded.total() * decoded.elemSize();
    EXPECT_GE(*bytes, actual);
    EXPECT_LE(*bytes, 4 * actual);
}

INSTANTIATE_TEST_SUITE_P(Formats, DeclaredSizeOfEncoded,
                         testing::Values(EncodedCase{"bmpGrey", ".bmp", CV_8UC1},
                                         EncodedCase{"bmpColour", ".bmp", CV_8UC3},
                                         EncodedCase{"bmpAlpha", ".bmp", CV_8UC4},
                                         EncodedCase{"tiffGrey", ".tiff", CV_8UC1},
                                         EncodedCase{"tiffGrey16", ".tiff", CV_16UC1},
                                         EncodedCase{"tiffColour16", ".tiff", CV_16UC3},
                                         EncodedCase{"tiffFloat", ".tiff", CV_32FC1}),
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
    std::optional<std::uint64_t> expected;
};

class DeclaredSizeOfHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(DeclaredSizeOfHeader, isReadFromEveryLayout) {
    EXPECT_EQ(declared(GetParam().bytes), GetParam().expected);
}

std::string bmpCoreHeader(std::int16_t width, std::int16_t height, std::uint16_t bits) {
    std::string bytes = "BM";
    bytes.append(12, '\0'); // file size, reserved, data offset: not read
    put(bytes, 12, 4, false);
    put(bytes, static_cast<std::uint16_t>(width), 2, false);
    put(bytes, static_cast<std::uint16_t>(height), 2, false);
    put(bytes, 1, 2, false);
    put(bytes, bits, 2, false);
    put(bytes, 0, 4, false);
    return bytes;
}

// The samples-per-pixel entry (the fourth) given a type that no decoder
// accepts: it is passed over, as the decoder passes over it.
std::string tiffWithUnusableSamplesEntry() {
    std::string bytes = tiffDeclaring(false, false, 1000, 500, 16, 7);
    bytes[8 + 2 + 3 * 12 + 2] = 0;
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, DeclaredSizeOfHeader,
    testing::Values(
        HeaderCase{"littleEndianTiff", tiffDeclaring(false, false, 1000, 500, 16, 3),
                   1000u * 500 * 4 * 2},
        HeaderCase{"bigEndianTiff", tiffDeclaring(true, false, 1000, 500, 16, 5),
                   1000u * 500 * 5 * 2},
        HeaderCase{"bigTiff", tiffDeclaring(false, true, 70000, 60000, 16, 3),
                   std::uint64_t(70000) * 60000 * 4 * 2},
        HeaderCase{"bigEndianBigTiff", tiffDeclaring(true, true, 70000, 60000, 8, 1),
                   std::uint64_t(70000) * 60000 * 4},
        HeaderCase{"unusableEntryIsPassedOver", tiffWithUnusableSamplesEntry(),
                   1000u * 500 * 4 * 2},
        HeaderCase{"bmpCoreHeaderTopDown", bmpCoreHeader(300, -200, 24), 300u * 200 * 3},
        HeaderCase{"tiffCutShort", tiffDeclaring(false, false, 10, 10, 8, 1).substr(0, 40),
                   std::nullopt},
        HeaderCase{"png", std::string("\x89PNG\r\n\x1a\n", 8), std::nullopt},
        HeaderCase{"empty", std::string(), std::nullopt}),
    [](const testing::TestParamInfo<HeaderCase>& info) { return info.param.name; });

} // namespace
