// The uniform filter object: a design, one state per channel in a direct
// form, and (smoothed variant) a glide between parameter sets over a fixed
// number of samples with coefficients recomputed per sample.
#pragma once

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "dsp/cascade.h"
#include "dsp/param_info.h"
#include "dsp/state_forms.h"

namespace Dsp {

class Filter {
public:
    virtual ~Filter() = default;

    virtual int GetKind() const = 0;
    virtual std::string_view GetName() const = 0;
    virtual int GetNumParams() const = 0;
    // Descriptor of parameter `index`; throws std::logic_error beyond the list.
    virtual ParamInfo GetParamInfo(int index) const = 0;
    virtual std::vector<PoleZeroPair> GetPoleZeros() const = 0;
    // Complex response at a frequency in cycles per sample (0 .. 0.5).
    virtual Complex Response(double normalisedFrequency) const = 0;
    virtual int GetNumChannels() const = 0;
    // Clears every channel's state; parameters and any glide in progress stay.
    virtual void Reset() = 0;
    // Filters `frames` samples of every channel in place.
    virtual void Process(int frames, double* const* channels) = 0;
    virtual void Process(int frames, float* const* channels) = 0;
    // Takes a whole parameter set and recomputes the coefficients.
    virtual void SetParams(const Params& params) = 0;
    // Length of a parameter glide in samples (smoothed filters only).
    virtual void SetTransitionLength(int /*frames*/) {}
    // Ends a glide in progress at its target at once (smoothed filters only).
    virtual void CompleteTransition() {}

    // Index of the parameter with identifier `id`, searching from the last; -1 when absent.
    int FindParamId(int id) const {
        for (int i = GetNumParams() - 1; i >= 0; --i) {
            if (GetParamInfo(i).Id() == id) return i;
        }
        return -1;
    }
    // The set of every parameter's default.
    Params GetDefaultParams() const {
        Params params{};
        for (int i = 0; i < GetNumParams(); ++i) params[static_cast<std::size_t>(i)] = GetParamInfo(i).Default();
        return params;
    }
    const Params& GetParams() const { return params_; }
    // Changes the one parameter in slot `index` (0 is the sample rate) and sets the whole set again.
    void SetParam(int index, double value) {
        Params params = params_;
        params[static_cast<std::size_t>(index)] = value;
        SetParams(params);
    }

protected:
    Params params_{};
};

// Binds a design's descriptors and name.
template <typename Design>
class FilterDesignBase : public Filter {
public:
    int GetKind() const override { return static_cast<int>(Design::kKind); }
    std::string_view GetName() const override { return Design::kName; }
    int GetNumParams() const override { return static_cast<int>(Design::kParams.size()); }
    ParamInfo GetParamInfo(int index) const override {
        if (index < 0 || index >= GetNumParams()) throw std::logic_error("invalid usage of ParamInfo");
        return Design::kParams[static_cast<std::size_t>(index)];
    }
};

template <typename Design, int Channels, typename StateForm>
class FilterDesign : public FilterDesignBase<Design> {
public:
    FilterDesign() { this->params_ = this->GetDefaultParams(); }

    std::vector<PoleZeroPair> GetPoleZeros() const override {
        const PoleZeroLayout& layout = Current().Layout();
        return {layout.pairs.begin(), layout.pairs.begin() + layout.count};
    }
    Complex Response(double normalisedFrequency) const override { return Current().Response(normalisedFrequency); }
    int GetNumChannels() const override { return Channels; }
    void Reset() override {
        for (auto& state : states_) state.Reset();
    }
    void Process(int frames, double* const* channels) override { ProcessWith(Current(), 0, frames, channels); }
    void Process(int frames, float* const* channels) override { ProcessWith(Current(), 0, frames, channels); }
    // The coefficients follow when the filter is next used: a unit sets every
    // one of its designs and runs only the one selected, and a host may move
    // a control every block.
    void SetParams(const Params& params) override {
        this->params_ = params;
        stale_ = true;
    }

protected:
    // The coefficients of the current parameters.
    const Cascade& Current() const {
        if (stale_) {
            Design::Compute(this->params_, cascade_);
            stale_ = false;
        }
        return cascade_;
    }

    // Runs frames [begin, end) of every channel through `cascade`.
    template <typename Sample>
    void ProcessWith(const Cascade& cascade, int begin, int end, Sample* const* channels) {
        if constexpr (Channels == 2) {
            stereo::ProcessPair(states_[0], states_[1], cascade, channels[0], channels[1], begin, end);
            return;
        }
        for (int channel = 0; channel < Channels; ++channel) {
            Sample* samples = channels[channel];
            auto& state = states_[static_cast<std::size_t>(channel)];
            for (int i = begin; i < end; ++i) samples[i] = static_cast<Sample>(state.Process(static_cast<double>(samples[i]), cascade));
        }
    }

    mutable Cascade cascade_;
    mutable bool stale_ = true;
    std::array<ChannelState<StateForm>, Channels> states_{};
};

template <typename Design, int Channels, typename StateForm>
class SmoothedFilterDesign : public FilterDesign<Design, Channels, StateForm> {
public:
    explicit SmoothedFilterDesign(int transitionFrames) : transitionFrames_(transitionFrames) {
        // A glide that starts before any set begins from the defaults, never from nothing.
        transition_ = this->params_;
    }

    void SetParams(const Params& params) override {
        if (remaining_ < 0) {
            remaining_ = 0;
            transition_ = params;
        } else {
            remaining_ = transitionFrames_;
        }
        FilterDesign<Design, Channels, StateForm>::SetParams(params);
        StartGlide();
    }

    void SetTransitionLength(int frames) override {
        transitionFrames_ = frames;
        remaining_ = remaining_ < 0 ? 0 : frames;
        StartGlide();
    }

    void CompleteTransition() override {
        if (remaining_ > 0) remaining_ = 0;
        transition_ = this->params_;
    }

    void Process(int frames, double* const* channels) override { ProcessSmoothed(frames, channels); }
    void Process(int frames, float* const* channels) override { ProcessSmoothed(frames, channels); }

    int RemainingTransition() const { return remaining_; }
    int TransitionLength() const { return transitionFrames_; }
    const Params& TransitionParams() const { return transition_; }

private:
    template <typename Sample>
    void ProcessSmoothed(int frames, Sample* const* channels) {
        if (frames <= 0) return;
        const int gliding = std::min(remaining_, frames);
        if (gliding > 0) {
            if (moving_) {
                for (int frame = 0; frame < gliding; ++frame) {
                    for (std::size_t i = 0; i < increment_.size(); ++i) transition_[i] += increment_[i];
                    Design::Compute(transition_, transitionCascade_);
                    this->ProcessWith(transitionCascade_, frame, frame + 1, channels);
                }
            } else {
                // Nothing moves: the transition coefficients equal the main ones.
                this->ProcessWith(this->Current(), 0, gliding, channels);
            }
            remaining_ -= gliding;
            if (remaining_ == 0) transition_ = this->params_;
        }
        this->ProcessWith(this->Current(), gliding, frames, channels);
    }

    // Each parameter's step per sample, fixed when a glide starts so that the
    // glide does not depend on how the host splits it into blocks.
    void StartGlide() {
        moving_ = false;
        for (std::size_t i = 0; i < increment_.size(); ++i) {
            increment_[i] = remaining_ > 0 ? (this->params_[i] - transition_[i]) / remaining_ : 0.0;
            moving_ = moving_ || increment_[i] != 0.0;
        }
    }

    Cascade transitionCascade_;
    Params transition_{};
    Params increment_{};
    bool moving_ = false;
    int transitionFrames_;
    int remaining_ = -1;  // parameters never set
};

}  // namespace Dsp
