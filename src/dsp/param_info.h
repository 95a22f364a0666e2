// Descriptors of the filter designs' parameters: range, default, how a
// 0..1 control value maps to the native unit, and how the value reads.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace Dsp {

inline constexpr int kMaxParameters = 8;
// One design's parameter values in native units; slot 0 is the sample rate.
using Params = std::array<double, kMaxParameters>;

enum ParamId : int {
    idSampleRate = 0,
    idFrequency = 1,
    idQ = 2,
    idBandwidth = 3,    // octaves
    idBandwidthHz = 4,
    idGain = 5,
    idOrder = 7,
    idRippleDb = 8,
};

class ParamInfo {
public:
    enum class Mapping { Linear, Integer, Exponential, PowerOfTwo };
    enum class Text { Hertz, Integer, Decibels, ThreeDecimals };

    constexpr ParamInfo(ParamId id, std::string_view shortName, std::string_view longName, double minimum,
                        double maximum, double defaultValue, Mapping mapping, Text text)
        : id_(id), shortName_(shortName), longName_(longName), minimum_(minimum), maximum_(maximum),
          default_(defaultValue), mapping_(mapping), text_(text) {}

    // Native value of a control value in 0..1 (values outside extrapolate).
    double ToNative(double control) const;
    // Control value of a native value.
    double ToControl(double native) const;
    // Display text of a native value.
    std::string ToText(double native) const;

    ParamId Id() const { return id_; }
    std::string_view ShortName() const { return shortName_; }
    std::string_view LongName() const { return longName_; }
    double Minimum() const { return minimum_; }
    double Maximum() const { return maximum_; }
    double Default() const { return default_; }

    static constexpr ParamInfo SampleRate() {
        return {idSampleRate, "Fs", "Sample Rate", 11025, 192000, 44100, Mapping::Linear, Text::Hertz};
    }
    static constexpr ParamInfo Order(int maximumOrder) {
        return {idOrder, "Order", "Order", 1, static_cast<double>(maximumOrder), 2, Mapping::Integer, Text::Integer};
    }
    static constexpr ParamInfo CutoffFrequency() {
        return {idFrequency, "Fc", "Cutoff Frequency", 10, 22040, 2000, Mapping::Exponential, Text::Hertz};
    }
    static constexpr ParamInfo CenterFrequency() {
        return {idFrequency, "Fc", "Center Frequency", 10, 22040, 2000, Mapping::Exponential, Text::Hertz};
    }
    static constexpr ParamInfo BandwidthHz() {
        return {idBandwidthHz, "BW", "Bandwidth (Hz)", 10, 22040, 1720, Mapping::Exponential, Text::Hertz};
    }
    static constexpr ParamInfo Gain() { return {idGain, "Gain", "Gain", -24, 24, -6, Mapping::Linear, Text::Decibels}; }
    static constexpr ParamInfo Ripple() {
        return {idRippleDb, "Ripple", "Ripple dB", 0.001, 12, 0.01, Mapping::Linear, Text::Decibels};
    }
    static constexpr ParamInfo Resonance() {
        return {idQ, "Q", "Resonance", -4, 4, 1, Mapping::PowerOfTwo, Text::ThreeDecimals};
    }
    static constexpr ParamInfo BandwidthOctaves() {
        return {idBandwidth, "BW", "Bandwidth (Octaves)", -4, 4, 1, Mapping::PowerOfTwo, Text::ThreeDecimals};
    }

private:
    ParamId id_;
    std::string_view shortName_;
    std::string_view longName_;
    double minimum_;
    double maximum_;
    double default_;
    Mapping mapping_;
    Text text_;
};

}  // namespace Dsp
