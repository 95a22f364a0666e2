#include "effects/distortion.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "engine/laws.h"

namespace Korvane {

namespace {

constexpr double kPartialDriveScale = 2.272727272727273;  // 1 / 0.44
constexpr double kDriveRetain = 0.9877;
constexpr double kDriveTake = 0.0123;
constexpr int kTypeSoftKnee = 2;
constexpr int kTypeHardOverload = 3;

constexpr std::array<std::string_view, Distortion::kTypeCount> kTypeNames = {
    "Linear",           "Compressor",       "Soft-Knie Compressor", "Hard-Overload",    "KVSigmoid1-Drive",
    "KVSigmoid2-Drive", "KVSigmoid3-Drive", "Typhoon-Fuzz",         "Vosk-Fuzz",        "Zel-Fuzz 1",
    "Zel-Fuzz 2",       "Soft-Tube-Distort", "Tube-Distort",        "Transistor 1",     "Full-Clip",
    "Fuzz-Drive1",      "Hardcore-Fuzz1",   "Hardcore-Fuzz2",       "Hardcore-Fuzz3",   "Hardcore-Fuzz4",
    "Industrial-Fuzz1", "Korvane-Drive1",   "Korvane-Drive2",       "Korvane-Drive3",   "Korvane-Drive4",
    "GrindMoth-Fuzz 1", "GrindMoth-Fuzz 2", "GrindMoth-Fuzz 3",     "Invert-and-Drive", "Big-Bad-Drive",
    "Big-Fat-Drive",    "ViciousViper",     "AssKicking",           "TigersBlood",      "MadDog",
    "Noise-Gate 1",
};

}  // namespace

Distortion::Distortion() : tables_(BuildDistortionCurves()) {
    for (int type = 0; type < kTypeCount; ++type) tables_[static_cast<std::size_t>(type)].SetName(std::string(kTypeNames[static_cast<std::size_t>(type)]));
    current_ = &tables_[0];
}

int Distortion::TypeIndex(double value) { return SelectorPosition(std::clamp(value, 0.0, 1.0), kTypeCount); }

std::string_view Distortion::NameOfIndex(int index) {
    if (index < 0 || index >= kTypeCount) return "Distortion";
    return kTypeNames[static_cast<std::size_t>(index)];
}

std::string_view Distortion::TypeName(double value) { return NameOfIndex(TypeIndex(value)); }

int Distortion::TypeFromName(std::string_view name) {
    for (int i = 0; i < kTypeCount; ++i) {
        if (kTypeNames[static_cast<std::size_t>(i)] == name) return i;
    }
    if (name == "Fuzz-Drive") return 15;
    if (name == "Korvane-Drive") return 21;
    return 0;
}

void Distortion::SetType(double value) {
    type_ = TypeIndex(value);
    current_ = &tables_[static_cast<std::size_t>(type_)];
}

void Distortion::SetReduction(double value) {
    reductionSetting_ = value;
    const double hold = sampleRate_ / 44100.0 * (1.0 - value) * 127.0;
    holdLength_ = hold > 0.0 && hold < 2147483647.0 ? static_cast<int>(hold) : 0;
}

void Distortion::SetGate(double value) {
    gateAmount_ = value;
    gateThreshold_ = value * value * value * value;
}

double Distortion::Shape(double x, double drive) const { return ShapeLooked(x, current_->Lookup(x, interpolation_), drive); }

double Distortion::ShapeLooked(double x, double looked, double drive) const {
    if (drive == 0.0) return x;
    double gain = drive * kDriveGain + 1.0;
    if (type_ == kTypeSoftKnee) gain *= 0.5;
    if (type_ == kTypeHardOverload) gain *= 0.777;
    const double y = std::clamp(looked * gain, -1.0, 1.0);
    if (drive < kFullDrive) {
        const double w = drive * kPartialDriveScale;
        return (1.0 - w) * x + w * y;
    }
    return y;
}

void Distortion::ProcessDrive(double* left, double* right, int frames) {
    if (bypassed_ || driveTarget_ == 0.0) return;
    // A chunk at a time: the drive's glide, then the curve read for the whole chunk.
    constexpr int kChunk = 64;
    std::array<double, kChunk> drive;
    std::array<double, kChunk> looked;
    for (int at = 0; at < frames; at += kChunk) {
        const int count = std::min(kChunk, frames - at);
        for (int i = 0; i < count; ++i) {
            smoothedDrive_ = kDriveRetain * smoothedDrive_ + kDriveTake * driveTarget_;
            drive[static_cast<std::size_t>(i)] = smoothedDrive_;
        }
        for (double* channel : {left + at, right + at}) {
            current_->Lookup(channel, looked.data(), count, interpolation_);
            for (int i = 0; i < count; ++i) {
                const auto j = static_cast<std::size_t>(i);
                double y = ShapeLooked(channel[i], looked[j], drive[j]);
                if (loudness_) y = 2.0 * std::sin(y * std::numbers::pi / 2.0);
                channel[i] = y;
            }
        }
    }
}

void Distortion::ProcessSampleRateReduction(double* left, double* right, int frames) {
    if (bypassed_) return;
    for (int i = 0; i < frames; ++i) {
        if (holdLength_ == 0 || reductionSetting_ == 1.0 || frameCounter_ % static_cast<uint32_t>(holdLength_) == 0) {
            heldLeft_ = left[i];
            heldRight_ = right[i];
        }
        left[i] = heldLeft_;
        right[i] = heldRight_;
        ++frameCounter_;
    }
}

void Distortion::ProcessGate(double* left, double* right, int frames) {
    if (bypassed_ || gateAmount_ == 0.0) return;
    for (int i = 0; i < frames; ++i) {
        if (left[i] < gateThreshold_) left[i] = 0.0;
        if (right[i] < gateThreshold_) right[i] = 0.0;
    }
}

void Distortion::FillCurveDisplay(std::span<double, kWaveDisplayPoints> wave,
                                  std::span<double, kCurveDisplayPoints> curve) const {
    for (int i = 0; i < kWaveDisplayPoints; ++i) {
        const double s = std::sin(2.0 * std::numbers::pi * i / kWaveDisplayPoints);
        wave[static_cast<std::size_t>(i)] = driveTarget_ != 0.0 ? Shape(s, driveTarget_) : s;
    }
    for (int i = 0; i < kCurveDisplayPoints; ++i) {
        curve[static_cast<std::size_t>(i)] = current_->Lookup((static_cast<double>(i) / kCurveDisplayPoints - 0.5) * 2.0, interpolation_);
    }
}

void BitCrusher::SetAmount(double amount) {
    amount_ = amount;
    bits_ = amount != 1.0 ? 61.5 * amount + 2.5 : 64.0;
    scale_ = std::pow(2.0, bits_ - 1.0);
}

void BitCrusher::Process(double* left, double* right, int frames) const {
    if (bypassed_ || amount_ == 1.0) return;
    // Truncating in floating point equals the 64-bit integer truncation
    // wherever that fits, and leaves larger products (already whole) as they are.
    for (int i = 0; i < frames; ++i) {
        left[i] = std::trunc(left[i] * scale_) / scale_;
        right[i] = std::trunc(right[i] * scale_) / scale_;
    }
}

}  // namespace Korvane
