#include "shell/plugin_param.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

namespace {

// Truncates toward zero, saturating at the int range (NaN gives 0).
int TruncateToInt(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

}  // namespace

int PluginParam::DecimalPlaces(double step) {
    int places = 0;
    double scaled = step;
    for (int i = 0; i < 6; ++i) {
        if (std::floor(scaled) == scaled) break;
        ++places;
        scaled *= 10.0;
    }
    return places;
}

void PluginParam::Declare(Kind kind, std::string_view name, double defaultValue, double min,
                          double max, double step, std::string_view label) {
    if (kind_ == Kind::Undeclared) kind_ = kind;
    name_ = name;
    label_ = label;
    group_ = std::string_view{};
    min_ = min;
    value_ = defaultValue;
    default_ = defaultValue;
    step_ = step;
    max_ = std::max(max, min + step);
    precision_ = DecimalPlaces(step);
}

void PluginParam::DefineDouble(std::string_view name, double defaultValue, double min, double max,
                               double step, std::string_view label) {
    Declare(Kind::Double, name, defaultValue, min, max, step, label);
}

void PluginParam::DefineTwoState(std::string_view name, bool defaultValue, std::string_view label) {
    Declare(Kind::TwoState, name, defaultValue ? 1.0 : 0.0, 0.0, 1.0, 1.0, label);
}

void PluginParam::DefineList(std::string_view name, int defaultValue, int count,
                             std::string_view label) {
    Declare(Kind::List, name, defaultValue, 0.0, std::max(count - 1, 0), 1.0, label);
}

double PluginParam::NormalizedToReal(double normalized) const {
    // The curve keeps the sign: below 0 stays below the range whatever the shape
    // (an even power would turn -1 into the top of the range).
    double real = min_ + (max_ - min_) * std::copysign(std::pow(std::abs(normalized), shape_), normalized);
    if (kind_ != Kind::Double) real = std::floor(real / step_ + 0.5) * step_;
    if (real > max_) real = max_;
    return real;
}

double PluginParam::RealToNormalized(double real) const {
    if (std::isnan(real)) return 0.0;
    const double clamped = std::clamp(real, min_, max_);
    return std::pow((clamped - min_) / (max_ - min_), 1.0 / shape_);
}

void PluginParam::SetFromNormalized(double normalized) {
    // A NaN or infinite host value would poison every law downstream.
    if (!std::isfinite(normalized)) return;
    // A huge value raised to the shape may overflow toward minus infinity.
    const double real = NormalizedToReal(normalized);
    if (std::isfinite(real)) value_ = real;
}

double PluginParam::GetNormalizedValue() const { return RealToNormalized(value_); }

void PluginParam::SetDisplayText(int value, std::string_view text) {
    displayTexts_.push_back({value, Text(text)});
}

std::string_view PluginParam::DisplayTextFor(double value) const {
    const int key = TruncateToInt(value);
    for (const DisplayText& entry : displayTexts_) {
        if (entry.value == key) return entry.text.View();
    }
    return {};
}

void PluginParam::FormatValue(double value, bool isNormalized, std::span<char> buffer,
                              bool useDisplayTexts) const {
    if (buffer.empty()) return;
    double real = isNormalized ? NormalizedToReal(value) : value;
    if (useDisplayTexts) {
        const std::string_view text = DisplayTextFor(real);
        if (!text.empty()) {
            CopyBounded(buffer, text);
            return;
        }
    }
    if (negateDisplay_) real = -real;
    if (precision_ > 0) {
        std::snprintf(buffer.data(), buffer.size(), "%.*f", precision_, real);
    } else {
        std::snprintf(buffer.data(), buffer.size(), "%d", TruncateToInt(real));
    }
}

void PluginParam::GetDisplayText(std::span<char> buffer) const {
    FormatValue(value_, false, buffer, true);
}

std::string_view PluginParam::GetUnitLabel() const {
    if (!DisplayTextFor(value_).empty()) return {};
    return label_.View();
}
