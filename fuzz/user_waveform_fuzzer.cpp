// User waveform files, raw and WAV, read by the instrument's reader from a
// file named as the instrument names them. The first byte picks the kind of
// file; the rest is the file. A refused file must leave the table alone;
// whatever a file holds, the table must end up finite, and normalising it,
// as the instrument does next, must give finite samples within the peak.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/user_waveform_file.h"
#include "engine/waveform_table.h"
#include "fuzz_support.h"

namespace {

using Korvane::WaveformTable;

// A recognisable table content that no file sets by accident.
void FillPattern(WaveformTable& table) {
    auto samples = table.Samples();
    for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = 0.25 + static_cast<double>(i % 7) * 0.0625;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool wav = (data[0] & 1) != 0;
    const std::filesystem::path path = fuzz::ScratchFolder() / (wav ? "user01.wav" : "user01.raw");
    fuzz::WriteFile(path, data + 1, size - 1);

    static WaveformTable table;
    static WaveformTable scratch;
    static WaveformTable pattern;
    FillPattern(table);
    FillPattern(pattern);
    FillPattern(scratch);
    const bool read = Korvane::LoadUserWaveformFile(path, table.Samples(), scratch.Samples());
    fuzz::Check(read || wav, "a raw file was refused");
    if (!read) {
        fuzz::Check(std::ranges::equal(table.Samples(), pattern.Samples()), "a refused file changed the table");
        return 0;
    }
    for (double sample : table.Samples()) fuzz::Check(std::isfinite(sample), "a file left a sample that is not finite");

    table.Normalise(1.0);
    for (double sample : table.Samples()) {
        fuzz::Check(std::isfinite(sample) && std::abs(sample) <= 1.0 + 1e-12, "a normalised user table is not finite or above its peak");
    }
    return 0;
}
