// Per-channel filter state in direct form I or II. A tiny alternating
// constant enters the first section so that decaying tails never reach
// denormal numbers, which would make the processor slow.
#pragma once

#include <array>

#include "dsp/cascade.h"

namespace Dsp {

// Keeps the last two inputs and outputs of each section. `Value` is a
// sample, or a vector of samples of several channels run side by side.
template <typename Value>
struct DirectFormIOf {
    Value x1{}, x2{}, y1{}, y2{};

    Value Process(Value x, const Biquad& s, Value offset) {
        const Value y = s.b0 * x + s.b1 * x1 + s.b2 * x2 - s.a1 * y1 - s.a2 * y2 + offset;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};
using DirectFormI = DirectFormIOf<double>;

// Keeps two delay values per section.
template <typename Value>
struct DirectFormIIOf {
    Value w1{}, w2{};

    Value Process(Value x, const Biquad& s, Value offset) {
        const Value w = x - s.a1 * w1 - s.a2 * w2 - offset;
        const Value y = s.b0 * w + s.b1 * w1 + s.b2 * w2;
        w2 = w1;
        w1 = w;
        return y;
    }
};
using DirectFormII = DirectFormIIOf<double>;

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

    Form& Section(int index) { return sections_[static_cast<std::size_t>(index)]; }
    double& Offset() { return offset_; }

private:
    std::array<Form, kMaxStages> sections_{};
    double offset_ = kDenormalOffset;
};

// Two channels' states run side by side in the two lanes of a vector: each
// lane does exactly the arithmetic of ChannelState::Process, in half the
// instructions.
namespace stereo {

using Pair = double __attribute__((vector_size(16)));

template <typename Form>
struct PairForm;

template <>
struct PairForm<DirectFormI> : DirectFormIOf<Pair> {
    void Load(const DirectFormI& left, const DirectFormI& right) {
        x1 = Pair{left.x1, right.x1};
        x2 = Pair{left.x2, right.x2};
        y1 = Pair{left.y1, right.y1};
        y2 = Pair{left.y2, right.y2};
    }
    void Store(DirectFormI& left, DirectFormI& right) const {
        left = {x1[0], x2[0], y1[0], y2[0]};
        right = {x1[1], x2[1], y1[1], y2[1]};
    }
};

template <>
struct PairForm<DirectFormII> : DirectFormIIOf<Pair> {
    void Load(const DirectFormII& left, const DirectFormII& right) {
        w1 = Pair{left.w1, right.w1};
        w2 = Pair{left.w2, right.w2};
    }
    void Store(DirectFormII& left, DirectFormII& right) const {
        left = {w1[0], w2[0]};
        right = {w1[1], w2[1]};
    }
};

// Frames [begin, end) of both channels through a cascade of `kStages` sections.
template <int kStages, typename Form, typename Sample>
void ProcessPair(ChannelState<Form>& leftState, ChannelState<Form>& rightState, const Cascade& cascade, Sample* left,
                 Sample* right, int begin, int end) {
    std::array<PairForm<Form>, kStages> sections;
    for (int i = 0; i < kStages; ++i) sections[static_cast<std::size_t>(i)].Load(leftState.Section(i), rightState.Section(i));
    Pair offset = {leftState.Offset(), rightState.Offset()};
    const Pair none{};
    for (int frame = begin; frame < end; ++frame) {
        offset = -offset;
        Pair y = sections[0].Process(Pair{static_cast<double>(left[frame]), static_cast<double>(right[frame])}, cascade.Stage(0), offset);
        for (int i = 1; i < kStages; ++i) y = sections[static_cast<std::size_t>(i)].Process(y, cascade.Stage(i), none);
        left[frame] = static_cast<Sample>(y[0]);
        right[frame] = static_cast<Sample>(y[1]);
    }
    for (int i = 0; i < kStages; ++i) sections[static_cast<std::size_t>(i)].Store(leftState.Section(i), rightState.Section(i));
    leftState.Offset() = offset[0];
    rightState.Offset() = offset[1];
}

// ProcessPair for the cascade's number of sections.
template <typename Form, typename Sample>
void ProcessPair(ChannelState<Form>& leftState, ChannelState<Form>& rightState, const Cascade& cascade, Sample* left,
                 Sample* right, int begin, int end) {
    switch (cascade.StageCount()) {
    case 0:
    case 1: ProcessPair<1>(leftState, rightState, cascade, left, right, begin, end); break;
    case 2: ProcessPair<2>(leftState, rightState, cascade, left, right, begin, end); break;
    case 3: ProcessPair<3>(leftState, rightState, cascade, left, right, begin, end); break;
    default: ProcessPair<kMaxStages>(leftState, rightState, cascade, left, right, begin, end); break;
    }
}

}  // namespace stereo

}  // namespace Dsp
