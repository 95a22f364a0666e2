// The 36 transfer curves against an independent implementation of their
// laws (tools/distortion_reference), entry by entry.
#include <gtest/gtest.h>

#include <cmath>

#include "effects/distortion.h"
#include "effects/distortion_reference.h"

using Korvane::Distortion;

TEST(DistortionCurves, MatchTheIndependentReference) {
    const Distortion distortion;
    ASSERT_EQ(kCurveReferences.size(), static_cast<std::size_t>(Distortion::kTypeCount));
    for (const CurveReference& reference : kCurveReferences) {
        const Korvane::CurveTable& table = distortion.Table(reference.type);
        SCOPED_TRACE(reference.name);
        EXPECT_EQ(table.Name(), reference.name);
        EXPECT_EQ(Distortion::NameOfIndex(reference.type), reference.name);
        ASSERT_EQ(table.Size(), reference.size);
        for (const auto& [index, value] : reference.entries) {
            ASSERT_NEAR(table[index], value, 1e-12) << "entry " << index;
        }
    }
}

TEST(DistortionCurves, SeededCurvesAreTheSameInEveryInstance) {
    const Distortion first;
    const Distortion second;
    for (int type : {25, 26, 27, 29}) {
        for (int i = 0; i < first.Table(type).Size(); ++i) ASSERT_EQ(first.Table(type)[i], second.Table(type)[i]);
    }
}
