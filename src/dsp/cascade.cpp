#include "dsp/cascade.h"

#include <cmath>
#include <numbers>

namespace Dsp {

namespace {

Biquad SectionOf(const PoleZeroPair& pair) {
    Biquad section;
    if (pair.firstOrder) {
        section.b1 = -pair.zeros[0].real();
        section.a1 = -pair.poles[0].real();
        return section;
    }
    section.b1 = -(pair.zeros[0] + pair.zeros[1]).real();
    section.b2 = (pair.zeros[0] * pair.zeros[1]).real();
    section.a1 = -(pair.poles[0] + pair.poles[1]).real();
    section.a2 = (pair.poles[0] * pair.poles[1]).real();
    return section;
}

}  // namespace

Complex Biquad::Response(double angularFrequency) const {
    const Complex z1 = std::polar(1.0, -angularFrequency);  // z^-1 on the unit circle
    const Complex z2 = z1 * z1;
    return (b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2);
}

void Cascade::SetLayout(const PoleZeroLayout& layout, double referenceAngle, double referenceGain) {
    layout_ = layout;
    count_ = layout.count;
    for (int i = 0; i < count_; ++i) stages_[static_cast<std::size_t>(i)] = SectionOf(layout.pairs[static_cast<std::size_t>(i)]);
    if (count_ == 0) return;

    const double magnitude = std::abs(Response(referenceAngle / (2.0 * std::numbers::pi)));
    if (!(magnitude > 0.0) || !std::isfinite(magnitude)) return;
    const double scale = referenceGain / magnitude;
    stages_[0].b0 *= scale;
    stages_[0].b1 *= scale;
    stages_[0].b2 *= scale;
}

void Cascade::SetSingle(const Biquad& section, const PoleZeroPair& roots) {
    stages_[0] = section;
    count_ = 1;
    layout_ = {};
    layout_.Add(roots);
}

Complex Cascade::Response(double normalisedFrequency) const {
    const double angle = 2.0 * std::numbers::pi * normalisedFrequency;
    Complex response = 1.0;
    for (int i = 0; i < count_; ++i) response *= stages_[static_cast<std::size_t>(i)].Response(angle);
    return response;
}

}  // namespace Dsp
