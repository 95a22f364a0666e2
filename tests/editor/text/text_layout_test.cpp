// Laying text out in a rectangle, with a stand-in font whose every byte is
// 7 pixels wide and whose lines are 10 pixels tall, so each place and
// extent is plain arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "editor/text/text_layout.h"
#include "fixed_advance_font.h"

namespace {

using Drawn = std::vector<FixedAdvanceFont::DrawnLine>;

constexpr RasterColor kWhite{255, 255, 255, 255};
// 200 x 40 pixels at (10, 20).
constexpr RasterRect kRect{10, 20, 210, 60};
constexpr RasterRect kEverywhere{-100000, -100000, 100000, 100000};

RasterRect Measure(const FixedAdvanceFont& font, std::string_view text, TextAlign align,
                   const RasterRect& rect = kRect) {
    RasterBitmap bitmap(4, 4);
    return DrawTextInRect(bitmap, &font, text, rect, align, kWhite, 1.0f, kEverywhere, true);
}

RasterRect Draw(const FixedAdvanceFont& font, std::string_view text, TextAlign align, const RasterRect& rect = kRect,
                const RasterRect& clip = kEverywhere) {
    RasterBitmap bitmap(4, 4);
    return DrawTextInRect(bitmap, &font, text, rect, align, kWhite, 1.0f, clip, false);
}

}  // namespace

TEST(TextLayout, MeasuresOneLineForEachAlignment) {
    const FixedAdvanceFont font;
    // "Resonance": 9 x 7 = 63 pixels wide, one line of 10.
    EXPECT_EQ(Measure(font, "Resonance", TextAlign::Near), (RasterRect{10, 20, 73, 30}));
    // 10 + (200 - 63) / 2 = 10 + 68 = 78.
    EXPECT_EQ(Measure(font, "Resonance", TextAlign::Centre), (RasterRect{78, 20, 141, 30}));
    // 210 - 63 = 147.
    EXPECT_EQ(Measure(font, "Resonance", TextAlign::Far), (RasterRect{147, 20, 210, 30}));
    EXPECT_TRUE(font.Drawn().empty());
}

TEST(TextLayout, MeasuresLinesStackedOneLineHeightApart) {
    const FixedAdvanceFont font;
    // "Unison" and "Voices": 6 x 7 = 42 pixels each, two lines of 10.
    EXPECT_EQ(Measure(font, "Unison\nVoices", TextAlign::Near), (RasterRect{10, 20, 52, 40}));
    // 10 + (200 - 42) / 2 = 89.
    EXPECT_EQ(Measure(font, "Unison\nVoices", TextAlign::Centre), (RasterRect{89, 20, 131, 40}));
    EXPECT_EQ(Measure(font, "Unison\nVoices", TextAlign::Far), (RasterRect{168, 20, 210, 40}));
    // Windows line breaks, and a break at the end starting an empty line.
    EXPECT_EQ(Measure(font, "Unison\r\nVoices", TextAlign::Near), (RasterRect{10, 20, 52, 40}));
    EXPECT_EQ(Measure(font, "Unison\n", TextAlign::Near), (RasterRect{10, 20, 52, 40}));
    EXPECT_EQ(Measure(font, "A\n\nB", TextAlign::Near), (RasterRect{10, 20, 17, 50}));
    EXPECT_TRUE(font.Drawn().empty());
}

TEST(TextLayout, PlacesEachLineByItsOwnWidth) {
    // "MAX" is 21 pixels wide, "LEVEL: -oo dB" 13 x 7 = 91; the extent is the wider.
    {
        const FixedAdvanceFont font;
        EXPECT_EQ(Draw(font, "MAX\nLEVEL: -oo dB", TextAlign::Near), (RasterRect{10, 20, 101, 40}));
        EXPECT_EQ(font.Drawn(), (Drawn{{"MAX", 10, 20}, {"LEVEL: -oo dB", 10, 30}}));
    }
    {
        // 10 + (200 - 21) / 2 = 10 + 89 = 99; 10 + (200 - 91) / 2 = 10 + 54 = 64.
        const FixedAdvanceFont font;
        EXPECT_EQ(Draw(font, "MAX\nLEVEL: -oo dB", TextAlign::Centre), (RasterRect{64, 20, 155, 40}));
        EXPECT_EQ(font.Drawn(), (Drawn{{"MAX", 99, 20}, {"LEVEL: -oo dB", 64, 30}}));
    }
    {
        // 210 - 21 = 189; 210 - 91 = 119.
        const FixedAdvanceFont font;
        EXPECT_EQ(Draw(font, "MAX\nLEVEL: -oo dB", TextAlign::Far), (RasterRect{119, 20, 210, 40}));
        EXPECT_EQ(font.Drawn(), (Drawn{{"MAX", 189, 20}, {"LEVEL: -oo dB", 119, 30}}));
    }
    {
        const FixedAdvanceFont font;
        Draw(font, "Unison\r\nVoices", TextAlign::Near);
        EXPECT_EQ(font.Drawn(), (Drawn{{"Unison", 10, 20}, {"Voices", 10, 30}}));
    }
}

TEST(TextLayout, CentresWithIntegerDivisionRoundingTowardZero) {
    const FixedAdvanceFont font;
    // 63 pixels in a rect 20 wide at x = 10: (20 - 63) / 2 = -43 / 2 = -21, left 10 - 21 = -11.
    EXPECT_EQ(Measure(font, "Resonance", TextAlign::Centre, {10, 20, 30, 40}), (RasterRect{-11, 20, 52, 30}));
    // 14 pixels in a rect 21 wide at x = 0: (21 - 14) / 2 = 3.
    EXPECT_EQ(Measure(font, "ab", TextAlign::Centre, {0, 0, 21, 10}), (RasterRect{3, 0, 17, 10}));
}

TEST(TextLayout, DrawsLinesPastTheRectButNotThoseOutsideTheClip) {
    {
        // The rect is 20 wide, the line 63: still drawn whole, from its left edge.
        const FixedAdvanceFont font;
        EXPECT_EQ(Draw(font, "Resonance", TextAlign::Near, {10, 20, 30, 25}), (RasterRect{10, 20, 73, 30}));
        EXPECT_EQ(font.Drawn(), (Drawn{{"Resonance", 10, 20}}));
    }
    {
        // Lines at 20..30, 30..40 and 40..50; the clip holds only rows 31..38.
        const FixedAdvanceFont font;
        EXPECT_EQ(Draw(font, "A\nB\nC", TextAlign::Near, kRect, {0, 31, 300, 39}), (RasterRect{10, 20, 17, 50}));
        EXPECT_EQ(font.Drawn(), (Drawn{{"B", 10, 30}}));
    }
}

TEST(TextLayout, NoFontOrNoTextDrawsNothing) {
    RasterBitmap bitmap(8, 8);
    bitmap.Fill(0xFF123456u);
    EXPECT_EQ(DrawTextInRect(bitmap, nullptr, "Resonance", kRect, TextAlign::Centre, kWhite, 1.0f, bitmap.Bounds(), false),
              (RasterRect{10, 20, 10, 20}));
    EXPECT_EQ(DrawTextInRect(bitmap, nullptr, "Resonance", kRect, TextAlign::Far, kWhite, 1.0f, bitmap.Bounds(), true),
              (RasterRect{10, 20, 10, 20}));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) ASSERT_EQ(bitmap.At(x, y), 0xFF123456u);
    }

    const FixedAdvanceFont font;
    EXPECT_EQ(DrawTextInRect(bitmap, &font, "", kRect, TextAlign::Far, kWhite, 1.0f, bitmap.Bounds(), false),
              (RasterRect{10, 20, 10, 20}));
    EXPECT_TRUE(font.Drawn().empty());
}
