#include "effects/dump_expand.h"

#include <algorithm>
#include <cmath>

namespace Korvane {

DumpExpand::DumpExpand() {
    for (auto [filter, cutoff] : {std::pair<Dsp::Filter*, double>{&lowPass_, 100.0}, {&highPass_, 4000.0}}) {
        Dsp::Params params = filter->GetDefaultParams();
        params[1] = 2;       // order
        params[2] = cutoff;  // Hz
        params[3] = 0.01;    // ripple, dB
        filter->SetParams(params);
        filter->Reset();
    }
    Prepare(kInitialCapacity);
}

void DumpExpand::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    lowPass_.SetParam(Dsp::idSampleRate, rate);
    highPass_.SetParam(Dsp::idSampleRate, rate);
}

void DumpExpand::Prepare(int maximumFrames) {
    if (maximumFrames > capacity_) {
        capacity_ = maximumFrames;
        workLeft_.assign(static_cast<std::size_t>(capacity_), 0.0);
        workRight_.assign(static_cast<std::size_t>(capacity_), 0.0);
    }
    lowPass_.Reset();
    highPass_.Reset();
}

void DumpExpand::SetCutoff(Dsp::Filter& filter, double control) {
    double cutoff = filter.GetParamInfo(2).ToNative(control);
    if (cutoff > kHighestCutoffAtLowRates && SampleRate() <= 44100.0) cutoff = kHighestCutoffAtLowRates;
    filter.SetParam(2, cutoff);
}

void DumpExpand::SetPosition(double value) {
    position_ = std::clamp(value, 0.0, 1.0);
    SetCutoff(highPass_, std::min(1.0, (position_ - 0.5) * 2.0));
    SetCutoff(lowPass_, std::min(1.0, 2.0 * position_));
}

void DumpExpand::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || frames > capacity_ || frames <= 0) return;
    const auto count = static_cast<std::size_t>(frames);
    std::copy_n(left, count, workLeft_.begin());
    std::copy_n(right, count, workRight_.begin());
    double* work[2] = {workLeft_.data(), workRight_.data()};
    lowPass_.Process(frames, work);
    if (position_ >= 0.5) highPass_.Process(frames, work);
    for (std::size_t i = 0; i < count; ++i) {
        const double fade = FadeGain();
        left[i] = (1.0 - fade) * left[i] + fade * workLeft_[i];
        right[i] = (1.0 - fade) * right[i] + fade * workRight_[i];
        StepFade();
    }
}

void DumpExpand::FillDumpExpandDisplay(std::span<double, kDisplayPoints> destination) const {
    const Dsp::Filter& active = position_ >= 0.5 ? static_cast<const Dsp::Filter&>(highPass_) : lowPass_;
    for (int i = 0; i < kDisplayPoints; ++i) {
        const double t = static_cast<double>(i) / kDisplayPoints;
        destination[static_cast<std::size_t>(i)] = std::abs(active.Response(t * t * 0.5));
    }
    if (position_ > 0.5) destination[kDisplayPoints - 1] = 1.0;
}

}  // namespace Korvane
