#include "engine/filter_unit.h"

#include <algorithm>

#include "engine/laws.h"

namespace Korvane {

namespace {

constexpr std::array<std::string_view, 4> kMode1Names = {"RBJ-LP", "RBJ-HP", "RBJ-BP1", "RBJ-BS"};
constexpr std::array<std::string_view, 4> kMode2Names = {"HP 12dB", "HP 24dB", "LP 12dB", "LP 24dB"};
constexpr std::array<int, 4> kPath2Orders = {2, 4, 2, 4};
constexpr std::array<int, 3> kTransitionFrames = {1024, 512, 256};
constexpr double kPartialDriveScale = 2.272727272727273;  // 1 / 0.44

int PositionOfName(std::string_view name, const std::array<std::string_view, 4>& names) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return 0;
}

}  // namespace

FilterUnit::FilterUnit()
    : path1_{&rbjLowPass_, &rbjHighPass_, &rbjBandPass_, &rbjBandStop_},
      path2_{&highPass12_, &highPass24_, &lowPass12_, &lowPass24_} {
    for (Dsp::Filter* design : AllDesigns()) design->SetParams(design->GetDefaultParams());
    for (std::size_t i = 0; i < path2_.size(); ++i) path2_[i]->SetParam(path2_[i]->FindParamId(Dsp::idOrder), kPath2Orders[i]);
    for (Dsp::Filter* design : AllDesigns()) design->SetTransitionLength(kDefaultTransitionFrames);
    EnsureCapacity(kInitialCapacity);
}

std::array<Dsp::Filter*, 2 * FilterUnit::kDesignsPerPath> FilterUnit::AllDesigns() {
    return {path1_[0], path1_[1], path1_[2], path1_[3], path2_[0], path2_[1], path2_[2], path2_[3]};
}

void FilterUnit::SetSampleRate(double rate) {
    AudioProcessingUnit::SetSampleRate(rate);
    for (Dsp::Filter* design : AllDesigns()) design->SetParam(Dsp::idSampleRate, rate);
}

void FilterUnit::EnsureCapacity(int frames) {
    if (frames <= capacity_) return;
    capacity_ = frames;
    for (auto* buffer : {&path1Left_, &path1Right_, &path2Left_, &path2Right_}) buffer->assign(static_cast<std::size_t>(frames), 0.0);
}

void FilterUnit::SetEveryDesign(int parameterId, double control, int fallbackId1, int fallbackId2) {
    for (Dsp::Filter* design : AllDesigns()) {
        int index = design->FindParamId(parameterId);
        if (index < 0 && fallbackId1 >= 0) index = design->FindParamId(fallbackId1);
        if (index < 0 && fallbackId2 >= 0) index = design->FindParamId(fallbackId2);
        if (index >= 0) design->SetParam(index, design->GetParamInfo(index).ToNative(control));
    }
}

void FilterUnit::SetCutoff(double cutoff) {
    cutoff_ = cutoff;
    SetEveryDesign(Dsp::idFrequency, cutoff);
}

void FilterUnit::SetResonance(double resonance) {
    resonance_ = resonance;
    SetEveryDesign(Dsp::idQ, resonance, Dsp::idRippleDb, Dsp::idBandwidth);
}

void FilterUnit::SetTransitionLength(double transition) {
    const int speed = SelectorPosition(std::clamp(transition, 0.0, 1.0), 3);
    transitionFrames_ = kTransitionFrames[static_cast<std::size_t>(speed)];
    for (Dsp::Filter* design : AllDesigns()) design->SetTransitionLength(transitionFrames_);
}

void FilterUnit::ResetFilters() {
    for (Dsp::Filter* design : AllDesigns()) design->Reset();
}

void FilterUnit::CompleteGlides() {
    for (Dsp::Filter* design : AllDesigns()) design->CompleteTransition();
}

int FilterUnit::Path1Position() const { return SelectorPosition(mode1_, kDesignsPerPath); }
int FilterUnit::Path2Position() const { return SelectorPosition(mode2_, kDesignsPerPath); }

std::string_view FilterUnit::Mode1Name(double mode) { return kMode1Names[static_cast<std::size_t>(SelectorPosition(mode, 4))]; }
std::string_view FilterUnit::Mode2Name(double mode) { return kMode2Names[static_cast<std::size_t>(SelectorPosition(mode, 4))]; }

int FilterUnit::Mode1PositionOfName(std::string_view name) {
    if (name == "RBJ-BP") return 2;  // the band pass's older name
    return PositionOfName(name, kMode1Names);
}

int FilterUnit::Mode2PositionOfName(std::string_view name) { return PositionOfName(name, kMode2Names); }

void FilterUnit::Process(double* left, double* right, int frames) {
    if (IsFadedOut() || frames > capacity_ || frames <= 0) return;
    const auto count = static_cast<std::size_t>(frames);

    for (int i = 0; i < frames; ++i) {
        const double drive = driveSmoother_.Step(drive_);
        for (double* channel : {left, right}) {
            const double x = channel[i];
            const double clipped = std::clamp(x * drive * kDriveGain, -1.0, 1.0);
            if (drive >= kFullDrive) {
                channel[i] = clipped;
            } else {
                const double share = drive * kPartialDriveScale;
                channel[i] = (1.0 - share) * x + share * clipped;
            }
        }
    }

    std::copy_n(left, count, path1Left_.begin());
    std::copy_n(right, count, path1Right_.begin());
    std::copy_n(left, count, path2Left_.begin());
    std::copy_n(right, count, path2Right_.begin());
    double* path1[2] = {path1Left_.data(), path1Right_.data()};
    double* path2[2] = {path2Left_.data(), path2Right_.data()};
    path1_[static_cast<std::size_t>(Path1Position())]->Process(frames, path1);
    path2_[static_cast<std::size_t>(Path2Position())]->Process(frames, path2);

    for (std::size_t i = 0; i < count; ++i) {
        const double blend = blendSmoother_.Step(blend_);
        const double mixedLeft = (1.0 - blend) * path1Left_[i] + blend * path2Left_[i];
        const double mixedRight = (1.0 - blend) * path1Right_[i] + blend * path2Right_[i];
        const double fade = FadeGain();
        if (fade == 1.0) {
            left[i] = mixedLeft;
            right[i] = mixedRight;
        } else {
            left[i] = (1.0 - fade) * left[i] + fade * mixedLeft;
            right[i] = (1.0 - fade) * right[i] + fade * mixedRight;
            StepFade();
        }
    }
}

}  // namespace Korvane
