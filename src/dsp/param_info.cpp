#include "dsp/param_info.h"

#include <cmath>
#include <cstdio>

namespace Dsp {

namespace {

constexpr double kLogBase = 1.5;

double LogInBase(double x) { return std::log(x) / std::log(kLogBase); }

// Truncates toward zero, saturating at the int range.
int Whole(double x) {
    if (!(x > -2147483648.0)) return x != x ? 0 : -2147483647 - 1;
    if (!(x < 2147483647.0)) return 2147483647;
    return static_cast<int>(x);
}

}  // namespace

double ParamInfo::ToNative(double control) const {
    switch (mapping_) {
    case Mapping::Integer:
        return std::floor(minimum_ + control * (maximum_ - minimum_) + 0.5);
    case Mapping::Exponential: {
        const double low = LogInBase(minimum_);
        const double high = LogInBase(maximum_);
        return std::pow(kLogBase, low + control * (high - low));
    }
    case Mapping::PowerOfTwo:
        return std::pow(2.0, minimum_ + control * (maximum_ - minimum_));
    case Mapping::Linear:
    default:
        return minimum_ + control * (maximum_ - minimum_);
    }
}

double ParamInfo::ToControl(double native) const {
    switch (mapping_) {
    case Mapping::Exponential:
        return (std::log(native) - std::log(minimum_)) / (std::log(maximum_) - std::log(minimum_));
    case Mapping::PowerOfTwo:
        return (std::log2(native) - minimum_) / (maximum_ - minimum_);
    case Mapping::Integer:
    case Mapping::Linear:
    default:
        return (native - minimum_) / (maximum_ - minimum_);
    }
}

std::string ParamInfo::ToText(double native) const {
    char text[64];
    switch (text_) {
    case Text::Hertz:
        std::snprintf(text, sizeof text, "%d Hz", Whole(native));
        break;
    case Text::Integer:
        std::snprintf(text, sizeof text, "%d", Whole(native));
        break;
    case Text::Decibels: {
        const double magnitude = std::abs(native);
        const int places = magnitude < 1.0 ? 3 : magnitude < 10.0 ? 2 : 1;
        std::snprintf(text, sizeof text, "%.*f dB", places, native);
        break;
    }
    case Text::ThreeDecimals:
    default:
        std::snprintf(text, sizeof text, "%.3f", native);
        break;
    }
    return text;
}

}  // namespace Dsp
