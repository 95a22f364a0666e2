// The four stored click transients mixed into the bass layer's click,
// sampled at 44100 Hz, full scale 32767. Generated data: see
// tools/waveform_data/generate_waveform_data.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace Korvane {

// Converts a stored int16 sample (click or user waveform) to +-1.0.
inline constexpr double kStoredSampleScale = 1.0 / 32767.0;

extern const std::array<std::span<const int16_t>, 4> kClickWaveforms;

}  // namespace Korvane
