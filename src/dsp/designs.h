// The filter designs: which parameters each takes and how a parameter set
// becomes a cascade of sections. Butterworth and Chebyshev type I designs
// come from analog prototypes; the RBJ designs are the audio equaliser
// cookbook's biquads.
#pragma once

#include <array>
#include <string_view>

#include "dsp/cascade.h"
#include "dsp/param_info.h"

namespace Dsp {

// Builders shared by the design templates; `maximumOrder` bounds the order parameter.
namespace DesignMath {
void ButterworthLowPass(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthHighPass(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthLowShelf(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthHighShelf(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthBandShelf(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthBandPass(const Params& p, int maximumOrder, Cascade& cascade);
void ButterworthBandStop(const Params& p, int maximumOrder, Cascade& cascade);
void ChebyshevLowPass(const Params& p, int maximumOrder, Cascade& cascade);
void ChebyshevHighPass(const Params& p, int maximumOrder, Cascade& cascade);
void RbjLowPass(const Params& p, Cascade& cascade);
void RbjHighPass(const Params& p, Cascade& cascade);
void RbjBandPass1(const Params& p, Cascade& cascade);
void RbjBandStop(const Params& p, Cascade& cascade);
}  // namespace DesignMath

// Kind codes of the designs.
enum class Kind : int { LowPass, HighPass, BandPass, BandStop, LowShelf, HighShelf, BandShelf };

namespace Butterworth::Design {

template <int MaxOrder>
struct LowPass {
    static constexpr Kind kKind = Kind::LowPass;
    static constexpr std::string_view kName = "Butterworth Low Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthLowPass(p, MaxOrder, c); }
};

template <int MaxOrder>
struct HighPass {
    static constexpr Kind kKind = Kind::HighPass;
    static constexpr std::string_view kName = "Butterworth High Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthHighPass(p, MaxOrder, c); }
};

template <int MaxOrder>
struct LowShelf {
    static constexpr Kind kKind = Kind::LowShelf;
    static constexpr std::string_view kName = "Butterworth Low Shelf";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency(),
                                           ParamInfo::Gain()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthLowShelf(p, MaxOrder, c); }
};

template <int MaxOrder>
struct HighShelf {
    static constexpr Kind kKind = Kind::HighShelf;
    static constexpr std::string_view kName = "Butterworth High Shelf";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency(),
                                           ParamInfo::Gain()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthHighShelf(p, MaxOrder, c); }
};

template <int MaxOrder>
struct BandShelf {
    static constexpr Kind kKind = Kind::BandShelf;
    static constexpr std::string_view kName = "Butterworth Band Shelf";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CenterFrequency(),
                                           ParamInfo::BandwidthHz(), ParamInfo::Gain()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthBandShelf(p, MaxOrder, c); }
};

template <int MaxOrder>
struct BandPass {
    static constexpr Kind kKind = Kind::BandPass;
    static constexpr std::string_view kName = "Butterworth Band Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CenterFrequency(),
                                           ParamInfo::BandwidthHz()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthBandPass(p, MaxOrder, c); }
};

template <int MaxOrder>
struct BandStop {
    static constexpr Kind kKind = Kind::BandStop;
    static constexpr std::string_view kName = "Butterworth Band Stop";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CenterFrequency(),
                                           ParamInfo::BandwidthHz()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ButterworthBandStop(p, MaxOrder, c); }
};

}  // namespace Butterworth::Design

namespace ChebyshevI::Design {

template <int MaxOrder>
struct LowPass {
    static constexpr Kind kKind = Kind::LowPass;
    static constexpr std::string_view kName = "Chebyshev I Low Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency(),
                                           ParamInfo::Ripple()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ChebyshevLowPass(p, MaxOrder, c); }
};

template <int MaxOrder>
struct HighPass {
    static constexpr Kind kKind = Kind::HighPass;
    static constexpr std::string_view kName = "Chebyshev I High Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::Order(MaxOrder), ParamInfo::CutoffFrequency(),
                                           ParamInfo::Ripple()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::ChebyshevHighPass(p, MaxOrder, c); }
};

}  // namespace ChebyshevI::Design

namespace RBJ::Design {

struct LowPass {
    static constexpr Kind kKind = Kind::LowPass;
    static constexpr std::string_view kName = "RBJ Low Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::CutoffFrequency(), ParamInfo::Resonance()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::RbjLowPass(p, c); }
};

struct HighPass {
    static constexpr Kind kKind = Kind::HighPass;
    static constexpr std::string_view kName = "RBJ High Pass";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::CutoffFrequency(), ParamInfo::Resonance()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::RbjHighPass(p, c); }
};

// Constant skirt gain: the peak gain equals q.
struct BandPass1 {
    static constexpr Kind kKind = Kind::BandPass;
    static constexpr std::string_view kName = "RBJ Band Pass 1";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::CenterFrequency(),
                                           ParamInfo::BandwidthOctaves()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::RbjBandPass1(p, c); }
};

struct BandStop {
    static constexpr Kind kKind = Kind::BandStop;
    static constexpr std::string_view kName = "RBJ Band Stop";
    static constexpr std::array kParams = {ParamInfo::SampleRate(), ParamInfo::CenterFrequency(),
                                           ParamInfo::BandwidthOctaves()};
    static void Compute(const Params& p, Cascade& c) { DesignMath::RbjBandStop(p, c); }
};

}  // namespace RBJ::Design

}  // namespace Dsp
