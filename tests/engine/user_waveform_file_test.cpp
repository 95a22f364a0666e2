#include "engine/user_waveform_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/waveform_provider.h"
#include "support/reference_smoothing.h"
#include "support/temporary_folder.h"

namespace {

namespace fs = std::filesystem;
using Korvane::LoadUserWaveformFile;
using Korvane::ReadRawWaveform;
using Korvane::ReadWavWaveform;
using Korvane::StretchIntoTable;
using Korvane::WaveformProvider;

constexpr int kN = 4096;
constexpr double kUserTablePeak = 0.998777;

using Bytes = std::vector<unsigned char>;
using Table = std::array<double, kN>;

// ---- Little-endian file images, written byte by byte ----

void PutU16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<unsigned char>(v & 0xFF));
    b.push_back(static_cast<unsigned char>(v >> 8));
}

void PutU32(Bytes& b, uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<unsigned char>((v >> shift) & 0xFF));
}

void PutTag(Bytes& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(tag[i]));
}

void PutDouble(Bytes& b, double v) {
    const auto bits = std::bit_cast<uint64_t>(v);
    for (int shift = 0; shift < 64; shift += 8) b.push_back(static_cast<unsigned char>((bits >> shift) & 0xFF));
}

Bytes RawImage(const std::vector<double>& samples) {
    Bytes b;
    for (double v : samples) PutDouble(b, v);
    return b;
}

Bytes Pcm16(const std::vector<int16_t>& samples) {
    Bytes b;
    for (int16_t v : samples) PutU16(b, static_cast<uint16_t>(v));
    return b;
}

struct WavImage {
    int channels = 1;
    int bits = 16;
    Bytes data;
    std::optional<uint32_t> declaredDataBytes;  // defaults to data.size()
    Bytes chunksBeforeData;                     // complete extra chunks between "fmt " and "data"
    int formatChunkSize = 16;                   // 18 adds a zero extension size

    WavImage& Channels(int value) { channels = value; return *this; }
    WavImage& Bits(int value) { bits = value; return *this; }
    WavImage& Data(Bytes value) { data = std::move(value); return *this; }
    WavImage& DeclaredDataBytes(uint32_t value) { declaredDataBytes = value; return *this; }
    WavImage& ChunksBeforeData(Bytes value) { chunksBeforeData = std::move(value); return *this; }
    WavImage& FormatChunkSize(int value) { formatChunkSize = value; return *this; }
};

Bytes MakeWav(const WavImage& wav) {
    const uint32_t declared = wav.declaredDataBytes.value_or(static_cast<uint32_t>(wav.data.size()));
    Bytes b;
    PutTag(b, "RIFF");
    PutU32(b, static_cast<uint32_t>(4 + 8 + wav.formatChunkSize + wav.chunksBeforeData.size() + 8 + wav.data.size()));
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    PutU32(b, static_cast<uint32_t>(wav.formatChunkSize));
    PutU16(b, 1);  // PCM
    PutU16(b, static_cast<uint16_t>(wav.channels));
    PutU32(b, 44100);
    PutU32(b, static_cast<uint32_t>(44100 * wav.channels * wav.bits / 8));
    PutU16(b, static_cast<uint16_t>(wav.channels * wav.bits / 8));
    PutU16(b, static_cast<uint16_t>(wav.bits));
    for (int extra = 16; extra < wav.formatChunkSize; ++extra) b.push_back(0);
    b.insert(b.end(), wav.chunksBeforeData.begin(), wav.chunksBeforeData.end());
    PutTag(b, "data");
    PutU32(b, declared);
    b.insert(b.end(), wav.data.begin(), wav.data.end());
    return b;
}

Bytes ListChunk(std::size_t bodySize) {
    Bytes b;
    PutTag(b, "LIST");
    PutU32(b, static_cast<uint32_t>(bodySize));
    for (std::size_t i = 0; i < bodySize; ++i) b.push_back(static_cast<unsigned char>('a' + i % 26));
    if (bodySize % 2 == 1) b.push_back(0);  // chunks are padded to even sizes
    return b;
}

// ---- Sample material ----

std::vector<double> Doubles(int count, double seed) {
    std::vector<double> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = 0.8 * std::sin(seed * (i + 1)) - 0.05 * std::cos(0.013 * i);
    return v;
}

std::vector<int16_t> Int16s(int count, int seed) {
    std::vector<int16_t> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = static_cast<int16_t>(((i + 1) * seed) % 65536 - 32768);
    return v;
}

// A recognisable "previous content" so that kept entries can be told apart.
Table Previous() {
    Table t{};
    for (int i = 0; i < kN; ++i) t[static_cast<std::size_t>(i)] = 10.0 + 0.001 * i;
    return t;
}

// The resampling law: b = count * i / 4096, d = floor(b + 0.5); entries
// with d < count take (s[trunc(b)] + s[d]) / 2, the others keep their value.
std::vector<double> Stretched(const std::vector<double>& s, int count, const Table& previous) {
    std::vector<double> out(previous.begin(), previous.end());
    for (int i = 0; i < kN; ++i) {
        const double b = static_cast<double>(count) * i / 4096.0;
        const double d = std::floor(b + 0.5);
        if (d < count) {
            out[static_cast<std::size_t>(i)] = (s[static_cast<std::size_t>(std::trunc(b))] + s[static_cast<std::size_t>(d)]) * 0.5;
        }
    }
    return out;
}

void ExpectTableEq(std::span<const double> actual, const std::vector<double>& expected, const std::string& what,
                   double tolerance = 0.0) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    int mismatches = 0;
    for (std::size_t i = 0; i < actual.size() && mismatches < 5; ++i) {
        const bool same = tolerance == 0.0 ? (actual[i] == expected[i] || (std::isnan(actual[i]) && std::isnan(expected[i])))
                                           : std::abs(actual[i] - expected[i]) <= tolerance;
        if (!same) {
            ADD_FAILURE() << what << ": entry " << i << " is " << actual[i] << ", expected " << expected[i];
            ++mismatches;
        }
    }
}

std::vector<double> AsVector(const Table& t) { return {t.begin(), t.end()}; }

// A table and a scratch area as the provider hands them to the reader.
class UserWaveformTarget : public ::testing::Test {
protected:
    Table table = Previous();
    Table scratch{};
    Korvane::TableSamples TableSpan() { return Korvane::TableSamples(table); }
    Korvane::TableSamples ScratchSpan() { return Korvane::TableSamples(scratch); }
};

// ---- Resampling short waveforms ----

using UserWaveformStretch = UserWaveformTarget;

TEST_F(UserWaveformStretch, HalfLengthSourceIsSpreadOverTwoEntriesPerSample) {
    const std::vector<double> s = Doubles(2048, 0.21);
    std::ranges::copy(s, scratch.begin());
    StretchIntoTable(scratch, 2048, TableSpan());
    for (int i = 0; i < kN - 1; ++i) {
        // Entry i averages samples trunc(i / 2) and floor(i / 2 + 0.5).
        const auto half = static_cast<std::size_t>(i / 2);
        const double expected = i % 2 == 0 ? s[half] : (s[half] + s[half + 1]) * 0.5;  // odd i: (i - 1) / 2 and (i + 1) / 2
        EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], expected) << i;
    }
    // Entry 4095 would need sample 2048, which does not exist.
    EXPECT_EQ(table[4095], Previous()[4095]);
}

TEST_F(UserWaveformStretch, ThreeSamplesFillTheTableUpToWhereRoundingPassesTheEnd) {
    const std::vector<double> s = {0.5, -0.25, 0.125};
    std::ranges::copy(s, scratch.begin());
    StretchIntoTable(scratch, 3, TableSpan());
    ExpectTableEq(table, Stretched(s, 3, Previous()), "count 3");
    EXPECT_EQ(table[0], 0.5);
    EXPECT_EQ(table[1365], (0.5 - 0.25) * 0.5);  // b just under 1 rounds up to sample 1
    EXPECT_EQ(table[1366], -0.25);
    EXPECT_EQ(table[3413], 0.125);               // b = 2.4998: still inside
    EXPECT_EQ(table[3414], Previous()[3414]);    // b = 2.5005 rounds to 3: kept
    EXPECT_EQ(table[4095], Previous()[4095]);
}

TEST_F(UserWaveformStretch, OneSampleFillsTheFirstHalf) {
    scratch[0] = -0.75;
    StretchIntoTable(scratch, 1, TableSpan());
    for (int i = 0; i < 2048; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], -0.75) << i;
    for (int i = 2048; i < kN; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], Previous()[static_cast<std::size_t>(i)]) << i;
}

TEST_F(UserWaveformStretch, OddCountsFollowTheResamplingLaw) {
    for (int count : {5, 1000, 3001, 4095}) {
        table = Previous();
        const std::vector<double> s = Doubles(count, 0.05 + count * 1e-4);
        std::ranges::copy(s, scratch.begin());
        StretchIntoTable(scratch, count, TableSpan());
        ExpectTableEq(table, Stretched(s, count, Previous()), "count " + std::to_string(count));
    }
}

TEST_F(UserWaveformStretch, NothingToStretchLeavesTheTable) {
    StretchIntoTable(scratch, 0, TableSpan());
    ExpectTableEq(table, AsVector(Previous()), "count 0");
}

// ---- Raw files ----

using UserWaveformRaw = UserWaveformTarget;

TEST_F(UserWaveformRaw, FullLengthFileReplacesTheTable) {
    const std::vector<double> s = Doubles(kN, 0.017);
    ReadRawWaveform(RawImage(s), TableSpan(), ScratchSpan());
    ExpectTableEq(table, s, "4096 samples");
}

TEST_F(UserWaveformRaw, SamplesAreLittleEndianDoubles) {
    Bytes b;
    for (int i = 0; i < kN; ++i) {
        // 1.0 is 0x3FF0000000000000, -2.0 is 0xC000000000000000.
        const std::array<unsigned char, 8> one = {0, 0, 0, 0, 0, 0, 0xF0, 0x3F};
        const std::array<unsigned char, 8> minusTwo = {0, 0, 0, 0, 0, 0, 0, 0xC0};
        const auto& bytes = i % 2 == 0 ? one : minusTwo;
        b.insert(b.end(), bytes.begin(), bytes.end());
    }
    ReadRawWaveform(b, TableSpan(), ScratchSpan());
    for (int i = 0; i < kN; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], i % 2 == 0 ? 1.0 : -2.0) << i;
}

TEST_F(UserWaveformRaw, LongerFileUsesItsFirst32768Bytes) {
    const std::vector<double> s = Doubles(kN, 0.031);
    Bytes b = RawImage(s);
    while (b.size() < 40000) b.push_back(0x7F);
    ASSERT_EQ(b.size(), 40000u);
    ReadRawWaveform(b, TableSpan(), ScratchSpan());
    ExpectTableEq(table, s, "40000 bytes");
}

TEST_F(UserWaveformRaw, HalfLengthFileIsStretchedAndTheLastEntryKept) {
    const std::vector<double> s = Doubles(2048, 0.09);
    const Bytes b = RawImage(s);
    ASSERT_EQ(b.size(), 16384u);
    ReadRawWaveform(b, TableSpan(), ScratchSpan());
    for (int i = 0; i < kN - 1; ++i) {
        const double expected = (s[static_cast<std::size_t>(i / 2)] + s[static_cast<std::size_t>((i + 1) / 2)]) * 0.5;
        EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], expected) << i;
    }
    EXPECT_EQ(table[4095], Previous()[4095]);
}

TEST_F(UserWaveformRaw, TrailingPartialSampleIsIgnored) {
    const std::vector<double> s = Doubles(1000, 0.4);
    Bytes b = RawImage(s);
    b.push_back(0x11);
    b.push_back(0x22);
    b.push_back(0x33);
    ReadRawWaveform(b, TableSpan(), ScratchSpan());
    ExpectTableEq(table, Stretched(s, 1000, Previous()), "1000 samples and 3 bytes");
}

TEST_F(UserWaveformRaw, FileShorterThanOneSampleLeavesTheTable) {
    const Bytes three = {1, 2, 3};
    ReadRawWaveform(three, TableSpan(), ScratchSpan());
    ExpectTableEq(table, AsVector(Previous()), "3 bytes");
    ReadRawWaveform(Bytes{}, TableSpan(), ScratchSpan());
    ExpectTableEq(table, AsVector(Previous()), "0 bytes");
}

TEST_F(UserWaveformRaw, SingleSampleFillsTheFirstHalf) {
    Bytes b;
    PutDouble(b, 0.625);
    b.push_back(0xFF);  // 9 bytes: still one sample
    ReadRawWaveform(b, TableSpan(), ScratchSpan());
    for (int i = 0; i < 2048; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], 0.625) << i;
    for (int i = 2048; i < kN; ++i) EXPECT_EQ(table[static_cast<std::size_t>(i)], Previous()[static_cast<std::size_t>(i)]) << i;
}

TEST_F(UserWaveformRaw, NonFiniteSamplesBecomeZero) {
    // Infinities are cleared like NaN: either would turn the whole table
    // into NaN once it is normalised.
    std::vector<double> s = Doubles(kN, 0.023);
    s[5] = std::numeric_limits<double>::quiet_NaN();
    s[6] = std::numeric_limits<double>::infinity();
    s[7] = -std::numeric_limits<double>::infinity();
    s[8] = 1e300;
    s[9] = -std::numeric_limits<double>::denorm_min();
    s[10] = std::numeric_limits<double>::max();  // taken as read, not averaged with itself
    std::vector<double> expected = s;
    expected[5] = expected[6] = expected[7] = 0.0;
    ReadRawWaveform(RawImage(s), TableSpan(), ScratchSpan());
    ExpectTableEq(table, expected, "full file");
}

TEST_F(UserWaveformRaw, NonFiniteSamplesOfAShortFileBecomeZeroAfterStretching) {
    std::vector<double> s = Doubles(2048, 0.3);
    s[10] = std::numeric_limits<double>::quiet_NaN();
    s[100] = -std::numeric_limits<double>::infinity();
    ReadRawWaveform(RawImage(s), TableSpan(), ScratchSpan());
    // Entries 19..21 read sample 10, entries 199..201 sample 100.
    for (int i : {19, 20, 21, 199, 200, 201}) EXPECT_EQ(table[static_cast<std::size_t>(i)], 0.0) << i;
    EXPECT_DOUBLE_EQ(table[18], s[9]);
    EXPECT_DOUBLE_EQ(table[22], s[11]);
    EXPECT_DOUBLE_EQ(table[198], s[99]);
    EXPECT_DOUBLE_EQ(table[202], s[101]);
}

TEST_F(UserWaveformRaw, NanLeftInTheTableBeyondAShortFileBecomesZero) {
    table[4095] = std::numeric_limits<double>::quiet_NaN();
    ReadRawWaveform(RawImage(Doubles(2048, 0.3)), TableSpan(), ScratchSpan());
    EXPECT_EQ(table[4095], 0.0);
}

// ---- WAV files ----

using UserWaveformWav = UserWaveformTarget;

TEST_F(UserWaveformWav, MonoSixteenBitSamplesAreScaledBy32767) {
    std::vector<int16_t> v = Int16s(kN, 37);
    v[0] = 32767;
    v[1] = -32768;
    v[2] = 0;
    v[3] = -1;
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    EXPECT_EQ(table[0], 1.0);
    EXPECT_DOUBLE_EQ(table[1], -32768.0 / 32767.0);
    EXPECT_EQ(table[2], 0.0);
    for (int i = 0; i < kN; ++i) EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i)] / 32767.0) << i;
}

TEST_F(UserWaveformWav, StereoFrameIsLeftPlusHalfOfRight) {
    const std::vector<int16_t> v = Int16s(2 * kN, 101);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(2).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    for (int i = 0; i < kN; ++i) {
        const double left = v[static_cast<std::size_t>(2 * i)] / 32767.0;
        const double right = v[static_cast<std::size_t>(2 * i + 1)] / 32767.0;
        EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], left + 0.5 * right) << i;
    }
}

TEST_F(UserWaveformWav, LongStereoFileUsesItsFirst4096Frames) {
    const std::vector<int16_t> v = Int16s(2 * 5000, 211);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(2).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    for (int i = 0; i < kN; ++i) {
        const auto frame = static_cast<std::size_t>(2 * i);
        const double expected = v[frame] / 32767.0 + 0.5 * (v[frame + 1] / 32767.0);
        EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], expected) << i;
    }
}

TEST_F(UserWaveformWav, LongMonoFileUsesItsFirst4096Frames) {
    const std::vector<int16_t> v = Int16s(8192, 77);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    for (int i = 0; i < kN; ++i) EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i)] / 32767.0) << i;
}

TEST_F(UserWaveformWav, ShortFileIsStretchedOverTheTable) {
    const std::vector<int16_t> v = Int16s(1000, 313);
    std::vector<double> frames;
    for (int16_t x : v) frames.push_back(x / 32767.0);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, Stretched(frames, 1000, Previous()), "1000 mono frames", 1e-15);
}

TEST_F(UserWaveformWav, ShortStereoFileIsMixedThenStretched) {
    const std::vector<int16_t> v = Int16s(2 * 2048, 97);
    std::vector<double> frames;
    for (int i = 0; i < 2048; ++i) {
        frames.push_back(v[static_cast<std::size_t>(2 * i)] / 32767.0 + 0.5 * (v[static_cast<std::size_t>(2 * i + 1)] / 32767.0));
    }
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(2).Data(Pcm16(v))), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, Stretched(frames, 2048, Previous()), "2048 stereo frames", 1e-15);
    EXPECT_EQ(table[4095], Previous()[4095]);
}

TEST_F(UserWaveformWav, OtherSampleSizesAreIgnored) {
    const Bytes eightBit(kN, 0x80);
    EXPECT_FALSE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Bits(8).Data(eightBit)), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "8-bit");
    const Bytes twentyFourBit(3 * kN, 0x12);
    EXPECT_FALSE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Bits(24).Data(twentyFourBit)), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "24-bit");
    const Bytes thirtyTwoBit(4 * kN, 0x12);
    EXPECT_FALSE(ReadWavWaveform(MakeWav(WavImage().Channels(2).Bits(32).Data(thirtyTwoBit)), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "32-bit");
}

TEST_F(UserWaveformWav, ChannelCountsOtherThanOneOrTwoAreIgnored) {
    const Bytes data = Pcm16(Int16s(3 * kN, 5));
    EXPECT_FALSE(ReadWavWaveform(MakeWav(WavImage().Channels(3).Data(data)), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "3 channels");
    EXPECT_FALSE(ReadWavWaveform(MakeWav(WavImage().Channels(0).Data(data)), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "0 channels");
}

TEST_F(UserWaveformWav, TruncatedFileReadsOnlyTheFramesItHolds) {
    // Declares 4096 mono frames but holds 1000 and a stray byte.
    const std::vector<int16_t> v = Int16s(1000, 313);
    Bytes data = Pcm16(v);
    data.push_back(0x55);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(data).DeclaredDataBytes(2 * kN)), TableSpan(), ScratchSpan()));
    std::vector<double> frames;
    for (int16_t x : v) frames.push_back(x / 32767.0);
    ExpectTableEq(table, Stretched(frames, 1000, Previous()), "truncated", 1e-15);
}

TEST_F(UserWaveformWav, DeclaredDataSizeLimitsTheFramesRead) {
    // 4096 frames present, 600 declared: only the declared ones count.
    const std::vector<int16_t> v = Int16s(kN, 59);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Pcm16(v)).DeclaredDataBytes(1200)), TableSpan(), ScratchSpan()));
    std::vector<double> frames;
    for (int i = 0; i < 600; ++i) frames.push_back(v[static_cast<std::size_t>(i)] / 32767.0);
    ExpectTableEq(table, Stretched(frames, 600, Previous()), "600 declared", 1e-15);
}

TEST_F(UserWaveformWav, EmptyDataLeavesTheTable) {
    EXPECT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Bytes{})), TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "no frames");
}

TEST_F(UserWaveformWav, HeaderShorterThanFortyFourBytesIsRejected) {
    const Bytes full = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 3))));
    for (std::size_t size : {std::size_t{43}, std::size_t{40}, std::size_t{36}, std::size_t{20}, std::size_t{12},
                             std::size_t{11}, std::size_t{0}}) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(ReadWavWaveform(cut, TableSpan(), ScratchSpan())) << size;
        ExpectTableEq(table, AsVector(Previous()), std::to_string(size) + " bytes");
    }
}

TEST_F(UserWaveformWav, FileWithoutRiffOrWaveTagsIsRejected) {
    Bytes notRiff = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 3))));
    notRiff[3] = 'X';  // "RIFX"
    EXPECT_FALSE(ReadWavWaveform(notRiff, TableSpan(), ScratchSpan()));
    Bytes notWave = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 3))));
    notWave[8] = 'w';  // "wAVE"
    EXPECT_FALSE(ReadWavWaveform(notWave, TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "bad tags");
}

// Chunks are walked rather than read at fixed places, so a canonical
// 44-byte header and files with extra chunks give the same table.
TEST_F(UserWaveformWav, ExtraChunkBeforeTheDataIsSkipped) {
    const std::vector<int16_t> v = Int16s(2 * kN, 17);
    const Bytes canonical = MakeWav(WavImage().Channels(2).Data(Pcm16(v)));
    ASSERT_EQ(canonical.size(), 44u + 4u * kN);
    ASSERT_TRUE(ReadWavWaveform(canonical, TableSpan(), ScratchSpan()));
    const std::vector<double> expected = AsVector(table);

    for (std::size_t listSize : {std::size_t{26}, std::size_t{27}}) {  // even, and odd with a pad byte
        table = Previous();
        const Bytes withList = MakeWav(WavImage().Channels(2).Data(Pcm16(v)).ChunksBeforeData(ListChunk(listSize)));
        ASSERT_TRUE(ReadWavWaveform(withList, TableSpan(), ScratchSpan())) << listSize;
        ExpectTableEq(table, expected, "LIST of " + std::to_string(listSize));
    }
}

TEST_F(UserWaveformWav, LongerFormatChunkIsSkipped) {
    const std::vector<int16_t> v = Int16s(kN, 29);
    ASSERT_TRUE(ReadWavWaveform(MakeWav(WavImage().Channels(1).Data(Pcm16(v)).FormatChunkSize(18)), TableSpan(), ScratchSpan()));
    for (int i = 0; i < kN; ++i) EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i)] / 32767.0) << i;
}

TEST_F(UserWaveformWav, FileWithoutAFormatChunkIsRejected) {
    Bytes b;
    const Bytes data = Pcm16(Int16s(kN, 3));
    PutTag(b, "RIFF");
    PutU32(b, static_cast<uint32_t>(4 + 8 + data.size()));
    PutTag(b, "WAVE");
    PutTag(b, "data");
    PutU32(b, static_cast<uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    EXPECT_FALSE(ReadWavWaveform(b, TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "no fmt chunk");
}

TEST_F(UserWaveformWav, ChunkRunningPastTheEndIsRejected) {
    Bytes list;
    PutTag(list, "LIST");
    PutU32(list, 100000);
    for (int i = 0; i < 8; ++i) list.push_back('x');
    const Bytes b = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 3))).ChunksBeforeData(list));
    EXPECT_FALSE(ReadWavWaveform(b, TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "oversized chunk");
}

// ---- Files on disk ----


void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file) << path;
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(file) << path;
}

class UserWaveformFile : public UserWaveformTarget {
protected:
    TemporaryFolder folder;
};

TEST_F(UserWaveformFile, MissingFileReportsFailureAndLeavesTheTable) {
    EXPECT_FALSE(LoadUserWaveformFile(folder.Path() / "user01.raw", TableSpan(), ScratchSpan()));
    EXPECT_FALSE(LoadUserWaveformFile(folder.Path() / "user01.wav", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "missing");
}

TEST_F(UserWaveformFile, RawFileIsReadWhole) {
    const std::vector<double> s = Doubles(kN, 0.11);
    WriteFile(folder.Path() / "a.raw", RawImage(s));
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "a.raw", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, s, "a.raw");
}

TEST_F(UserWaveformFile, FolderNamesOutsideAsciiWork) {
    const std::vector<double> s = Doubles(kN, 0.14);
    const fs::path subfolder = folder.Path() / fs::path(u8"Wellenformen \u00e4\u00f6\u00fc \u6ce2\u5f62");
    ASSERT_TRUE(fs::create_directory(subfolder));
    WriteFile(subfolder / "user01.raw", RawImage(s));
    EXPECT_TRUE(LoadUserWaveformFile(subfolder / "user01.raw", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, s, "user01.raw");
}

TEST_F(UserWaveformFile, RawFileOfExactly32768BytesIsTakenAsRead) {
    std::vector<double> s = Doubles(kN, 0.13);
    s[100] = std::numeric_limits<double>::max();
    s[101] = std::numeric_limits<double>::lowest();
    WriteFile(folder.Path() / "exact.raw", RawImage(s));
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "exact.raw", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, s, "exact.raw");
}

TEST_F(UserWaveformFile, LongRawFileUsesItsFirst32768Bytes) {
    const std::vector<double> s = Doubles(kN, 0.12);
    Bytes b = RawImage(s);
    const std::vector<double> tail = Doubles(904, 0.9);
    for (double v : tail) PutDouble(b, v);
    ASSERT_EQ(b.size(), 40000u);
    WriteFile(folder.Path() / "long.raw", b);
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "long.raw", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, s, "long.raw");
}

TEST_F(UserWaveformFile, EmptyOrTinyRawFileCountsAsReadButLeavesTheTable) {
    WriteFile(folder.Path() / "empty.raw", {});
    WriteFile(folder.Path() / "tiny.raw", {9, 9, 9});
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "empty.raw", TableSpan(), ScratchSpan()));
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "tiny.raw", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "empty and tiny");
}

TEST_F(UserWaveformFile, WavNameIsReadAsWav) {
    const std::vector<int16_t> v = Int16s(kN, 41);
    WriteFile(folder.Path() / "b.wav", MakeWav(WavImage().Channels(1).Data(Pcm16(v))));
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "b.wav", TableSpan(), ScratchSpan()));
    for (int i = 0; i < kN; ++i) EXPECT_DOUBLE_EQ(table[static_cast<std::size_t>(i)], v[static_cast<std::size_t>(i)] / 32767.0) << i;
}

TEST_F(UserWaveformFile, RejectedWavReportsFailureAndLeavesTheTable) {
    WriteFile(folder.Path() / "c.wav", MakeWav(WavImage().Channels(1).Bits(8).Data(Bytes(kN, 0x80))));
    EXPECT_FALSE(LoadUserWaveformFile(folder.Path() / "c.wav", TableSpan(), ScratchSpan()));
    WriteFile(folder.Path() / "d.wav", {'R', 'I', 'F', 'F'});
    EXPECT_FALSE(LoadUserWaveformFile(folder.Path() / "d.wav", TableSpan(), ScratchSpan()));
    ExpectTableEq(table, AsVector(Previous()), "rejected");
}

TEST_F(UserWaveformFile, AnyOtherNameIsReadAsRawEvenWithWavContent) {
    const Bytes wav = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(100, 7))));
    ASSERT_EQ(wav.size(), 244u);  // 30 whole doubles and 4 bytes
    WriteFile(folder.Path() / "e.dat", wav);
    EXPECT_TRUE(LoadUserWaveformFile(folder.Path() / "e.dat", TableSpan(), ScratchSpan()));
    // Decode the first 30 doubles of the image by hand and stretch them.
    std::vector<double> s;
    for (std::size_t k = 0; k < 30; ++k) {
        uint64_t bits = 0;
        for (int byte = 7; byte >= 0; --byte) bits = (bits << 8) | wav[8 * k + static_cast<std::size_t>(byte)];
        const double v = std::bit_cast<double>(bits);
        s.push_back(v);
    }
    std::vector<double> expected = Stretched(s, 30, Previous());
    for (double& v : expected) {
        if (!std::isfinite(v)) v = 0.0;
    }
    ExpectTableEq(table, expected, "e.dat");
}

// ---- The provider's user files ----


std::vector<double> Normalised(std::vector<double> s, double peak) {
    double largest = 0.0;
    for (double v : s) largest = std::max(largest, std::abs(v));
    if (largest != 0.0) {
        for (double& v : s) v *= peak / largest;
    }
    return s;
}

std::vector<double> TableOf(const Korvane::WaveformTable& table) { return {table.Samples().begin(), table.Samples().end()}; }

double ShapeOfUser(int user) { return (20 + user) / 35.0; }

class UserWaveformFolder : public ::testing::Test {
protected:
    void SetUp() override {
        waveforms = folder.Path() / "waveforms";
        fs::create_directory(waveforms);
        plain.BuildTables();
    }
    // A provider that read the folder.
    void Build() {
        provider.SetBaseDirectory(folder.Path());
        provider.BuildTables();
    }
    void ExpectSameUserAsPlain(int user) {
        ExpectTableEq(provider.UserTable(user - 1).Samples(), TableOf(plain.UserTable(user - 1)), "User" + std::to_string(user),
                      1e-15);
        for (int i = 0; i < 64; ++i) {
            const double phase = (i + 0.3) / 64.0;
            EXPECT_NEAR(provider.GetSample(ShapeOfUser(user), phase, 0), plain.GetSample(ShapeOfUser(user), phase, 0), 1e-12)
                << "User" << user << " " << i;
        }
    }
    // The user's set matches the one built from `content` at every octave.
    void ExpectSetBuiltFrom(int user, const std::vector<double>& content) {
        constexpr std::array<int, 8> kWidths = {8, 14, 22, 32, 44, 64, 80, 100};
        for (int k = 0; k < 8; ++k) {
            std::vector<double> expected = content;
            ReferenceSmooth(expected, kWidths[static_cast<std::size_t>(k)]);
            expected = Normalised(expected, 1.0);
            ExpectTableEq(provider.BandLimitedSet(20 + user).Table(k).Samples(), expected,
                          "User" + std::to_string(user) + " octave " + std::to_string(k), 1e-12);
        }
    }
    bool SoundsDifferentFromPlain(int user) {
        for (int i = 0; i < 64; ++i) {
            const double phase = (i + 0.3) / 64.0;
            const double difference = provider.GetSample(ShapeOfUser(user), phase, 0) - plain.GetSample(ShapeOfUser(user), phase, 0);
            if (std::abs(difference) > 1e-3) return true;
        }
        return false;
    }

    TemporaryFolder folder;
    fs::path waveforms;
    WaveformProvider plain;  // built without any files
    WaveformProvider provider;
};

TEST_F(UserWaveformFolder, FolderWithoutFilesChangesNoUserWaveform) {
    Build();
    for (int user = 1; user <= 15; ++user) ExpectSameUserAsPlain(user);
}

TEST_F(UserWaveformFolder, MissingWaveformsFolderChangesNoUserWaveform) {
    fs::remove(waveforms);
    Build();
    for (int user = 1; user <= 15; ++user) ExpectSameUserAsPlain(user);
}

TEST_F(UserWaveformFolder, RawFileOfDenormalSamplesPlaysFiniteSamplesAtThePeak) {
    std::vector<double> s(kN, 0.0);
    s[300] = std::numeric_limits<double>::denorm_min();
    s[1700] = -2.0 * std::numeric_limits<double>::denorm_min();
    WriteFile(waveforms / "user01.raw", RawImage(s));
    Build();
    EXPECT_DOUBLE_EQ(provider.UserTable(0).Samples()[300], kUserTablePeak / 2.0);
    EXPECT_DOUBLE_EQ(provider.UserTable(0).Samples()[1700], -kUserTablePeak);
    for (int octave = WaveformProvider::kUnfiltered; octave < Korvane::WaveformTableSet::kOctaves; ++octave) {
        for (int i = 0; i < 64; ++i) {
            const double sample = provider.GetSample(ShapeOfUser(1), (i + 0.3) / 64.0, octave);
            ASSERT_TRUE(std::isfinite(sample)) << "octave " << octave << " point " << i;
            ASSERT_LE(std::abs(sample), 1.0 + 1e-12) << "octave " << octave << " point " << i;
        }
    }
}

TEST_F(UserWaveformFolder, RawFileReplacesItsUserTableAndSound) {
    const std::vector<double> s = Doubles(kN, 0.0123);
    WriteFile(waveforms / "user01.raw", RawImage(s));
    Build();
    const std::vector<double> expected = Normalised(s, kUserTablePeak);
    ExpectTableEq(provider.UserTable(0).Samples(), expected, "User1", 1e-15);
    ExpectSetBuiltFrom(1, expected);
    EXPECT_TRUE(SoundsDifferentFromPlain(1));
    // Unfiltered requests read table 0 of the new set as well.
    const auto table0 = provider.BandLimitedSet(21).Table(0).Samples();
    EXPECT_EQ(provider.GetSample(ShapeOfUser(1), 100.0 / kN, -1), table0[100]);
    for (int user = 2; user <= 15; ++user) ExpectSameUserAsPlain(user);
}

TEST_F(UserWaveformFolder, NinthFileFillsUser9) {
    const std::vector<double> s = Doubles(kN, 0.0456);
    WriteFile(waveforms / "user09.raw", RawImage(s));
    Build();
    ExpectTableEq(provider.UserTable(8).Samples(), Normalised(s, kUserTablePeak), "User9", 1e-15);
    EXPECT_TRUE(SoundsDifferentFromPlain(9));
    ExpectSameUserAsPlain(8);
    ExpectSameUserAsPlain(10);
}

TEST_F(UserWaveformFolder, TenthFileFillsUser10ToUser13) {
    const std::vector<double> s = Doubles(kN, 0.0077);
    WriteFile(waveforms / "user10.raw", RawImage(s));
    Build();
    const std::vector<double> expected = Normalised(s, kUserTablePeak);
    for (int user = 10; user <= 13; ++user) {
        ExpectTableEq(provider.UserTable(user - 1).Samples(), expected, "User" + std::to_string(user), 1e-15);
        EXPECT_TRUE(SoundsDifferentFromPlain(user)) << user;
    }
    ExpectSetBuiltFrom(13, expected);
    for (int user : {1, 9, 14, 15}) ExpectSameUserAsPlain(user);
}

TEST_F(UserWaveformFolder, FilesBeyondTheTenthAreNotRead) {
    for (const char* name : {"user11.raw", "user13.raw", "user14.raw", "user15.raw", "user00.raw", "user1.raw"}) {
        WriteFile(waveforms / name, RawImage(Doubles(kN, 0.5)));
    }
    Build();
    for (int user = 1; user <= 15; ++user) ExpectSameUserAsPlain(user);
}

TEST_F(UserWaveformFolder, WavFileIsUsedWhenTheRawFileIsAbsent) {
    const std::vector<int16_t> v = Int16s(kN, 123);
    WriteFile(waveforms / "user02.wav", MakeWav(WavImage().Channels(1).Data(Pcm16(v))));
    Build();
    std::vector<double> content;
    for (int16_t x : v) content.push_back(x / 32767.0);
    const std::vector<double> expected = Normalised(content, kUserTablePeak);
    ExpectTableEq(provider.UserTable(1).Samples(), expected, "User2", 1e-15);
    ExpectSetBuiltFrom(2, expected);
    EXPECT_TRUE(SoundsDifferentFromPlain(2));
}

TEST_F(UserWaveformFolder, RawFileWinsOverAWavFileOfTheSameNumber) {
    const std::vector<double> s = Doubles(kN, 0.0789);
    WriteFile(waveforms / "user02.raw", RawImage(s));
    WriteFile(waveforms / "user02.wav", MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 123)))));
    Build();
    ExpectTableEq(provider.UserTable(1).Samples(), Normalised(s, kUserTablePeak), "User2", 1e-15);
}

TEST_F(UserWaveformFolder, CorruptWavFileLeavesTheBuiltInWaveform) {
    Bytes corrupt = MakeWav(WavImage().Channels(1).Data(Pcm16(Int16s(kN, 3))));
    corrupt.resize(30);
    WriteFile(waveforms / "user03.wav", corrupt);
    WriteFile(waveforms / "user04.wav", MakeWav(WavImage().Channels(1).Bits(24).Data(Bytes(3 * kN, 0x40))));
    Build();
    ExpectSameUserAsPlain(3);
    ExpectSameUserAsPlain(4);
}

TEST_F(UserWaveformFolder, ShortRawFileIsStretchedOverTheBuiltInWaveform) {
    const std::vector<double> s = Doubles(2048, 0.031);
    WriteFile(waveforms / "user04.raw", RawImage(s));
    Build();
    // Before normalisation the table holds the built-in User4 with entries
    // 0..4094 replaced by the stretch; entry 4095 is still the built-in one.
    const WaveformProvider unbuilt;
    Table builtIn{};
    std::ranges::copy(unbuilt.UserTable(3).Samples(), builtIn.begin());
    const std::vector<double> expected = Normalised(Stretched(s, 2048, builtIn), kUserTablePeak);
    ExpectTableEq(provider.UserTable(3).Samples(), expected, "User4", 1e-15);
    ExpectSetBuiltFrom(4, expected);
}

TEST_F(UserWaveformFolder, EmptyRawFileKeepsTheBuiltInWaveform) {
    WriteFile(waveforms / "user05.raw", {});
    Build();
    ExpectSameUserAsPlain(5);
}

TEST_F(UserWaveformFolder, SilentRawFileSilencesItsUserWaveform) {
    WriteFile(waveforms / "user06.raw", RawImage(std::vector<double>(kN, 0.0)));
    Build();
    for (double v : provider.UserTable(5).Samples()) ASSERT_EQ(v, 0.0);
    for (int octave : {-1, 0, 7}) {
        for (int i = 0; i < 16; ++i) EXPECT_EQ(provider.GetSample(ShapeOfUser(6), i / 16.0 + 0.01, octave), 0.0);
    }
}

TEST_F(UserWaveformFolder, NonFiniteRawSamplesDoNotReachTheSound) {
    std::vector<double> s = Doubles(kN, 0.02);
    s[0] = std::numeric_limits<double>::quiet_NaN();
    s[1] = std::numeric_limits<double>::infinity();
    WriteFile(waveforms / "user07.raw", RawImage(s));
    Build();
    std::vector<double> cleaned = s;
    std::replace_if(cleaned.begin(), cleaned.end(), [](double v) { return !std::isfinite(v); }, 0.0);
    const std::vector<double> expected = Normalised(cleaned, kUserTablePeak);
    ExpectTableEq(provider.UserTable(6).Samples(), expected, "User7", 1e-15);
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(std::isfinite(provider.GetSample(ShapeOfUser(7), i / 64.0, 0))) << i;
}

TEST_F(UserWaveformFolder, EmptyBaseDirectoryReadsNoFiles) {
    WriteFile(waveforms / "user01.raw", RawImage(Doubles(kN, 0.0123)));
    // Run from inside the folder, where a relative "waveforms" would be found.
    const fs::path previous = fs::current_path();
    fs::current_path(folder.Path());
    WaveformProvider withoutBase;
    withoutBase.BuildTables();
    WaveformProvider relative;
    relative.SetBaseDirectory(".");
    relative.BuildTables();
    fs::current_path(previous);

    EXPECT_TRUE(withoutBase.BaseDirectory().empty());
    ExpectTableEq(withoutBase.UserTable(0).Samples(), TableOf(plain.UserTable(0)), "no base directory", 1e-15);
    ExpectTableEq(relative.UserTable(0).Samples(), Normalised(Doubles(kN, 0.0123), kUserTablePeak), "base '.'", 1e-15);
}

}  // namespace
