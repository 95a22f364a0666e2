#include "dsp/designs.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "dsp/prototypes.h"

namespace Dsp::DesignMath {

namespace {

constexpr double kPi = std::numbers::pi;

// The order parameter may glide; the design takes its whole part.
int OrderOf(double value, int maximumOrder) {
    if (!(value >= 1.0)) return 1;
    return std::min(static_cast<int>(value), maximumOrder);
}

// Parameter slots: 0 sample rate, 1 order, 2 frequency, then the design's own.
double Frequency(const Params& p) { return NormalisedFrequency(p[2], p[0]); }
double Width(const Params& p) { return p[0] > 0.0 ? p[3] / p[0] : 0.0; }

// The edge of the spectrum farther from a band's centre, where a band filter is at its reference gain.
double FarEdgeAngle(double centre) { return centre < 0.25 ? kPi : 0.0; }

// RBJ slots: 0 sample rate, 1 frequency, 2 q.
struct RbjTerms {
    double cosine, sine, alpha;
};

RbjTerms RbjTermsOf(const Params& p) {
    const double w0 = 2.0 * kPi * NormalisedFrequency(p[1], p[0]);
    const double sine = std::sin(w0);
    const double q = p[2] > 1e-9 ? p[2] : 1e-9;  // a q of zero would make every coefficient infinite
    return {std::cos(w0), sine, sine / (2.0 * q)};
}

// Normalises a cookbook biquad to a0 = 1 and finds its roots.
void SetRbj(Cascade& cascade, double b0, double b1, double b2, double a0, double a1, double a2) {
    const Biquad section{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
    auto roots = [](double c0, double c1, double c2) -> std::array<Complex, 2> {
        if (c0 == 0.0) return {Complex(0.0), Complex(0.0)};
        const Complex root = std::sqrt(Complex(c1 * c1 - 4.0 * c0 * c2));
        return {(-c1 + root) / (2.0 * c0), (-c1 - root) / (2.0 * c0)};
    };
    const auto poles = roots(1.0, section.a1, section.a2);
    const auto zeros = roots(section.b0, section.b1, section.b2);
    cascade.SetSingle(section, {{poles[0], poles[1]}, {zeros[0], zeros[1]}, false});
}

}  // namespace

void ButterworthLowPass(const Params& p, int maximumOrder, Cascade& cascade) {
    cascade.SetLayout(LowPassTransform(ButterworthLowPassPrototype(OrderOf(p[1], maximumOrder)), Frequency(p)), 0.0, 1.0);
}

void ButterworthHighPass(const Params& p, int maximumOrder, Cascade& cascade) {
    cascade.SetLayout(HighPassTransform(ButterworthLowPassPrototype(OrderOf(p[1], maximumOrder)), Frequency(p)), kPi, 1.0);
}

void ButterworthLowShelf(const Params& p, int maximumOrder, Cascade& cascade) {
    const AnalogPrototype prototype = ButterworthLowShelfPrototype(OrderOf(p[1], maximumOrder), p[3]);
    cascade.SetLayout(LowPassTransform(prototype, Frequency(p)), kPi, 1.0);
}

void ButterworthHighShelf(const Params& p, int maximumOrder, Cascade& cascade) {
    const AnalogPrototype prototype = ButterworthLowShelfPrototype(OrderOf(p[1], maximumOrder), p[3]);
    cascade.SetLayout(HighPassTransform(prototype, Frequency(p)), 0.0, 1.0);
}

void ButterworthBandShelf(const Params& p, int maximumOrder, Cascade& cascade) {
    const AnalogPrototype prototype = ButterworthLowShelfPrototype(OrderOf(p[1], maximumOrder), p[4]);
    const double centre = Frequency(p);
    cascade.SetLayout(BandPassTransform(prototype, centre, Width(p)), centre > 0.25 ? 0.0 : kPi, 1.0);
}

void ButterworthBandPass(const Params& p, int maximumOrder, Cascade& cascade) {
    const double centre = Frequency(p);
    cascade.SetLayout(BandPassTransform(ButterworthLowPassPrototype(OrderOf(p[1], maximumOrder)), centre, Width(p)),
                      BandCentreAngle(centre, Width(p)), 1.0);
}

void ButterworthBandStop(const Params& p, int maximumOrder, Cascade& cascade) {
    const double centre = Frequency(p);
    cascade.SetLayout(BandStopTransform(ButterworthLowPassPrototype(OrderOf(p[1], maximumOrder)), centre, Width(p)),
                      FarEdgeAngle(centre), 1.0);
}

void ChebyshevLowPass(const Params& p, int maximumOrder, Cascade& cascade) {
    const AnalogPrototype prototype = ChebyshevLowPassPrototype(OrderOf(p[1], maximumOrder), p[3]);
    cascade.SetLayout(LowPassTransform(prototype, Frequency(p)), 0.0, prototype.referenceGain);
}

void ChebyshevHighPass(const Params& p, int maximumOrder, Cascade& cascade) {
    const AnalogPrototype prototype = ChebyshevLowPassPrototype(OrderOf(p[1], maximumOrder), p[3]);
    cascade.SetLayout(HighPassTransform(prototype, Frequency(p)), kPi, prototype.referenceGain);
}

void RbjLowPass(const Params& p, Cascade& cascade) {
    const RbjTerms t = RbjTermsOf(p);
    SetRbj(cascade, (1.0 - t.cosine) / 2.0, 1.0 - t.cosine, (1.0 - t.cosine) / 2.0, 1.0 + t.alpha, -2.0 * t.cosine,
           1.0 - t.alpha);
}

void RbjHighPass(const Params& p, Cascade& cascade) {
    const RbjTerms t = RbjTermsOf(p);
    SetRbj(cascade, (1.0 + t.cosine) / 2.0, -(1.0 + t.cosine), (1.0 + t.cosine) / 2.0, 1.0 + t.alpha, -2.0 * t.cosine,
           1.0 - t.alpha);
}

void RbjBandPass1(const Params& p, Cascade& cascade) {
    const RbjTerms t = RbjTermsOf(p);
    SetRbj(cascade, t.sine / 2.0, 0.0, -t.sine / 2.0, 1.0 + t.alpha, -2.0 * t.cosine, 1.0 - t.alpha);
}

void RbjBandStop(const Params& p, Cascade& cascade) {
    const RbjTerms t = RbjTermsOf(p);
    SetRbj(cascade, 1.0, -2.0 * t.cosine, 1.0, 1.0 + t.alpha, -2.0 * t.cosine, 1.0 - t.alpha);
}

}  // namespace Dsp::DesignMath
