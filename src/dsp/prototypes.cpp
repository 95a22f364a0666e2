#include "dsp/prototypes.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Dsp {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kLowestFrequency = 1e-6;
constexpr double kHighestFrequency = 0.49999;

// Bilinear map of a prewarped analog point to the z-plane.
Complex Bilinear(Complex s) { return (1.0 + s) / (1.0 - s); }

// The two roots of s^2 - b s + c.
std::array<Complex, 2> QuadraticRoots(Complex b, Complex c) {
    const Complex root = std::sqrt(b * b - 4.0 * c);
    return {(b + root) * 0.5, (b - root) * 0.5};
}

struct BandEdges {
    double squaredCentre;  // w1 * w2
    double width;          // w2 - w1
};

BandEdges PrewarpedEdges(double centre, double width) {
    const double low = std::clamp(centre - width * 0.5, kLowestFrequency, kHighestFrequency);
    const double high = std::clamp(centre + width * 0.5, low + kLowestFrequency, kHighestFrequency + kLowestFrequency);
    const double w1 = std::tan(kPi * low);
    const double w2 = std::tan(kPi * high);
    return {w1 * w2, w2 - w1};
}

}  // namespace

double BandCentreAngle(double centre, double width) {
    return 2.0 * std::atan(std::sqrt(PrewarpedEdges(centre, width).squaredCentre));
}

double NormalisedFrequency(double hertz, double sampleRate) {
    if (!(sampleRate > 0.0)) return kLowestFrequency;
    const double normalised = hertz / sampleRate;
    if (!(normalised > kLowestFrequency)) return kLowestFrequency;
    return std::min(normalised, kHighestFrequency);
}

AnalogPrototype ButterworthLowPassPrototype(int order) {
    AnalogPrototype prototype;
    for (int k = 1; k <= order / 2; ++k) {
        const double angle = kPi / 2.0 + (2 * k - 1) * kPi / (2.0 * order);
        prototype.Add({std::polar(1.0, angle), {}, true, false});
    }
    if (order % 2 == 1) prototype.Add({-1.0, {}, true, true});
    return prototype;
}

AnalogPrototype ButterworthLowShelfPrototype(int order, double gainDb) {
    AnalogPrototype prototype;
    const double g = std::pow(std::pow(10.0, gainDb / 20.0), 1.0 / (2.0 * order));
    for (int k = 1; k <= order / 2; ++k) {
        const double angle = kPi * (0.5 - (2 * k - 1) / (2.0 * order));
        prototype.Add({-std::polar(1.0 / g, angle), -std::polar(g, angle), false, false});
    }
    if (order % 2 == 1) prototype.Add({-1.0 / g, -g, false, true});
    return prototype;
}

AnalogPrototype ChebyshevLowPassPrototype(int order, double rippleDb) {
    AnalogPrototype prototype;
    const double epsilon = std::sqrt(std::pow(10.0, rippleDb / 10.0) - 1.0);
    const double mu = std::asinh(1.0 / epsilon) / order;
    for (int k = 1; k <= order / 2; ++k) {
        const double angle = (2 * k - 1) * kPi / (2.0 * order);
        prototype.Add({{-std::sinh(mu) * std::sin(angle), std::cosh(mu) * std::cos(angle)}, {}, true, false});
    }
    if (order % 2 == 1) prototype.Add({-std::sinh(mu), {}, true, true});
    // An even order starts its ripple at the bottom: the pass band's lower edge at DC.
    prototype.referenceGain = order % 2 == 1 ? 1.0 : 1.0 / std::sqrt(1.0 + epsilon * epsilon);
    return prototype;
}

namespace {

// Maps each prototype root through `map` into the z-plane; zeros at infinity land on `infinity`.
template <typename Map>
PoleZeroLayout PointwiseTransform(const AnalogPrototype& prototype, Map map, Complex infinity) {
    PoleZeroLayout layout;
    for (int i = 0; i < prototype.count; ++i) {
        const AnalogSection& section = prototype.sections[static_cast<std::size_t>(i)];
        const Complex pole = Bilinear(map(section.pole));
        const Complex zero = section.zeroAtInfinity ? infinity : Bilinear(map(section.zero));
        if (section.real) {
            layout.Add({{pole, {}}, {zero, {}}, true});
        } else {
            layout.Add({{pole, std::conj(pole)}, {zero, std::conj(zero)}, false});
        }
    }
    return layout;
}

}  // namespace

PoleZeroLayout LowPassTransform(const AnalogPrototype& prototype, double cutoff) {
    const double k = std::tan(kPi * cutoff);
    return PointwiseTransform(prototype, [k](Complex s) { return k * s; }, Complex(-1.0));
}

PoleZeroLayout HighPassTransform(const AnalogPrototype& prototype, double cutoff) {
    const double k = std::tan(kPi * cutoff);
    return PointwiseTransform(prototype, [k](Complex s) { return k / s; }, Complex(1.0));
}

PoleZeroLayout BandPassTransform(const AnalogPrototype& prototype, double centre, double width) {
    const BandEdges edges = PrewarpedEdges(centre, width);
    PoleZeroLayout layout;
    for (int i = 0; i < prototype.count; ++i) {
        const AnalogSection& section = prototype.sections[static_cast<std::size_t>(i)];
        // Each prototype root p becomes the two roots of s^2 - p B s + w0^2.
        const auto poles = QuadraticRoots(section.pole * edges.width, edges.squaredCentre);
        std::array<Complex, 2> zeros{Complex(1.0), Complex(-1.0)};  // 0 and infinity
        if (!section.zeroAtInfinity) {
            const auto analogZeros = QuadraticRoots(section.zero * edges.width, edges.squaredCentre);
            zeros = {Bilinear(analogZeros[0]), Bilinear(analogZeros[1])};
        }
        const Complex p0 = Bilinear(poles[0]);
        const Complex p1 = Bilinear(poles[1]);
        if (section.real) {
            layout.Add({{p0, p1}, {zeros[0], zeros[1]}, false});
        } else if (section.zeroAtInfinity) {
            layout.Add({{p0, std::conj(p0)}, {zeros[0], zeros[1]}, false});
            layout.Add({{p1, std::conj(p1)}, {zeros[0], zeros[1]}, false});
        } else {
            layout.Add({{p0, std::conj(p0)}, {zeros[0], std::conj(zeros[0])}, false});
            layout.Add({{p1, std::conj(p1)}, {zeros[1], std::conj(zeros[1])}, false});
        }
    }
    return layout;
}

PoleZeroLayout BandStopTransform(const AnalogPrototype& prototype, double centre, double width) {
    const BandEdges edges = PrewarpedEdges(centre, width);
    PoleZeroLayout layout;
    // Zeros at infinity land on the notch frequency, +-j w0.
    const Complex notch = Bilinear(Complex(0.0, std::sqrt(edges.squaredCentre)));
    for (int i = 0; i < prototype.count; ++i) {
        const AnalogSection& section = prototype.sections[static_cast<std::size_t>(i)];
        // Each prototype root p becomes the two roots of s^2 - (B / p) s + w0^2.
        const auto poles = QuadraticRoots(edges.width / section.pole, edges.squaredCentre);
        const Complex p0 = Bilinear(poles[0]);
        const Complex p1 = Bilinear(poles[1]);
        std::array<Complex, 2> zeros{notch, notch};
        if (!section.zeroAtInfinity) {
            const auto analogZeros = QuadraticRoots(edges.width / section.zero, edges.squaredCentre);
            zeros = {Bilinear(analogZeros[0]), Bilinear(analogZeros[1])};
        }
        if (section.real) {
            const bool notchZeros = section.zeroAtInfinity;
            layout.Add({{p0, p1}, {zeros[0], notchZeros ? std::conj(notch) : zeros[1]}, false});
        } else {
            layout.Add({{p0, std::conj(p0)}, {zeros[0], std::conj(zeros[0])}, false});
            layout.Add({{p1, std::conj(p1)}, {zeros[1], std::conj(zeros[1])}, false});
        }
    }
    return layout;
}

}  // namespace Dsp
