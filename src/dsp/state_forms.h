// Per-channel filter state in direct form I or II. A tiny alternating
// constant enters the first section so that decaying tails never reach
// denormal numbers, which would make the processor slow.
#pragma once

#include <array>

#include "dsp/cascade.h"

namespace Dsp {

// Keeps the last two inputs and outputs of each section.
struct DirectFormI {
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

    double Process(double x, const Biquad& s, double offset) {
        const double y = s.b0 * x + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2 + offset;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// Keeps two delay values per section.
struct DirectFormII {
    double w1 = 0.0, w2 = 0.0;

    double Process(double x, const Biquad& s, double offset) {
        const double w = x - s.a1 * w1 - s.a2 * w2 - offset;
        const double y = s.b0 * w + s.b1 * w1 + s.b2 * w2;
        w2 = w1;
        w1 = w;
        return y;
    }
};

template <typename Form>
class ChannelState {
public:
    static constexpr double kDenormalOffset = 1e-8;

    // Runs one sample through every section of `cascade`.
    double Process(double x, const Cascade& cascade) {
        offset_ = -offset_;
        double y = sections_[0].Process(x, cascade.Stage(0), offset_);
        for (int i = 1; i < cascade.StageCount(); ++i) y = sections_[static_cast<std::size_t>(i)].Process(y, cascade.Stage(i), 0.0);
        return y;
    }

    void Reset() { sections_ = {}; }

private:
    std::array<Form, kMaxStages> sections_{};
    double offset_ = kDenormalOffset;
};

}  // namespace Dsp
