// Compares Ardour's export of a few notes played through Dunerow with our own
// test host's render of the same notes (see ardour_render.lua).
//
//   compare_ardour_render ARDOUR.wav
//
// Exit status: 0 when the renders match, 1 when they do not (or the file is
// unreadable), 77 when Ardour is not installed and there is nothing to compare.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "instrument/parameter_table.h"
#include "support/vst_test_host.h"

namespace {

constexpr double kSampleRate = 48000.0;
constexpr int kBlockSize = 512;
constexpr int kSettleBlocks = 50;  // silence first, as Ardour runs the plug-in before its export starts
constexpr int kMaxLag = 2048;
constexpr double kMinCorrelation = 0.99;
constexpr double kPeakTolerance = 0.03;
constexpr double kMaxDifference = 0.01;  // relative to Ardour's peak, once aligned and scaled
constexpr double kMaxGainChange = 2.0;  // the master bus may change the level, within 6 dB

// The notes of ardour_render.lua, as frames at 48 kHz: {frame, status, key, velocity}.
const std::vector<std::array<int, 4>> kMidi = {
    {0, 0x90, 36, 127}, {24000, 0x80, 36, 64}, {28800, 0x90, 48, 127}, {43200, 0x80, 48, 64}};

using Channels = std::vector<std::vector<float>>;

// Reads the samples of a RIFF WAVE file: 16, 24 or 32-bit PCM, or 32-bit float.
class WavReader {
public:
    explicit WavReader(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        if (!file) throw std::runtime_error("cannot open " + path);
        bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    Channels Read(double& sampleRate) const {
        if (Tag(0) != "RIFF" || Tag(8) != "WAVE") throw std::runtime_error("not a RIFF WAVE file");
        int format = 0, channels = 0, bits = 0;
        for (std::size_t at = 12; at + 8 <= bytes_.size();) {
            const std::size_t size = U32(at + 4), body = at + 8;
            Need(body, size);
            if (Tag(at) == "fmt ") {
                Need(body, 16);
                format = U16(body);
                channels = U16(body + 2);
                sampleRate = U32(body + 4);
                bits = U16(body + 14);
                if (format == 0xFFFE) {  // extensible: the real format leads the sub-format GUID
                    Need(body, 26);
                    format = U16(body + 24);
                }
            } else if (Tag(at) == "data") {
                return Decode(body, size, format, channels, bits);
            }
            at = body + size + (size & 1);
        }
        throw std::runtime_error("no data chunk");
    }

private:
    Channels Decode(std::size_t at, std::size_t size, int format, int channelCount, int bits) const {
        const bool pcm = format == 1 && (bits == 16 || bits == 24 || bits == 32);
        if (channelCount < 1 || !(pcm || (format == 3 && bits == 32)))
            throw std::runtime_error("unsupported sample format " + std::to_string(format) + "/" + std::to_string(bits));
        const std::size_t width = static_cast<std::size_t>(bits / 8), frameSize = width * static_cast<std::size_t>(channelCount);
        const std::size_t frames = size / frameSize;
        Channels out(static_cast<std::size_t>(channelCount), std::vector<float>(frames));
        for (std::size_t frame = 0; frame < frames; ++frame) {
            for (std::size_t channel = 0; channel < out.size(); ++channel) {
                const std::size_t p = at + frame * frameSize + channel * width;
                float value = 0.0f;
                if (format == 3) {
                    const std::uint32_t word = U32(p);
                    std::memcpy(&value, &word, sizeof value);
                } else {
                    // Shift the sample into the top of a 32-bit word to sign-extend it.
                    std::uint32_t word = 0;
                    for (std::size_t b = 0; b < width; ++b) word |= static_cast<std::uint32_t>(bytes_[p + b]) << (8 * (4 - width + b));
                    value = static_cast<float>(static_cast<std::int32_t>(word) / 2147483648.0);
                }
                out[channel][frame] = value;
            }
        }
        return out;
    }

    void Need(std::size_t at, std::size_t count) const {
        if (at > bytes_.size() || count > bytes_.size() - at) throw std::runtime_error("truncated WAV file");
    }
    std::string_view Tag(std::size_t at) const {
        Need(at, 4);
        return {reinterpret_cast<const char*>(bytes_.data() + at), 4};
    }
    std::uint32_t U16(std::size_t at) const {
        Need(at, 2);
        return bytes_[at] | static_cast<std::uint32_t>(bytes_[at + 1]) << 8;
    }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }

    std::vector<unsigned char> bytes_;
};

// Our own host's render of the notes, with the effects bypassed as in Ardour.
// The silent blocks first let the parameter smoothing settle.
Channels RenderWithTestHost(std::size_t frames) {
    VstTestHost host;
    host.Start(kSampleRate, kBlockSize);
    host.SetParameter(param::BypassFX, 1.0f);
    for (int block = 0; block < kSettleBlocks; ++block) host.ProcessFloat(kBlockSize);
    Channels out(2);
    for (std::size_t start = 0; start < frames; start += kBlockSize) {
        std::vector<std::array<int, 4>> events;
        for (const auto& event : kMidi) {
            const long delta = event[0] - static_cast<long>(start);
            if (delta >= 0 && delta < kBlockSize) events.push_back({static_cast<int>(delta), event[1], event[2], event[3]});
        }
        if (!events.empty()) host.SendMidi(events);
        const auto block = host.ProcessFloat(kBlockSize);
        for (std::size_t c = 0; c < 2; ++c) out[c].insert(out[c].end(), block[c].begin(), block[c].end());
    }
    for (auto& channel : out) channel.resize(frames);
    return out;
}

double Peak(const Channels& channels) {
    double peak = 0.0;
    for (const auto& channel : channels)
        for (float sample : channel) peak = std::max(peak, static_cast<double>(std::abs(sample)));
    return peak;
}

struct Match {
    int lag = 0;  // Ardour's frame = our frame + lag
    double correlation = -2.0;
    double gain = 0.0;  // least-squares factor from our render to Ardour's
};

// The lag within the window that correlates best, over both channels.
Match Align(const Channels& ardour, const Channels& ours) {
    Match best;
    const auto frames = static_cast<long>(std::min(ardour[0].size(), ours[0].size()));
    for (int lag = -kMaxLag; lag <= kMaxLag; ++lag) {
        double cross = 0.0, energyArdour = 0.0, energyOurs = 0.0;
        for (std::size_t c = 0; c < 2; ++c) {
            for (long i = std::max(0L, -static_cast<long>(lag)); i < frames && i + lag < frames; ++i) {
                const double a = ardour[c][static_cast<std::size_t>(i + lag)], o = ours[c][static_cast<std::size_t>(i)];
                cross += a * o;
                energyArdour += a * a;
                energyOurs += o * o;
            }
        }
        if (energyArdour <= 0.0 || energyOurs <= 0.0) continue;
        const double correlation = cross / std::sqrt(energyArdour * energyOurs);
        if (correlation > best.correlation) best = {lag, correlation, cross / energyOurs};
    }
    return best;
}

// Largest difference between Ardour's render and ours, aligned and scaled.
double Residual(const Channels& ardour, const Channels& ours, const Match& match) {
    double residual = 0.0;
    for (std::size_t c = 0; c < 2; ++c) {
        for (std::size_t i = 0; i < ours[c].size(); ++i) {
            const long at = static_cast<long>(i) + match.lag;
            if (at < 0 || at >= static_cast<long>(ardour[c].size())) continue;
            const double a = ardour[c][static_cast<std::size_t>(at)], o = ours[c][i];
            residual = std::max(residual, std::abs(a - match.gain * o));
        }
    }
    return residual;
}

bool ArdourInstalled() {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && std::filesystem::exists(std::filesystem::path(folder) / "ardour7-lua")) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (!ArdourInstalled()) {
        std::puts("Ardour is not installed; skipping");
        return 77;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s ARDOUR_RENDER.wav\n", argv[0]);
        return 1;
    }
    try {
        double sampleRate = 0.0;
        Channels ardour = WavReader(argv[1]).Read(sampleRate);
        if (sampleRate != kSampleRate || ardour.size() != 2 || ardour[0].size() < 24000) {
            std::fprintf(stderr, "MISMATCH: Ardour's render is %zu channels of %zu frames at %.0f Hz; expected stereo, 48000 Hz, at least 0.5 s\n",
                         ardour.size(), ardour.empty() ? std::size_t{0} : ardour[0].size(), sampleRate);
            return 1;
        }
        const Channels ours = RenderWithTestHost(ardour[0].size());
        const double peakArdour = Peak(ardour), peakOurs = Peak(ours);
        if (peakArdour < 1e-3 || peakOurs < 1e-3) {
            std::fprintf(stderr, "MISMATCH: a render is silent (Ardour peak %.6f, test host peak %.6f)\n", peakArdour, peakOurs);
            return 1;
        }
        const Match match = Align(ardour, ours);
        const double peakRatio = peakArdour / peakOurs, difference = Residual(ardour, ours, match);
        std::printf("Ardour frames %zu, peak %.4f; test host peak %.4f; lag %d frames, correlation %.6f, gain %.4f, peak ratio %.4f, "
                    "largest difference %.3g\n",
                    ardour[0].size(), peakArdour, peakOurs, match.lag, match.correlation, match.gain, peakRatio, difference);
        if (match.correlation < kMinCorrelation) {
            std::fprintf(stderr, "MISMATCH: correlation %.6f is below %.2f\n", match.correlation, kMinCorrelation);
            return 1;
        }
        if (match.gain < 1.0 / kMaxGainChange || match.gain > kMaxGainChange) {
            std::fprintf(stderr, "MISMATCH: Ardour's level is %.4f times ours\n", match.gain);
            return 1;
        }
        if (std::abs(peakRatio / match.gain - 1.0) > kPeakTolerance) {
            std::fprintf(stderr, "MISMATCH: peak ratio %.4f differs from the gain %.4f by more than %.0f%%\n", peakRatio, match.gain,
                         kPeakTolerance * 100.0);
            return 1;
        }
        if (difference > kMaxDifference * peakArdour) {
            std::fprintf(stderr, "MISMATCH: the renders differ by %.4f, more than %.0f%% of the peak\n", difference, kMaxDifference * 100.0);
            return 1;
        }
        std::puts("MATCH: Ardour renders like our test host");
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "MISMATCH: %s\n", error.what());
        return 1;
    }
}
