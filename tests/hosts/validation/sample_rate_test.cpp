// Hosts change the sample rate of an instance they already set up (a new
// audio device, a project at another rate). Everything that depends on the
// rate follows: the instance then sounds as one created at the new rate.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/parameter_table.h"

using namespace vst2;
using namespace validation;

namespace {

using Stereo = std::array<std::vector<double>, 2>;

// Program `program`, with the modulation effects and the sample-rate
// reducer made audible when `effects` is set.
void Configure(VstTestHost& host, int program, bool effects) {
    host.Dispatch(effSetProgram, 0, program);
    if (!effects) return;
    host.SetParameter(param::BypassFX, 0.0f);
    host.SetParameter(param::ModulationOnOff, 1.0f);
    host.SetParameter(param::PhaserDepth, 0.8f);
    host.SetParameter(param::PhaserRate, 0.6f);
    host.SetParameter(param::RingModulationAmount, 0.4f);
    host.SetParameter(param::RingModulationFrequency, 0.3f);
    host.SetParameter(param::DistortionOnOff, 1.0f);
    host.SetParameter(param::SampleRate, 0.7f);
    host.SetParameter(param::DumpExpand, 0.8f);
    host.SetParameter(param::OscModFrequency1, 0.5f);
    host.SetParameter(param::OscFiltModAmount1, 0.5f);
}

Stereo Play(VstTestHost& host) {
    Stereo out;
    host.SendMidi({{10, 0x90, 36, 120}, {300, 0x90, 48, 90}});
    for (int block = 0; block < 60; ++block) {
        if (block == 40) host.SendMidi({{5, 0x80, 36, 0}, {6, 0x80, 48, 0}});
        const Stereo rendered = host.ProcessDouble(512);
        for (std::size_t c = 0; c < 2; ++c) out[c].insert(out[c].end(), rendered[c].begin(), rendered[c].end());
    }
    return out;
}

}  // namespace

TEST(HostSampleRate, AnInstanceMovedTo48kHzSoundsAsOneCreatedThere) {
    for (int program : {0, 5, 21, 40, 77}) {
        for (bool effects : {false, true}) {
            VstTestHost moved;
            moved.Start(44100.0, 512);
            Configure(moved, program, effects);
            moved.Reconfigure(48000.0, 512);

            // Suspended and resumed like the moved one: a resume ends the
            // glides and fades the program change started.
            VstTestHost fresh;
            fresh.Start(48000.0, 512);
            Configure(fresh, program, effects);
            fresh.Reconfigure(48000.0, 512);

            const Stereo expected = Play(fresh);
            const Stereo heard = Play(moved);
            double peak = 0.0;
            double largest = 0.0;
            for (std::size_t c = 0; c < 2; ++c) {
                for (std::size_t i = 0; i < expected[c].size(); ++i) {
                    peak = std::max(peak, std::abs(expected[c][i]));
                    largest = std::max(largest, std::abs(heard[c][i] - expected[c][i]));
                }
            }
            EXPECT_GT(peak, 0.01) << "program " << program;
            EXPECT_LE(largest, 1e-12) << "program " << program << (effects ? " with effects" : "");
        }
    }
}
