#include "engine/adsr.h"

#include <algorithm>

namespace Korvane {

void ADSR::SetTimeScale(double seconds) {
    // Also catches NaN, which would otherwise make every stage endless.
    timeScale_ = seconds >= kMinimumTimeScale ? seconds : kMinimumTimeScale;
}

void ADSR::ResetCurve() {
    output_ = 0.0;
    held_ = 0.0;
    attackFrames_ = decayFrames_ = sustainFrames_ = releaseFrames_ = totalFrames_ = 0;
    state_ = kAttack;
}

void ADSR::Restart() { ResetCurve(); }

void ADSR::Advance(int frames) {
    totalFrames_ += frames;
    const double decay = smoothedDecay_.Step(decay_);
    const double sustain = smoothedSustain_.Step(sustain_);
    const double release = smoothedRelease_.Step(release_);
    const double framesPerUnit = timeScale_ * SampleRate();

    switch (state_) {
    case kAttack: {
        attackFrames_ += frames;
        const double length = attack_ * framesPerUnit;
        output_ = held_ = std::clamp(static_cast<double>(attackFrames_) / length, 0.0, 1.0);
        if (attackFrames_ >= static_cast<int64_t>(length)) state_ = kDecay;
        break;
    }
    case kDecay: {
        decayFrames_ += frames;
        const double length = decay * framesPerUnit;
        double level = 1.0 - (static_cast<double>(decayFrames_) / length) * (1.0 - sustain);
        level = std::max(std::min(level, 1.0), sustain);
        output_ = held_ = level;
        if (decayFrames_ >= static_cast<int64_t>(length)) state_ = kSustain;
        break;
    }
    case kSustain:
        sustainFrames_ += frames;
        output_ = held_ = sustain;
        break;
    case kRelease: {
        releaseFrames_ += frames;
        const double length = release * framesPerUnit;
        output_ = std::clamp((1.0 - static_cast<double>(releaseFrames_) / length) * held_, 0.0, 1.0);
        if (releaseFrames_ >= static_cast<int64_t>(length)) state_ = kOff;
        break;
    }
    default:
        output_ = held_ = 0.0;
        break;
    }
}

void ADSR::RenderPreview(std::span<double, kPreviewPoints> destination) {
    ResetCurve();
    const double sampleRate = SampleRate();
    const double sustainStart = timeScale_ * attack_ + timeScale_ * decay_ + 0.5;
    const int framesPerPoint =
        static_cast<int>((timeScale_ * release_ + sustainStart) * sampleRate) / kPreviewPoints;
    for (int i = 0; i < kPreviewPoints; ++i) {
        destination[static_cast<std::size_t>(i)] = output_;
        Advance(framesPerPoint);
        if (state_ < kRelease && sustainStart < i * framesPerPoint / sampleRate) state_ = kRelease;
    }
}

}  // namespace Korvane
