#include "engine/user_waveform_file.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>

namespace Korvane {

namespace {

constexpr int kSize = WaveformTable::kSize;
constexpr std::size_t kRawBytesUsed = kSize * sizeof(double);  // 32768
// A WAV file larger than this is not a single-cycle waveform; reading stops here.
constexpr std::size_t kWavBytesRead = 1 << 20;

uint16_t ReadU16(std::span<const unsigned char> bytes, std::size_t at) {
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

uint32_t ReadU32(std::span<const unsigned char> bytes, std::size_t at) {
    return static_cast<uint32_t>(bytes[at]) | (static_cast<uint32_t>(bytes[at + 1]) << 8) |
           (static_cast<uint32_t>(bytes[at + 2]) << 16) | (static_cast<uint32_t>(bytes[at + 3]) << 24);
}

double ReadDouble(std::span<const unsigned char> bytes, std::size_t at) {
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes[at + static_cast<std::size_t>(i)];
    return std::bit_cast<double>(bits);
}

bool HasTag(std::span<const unsigned char> bytes, std::size_t at, std::string_view tag) {
    return at + 4 <= bytes.size() && std::memcmp(bytes.data() + at, tag.data(), 4) == 0;
}

// Reads at most `limit` bytes of the file; returns false when it cannot be opened.
bool ReadFilePrefix(const std::filesystem::path& path, std::size_t limit, std::vector<unsigned char>& bytes) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) return false;
    // Sized by the file where it can tell, so a small file does not cost the whole limit.
    const std::streamoff end = file.tellg();
    file.seekg(0);
    const std::size_t wanted = end >= 0 ? std::min(limit, static_cast<std::size_t>(end)) : limit;
    bytes.resize(wanted);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(wanted));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return true;
}

struct WavLayout {
    int channels = 0;
    int bitsPerSample = 0;
    std::size_t dataOffset = 0;
    std::size_t dataBytes = 0;  // declared size, before checking it against the file
};

// Walks the RIFF chunks for "fmt " and "data". A canonical 44-byte header
// finds them at their usual places; files with extra chunks work too.
bool FindWavLayout(std::span<const unsigned char> bytes, WavLayout& layout) {
    if (!HasTag(bytes, 0, "RIFF") || !HasTag(bytes, 8, "WAVE")) return false;
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::size_t bodySize = ReadU32(bytes, at + 4);
        const std::size_t body = at + 8;
        if (HasTag(bytes, at, "fmt ")) {
            if (bodySize < 16 || body + 16 > bytes.size()) return false;
            layout.channels = ReadU16(bytes, body + 2);
            layout.bitsPerSample = ReadU16(bytes, body + 14);
            haveFormat = true;
        } else if (HasTag(bytes, at, "data")) {
            layout.dataOffset = body;
            layout.dataBytes = bodySize;
            return haveFormat;
        }
        if (bodySize > bytes.size()) return false;  // a chunk that runs past what was read
        at = body + bodySize + (bodySize & 1);      // chunks are padded to even sizes
    }
    return false;
}

}  // namespace

void StretchIntoTable(std::span<const double> scratch, int count, TableSamples table) {
    for (int i = 0; i < kSize; ++i) {
        const double position = static_cast<double>(count) * i / kSize;
        const int rounded = static_cast<int>(std::floor(position + 0.5));
        if (rounded < count) {
            table[static_cast<std::size_t>(i)] =
                (scratch[static_cast<std::size_t>(position)] + scratch[static_cast<std::size_t>(rounded)]) * 0.5;
        }
    }
}

void ReadRawWaveform(std::span<const unsigned char> bytes, TableSamples table, TableSamples scratch) {
    if (bytes.size() >= kRawBytesUsed) {
        for (int i = 0; i < kSize; ++i) table[static_cast<std::size_t>(i)] = ReadDouble(bytes, static_cast<std::size_t>(i) * 8);
    } else {
        const int count = static_cast<int>(bytes.size() / 8);
        for (int i = 0; i < count; ++i) scratch[static_cast<std::size_t>(i)] = ReadDouble(bytes, static_cast<std::size_t>(i) * 8);
        StretchIntoTable(scratch, count, table);
    }
    // Non-numbers would poison the normalisation and every oscillator reading the table.
    for (double& sample : table) {
        if (!std::isfinite(sample)) sample = 0.0;
    }
}

bool ReadWavWaveform(std::span<const unsigned char> bytes, TableSamples table, TableSamples scratch) {
    WavLayout layout;
    if (!FindWavLayout(bytes, layout)) return false;
    if (layout.bitsPerSample != 16 || (layout.channels != 1 && layout.channels != 2)) return false;

    const std::size_t frameBytes = 2u * static_cast<std::size_t>(layout.channels);
    const std::size_t available = bytes.size() - std::min(bytes.size(), layout.dataOffset);
    const std::size_t frames = std::min({layout.dataBytes / frameBytes, available / frameBytes, std::size_t{kSize}});

    auto frameValue = [&](std::size_t frame) {
        const std::size_t at = layout.dataOffset + frame * frameBytes;
        const double left = static_cast<int16_t>(ReadU16(bytes, at)) / 32767.0;
        if (layout.channels == 1) return left;
        return left + 0.5 * (static_cast<int16_t>(ReadU16(bytes, at + 2)) / 32767.0);
    };

    if (frames == static_cast<std::size_t>(kSize)) {
        for (std::size_t i = 0; i < frames; ++i) table[i] = frameValue(i);
    } else {
        for (std::size_t i = 0; i < frames; ++i) scratch[i] = frameValue(i);
        StretchIntoTable(scratch, static_cast<int>(frames), table);
    }
    return true;
}

bool LoadUserWaveformFile(const std::filesystem::path& path, TableSamples table, TableSamples scratch) {
    std::vector<unsigned char> bytes;
    const bool isWav = path.extension() == ".wav";
    if (!ReadFilePrefix(path, isWav ? kWavBytesRead : kRawBytesUsed, bytes)) return false;
    if (isWav) return ReadWavWaveform(bytes, table, scratch);
    ReadRawWaveform(bytes, table, scratch);
    return true;
}

}  // namespace Korvane
