// Hosts in automation read mode, and hosts restoring a session, send every
// parameter again and again, some before every block. A value a unit
// already has changes nothing: no switch fades again, no filter glides or
// is designed anew.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "hosts/validation/validation_support.h"

using namespace vst2;
using namespace validation;

namespace {

using Stereo = std::array<std::vector<double>, 2>;

// Program `program`, with every value once set to what the host reads back
// (a 32-bit number): from then on the host's value and the instance's agree.
void StartOn(VstTestHost& host, int program, int blockSize) {
    host.Start(44100.0, blockSize);
    host.Dispatch(effSetProgram, 0, program);
    for (int index = 0; index < kParameters; ++index) host.SetParameter(index, host.GetParameter(index));
}

void ResendEverything(VstTestHost& host) {
    for (int index = 0; index < kParameters; ++index) host.SetParameter(index, host.GetParameter(index));
}

// A second of notes; `resend` re-sends every value before every block.
Stereo Render(int program, int blockSize, bool resend) {
    VstTestHost host;
    StartOn(host, program, blockSize);
    NoteStream notes(4711u + static_cast<uint32_t>(program));
    Stereo out;
    const int blocks = 44100 / blockSize;
    for (int block = 0; block < blocks; ++block) {
        if (resend) ResendEverything(host);
        if (block % (4096 / blockSize) == 0) notes.SendBlock(host, blockSize, 2);
        const Stereo rendered = host.ProcessDouble(blockSize);
        for (std::size_t c = 0; c < 2; ++c) out[c].insert(out[c].end(), rendered[c].begin(), rendered[c].end());
    }
    return out;
}

}  // namespace

TEST(HostAutomation, ResendingEveryCurrentValueBeforeEveryBlockChangesNothing) {
    for (int program : {0, 3, 9, 21, 40, 77}) {
        for (int blockSize : {64, 512}) {
            const Stereo plain = Render(program, blockSize, false);
            const Stereo resent = Render(program, blockSize, true);
            double peak = 0.0;
            double largest = 0.0;
            for (std::size_t c = 0; c < 2; ++c) {
                for (std::size_t i = 0; i < plain[c].size(); ++i) {
                    peak = std::max(peak, std::abs(plain[c][i]));
                    largest = std::max(largest, std::abs(resent[c][i] - plain[c][i]));
                }
            }
            EXPECT_GT(peak, 0.01) << "program " << program << " sounds";
            EXPECT_LE(largest, 1e-12) << "program " << program << ", blocks of " << blockSize;
        }
    }
}
