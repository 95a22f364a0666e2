#include "effects/equalizer.h"

#include <algorithm>

namespace Korvane {

namespace {

// Writes `value` into the parameter with identifier `id`, when the design has it.
void SetNative(Dsp::Params& params, const Dsp::Filter& filter, int id, double value) {
    const int index = filter.FindParamId(id);
    if (index >= 0) params[static_cast<std::size_t>(index)] = value;
}

}  // namespace

Equalizer::Equalizer() {
    struct Setup {
        Dsp::Filter* filter;
        double frequency;
        double width;
    };
    for (const Setup& setup : {Setup{&lowShelf_, kBassShelfHz, 0.0}, Setup{&bandShelf_, kMidCentreHz, kMidBandwidthHz},
                               Setup{&highShelf_, kHighShelfHz, 0.0}, Setup{&bandPass_, kMidCentreHz, kMidBandwidthHz},
                               Setup{&bandStop_, kMidCentreHz, kMidBandwidthHz}}) {
        Dsp::Params params = setup.filter->GetDefaultParams();
        SetNative(params, *setup.filter, Dsp::idOrder, 2);
        SetNative(params, *setup.filter, Dsp::idFrequency, setup.frequency);
        if (setup.width > 0.0) SetNative(params, *setup.filter, Dsp::idBandwidthHz, setup.width);
        setup.filter->SetParams(params);
        setup.filter->Reset();
    }
    Prepare(kInitialCapacity);
}

void Equalizer::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    for (Dsp::Filter* filter : Filters()) filter->SetParam(Dsp::idSampleRate, rate);
}

void Equalizer::Prepare(int maximumFrames) {
    if (maximumFrames > capacity_) {
        capacity_ = maximumFrames;
        for (auto* buffer : {&shelfLeft_, &shelfRight_, &midLeft_, &midRight_}) buffer->assign(static_cast<std::size_t>(capacity_), 0.0);
    }
    for (Dsp::Filter* filter : Filters()) filter->Reset();
}

void Equalizer::SetGain(Dsp::Filter& filter, double value) {
    const int index = filter.FindParamId(Dsp::idGain);
    filter.SetParam(index, filter.GetParamInfo(index).ToNative(value));
}

void Equalizer::SetBass(double value) {
    bass_ = value;
    SetGain(lowShelf_, value);
}

void Equalizer::SetMid(double value) {
    mid_ = value;
    SetGain(bandShelf_, value);
}

void Equalizer::SetHigh(double value) {
    high_ = value;
    SetGain(highShelf_, value);
}

double Equalizer::BassGainDb() const { return Dsp::ParamInfo::Gain().ToNative(bass_); }
double Equalizer::MidGainDb() const { return Dsp::ParamInfo::Gain().ToNative(mid_); }
double Equalizer::HighGainDb() const { return Dsp::ParamInfo::Gain().ToNative(high_); }

void Equalizer::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || frames > capacity_ || frames <= 0) return;
    const auto count = static_cast<std::size_t>(frames);
    std::copy_n(left, count, shelfLeft_.begin());
    std::copy_n(right, count, shelfRight_.begin());
    std::copy_n(left, count, midLeft_.begin());
    std::copy_n(right, count, midRight_.begin());

    double* shelf[2] = {shelfLeft_.data(), shelfRight_.data()};
    lowShelf_.Process(frames, shelf);
    highShelf_.Process(frames, shelf);
    double* midPath[2] = {midLeft_.data(), midRight_.data()};
    if (mid_ > 0.5) bandPass_.Process(frames, midPath);
    if (mid_ < 0.5) bandStop_.Process(frames, midPath);

    const double boost = (mid_ - 0.5) * 2.0;
    const double cut = (0.5 - mid_) * 2.0;
    for (std::size_t i = 0; i < count; ++i) {
        double yLeft = shelfLeft_[i];
        double yRight = shelfRight_[i];
        if (mid_ > 0.5) {
            const double e = boost * boost;
            yLeft = shelfLeft_[i] + e * midLeft_[i];
            yRight = shelfRight_[i] + e * midRight_[i];
        } else if (mid_ < 0.5) {
            const double e = cut * cut;
            yLeft = (1.0 - e) * shelfLeft_[i] + e * midLeft_[i];
            yRight = (1.0 - e) * shelfRight_[i] + e * midRight_[i];
        }
        const double fade = FadeGain();
        left[i] = (1.0 - fade) * left[i] + fade * yLeft;
        right[i] = (1.0 - fade) * right[i] + fade * yRight;
        StepFade();
    }
}

}  // namespace Korvane
