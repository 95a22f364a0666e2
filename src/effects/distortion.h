// The distortion section's three stages: sample-rate reduction, gate-crack
// and the waveshaper with its 36 transfer curves and drive smoothing.
#pragma once

#include <array>
#include <span>
#include <cstdint>
#include <string_view>
#include <vector>

#include "effects/curve_table.h"

namespace Korvane {

class Distortion {
public:
    static constexpr int kTypeCount = 36;
    static constexpr int kWaveDisplayPoints = 98;
    static constexpr int kCurveDisplayPoints = 108;
    static constexpr double kDriveGain = 20.0;
    static constexpr double kFullDrive = 0.44;

    Distortion();
    virtual ~Distortion() = default;

    // Selects the curve of a 0..1 type value.
    void SetType(double value);
    static int TypeIndex(double value);
    static std::string_view TypeName(double value);
    static std::string_view NameOfIndex(int index);
    // Type index of a name (also "Fuzz-Drive" and "Korvane-Drive"); unknown names give 0.
    static int TypeFromName(std::string_view name);

    void SetSampleRate(double rate) { sampleRate_ = rate; }
    void SetBypassed(bool bypassed) { bypassed_ = bypassed; }
    void SetDrive(double drive) { driveTarget_ = drive; }
    void SetLoudness(bool loudness) { loudness_ = loudness; }
    // 0 none, 1 linear, 2 cosine, 3 cubic, 4 hermite; kept per instance.
    void SetInterpolation(int mode) { interpolation_ = mode; }
    // Hold length follows the reduction setting at the current sample rate.
    void SetReduction(double value);
    void SetGate(double value);

    // Holds samples for holdLength frames.
    void ProcessSampleRateReduction(double* left, double* right, int frames);
    // Silences every sample below the gate threshold (negative ones too).
    void ProcessGate(double* left, double* right, int frames);
    // Shapes the signal through the current curve with the smoothed drive.
    void ProcessDrive(double* left, double* right, int frames);

    // The waveshaper's law for one sample at drive `drive`.
    double Shape(double x, double drive) const;
    // Shape() given the curve's value at x.
    double ShapeLooked(double x, double looked, double drive) const;
    // A shaped sine cycle and the bare transfer curve, for the editor.
    void FillCurveDisplay(std::span<double, kWaveDisplayPoints> wave, std::span<double, kCurveDisplayPoints> curve) const;

    int Type() const { return type_; }
    int Interpolation() const { return interpolation_; }
    int HoldLength() const { return holdLength_; }
    double GateThreshold() const { return gateThreshold_; }
    double SmoothedDrive() const { return smoothedDrive_; }
    bool IsBypassed() const { return bypassed_; }
    const CurveTable& Table(int type) const { return tables_[static_cast<std::size_t>(type)]; }
    const CurveTable& CurrentTable() const { return *current_; }

private:
    double sampleRate_ = 44100.0;
    double reductionSetting_ = 1.0;
    uint32_t frameCounter_ = 0;
    int holdLength_ = 1;
    double gateAmount_ = 0.0;
    double gateThreshold_ = 0.0;
    bool bypassed_ = false;
    bool loudness_ = false;
    double heldLeft_ = 0.0;
    double heldRight_ = 0.0;
    double driveTarget_ = 0.0;
    int type_ = 0;
    std::vector<CurveTable> tables_;
    const CurveTable* current_ = nullptr;
    int interpolation_ = CurveTable::kLinear;
    double smoothedDrive_ = 0.0;
};

// Builds the 36 transfer curves, named, in type order.
std::vector<CurveTable> BuildDistortionCurves();

// Bit-depth quantiser of the distortion section.
class BitCrusher {
public:
    void SetBypassed(bool bypassed) { bypassed_ = bypassed; }
    // Quantise amount 0..1: 2.5 bits at 0, up to 64 bits (no effect) at 1.
    void SetAmount(double amount);
    // Truncates every sample toward zero onto the quantiser's grid.
    void Process(double* left, double* right, int frames) const;

    double Bits() const { return bits_; }
    double Scale() const { return scale_; }

private:
    bool bypassed_ = false;
    double amount_ = 1.0;
    double bits_ = 64.0;
    double scale_ = 9223372036854775808.0;  // 2^63
};

}  // namespace Korvane
