// One automatable value of the plug-in: its real value with range, step,
// curve shape and display rules, and the host name and unit label.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "shell/bounded_text.h"

class PluginParam {
public:
    enum class Kind : int {
        Undeclared = 0,
        TwoState = 1,
        List = 3,
        Double = 4,
    };

    static constexpr int kTextSize = 32;
    using Text = BoundedText<kTextSize>;

    struct DisplayText {
        int value = 0;
        Text text;
    };

    // Declares a continuous parameter; the maximum is raised to min + step
    // when the range would be empty, and the display precision follows the step.
    void DefineDouble(std::string_view name, double defaultValue, double min, double max,
                      double step, std::string_view label);
    // Declares an on/off parameter (0 or 1) whose host values snap to the step.
    void DefineTwoState(std::string_view name, bool defaultValue, std::string_view label);
    // Declares a selector of `count` entries 0..count-1 whose host values snap to the step.
    void DefineList(std::string_view name, int defaultValue, int count, std::string_view label);

    // Sets the real value from a host value in 0..1 (no lower clamp; non-finite input is ignored).
    void SetFromNormalized(double normalized);
    // The current value as the host sees it, in 0..1.
    double GetNormalizedValue() const;
    // Maps a host value to the real value it would set.
    double NormalizedToReal(double normalized) const;
    // Maps a real value to the host value that reports it.
    double RealToNormalized(double real) const;

    // Writes the display text of the current value.
    void GetDisplayText(std::span<char> buffer) const;
    // Writes the display text of an arbitrary value, real or normalised.
    void FormatValue(double value, bool isNormalized, std::span<char> buffer,
                     bool useDisplayTexts = true) const;
    // The unit label, or nothing when the current value shows a display text.
    std::string_view GetUnitLabel() const;

    // Attaches a text shown instead of the number when the value truncates to `value`.
    void SetDisplayText(int value, std::string_view text);
    // Text attached to `value`, or an empty view when there is none.
    std::string_view DisplayTextFor(double value) const;
    bool HasDisplayTexts() const { return !displayTexts_.empty(); }
    const std::vector<DisplayText>& DisplayTexts() const { return displayTexts_; }

    Kind GetKind() const { return kind_; }
    double Value() const { return value_; }
    // Sets the real value as it is; callers clamp where the source is untrusted.
    void SetValue(double value) { value_ = value; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Step() const { return step_; }
    double Shape() const { return shape_; }
    void SetShape(double shape) { shape_ = shape; }
    double Default() const { return default_; }
    int Precision() const { return precision_; }
    std::string_view Name() const { return name_.View(); }
    std::string_view Label() const { return label_.View(); }
    std::string_view Group() const { return group_.View(); }
    bool NegateDisplay() const { return negateDisplay_; }
    void SetNegateDisplay(bool negate) { negateDisplay_ = negate; }

    // Decimal places needed to show multiples of `step` (0 to 6).
    static int DecimalPlaces(double step);

private:
    void Declare(Kind kind, std::string_view name, double defaultValue, double min, double max,
                 double step, std::string_view label);

    Kind kind_ = Kind::Undeclared;
    double value_ = 0.0;
    double min_ = 0.0;
    double max_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    double default_ = 0.0;
    int precision_ = 0;
    Text name_;
    Text label_;
    Text group_;
    bool negateDisplay_ = false;
    std::vector<DisplayText> displayTexts_;
};
