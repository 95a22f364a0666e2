// The value laws several units share, each written once.
#pragma once

#include <algorithm>
#include <cmath>

namespace Korvane {

// 2^(1/12) - 1: one equal-tempered semitone as a linear ratio step. The
// voice's vibrato and unison detune use the neighbouring double.
inline constexpr double kSemitoneStep = 0.059463094359;
inline constexpr double kVoiceSemitoneStep = 0.05946309435899999;

// Pitch factor of an octave control: 0 is an octave down, 0.5 unity, 1 an
// octave up, linear on each side.
constexpr double OctaveFactor(double value) { return value < 0.5 ? value + 0.5 : 2.0 * value; }

// Frequency ratio of `semitones` (fractional) on the linearised semitone
// law; downward steps are the reciprocals of upward ones.
constexpr double SemitoneRatio(double semitones, double step = kSemitoneStep) {
    return semitones >= 0.0 ? 1.0 + step * semitones : 1.0 / (1.0 - step * semitones);
}

// Fine tune of an oscillator: 0.5 is unity, 0 and 1 one semitone down and up.
constexpr double FineTuneFactor(double value) {
    return value >= 0.5 ? 1.0 + (value - 0.5) * 2.0 * kSemitoneStep : 1.0 / (1.0 + (1.0 - 2.0 * value) * kSemitoneStep);
}

inline constexpr double kSaturationDriveScale = 7.77;
inline constexpr double kMinimumSaturationDrive = 1.0 / kSaturationDriveScale;

// Saturates `x` with `drive`: an arctangent curve normalised to reach +-1
// at x = +-1 at the lowest drive, pushed into hard clipping at +-1 as the
// drive rises. A drive of 0 leaves the sample unchanged.
inline double Saturate(double x, double drive) {
    if (drive == 0.0) return x;
    constexpr double kQuarterPi = 0.78539816339744830962;  // atan(1)
    const double effectiveDrive = std::max(drive, kMinimumSaturationDrive);
    const double y = (std::atan(x) / kQuarterPi) * effectiveDrive * kSaturationDriveScale;
    return std::clamp(y, -1.0, 1.0);
}

// Position 0..positions-1 selected by a 0..1 value, rounding to the nearest.
// Values outside 0..1 (and NaN) select the nearest end, so a stored value
// can never index past a list.
inline int SelectorPosition(double value, int positions) {
    const double scaled = std::floor(value * (positions - 1) + 0.5);
    if (!(scaled > 0.0)) return 0;
    if (scaled >= positions - 1) return positions - 1;
    return static_cast<int>(scaled);
}

}  // namespace Korvane
