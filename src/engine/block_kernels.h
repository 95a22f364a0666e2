// Frame-parallel loops of the voice: each runs over a run of frames of one
// voice in SIMD lanes, chosen at run time for the processor (SSE2 up to
// AVX-512). Arithmetic other than the transcendental functions rounds as
// the scalar code does, so table reads and folds give the same bits.
#pragma once

namespace Korvane::kernels {

// Linearly interpolated reads of a 4096-sample table at phases in cycles;
// a phase whose fraction is not in [0, 1) (NaN) reads position 0.
void ReadInterpolated(const double* table, const double* phase, double* out, int count);
// Nearest lower sample of a 4096-sample table.
void ReadNearest(const double* table, const double* phase, double* out, int count);
// The triangle of phases in cycles: 0 at 0, 1 at 1/4, -1 at 3/4.
void Triangle(const double* phase, double* out, int count);
// The raw sawtooth of phases in cycles: 2f for f < 1/2, 2(f - 1) above.
void RawSawtooth(const double* phase, double* out, int count);
// The raw pulse: 1 while the phase's fraction is below `width`, -1 after.
void RawPulse(const double* phase, double width, double* out, int count);
// sin(2 pi x) of phases in cycles.
void SineOfCycles(const double* cycles, double* out, int count);
// depth * sin(x) of phases in radians.
void ScaledSine(const double* radians, double depth, double* out, int count);
// Folds each sample toward the opposite peak (an inverted oscillator).
void FoldInverted(double* samples, int count);
// out = x / divisor, rounded as a scalar division.
void Divide(const double* x, double divisor, double* out, int count);
// out = (a + b) / 2, the mean of two unison streams.
void MeanOfTwo(const double* a, const double* b, double* out, int count);
// Saturates each sample with its frame's drive; a drive not above 0 leaves it.
void Saturate(double* samples, const double* drive, int count);

// Ring modulation and filter cutoff of one oscillator over a chunk, given
// its filter envelope and LFO values a frame:
//   base = (invert ? (1 - envelope) * cutoff : cutoff * envelope) * (1 - filterMod)
//   cutoffOut = clamp(base + base * lfo * filterMod, 0, 1)
//   x = x (1 - ring), then x += x * lfo * ring, then x *= trim.
struct FilterInputSettings {
    double cutoff = 0.0;
    double filterMod = 0.0;
    double ring = 0.0;
    double trim = 1.0;
    bool invertEnvelope = false;
};
void ShapeFilterInput(double* x, double* cutoffOut, const double* envelope, const double* lfo,
                      const FilterInputSettings& settings, int count);

// Transfer-curve reads of a table of `size` entries, `size` a power of two,
// as CurveTable::Lookup gives them for interpolation 0 (none), 1 (linear),
// 3 (cubic) and 4 (Hermite), bit for bit.
void CurveLookup(const double* table, int size, int interpolation, const double* x, double* out, int count);

// Four planar runs into one run of four values a frame, and back.
void Interleave4(const double* a, const double* b, const double* c, const double* d, double* out, int count);
void Deinterleave4(const double* in, double* a, double* b, double* c, double* d, int count);

// Adds oscillators to the stereo mix with their pans (a pan below 1/2
// turns the right side down, above 1/2 the left), scaled by the frame's
// gain, with the click on both sides and the bass layer apart:
//   mixLeft += gain * left + gain * click, mixRight likewise,
//   bassLayer += gain * bass.
struct MixSources {
    const double* samples[3] = {};
    const double* pans[3] = {};
    int count = 0;  // oscillators in use
};
void MixOscillators(const MixSources& sources, const double* gain, const double* click, const double* bass,
                    double* mixLeft, double* mixRight, double* bassLayer, int count);

}  // namespace Korvane::kernels
