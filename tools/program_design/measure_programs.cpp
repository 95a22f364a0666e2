// Plays one note of each factory program and prints its profile (see
// sound_profile.h), for designing the bank by ear and by numbers.
//
//   measure_programs            every program
//   measure_programs 20 75 103  only these
//
// Each program gets a fresh instance at 44100 Hz with 512-frame blocks and
// one note at velocity 127: note 48 for drums and basses, 60 otherwise, held
// 0.25 s for drums and 1.5 s otherwise, in a render of 3 s. A summary of
// each section's ranges follows the table.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "instrument/dunerow.h"
#include "sound_profile.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kRenderFrames = static_cast<int>(3.0 * kRate);

sound_profile::Profile MeasureProgram(int program) {
    using namespace sound_profile;
    const Section section = SectionOf(program);
    const int note = NoteOf(section);
    const double holdSeconds = IsDrum(section) ? 0.25 : 1.5;
    const int holdFrames = static_cast<int>(holdSeconds * kRate);

    auto synth = std::make_unique<Dunerow>();
    synth->SetSampleRate(kRate);
    synth->SetBlockSize(kBlock);
    synth->OnReset();
    synth->RestoreProgram(program);

    std::vector<double> left(kRenderFrames), right(kRenderFrames);
    for (int start = 0; start < kRenderFrames; start += kBlock) {
        const int frames = std::min(kBlock, kRenderFrames - start);
        if (start == 0) synth->QueueMidiMessage({0, 0x90, static_cast<uint8_t>(note), 127});
        if (holdFrames >= start && holdFrames < start + frames) {
            synth->QueueMidiMessage({holdFrames - start, 0x80, static_cast<uint8_t>(note), 0});
        }
        double* outputs[2] = {left.data() + start, right.data() + start};
        synth->ProcessBlock(nullptr, outputs, frames);
    }

    const Profile p = Measure(left, right, static_cast<std::size_t>(holdFrames), IsDrum(section) ? 0.12 : 0.75);
    const auto values = synth->ProgramValues();
    std::printf("%3d %-10s %-27.27s %s %6.3f %6.3f %6.0f %5.2f %5.2f %5.0f %5.2f %5.2f %5.2f %6.1f %3s%s\n", program,
                SectionName(section), std::string(synth->GetProgramName(program)).c_str(), p.finite ? " " : "!", p.peak,
                p.rms, p.centroidHz, p.lowShare, p.highShare, p.attackSeconds * 1000.0, p.decaySeconds, p.releaseSeconds,
                p.sustainRatio, p.pitchHz, values[param::LimitOutput] > 0.0 ? "lim" : "",
                p.peak >= Dunerow::kOpenCeiling ? " CLIPS" : "");
    return p;
}

// Lowest and highest of a few measures over the programs of each section.
void PrintSummary(const std::map<sound_profile::Section, std::vector<sound_profile::Profile>>& sections) {
    std::printf("\nsection    peak             centroid Hz      <150 share       attack ms        decay s          release s        sustain\n");
    for (const auto& [section, profiles] : sections) {
        auto range = [&](auto measure, double scale, int decimals) {
            double low = 1e300, high = -1e300;
            for (const auto& p : profiles) {
                low = std::min(low, measure(p) * scale);
                high = std::max(high, measure(p) * scale);
            }
            std::printf(" %6.*f..%-6.*f", decimals, low, decimals, high);
        };
        std::printf("%-10s", sound_profile::SectionName(section));
        range([](const auto& p) { return p.peak; }, 1.0, 3);
        range([](const auto& p) { return p.centroidHz; }, 1.0, 0);
        range([](const auto& p) { return p.lowShare; }, 1.0, 3);
        range([](const auto& p) { return p.attackSeconds; }, 1000.0, 0);
        range([](const auto& p) { return p.decaySeconds; }, 1.0, 2);
        range([](const auto& p) { return p.releaseSeconds; }, 1.0, 2);
        range([](const auto& p) { return p.sustainRatio; }, 1.0, 2);
        std::printf("\n");
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("  # section    name                        f   peak    rms  centr   <150  >5k  att.ms decay  rel.  sust  pitch\n");
    std::map<sound_profile::Section, std::vector<sound_profile::Profile>> sections;
    std::vector<int> programs;
    for (int i = 1; i < argc; ++i) programs.push_back(std::atoi(argv[i]));
    if (programs.empty()) {
        for (int k = 0; k < kProgramCount; ++k) programs.push_back(k);
    }
    for (int k : programs) sections[sound_profile::SectionOf(k)].push_back(MeasureProgram(k));
    PrintSummary(sections);
    return 0;
}
