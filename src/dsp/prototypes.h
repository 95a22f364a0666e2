// Analog prototypes normalised to 1 rad/s and their mapping to digital
// pole/zero layouts through the bilinear transform with prewarping.
#pragma once

#include <array>

#include "dsp/cascade.h"

namespace Dsp {

// One pole (and zero) of a prototype; a complex one stands for its conjugate pair too.
struct AnalogSection {
    Complex pole;
    Complex zero;
    bool zeroAtInfinity = true;
    bool real = false;
};

struct AnalogPrototype {
    std::array<AnalogSection, kMaxStages> sections{};
    int count = 0;
    double referenceGain = 1.0;  // at 0 rad/s for low-pass prototypes, at infinity for the shelf

    void Add(const AnalogSection& section) {
        if (count < kMaxStages) sections[static_cast<std::size_t>(count++)] = section;
    }
};

AnalogPrototype ButterworthLowPassPrototype(int order);
// Gain `gainDb` at 0 rad/s, unity at infinity.
AnalogPrototype ButterworthLowShelfPrototype(int order, double gainDb);
// Equiripple pass band of `rippleDb` up to 1 rad/s.
AnalogPrototype ChebyshevLowPassPrototype(int order, double rippleDb);

// Frequencies are in cycles per sample, inside (0, 0.5).
PoleZeroLayout LowPassTransform(const AnalogPrototype& prototype, double cutoff);
PoleZeroLayout HighPassTransform(const AnalogPrototype& prototype, double cutoff);
PoleZeroLayout BandPassTransform(const AnalogPrototype& prototype, double centre, double width);
PoleZeroLayout BandStopTransform(const AnalogPrototype& prototype, double centre, double width);

// The angle (radians per sample) the band transforms map the prototype's
// 0 rad/s to: the band's centre, geometric in the prewarped domain.
double BandCentreAngle(double centre, double width);

// A frequency in Hz as cycles per sample, kept strictly inside (0, 0.5)
// so that no design is asked for a frequency at or beyond Nyquist.
double NormalisedFrequency(double hertz, double sampleRate);

}  // namespace Dsp
