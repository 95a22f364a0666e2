// Reading UTF-8 one code point at a time: well-formed text, malformed bytes
// replaced sequence by sequence, and never a byte read past the end.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "editor/text/utf8_decoder.h"

namespace {

std::vector<char32_t> Decode(std::string_view text) {
    std::vector<char32_t> codePoints;
    for (std::size_t pos = 0; pos < text.size();) codePoints.push_back(NextCodePoint(text, pos));
    return codePoints;
}

constexpr char32_t R = 0xFFFD;

}  // namespace

TEST(Utf8Decoder, ReadsWellFormedSequencesOfEveryLength) {
    EXPECT_EQ(Decode("A"), (std::vector<char32_t>{0x41}));
    EXPECT_EQ(Decode("\xC3\xA9"), (std::vector<char32_t>{0xE9}));                 // e acute
    EXPECT_EQ(Decode("\xE2\x82\xAC"), (std::vector<char32_t>{0x20AC}));           // euro sign
    EXPECT_EQ(Decode("\xF0\x9F\x8E\xB9"), (std::vector<char32_t>{0x1F3B9}));      // keyboard
    EXPECT_EQ(Decode("\xF4\x8F\xBF\xBF"), (std::vector<char32_t>{0x10FFFF}));     // the last code point
    EXPECT_EQ(Decode("\xEE\x80\x80"), (std::vector<char32_t>{0xE000}));           // just past the surrogates
    EXPECT_EQ(Decode("-oo dB"), (std::vector<char32_t>{'-', 'o', 'o', ' ', 'd', 'B'}));
    EXPECT_EQ(Decode(std::string_view("a\0b", 3)), (std::vector<char32_t>{'a', 0, 'b'}));
}

TEST(Utf8Decoder, ReplacesEachMalformedSequenceOnce) {
    // One replacement for each longest beginning of a valid sequence, and one
    // for each byte that cannot begin or continue one.
    EXPECT_EQ(Decode("\x80"), (std::vector<char32_t>{R}));                             // stray continuation
    EXPECT_EQ(Decode("\xC0\xAF"), (std::vector<char32_t>{R, R}));                      // overlong '/'
    EXPECT_EQ(Decode("\xE0\x80\xAF"), (std::vector<char32_t>{R, R, R}));               // overlong, 3 bytes
    EXPECT_EQ(Decode("\xED\xA0\x80"), (std::vector<char32_t>{R, R, R}));               // surrogate D800
    EXPECT_EQ(Decode("\xF4\x90\x80\x80"), (std::vector<char32_t>{R, R, R, R}));        // 110000, too large
    EXPECT_EQ(Decode("\xF8\x88\x80\x80\x80"), (std::vector<char32_t>{R, R, R, R, R})); // old 5-byte form
    EXPECT_EQ(Decode("\xFF\xFE"), (std::vector<char32_t>{R, R}));
    EXPECT_EQ(Decode("\xE2\x82" "A"), (std::vector<char32_t>{R, 'A'}));                // cut short by 'A'
    EXPECT_EQ(Decode("\xF0\x9F\x8E" "\xC3\xA9"), (std::vector<char32_t>{R, 0xE9}));     // cut short by a sequence
    EXPECT_EQ(Decode("a\xF0\x9F\x8E"), (std::vector<char32_t>{'a', R}));               // cut short by the end
}

TEST(Utf8Decoder, NeverReadsPastTheEndOfTheText) {
    // The bytes after the view would complete the euro sign if they were read.
    const char euro[] = "\xE2\x82\xAC";
    std::size_t pos = 0;
    EXPECT_EQ(NextCodePoint(std::string_view(euro, 2), pos), R);
    EXPECT_EQ(pos, 2u);
    pos = 0;
    EXPECT_EQ(NextCodePoint(std::string_view(euro, 1), pos), R);
    EXPECT_EQ(pos, 1u);

    // A heap block exactly as long as the text: the address sanitizer stops
    // any read beyond it.
    const auto cut = std::make_unique<char[]>(3);
    std::memcpy(cut.get(), "a\xF0\x9F", 3);
    EXPECT_EQ(Decode(std::string_view(cut.get(), 3)), (std::vector<char32_t>{'a', R}));
}
