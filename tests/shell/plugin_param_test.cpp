#include "shell/plugin_param.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace {

std::string DisplayOf(const PluginParam& parameter) {
    std::array<char, 64> buffer{};
    parameter.GetDisplayText(buffer);
    return buffer.data();
}

std::string Format(const PluginParam& parameter, double value, bool isNormalized) {
    std::array<char, 64> buffer{};
    parameter.FormatValue(value, isNormalized, buffer);
    return buffer.data();
}

PluginParam UnitDouble(double step, double defaultValue = 0.0) {
    PluginParam parameter;
    parameter.DefineDouble("Level", defaultValue, 0.0, 1.0, step, "");
    return parameter;
}

}  // namespace

TEST(PluginParam, DecimalPlacesFollowTheStep) {
    EXPECT_EQ(PluginParam::DecimalPlaces(1.0), 0);
    EXPECT_EQ(PluginParam::DecimalPlaces(0.001), 3);
    EXPECT_EQ(PluginParam::DecimalPlaces(0.2), 1);
    EXPECT_EQ(PluginParam::DecimalPlaces(0.1), 1);
    EXPECT_EQ(PluginParam::DecimalPlaces(0.25), 2);
    EXPECT_EQ(PluginParam::DecimalPlaces(1.0 / 3.0), 6);
}

TEST(PluginParam, StartsUndeclaredWithTheRecordDefaults) {
    const PluginParam parameter;
    EXPECT_EQ(parameter.GetKind(), PluginParam::Kind::Undeclared);
    EXPECT_EQ(parameter.Value(), 0.0);
    EXPECT_EQ(parameter.Min(), 0.0);
    EXPECT_EQ(parameter.Max(), 1.0);
    EXPECT_EQ(parameter.Step(), 1.0);
    EXPECT_EQ(parameter.Shape(), 1.0);
    EXPECT_TRUE(parameter.Name().empty());
}

TEST(PluginParam, DefineDoubleSetsEveryField) {
    PluginParam parameter;
    parameter.SetShape(2.0);
    parameter.DefineDouble("Cutoff", 0.25, -1.0, 3.0, 0.01, "Hz");
    EXPECT_EQ(parameter.GetKind(), PluginParam::Kind::Double);
    EXPECT_EQ(parameter.Name(), "Cutoff");
    EXPECT_EQ(parameter.Label(), "Hz");
    EXPECT_TRUE(parameter.Group().empty());
    EXPECT_EQ(parameter.Value(), 0.25);
    EXPECT_EQ(parameter.Default(), 0.25);
    EXPECT_EQ(parameter.Min(), -1.0);
    EXPECT_EQ(parameter.Max(), 3.0);
    EXPECT_EQ(parameter.Step(), 0.01);
    EXPECT_EQ(parameter.Precision(), 2);
    EXPECT_EQ(parameter.Shape(), 2.0) << "declaring keeps the shape";
}

TEST(PluginParam, DefineDoubleWithAnEmptyRangeWidensItByOneStep) {
    PluginParam parameter;
    parameter.DefineDouble("Flat", 2.0, 2.0, 2.0, 0.5, "");
    EXPECT_EQ(parameter.Max(), 2.5);
    parameter.DefineDouble("Inverted", 2.0, 2.0, 1.0, 0.5, "");
    EXPECT_EQ(parameter.Max(), 2.5);
}

TEST(PluginParam, DefineKeepsAKindAlreadySet) {
    PluginParam parameter;
    parameter.DefineTwoState("Switch", true, "");
    parameter.DefineDouble("Switch", 1.0, 0.0, 1.0, 1.0, "");
    EXPECT_EQ(parameter.GetKind(), PluginParam::Kind::TwoState);
}

TEST(PluginParam, LongNamesAndLabelsAreCutNotOverflowed) {
    PluginParam parameter;
    const std::string longName(100, 'n');
    const std::string longLabel(40, 'l');
    parameter.DefineDouble(longName, 0.0, 0.0, 1.0, 0.001, longLabel);
    EXPECT_EQ(parameter.Name(), longName.substr(0, PluginParam::kTextSize - 1));
    EXPECT_EQ(parameter.Label(), longLabel.substr(0, PluginParam::kTextSize - 1));
}

TEST(PluginParam, ShapeFourMapsBothWays) {
    PluginParam parameter = UnitDouble(0.001);
    parameter.SetShape(4.0);
    parameter.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(parameter.Value(), 0.0625);
    parameter.SetValue(0.0625);
    EXPECT_DOUBLE_EQ(parameter.GetNormalizedValue(), 0.5);

    PluginParam wide;
    wide.DefineDouble("Wide", 0.0, 10.0, 20.0, 0.001, "");
    wide.SetShape(4.0);
    wide.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(wide.Value(), 10.0 + 10.0 * 0.0625);
}

TEST(PluginParam, DoublesAreNotSnappedOtherKindsAre) {
    PluginParam asDouble = UnitDouble(1.0);
    asDouble.SetFromNormalized(0.6);
    EXPECT_DOUBLE_EQ(asDouble.Value(), 0.6);

    PluginParam twoState;
    twoState.DefineTwoState("Switch", false, "");
    twoState.SetFromNormalized(0.6);
    EXPECT_EQ(twoState.Value(), 1.0);
    twoState.SetFromNormalized(0.4);
    EXPECT_EQ(twoState.Value(), 0.0);

    PluginParam list;
    list.DefineList("Mode", 0, 5, "");
    list.SetFromNormalized(0.3);  // 1.2 snaps to 1
    EXPECT_EQ(list.Value(), 1.0);
    EXPECT_EQ(list.Max(), 4.0);
}

TEST(PluginParam, NormalisedInputIsClampedAboveButNotBelow) {
    PluginParam parameter = UnitDouble(0.001);
    parameter.SetFromNormalized(1.5);
    EXPECT_EQ(parameter.Value(), 1.0);
    parameter.SetFromNormalized(-0.25);
    EXPECT_DOUBLE_EQ(parameter.Value(), -0.25);
    EXPECT_EQ(parameter.GetNormalizedValue(), 0.0) << "reporting clamps to the range";
}

TEST(PluginParam, NegativeNormalisedInputStaysBelowTheRangeWithAShape) {
    PluginParam parameter = UnitDouble(0.001, 0.3);
    parameter.SetShape(4.0);
    parameter.SetFromNormalized(-1.0);
    EXPECT_EQ(parameter.Value(), -1.0) << "not the top of the range";
    EXPECT_EQ(parameter.GetNormalizedValue(), 0.0);
    parameter.SetFromNormalized(-1e-40);
    EXPECT_LE(parameter.Value(), 0.0);
    EXPECT_EQ(parameter.GetNormalizedValue(), 0.0);
    parameter.SetFromNormalized(0.5);
    parameter.SetFromNormalized(-1e100);  // to the fourth power: minus infinity
    EXPECT_EQ(parameter.Value(), 0.0625) << "an overflowing value changes nothing";
}

TEST(PluginParam, NonFiniteNormalisedInputChangesNothing) {
    PluginParam parameter = UnitDouble(0.001, 0.3);
    parameter.SetFromNormalized(std::numeric_limits<double>::quiet_NaN());
    parameter.SetFromNormalized(std::numeric_limits<double>::infinity());
    parameter.SetFromNormalized(-std::numeric_limits<double>::infinity());
    EXPECT_EQ(parameter.Value(), 0.3);
}

TEST(PluginParam, NormalisedValueOfARangeClampsFirst) {
    PluginParam parameter;
    parameter.DefineDouble("Gain", 0.0, -10.0, 10.0, 0.1, "dB");
    parameter.SetValue(5.0);
    EXPECT_DOUBLE_EQ(parameter.GetNormalizedValue(), 0.75);
    parameter.SetValue(50.0);
    EXPECT_EQ(parameter.GetNormalizedValue(), 1.0);
    parameter.SetValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(parameter.GetNormalizedValue(), 0.0);
}

TEST(PluginParam, DisplayTextsFollowThePrecision) {
    PluginParam aSwitch = UnitDouble(1.0, 1.0);
    EXPECT_EQ(DisplayOf(aSwitch), "1");
    aSwitch.SetValue(0.0);
    EXPECT_EQ(DisplayOf(aSwitch), "0");
    aSwitch.SetValue(0.99);
    EXPECT_EQ(DisplayOf(aSwitch), "0") << "integer display truncates";

    EXPECT_EQ(DisplayOf(UnitDouble(0.001, 0.5)), "0.500");
    EXPECT_EQ(DisplayOf(UnitDouble(1.0 / 3.0, 1.0 / 3.0)), "0.333333");
    EXPECT_EQ(DisplayOf(UnitDouble(0.2, 0.4)), "0.4");
    EXPECT_EQ(DisplayOf(UnitDouble(0.25, 0.75)), "0.75");
}

TEST(PluginParam, FormatValueMapsNormalisedInputFirst) {
    PluginParam parameter;
    parameter.DefineDouble("Range", 0.0, 0.0, 200.0, 0.1, "");
    EXPECT_EQ(Format(parameter, 0.3, true), "60.0");
    EXPECT_EQ(Format(parameter, 0.3, false), "0.3");
}

TEST(PluginParam, NegateDisplayShowsTheInvertedSign) {
    PluginParam parameter;
    parameter.DefineDouble("Depth", 3.5, -10.0, 10.0, 0.5, "");
    parameter.SetNegateDisplay(true);
    EXPECT_EQ(DisplayOf(parameter), "-3.5");
}

TEST(PluginParam, DisplayTextEntriesReplaceTheNumberAndTheLabel) {
    PluginParam parameter;
    parameter.DefineList("Shape", 1, 3, "type");
    parameter.SetDisplayText(0, "Sine");
    parameter.SetDisplayText(1, "Saw");
    parameter.SetDisplayText(1, "Duplicate");
    parameter.SetDisplayText(2, "");
    EXPECT_EQ(DisplayOf(parameter), "Saw") << "the first matching entry wins";
    EXPECT_EQ(parameter.GetUnitLabel(), "");

    parameter.SetValue(2.0);
    EXPECT_EQ(DisplayOf(parameter), "2") << "an empty entry falls back to the number";
    EXPECT_EQ(parameter.GetUnitLabel(), "type");

    parameter.SetValue(0.9);
    EXPECT_EQ(DisplayOf(parameter), "Sine") << "the value is truncated toward zero";

    std::array<char, 64> buffer{};
    parameter.FormatValue(1.0, false, buffer, false);
    EXPECT_STREQ(buffer.data(), "1") << "display texts can be skipped";
}

TEST(PluginParam, FormattingRespectsTheBufferSize) {
    PluginParam parameter;
    parameter.DefineDouble("Big", 12345.678, 0.0, 100000.0, 0.001, "");
    std::array<char, 5> small{'x', 'x', 'x', 'x', 'x'};
    parameter.GetDisplayText(small);
    EXPECT_STREQ(small.data(), "1234");

    parameter.SetDisplayText(12345, "a rather long display text");
    parameter.GetDisplayText(small);
    EXPECT_STREQ(small.data(), "a ra");
}

TEST(PluginParam, HugeValuesFormatWithoutOverflow) {
    PluginParam parameter = UnitDouble(1.0);
    parameter.SetFromNormalized(-1e300);
    EXPECT_EQ(DisplayOf(parameter), std::to_string(std::numeric_limits<int>::min()));
}
