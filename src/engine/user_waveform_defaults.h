// Built-in contents of the 15 user waveforms: single cycles of 4096
// samples, full scale 32767 (convert with kStoredSampleScale from
// click_waveforms.h). Generated data: see
// tools/waveform_data/generate_waveform_data.cpp.
#pragma once

#include <array>
#include <cstdint>

namespace Korvane {

inline constexpr int kUserWaveformCount = 15;
inline constexpr int kUserWaveformLength = 4096;

extern const std::array<std::array<int16_t, kUserWaveformLength>, kUserWaveformCount> kUserWaveformDefaults;

}  // namespace Korvane
