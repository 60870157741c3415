#include "TextShortening.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ShorteningCase {
    std::string text;
    std::size_t fittingLength; // texts of at most this many characters fit
    std::string expected;
};

class ShortenedFromLeft : public testing::TestWithParam<ShorteningCase> {};

TEST_P(ShortenedFromLeft, keepsTheLongestEndThatFitsBehindDots) {
    const ShorteningCase& param = GetParam();
    const std::string shown = shortenedFromLeft(param.text, [&param](const std::string& text) {
        return text.size() <= param.fittingLength;
    });
    EXPECT_EQ(shown, param.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShortenedFromLeft,
                         testing::Values(ShorteningCase{"day1/shot_0003", 14, "day1/shot_0003"},
                                         ShorteningCase{"day1/shot_0003", 13, ".../shot_0003"},
                                         ShorteningCase{"day1/shot_0003", 12, "...shot_0003"},
                                         ShorteningCase{"day1/shot_0003", 11, "...hot_0003"},
                                         ShorteningCase{"day1/shot_0003", 4, "...3"},
                                         ShorteningCase{"day1/shot_0003", 3, "..."},
                                         ShorteningCase{"day1/shot_0003", 2, ""},
                                         ShorteningCase{"", 0, ""}));

} // namespace
