// Renders a fixed set of factory programs and notes through the built module,
// in 32-bit and 64-bit processing, so that the Linux and Windows builds of the
// instrument can be held against each other.
//
//   module_render write FILE       writes the render (little-endian doubles)
//   module_render compare FILE [exact]
//                                  renders and compares with FILE; exit 0 when
//                                  every sample is within 1e-6 of its case's
//                                  peak (or equal, with "exact"), 1 when not,
//                                  77 when FILE is missing
//   module_render golden FOLDER    plays the golden workloads and holds them
//                                  against the fixtures in FOLDER within 1e-6
//                                  of each fixture's peak
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "shell/vst2/vst2_interface.h"
#include "support/golden_render.h"
#include "support/vst_test_host.h"

namespace {

struct RenderCase {
    int program;
    std::vector<std::array<int, 4>> midi;  // frame, status, data 1, data 2
};

constexpr double kSampleRate = 48000.0;
constexpr int kBlock = 256;
constexpr int kBlocks = 120;  // 0.64 s
constexpr double kTolerance = 1e-6;

// Kicks, a bass, a pad and a lead: the noise, distortion, filter, modulation
// and unison paths all take part.
const std::vector<RenderCase>& Cases() {
    static const std::vector<RenderCase> cases = {
        {20, {{0, 0x90, 36, 127}}},                                        // Mainstream Bassdrum 1
        {60, {{10, 0x90, 36, 110}, {9000, 0x80, 36, 0}}},                  // Gabber Kick 3
        {50, {{0, 0x90, 40, 127}}},                                        // NoiseCore Kick 1
        {84, {{0, 0x90, 33, 100}, {12000, 0x90, 40, 90}}},                 // Underground Dub Bass 1
        {97, {{0, 0x90, 57, 100}, {0, 0x90, 60, 100}, {0, 0x90, 64, 100}}},// Relic Pad
        {106, {{100, 0x90, 69, 127}, {20000, 0x80, 69, 0}}},               // Super Saw Lead 1
    };
    return cases;
}

// One case's left and right channels, float processing then double processing.
std::vector<double> RenderOne(const RenderCase& renderCase) {
    std::vector<double> samples;
    for (bool twice : {false, true}) {
        VstTestHost host;
        host.Dispatch(vst2::effSetProgram, 0, renderCase.program);
        host.Start(kSampleRate, kBlock);
        std::vector<std::vector<double>> channels(2);
        for (int block = 0; block < kBlocks; ++block) {
            std::vector<std::array<int, 4>> due;
            for (const auto& event : renderCase.midi) {
                if (event[0] / kBlock == block) due.push_back({event[0] % kBlock, event[1], event[2], event[3]});
            }
            if (!due.empty()) host.SendMidi(due);
            if (twice) {
                const auto out = host.ProcessDouble(kBlock);
                for (std::size_t c = 0; c < 2; ++c) channels[c].insert(channels[c].end(), out[c].begin(), out[c].end());
            } else {
                const auto out = host.ProcessFloat(kBlock);
                for (std::size_t c = 0; c < 2; ++c) channels[c].insert(channels[c].end(), out[c].begin(), out[c].end());
            }
        }
        for (const auto& channel : channels) samples.insert(samples.end(), channel.begin(), channel.end());
    }
    return samples;
}

std::vector<std::vector<double>> RenderAll() {
    std::vector<std::vector<double>> renders;
    for (const RenderCase& renderCase : Cases()) renders.push_back(RenderOne(renderCase));
    return renders;
}

std::size_t CaseLength() { return static_cast<std::size_t>(2 * 2 * kBlocks * kBlock); }

void AppendLittleEndian(std::string& bytes, double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
}

double ReadLittleEndian(const unsigned char* bytes) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int Write(const char* path) {
    std::string bytes;
    for (const auto& render : RenderAll()) {
        for (double sample : render) AppendLittleEndian(bytes, sample);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        std::fprintf(stderr, "module_render: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

int Compare(const char* path, double tolerance) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::printf("module_render: no reference render at %s; build and test the Linux preset first\n", path);
        return 77;
    }
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const auto renders = RenderAll();
    if (bytes.size() != renders.size() * CaseLength() * 8) {
        std::printf("module_render: %s holds %zu bytes, expected %zu\n", path, bytes.size(), renders.size() * CaseLength() * 8);
        return 1;
    }
    bool same = true;
    for (std::size_t k = 0; k < renders.size(); ++k) {
        const unsigned char* reference = bytes.data() + k * CaseLength() * 8;
        double peak = 0.0;
        double largest = 0.0;
        std::size_t where = 0;
        for (std::size_t i = 0; i < CaseLength(); ++i) {
            const double expected = ReadLittleEndian(reference + i * 8);
            peak = std::max(peak, std::abs(expected));
            const double difference = std::abs(renders[k][i] - expected);
            if (!(difference <= largest)) {
                largest = difference;
                where = i;
            }
        }
        const double relative = peak > 0.0 ? largest / peak : largest;
        const bool close = peak > 0.01 && relative <= tolerance;
        std::printf("program %3d: peak %.4f, largest difference %.3g (%.3g of the peak) at sample %zu%s\n",
                    Cases()[k].program, peak, largest, relative, where, close ? "" : "  <-- too far apart");
        same = same && close;
    }
    return same ? 0 : 1;
}

int CompareGolden(const std::string& folder) {
    bool same = true;
    for (const golden::Workload& workload : golden::Workloads()) {
        VstTestHost host;
        const std::vector<float> rendered = golden::Render(host, workload);
        const auto fixture = golden::ReadWav(folder + "/" + workload.name + ".wav");
        if (!fixture || fixture->samples.size() != rendered.size()) {
            std::printf("%s: fixture missing or of another length\n", workload.name.c_str());
            same = false;
            continue;
        }
        const golden::Difference d = golden::Compare(fixture->samples, rendered);
        const double relative = d.peak > 0.0 ? d.largest / d.peak : d.largest;
        const bool close = d.peak > 0.01 && relative <= kTolerance;
        std::printf("%-22s peak %.4f, largest difference %.3g (%.3g of the peak)%s\n", workload.name.c_str(), d.peak,
                    d.largest, relative, close ? "" : "  <-- too far apart");
        same = same && close;
    }
    return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc == 3 && std::strcmp(argv[1], "write") == 0) return Write(argv[2]);
        if (argc == 3 && std::strcmp(argv[1], "compare") == 0) return Compare(argv[2], kTolerance);
        if (argc == 4 && std::strcmp(argv[1], "compare") == 0 && std::strcmp(argv[3], "exact") == 0) return Compare(argv[2], 0.0);
        if (argc == 3 && std::strcmp(argv[1], "golden") == 0) return CompareGolden(argv[2]);
        std::fprintf(stderr, "usage: module_render write FILE | compare FILE [exact] | golden FOLDER\n");
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "module_render: %s\n", error.what());
        return 1;
    }
}
