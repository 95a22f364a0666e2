// The system's fonts at work: what "Arial" resolves to, line metrics,
// widths against the platform's own advance widths, the extent of laid-out
// text, and the pixels drawing leaves.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/raster/raster_bitmap.h"
#include "editor/text/font_cache.h"
#include "editor/text/raster_font.h"
#include "editor/text/text_layout.h"
#include "font_reference.h"

#if !defined(_WIN32)
#include "editor/text/fontconfig_match.h"
#endif

namespace {

constexpr RasterColor kWhite{255, 255, 255, 255};
constexpr std::uint32_t kOpaqueBlack = 0xFF000000u;
constexpr RasterRect kRect{10, 20, 210, 60};  // 200 x 40
constexpr TextAlign kAlignments[] = {TextAlign::Near, TextAlign::Centre, TextAlign::Far};

std::shared_ptr<const RasterFont> Arial(int cellHeight, FontStyle style = FontStyle::Normal) {
    return FontCache::Shared().Get("Arial", cellHeight, style);
}

std::string LiberationFile(const char* name) { return std::string(DUNEROW_LIBERATION_DIR) + "/" + name; }

struct LineMetrics {
    int height = 0;
    int ascent = 0;
};

// Arial's line height and ascent at a 13 pixel cell.
LineMetrics ExpectedArial13() {
#if defined(_WIN32)
    const GdiLineMetrics gdi = ReferenceLineMetrics("Arial", FontStyle::Normal, 13);
    return {gdi.height, gdi.ascent};
#else
    // Liberation Sans: 2048 units/em, ascent 1854 and descent 434 (cell 2288).
    // 13 px cell: 13 * 2048 / 2288 = 11.64 -> a whole 12 px/em;
    // ascent 1854 * 12 / 2048 = 10.86 -> 11, descent 434 * 12 / 2048 = 2.54 -> 3.
    return {14, 11};
#endif
}

// The smallest rectangle holding every pixel that is not `background`.
RasterRect ChangedArea(const RasterBitmap& bitmap, std::uint32_t background) {
    RasterRect area;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            if (bitmap.At(x, y) != background) area = area.Union({x, y, x + 1, y + 1});
        }
    }
    return area;
}

int CountPixels(const RasterBitmap& bitmap, std::uint32_t value) {
    int count = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) count += bitmap.At(x, y) == value ? 1 : 0;
    }
    return count;
}

bool SamePixels(const RasterBitmap& a, const RasterBitmap& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int x = 0; x < a.Width(); ++x) {
            if (a.At(x, y) != b.At(x, y)) return false;
        }
    }
    return true;
}

}  // namespace

#if !defined(_WIN32)
TEST(SystemFont, ArialResolvesToLiberationSansInEachStyle) {
    struct Style {
        FontStyle style;
        bool bold;
        bool italic;
    };
    for (const Style& want : {Style{FontStyle::Normal, false, false}, Style{FontStyle::Bold, true, false},
                              Style{FontStyle::Italic, false, true}}) {
        const auto file = MatchFontFile("Arial", want.style);
        ASSERT_TRUE(file.has_value());
        SCOPED_TRACE(file->path);
        const FreeTypeFaceNames names = ReadFaceNames(file->path, file->faceIndex);
        EXPECT_EQ(names.family, "Liberation Sans");
        EXPECT_EQ(names.bold, want.bold);
        EXPECT_EQ(names.italic, want.italic);
    }
}
#endif

TEST(SystemFont, LineHeightIsTheCellGdiGives) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    const LineMetrics expected = ExpectedArial13();
    EXPECT_EQ(font->LineHeight(), expected.height);
    EXPECT_EQ(font->Ascent(), expected.ascent);

#if defined(_WIN32)
    const GdiLineMetrics gdi20 = ReferenceLineMetrics("Arial", FontStyle::Normal, 20);
    EXPECT_EQ(Arial(20)->LineHeight(), gdi20.height);
    EXPECT_EQ(Arial(20)->Ascent(), gdi20.ascent);
#else
    // 20 px cell: 20 * 2048 / 2288 = 17.90 -> 18 px/em;
    // ascent 1854 * 18 / 2048 = 16.29 -> 16, descent 434 * 18 / 2048 = 3.81 -> 4.
    EXPECT_EQ(Arial(20)->LineHeight(), 20);
    EXPECT_EQ(Arial(20)->Ascent(), 16);
#endif
}

TEST(SystemFont, WidthIsTheSumOfTheFontsWholePixelAdvances) {
    for (const FontStyle style : {FontStyle::Normal, FontStyle::Bold, FontStyle::Italic}) {
        const auto font = Arial(13, style);
        ASSERT_NE(font, nullptr);
        for (const char* text : {"Resonance", "MAX LEVEL: -oo dB"}) {
            SCOPED_TRACE(text);
            const std::vector<int> advances = ReferenceAdvances("Arial", style, 13, text);
            ASSERT_EQ(advances.size(), std::strlen(text));
            for (const int advance : advances) ASSERT_GT(advance, 0);
            EXPECT_EQ(font->MeasureLine(text), ReferenceAdvanceSum("Arial", style, 13, text));
        }
    }
    EXPECT_EQ(Arial(13)->MeasureLine(""), 0);

#if !defined(_WIN32)
    // Against the unhinted advances of the font's metrics table at 12 px/em
    // (the 13 px cell, worked out above): hinting moves each by at most a pixel.
    const auto file = MatchFontFile("Arial", FontStyle::Normal);
    ASSERT_TRUE(file.has_value());
    for (const char* text : {"Resonance", "MAX LEVEL: -oo dB"}) {
        SCOPED_TRACE(text);
        const DesignAdvances design = ReadDesignAdvances(file->path, text);
        ASSERT_EQ(design.unitsPerEm, 2048);
        int scaled = 0;
        for (const int advance : design.advances) {
            ASSERT_GT(advance, 0);
            scaled += (advance * 12 + 1024) / 2048;
        }
        const int glyphs = static_cast<int>(design.advances.size());
        EXPECT_NEAR(Arial(13)->MeasureLine(text), scaled, glyphs);
    }
#endif
}

#if !defined(_WIN32)
TEST(SystemFont, LaysOutLikeGdiUnderWine) {
    // Wine 8 maps Arial to the same Liberation Sans; its GDI reports at a
    // 13 px cell (GetCharWidth32W, GetTextMetricsW): tmHeight 14, tmAscent 11,
    // R9 e7 s6 o7 n7 a7 c6 -> "Resonance" 9+7+6+7+7+7+7+6+7 = 63;
    // M10 A8 X8 space3 L7 E8 V8 :3 -4 o7 d7 B8 ->
    // "MAX LEVEL: -oo dB" 10+8+8+3+7+8+8+8+7+3+3+4+7+7+3+7+8 = 109.
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->LineHeight(), 14);
    EXPECT_EQ(font->Ascent(), 11);
    EXPECT_EQ(font->MeasureLine("Resonance"), 63);
    EXPECT_EQ(font->MeasureLine("MAX LEVEL: -oo dB"), 109);
}
#endif

TEST(SystemFont, MeasureModeGivesTheExtentOfTheText) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    const int lineHeight = ExpectedArial13().height;
    RasterBitmap bitmap(240, 80);
    bitmap.Fill(kOpaqueBlack);

    const int resonance = ReferenceAdvanceSum("Arial", FontStyle::Normal, 13, "Resonance");
    const auto measure = [&](std::string_view text, TextAlign align) {
        return DrawTextInRect(bitmap, font.get(), text, kRect, align, kWhite, 1.0f, bitmap.Bounds(), true);
    };
    EXPECT_EQ(measure("Resonance", TextAlign::Near), (RasterRect{10, 20, 10 + resonance, 20 + lineHeight}));
    const int centred = 10 + (200 - resonance) / 2;
    EXPECT_EQ(measure("Resonance", TextAlign::Centre), (RasterRect{centred, 20, centred + resonance, 20 + lineHeight}));
    EXPECT_EQ(measure("Resonance", TextAlign::Far), (RasterRect{210 - resonance, 20, 210, 20 + lineHeight}));

    const int widest = std::max(ReferenceAdvanceSum("Arial", FontStyle::Normal, 13, "Unison"),
                                ReferenceAdvanceSum("Arial", FontStyle::Normal, 13, "Voices"));
    EXPECT_EQ(measure("Unison\nVoices", TextAlign::Near), (RasterRect{10, 20, 10 + widest, 20 + 2 * lineHeight}));
    const int centredWidest = 10 + (200 - widest) / 2;
    EXPECT_EQ(measure("Unison\nVoices", TextAlign::Centre),
              (RasterRect{centredWidest, 20, centredWidest + widest, 20 + 2 * lineHeight}));
    EXPECT_EQ(measure("Unison\nVoices", TextAlign::Far), (RasterRect{210 - widest, 20, 210, 20 + 2 * lineHeight}));

    EXPECT_EQ(ChangedArea(bitmap, kOpaqueBlack), RasterRect{});
}

TEST(SystemFontDrawing, CoverageStaysInsideTheMeasuredExtent) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    RasterBitmap bitmap(240, 80);
    for (const char* text : {"Resonance", "MAX LEVEL: -oo dB", "Unison\nVoices"}) {
        for (const TextAlign align : kAlignments) {
            SCOPED_TRACE(::testing::Message() << text << " alignment " << static_cast<int>(align));
            bitmap.Fill(kOpaqueBlack);
            const RasterRect measured =
                DrawTextInRect(bitmap, font.get(), text, kRect, align, kWhite, 1.0f, bitmap.Bounds(), true);
            const RasterRect drawn =
                DrawTextInRect(bitmap, font.get(), text, kRect, align, kWhite, 1.0f, bitmap.Bounds(), false);
            EXPECT_EQ(drawn, measured);
            const RasterRect changed = ChangedArea(bitmap, kOpaqueBlack);
            EXPECT_FALSE(changed.Empty());
            EXPECT_EQ(measured.Union(changed), measured) << "ink from (" << changed.left << ", " << changed.top
                                                         << ") to (" << changed.right << ", " << changed.bottom << ")";
        }
    }
}

TEST(SystemFontDrawing, FullyCoveredPixelsTakeTheColour) {
    // A 40 pixel "I" has a stem several pixels wide, wholly covered inside.
    const auto font = Arial(40);
    ASSERT_NE(font, nullptr);
    RasterBitmap bitmap(60, 60);

    bitmap.Fill(kOpaqueBlack);
    DrawTextInRect(bitmap, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, kWhite, 1.0f, bitmap.Bounds(), false);
    EXPECT_GT(CountPixels(bitmap, 0xFFFFFFFFu), 0);

    // Over transparent black a covered pixel is the colour itself, and a
    // partly covered one a fraction of it.
    bitmap.Fill(0);
    const RasterColor steel{255, 0x20, 0x80, 0xC0};
    DrawTextInRect(bitmap, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, steel, 1.0f, bitmap.Bounds(), false);
    EXPECT_GT(CountPixels(bitmap, 0xFF2080C0u), 0);
    for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
            const std::uint32_t p = bitmap.At(x, y);
            ASSERT_LE((p >> 16) & 0xFFu, 0x20u);
            ASSERT_LE((p >> 8) & 0xFFu, 0x80u);
            ASSERT_LE(p & 0xFFu, 0xC0u);
        }
    }

    // Half-transparent colour, premultiplied: alpha 128,
    // r 0x20 * 128 / 255 = 16.06 -> 0x10, g 0x80 * 128 / 255 = 64.25 -> 0x40,
    // b 0xC0 * 128 / 255 = 96.38 -> 0x60.
    bitmap.Fill(0);
    const RasterColor glass{128, 0x20, 0x80, 0xC0};
    DrawTextInRect(bitmap, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, glass, 1.0f, bitmap.Bounds(), false);
    EXPECT_GT(CountPixels(bitmap, 0x80104060u), 0);
}

TEST(SystemFontDrawing, AlphaScalesTheColour) {
    const auto font = Arial(40);
    ASSERT_NE(font, nullptr);
    RasterBitmap full(60, 60);
    full.Fill(kOpaqueBlack);
    DrawTextInRect(full, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, kWhite, 1.0f, full.Bounds(), false);

    // Alpha 0.5 is 128 in 8 bits (127.5 rounded up): white at 128 over opaque
    // black gives 128 in each colour, alpha 128 + 255 * 127 / 255 = 255.
    RasterBitmap half(60, 60);
    half.Fill(kOpaqueBlack);
    DrawTextInRect(half, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, kWhite, 0.5f, half.Bounds(), false);
    const int covered = CountPixels(full, 0xFFFFFFFFu);
    ASSERT_GT(covered, 0);
    EXPECT_EQ(CountPixels(half, 0xFF808080u), covered);
    for (int y = 0; y < full.Height(); ++y) {
        for (int x = 0; x < full.Width(); ++x) {
            if (full.At(x, y) == 0xFFFFFFFFu) {
                ASSERT_EQ(half.At(x, y), 0xFF808080u) << x << ", " << y;
            }
            // Nothing brighter than half grey anywhere.
            ASSERT_LE(half.At(x, y) & 0xFFu, 0x80u) << x << ", " << y;
        }
    }

    RasterBitmap none(60, 60);
    none.Fill(kOpaqueBlack);
    DrawTextInRect(none, font.get(), "I", {0, 0, 60, 60}, TextAlign::Centre, kWhite, 0.0f, none.Bounds(), false);
    EXPECT_EQ(ChangedArea(none, kOpaqueBlack), RasterRect{});
}

TEST(SystemFontDrawing, DrawsOnlyInsideTheClipButPastTheRect) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    RasterBitmap bitmap(200, 30);

    bitmap.Fill(kOpaqueBlack);
    const RasterRect clip{20, 2, 60, 10};
    DrawTextInRect(bitmap, font.get(), "MAX LEVEL: -oo dB", {0, 0, 200, 30}, TextAlign::Near, kWhite, 1.0f, clip, false);
    const RasterRect changed = ChangedArea(bitmap, kOpaqueBlack);
    EXPECT_FALSE(changed.Empty());
    EXPECT_EQ(clip.Union(changed), clip);

    bitmap.Fill(kOpaqueBlack);
    DrawTextInRect(bitmap, font.get(), "MAX LEVEL: -oo dB", {0, 0, 200, 30}, TextAlign::Near, kWhite, 1.0f,
                   {0, 40, 200, 60}, false);
    EXPECT_EQ(ChangedArea(bitmap, kOpaqueBlack), RasterRect{});

    // A rect 20 pixels wide holds a fraction of the line; the rest is drawn beyond it.
    bitmap.Fill(kOpaqueBlack);
    DrawTextInRect(bitmap, font.get(), "MAX LEVEL: -oo dB", {5, 5, 25, 20}, TextAlign::Near, kWhite, 1.0f,
                   bitmap.Bounds(), false);
    EXPECT_GT(ChangedArea(bitmap, kOpaqueBlack).right, 60);
}

TEST(SystemFontDrawing, ManyThreadsDrawTheSamePixels) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    const auto draw = [&](RasterBitmap& bitmap) {
        bitmap.Fill(kOpaqueBlack);
        DrawTextInRect(bitmap, font.get(), "Resonance\nMAX LEVEL: -oo dB", {0, 0, 160, 40}, TextAlign::Centre, kWhite,
                       1.0f, bitmap.Bounds(), false);
    };
    RasterBitmap reference(160, 40);
    draw(reference);
    ASSERT_FALSE(ChangedArea(reference, kOpaqueBlack).Empty());

    constexpr int kThreads = 6;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            RasterBitmap bitmap(160, 40);
            for (int round = 0; round < 20; ++round) {
                draw(bitmap);
                if (!SamePixels(bitmap, reference)) ++mismatches[static_cast<std::size_t>(t)];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(kThreads, 0));
}

TEST(SystemFontText, MalformedUtf8MeasuresAsReplacementCharacters) {
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    // A lone bad byte is one replacement character (U+FFFD, EF BF BD in UTF-8).
    EXPECT_EQ(font->MeasureLine("\xFF"), font->MeasureLine("\xEF\xBF\xBD"));
    EXPECT_EQ(font->MeasureLine("a\xFF" "b"), font->MeasureLine("a\xEF\xBF\xBD" "b"));
    EXPECT_GT(font->MeasureLine("\xEF\xBF\xBD"), 0);

    RasterBitmap bitmap(200, 40);
    const std::string_view samples[] = {"\xFF",        "\x80\x80",          "\xC0\xAF",         "\xED\xA0\x80",
                                        "\xF4\x90\x80\x80", "Reso\xE2\x82",  "\xF0\x9F\x8E",     "\xE2\x82\n\xC3",
                                        std::string_view("a\0b", 3)};
    for (const std::string_view sample : samples) {
        // A heap copy exactly as long as the text, so the address sanitizer
        // stops any read past its end.
        const auto copy = std::make_unique<char[]>(sample.size());
        std::memcpy(copy.get(), sample.data(), sample.size());
        const std::string_view text(copy.get(), sample.size());
        bitmap.Fill(kOpaqueBlack);
        const RasterRect measured =
            DrawTextInRect(bitmap, font.get(), text, {0, 0, 200, 40}, TextAlign::Near, kWhite, 1.0f, bitmap.Bounds(), true);
        const RasterRect drawn = DrawTextInRect(bitmap, font.get(), text, {0, 0, 200, 40}, TextAlign::Near, kWhite,
                                                1.0f, bitmap.Bounds(), false);
        EXPECT_EQ(drawn, measured);
        EXPECT_GT(measured.Width(), 0);
    }
}

TEST(SystemFontText, LongLinesMeasureAsTheirCharactersAddedUp) {
    // Past 999 bytes the UTF-16 text no longer fits the stack buffer on Windows.
    const auto font = Arial(13);
    ASSERT_NE(font, nullptr);
    std::string accented;
    for (int i = 0; i < 600; ++i) accented += "\xC3\xA9";  // 600 x e acute, 1200 bytes
    EXPECT_EQ(font->MeasureLine(accented), 600 * font->MeasureLine("\xC3\xA9"));
    const std::string ascii(1500, 'x');
    EXPECT_EQ(font->MeasureLine(ascii), 1500 * font->MeasureLine("x"));

    RasterBitmap bitmap(200, 20);
    bitmap.Fill(kOpaqueBlack);
    DrawTextInRect(bitmap, font.get(), accented, {0, 0, 200, 20}, TextAlign::Far, kWhite, 1.0f, bitmap.Bounds(), false);
    EXPECT_FALSE(ChangedArea(bitmap, kOpaqueBlack).Empty());
}

TEST(FontFile, MissingOrDamagedFileGivesNoFont) {
    EXPECT_EQ(OpenFontFile("/no/such/directory/font.ttf", 13), nullptr);
    EXPECT_EQ(OpenFontFile("", 13), nullptr);

    const std::string damaged = ::testing::TempDir() + "dunerow_damaged_font.ttf";
    {
        std::ofstream file(damaged, std::ios::binary);
        file << "this is not a font file at all";
    }
    EXPECT_EQ(OpenFontFile(damaged, 13), nullptr);
    if (std::filesystem::exists(LiberationFile("LiberationSans-Regular.ttf"))) {
        std::ifstream source(LiberationFile("LiberationSans-Regular.ttf"), std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(source), std::istreambuf_iterator<char>()};
        bytes.resize(1000);  // the table directory survives, the tables do not
        std::ofstream file(damaged, std::ios::binary | std::ios::trunc);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(OpenFontFile(damaged, 13), nullptr);
    std::filesystem::remove(damaged);

    // Without a font, layout draws nothing and has no extent.
    const std::shared_ptr<const RasterFont> missing = OpenFontFile("/no/such/directory/font.ttf", 13);
    RasterBitmap bitmap(40, 20);
    bitmap.Fill(kOpaqueBlack);
    EXPECT_EQ(DrawTextInRect(bitmap, missing.get(), "Resonance", {3, 4, 40, 20}, TextAlign::Centre, kWhite, 1.0f,
                             bitmap.Bounds(), false),
              (RasterRect{3, 4, 3, 4}));
    EXPECT_EQ(ChangedArea(bitmap, kOpaqueBlack), RasterRect{});
}

TEST(FontFile, OpensAFaceInItsOwnStyleAtTheCellHeight) {
    const std::string regular = LiberationFile("LiberationSans-Regular.ttf");
    const std::string bold = LiberationFile("LiberationSans-Bold.ttf");
    if (!std::filesystem::exists(regular)) GTEST_SKIP() << "Liberation Sans is not installed";
    EXPECT_EQ(OpenFontFile(regular, 0), nullptr);
    EXPECT_EQ(OpenFontFile(regular, kMaxFontCellHeight + 1), nullptr);

    const auto font = OpenFontFile(regular, 13);
    const auto boldFont = OpenFontFile(bold, 13);
    ASSERT_NE(font, nullptr);
    ASSERT_NE(boldFont, nullptr);
    // On Windows, GDI finds the faces this process loaded from the files by their family name.
#if defined(_WIN32)
    const GdiLineMetrics gdi = ReferenceLineMetrics("Liberation Sans", FontStyle::Normal, 13);
    EXPECT_EQ(font->LineHeight(), gdi.height);
    EXPECT_EQ(font->Ascent(), gdi.ascent);
#else
    EXPECT_EQ(font->LineHeight(), 14);  // as worked out for Arial, whose stand-in this face is
    EXPECT_EQ(font->Ascent(), 11);
#endif
    EXPECT_EQ(font->MeasureLine("Resonance"), ReferenceAdvanceSum("Liberation Sans", FontStyle::Normal, 13, "Resonance"));
    EXPECT_EQ(boldFont->MeasureLine("Resonance"), ReferenceAdvanceSum("Liberation Sans", FontStyle::Bold, 13, "Resonance"));
    // Told apart by size: at 13 pixels both faces round "Resonance" to the same width.
    EXPECT_GT(OpenFontFile(bold, 40)->MeasureLine("Resonance"), OpenFontFile(regular, 40)->MeasureLine("Resonance"));
}
