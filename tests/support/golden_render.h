// Golden renders: a few fixed workloads played through the module, and the
// 32-bit float WAV files that keep what they sounded like when the fixtures
// were written. Any change to the engine that alters the sound beyond float
// rounding shows up as a difference against these files.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "instrument/parameter_table.h"
#include "support/vst_test_host.h"

namespace golden {

struct MidiAt {
    int frame;
    int status;
    int data1;
    int data2;
};

struct Workload {
    std::string name;  // also the fixture's file name, without ".wav"
    int program;
    double sampleRate;
    int blockSize;
    int frames;
    std::vector<std::pair<int, float>> parameters;  // set after the program
    std::vector<MidiAt> midi;                       // ordered by frame
};

// Kicks with their full chains, a bass and a lead with note-offs inside the
// render, noise, a chord of the heaviest voice settings, and odd block sizes
// and rates, so that every path of the engine contributes.
inline std::vector<Workload> Workloads() {
    return {
        {"mainstream_bassdrum_1", 20, 44100.0, 512, 15000, {}, {{0, 0x90, 36, 110}}},
        {"heavy_chord", 20, 44100.0, 512, 12000, {{param::KickTransposeMode, 0.0f}},
         {{0, 0x90, 36, 127}, {0, 0x90, 43, 100}, {300, 0x90, 48, 90}}},
        {"amiga_powerkick", 52, 48000.0, 100, 12000, {}, {{37, 0x90, 38, 100}}},
        {"dub_bass", 84, 44100.0, 333, 14000, {}, {{10, 0x90, 33, 96}, {6000, 0x80, 33, 0}, {6500, 0x90, 40, 70}}},
        {"open_hihat", 74, 32000.0, 64, 6000, {}, {{0, 0x90, 60, 120}}},
        {"phased_lead", 115, 44100.0, 256, 14000, {}, {{5, 0x90, 57, 100}, {9000, 0x80, 57, 0}}},
    };
}

// Plays a workload and returns interleaved stereo samples.
inline std::vector<float> Render(VstTestHost& host, const Workload& workload) {
    host.Dispatch(vst2::effSetProgram, 0, workload.program);
    for (const auto& [index, value] : workload.parameters) host.SetParameter(index, value);
    host.Start(workload.sampleRate, workload.blockSize);
    std::vector<float> out;
    out.reserve(static_cast<std::size_t>(workload.frames) * 2);
    std::size_t nextEvent = 0;
    for (int start = 0; start < workload.frames; start += workload.blockSize) {
        const int frames = std::min(workload.blockSize, workload.frames - start);
        std::vector<std::array<int, 4>> events;
        for (; nextEvent < workload.midi.size() && workload.midi[nextEvent].frame < start + frames; ++nextEvent) {
            const MidiAt& m = workload.midi[nextEvent];
            events.push_back({m.frame - start, m.status, m.data1, m.data2});
        }
        if (!events.empty()) host.SendMidi(events);
        const auto block = host.ProcessFloat(frames);
        for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i) {
            out.push_back(block[0][i]);
            out.push_back(block[1][i]);
        }
    }
    return out;
}

struct WavFile {
    int sampleRate = 0;
    std::vector<float> samples;  // interleaved stereo
};

inline uint32_t ReadLe32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

// Reads a stereo 32-bit float WAV file by walking its chunks.
inline std::optional<WavFile> ReadWav(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return std::nullopt;
    WavFile wav;
    bool formatOk = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::size_t size = ReadLe32(&bytes[at + 4]);
        const std::size_t body = at + 8;
        if (size > bytes.size() - body) return std::nullopt;
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0 && size >= 16) {
            const unsigned format = bytes[body] | bytes[body + 1] << 8;
            const unsigned channels = bytes[body + 2] | bytes[body + 3] << 8;
            const unsigned bits = bytes[body + 14] | bytes[body + 15] << 8;
            wav.sampleRate = static_cast<int>(ReadLe32(&bytes[body + 4]));
            formatOk = format == 3 && channels == 2 && bits == 32;
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            if (!formatOk) return std::nullopt;
            wav.samples.resize(size / 4);
            for (std::size_t i = 0; i < wav.samples.size(); ++i) {
                const uint32_t word = ReadLe32(&bytes[body + 4 * i]);
                std::memcpy(&wav.samples[i], &word, 4);
            }
            return wav;
        }
        at = body + size + (size & 1);
    }
    return std::nullopt;
}

inline void WriteWav(const std::string& path, int sampleRate, const std::vector<float>& samples) {
    std::vector<unsigned char> bytes;
    auto put32 = [&](uint32_t v) {
        for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<unsigned char>(v >> (8 * b)));
    };
    auto put16 = [&](unsigned v) {
        bytes.push_back(static_cast<unsigned char>(v));
        bytes.push_back(static_cast<unsigned char>(v >> 8));
    };
    const auto dataSize = static_cast<uint32_t>(samples.size() * 4);
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put32(36 + dataSize);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(16);
    put16(3);
    put16(2);
    put32(static_cast<uint32_t>(sampleRate));
    put32(static_cast<uint32_t>(sampleRate) * 8);
    put16(8);
    put16(32);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put32(dataSize);
    for (float s : samples) {
        uint32_t word;
        std::memcpy(&word, &s, 4);
        put32(word);
    }
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Difference {
    double largest = 0.0;  // largest absolute difference of one sample
    std::size_t at = 0;
    double peak = 0.0;     // peak of the expected render, for scale
};

inline Difference Compare(const std::vector<float>& expected, const std::vector<float>& actual) {
    Difference d;
    for (std::size_t i = 0; i < std::min(expected.size(), actual.size()); ++i) {
        d.peak = std::max(d.peak, static_cast<double>(std::abs(expected[i])));
        const double diff = std::abs(static_cast<double>(expected[i]) - static_cast<double>(actual[i]));
        if (!(diff <= d.largest)) {
            d.largest = std::isnan(diff) ? HUGE_VAL : diff;
            d.at = i;
        }
    }
    return d;
}

}  // namespace golden
