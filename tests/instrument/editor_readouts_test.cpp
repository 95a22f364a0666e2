// The lock-free read-out texts the instrument writes for its editor.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <charconv>
#include <string>
#include <thread>

#include "instrument/editor_readouts.h"

namespace {

using TextBuffer = std::array<char, EditorReadouts::kTextSize + 1>;

std::string Text(const EditorReadouts& readouts, Readout readout) {
    TextBuffer out{};
    if (readouts.Get(readout, out) == 0) return "<none>";
    return out.data();
}

}  // namespace

TEST(EditorReadouts, AReadoutNeverWrittenHasVersionZeroAndNoText) {
    EditorReadouts readouts;
    TextBuffer out{};
    out[0] = 'x';
    EXPECT_EQ(readouts.Version(Readout::Gate), 0u);
    EXPECT_EQ(readouts.Get(Readout::Gate, out), 0u);
    EXPECT_EQ(out[0], '\0');
}

TEST(EditorReadouts, TheVersionMovesOnlyWhenTheTextChanges) {
    EditorReadouts readouts;
    readouts.Set(Readout::Bits, "6.3bit");
    const std::uint32_t first = readouts.Version(Readout::Bits);
    EXPECT_NE(first, 0u);
    TextBuffer out{};
    EXPECT_EQ(readouts.Get(Readout::Bits, out), first);
    EXPECT_STREQ(out.data(), "6.3bit");

    readouts.Set(Readout::Bits, "6.3bit");
    EXPECT_EQ(readouts.Version(Readout::Bits), first);

    readouts.Set(Readout::Bits, "6.4bit");
    const std::uint32_t second = readouts.Version(Readout::Bits);
    EXPECT_NE(second, first);
    EXPECT_EQ(Text(readouts, Readout::Bits), "6.4bit");

    // Same bytes at another length are another text.
    readouts.Set(Readout::Bits, "6.4bi");
    EXPECT_NE(readouts.Version(Readout::Bits), second);
    EXPECT_EQ(Text(readouts, Readout::Bits), "6.4bi");

    // An empty text is a text too.
    const std::uint32_t third = readouts.Version(Readout::Bits);
    readouts.Set(Readout::Bits, "");
    EXPECT_NE(readouts.Version(Readout::Bits), third);
    EXPECT_EQ(Text(readouts, Readout::Bits), "");
}

TEST(EditorReadouts, EachReadoutKeepsItsOwnText) {
    EditorReadouts readouts;
    readouts.Set(Readout::WaveformName1, "01: Sine");
    readouts.Set(Readout::DumpExpand, "0.0% HP");
    EXPECT_EQ(Text(readouts, Readout::WaveformName1), "01: Sine");
    EXPECT_EQ(Text(readouts, Readout::DumpExpand), "0.0% HP");
    EXPECT_EQ(readouts.Version(Readout::WaveformName2), 0u);
}

TEST(EditorReadouts, ALongTextIsCutAtACharacterBoundary) {
    EditorReadouts readouts;
    // 63 ASCII bytes and a two-byte "é" (C3 A9): the 65-byte text loses the whole "é".
    readouts.Set(Readout::FilterType, std::string(63, 'a') + "\xC3\xA9");
    EXPECT_EQ(Text(readouts, Readout::FilterType), std::string(63, 'a'));

    // 62 bytes, "é", "z": the cut after byte 64 keeps the "é" whole.
    readouts.Set(Readout::FilterType, std::string(62, 'a') + "\xC3\xA9z");
    EXPECT_EQ(Text(readouts, Readout::FilterType), std::string(62, 'a') + "\xC3\xA9");

    // 61 bytes and a four-byte character (F0 9F 8E B5) straddling byte 64: cut before it.
    readouts.Set(Readout::FilterType, std::string(61, 'b') + "\xF0\x9F\x8E\xB5");
    EXPECT_EQ(Text(readouts, Readout::FilterType), std::string(61, 'b'));

    // Exactly 64 bytes stay whole.
    readouts.Set(Readout::FilterType, std::string(64, 'c'));
    EXPECT_EQ(Text(readouts, Readout::FilterType), std::string(64, 'c'));
}

TEST(EditorReadouts, ATextEndsAtItsFirstNul) {
    EditorReadouts readouts;
    readouts.Set(Readout::Gate, std::string_view("-oodB\0junk", 10));
    EXPECT_EQ(Text(readouts, Readout::Gate), "-oodB");
}

TEST(EditorReadouts, BadIdsAndSmallBuffersChangeNothing) {
    EditorReadouts readouts;
    readouts.Set(Readout::Count, "nothing");
    readouts.Set(static_cast<Readout>(-1), "nothing");
    EXPECT_EQ(readouts.Version(Readout::Count), 0u);
    EXPECT_EQ(readouts.Version(static_cast<Readout>(-1)), 0u);

    readouts.Set(Readout::Gate, "-oodB");
    std::array<char, EditorReadouts::kTextSize> small{};
    small[0] = 'x';
    EXPECT_EQ(readouts.Get(Readout::Gate, small), 0u);
    EXPECT_EQ(small[0], 'x');
    TextBuffer out{};
    EXPECT_EQ(readouts.Get(Readout::Count, out), 0u);
}

// One thread writes texts that spell out a counter; another reads them:
// every read that succeeds is exactly the text of the counter it starts with.
TEST(EditorReadouts, AReadNeverMixesTwoTexts) {
    constexpr int kWrites = 20000;
    // "<counter>:" and a run of one letter whose length and letter follow the counter.
    auto textOf = [](int counter) {
        const auto run = static_cast<std::size_t>(counter % 50);
        return std::to_string(counter) + ":" + std::string(run, static_cast<char>('a' + counter % 26));
    };
    EditorReadouts readouts;
    std::atomic<bool> done{false};

    std::thread writer([&] {
        for (int counter = 1; counter <= kWrites; ++counter) readouts.Set(Readout::NoteFrequency, textOf(counter));
        done.store(true);
    });

    long wrong = 0;
    std::uint32_t lastVersion = 0;
    long versionsBackwards = 0;
    TextBuffer out{};
    while (!done.load()) {
        const std::uint32_t version = readouts.Get(Readout::NoteFrequency, out);
        if (version == 0) continue;
        int counter = 0;
        const std::string text = out.data();
        std::from_chars(text.data(), text.data() + text.size(), counter);
        wrong += text != textOf(counter) ? 1 : 0;
        versionsBackwards += version < lastVersion ? 1 : 0;
        lastVersion = version;
    }
    writer.join();

    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(versionsBackwards, 0);
    EXPECT_EQ(Text(readouts, Readout::NoteFrequency), textOf(kWrites));
}
