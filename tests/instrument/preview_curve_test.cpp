// The lock-free curve the instrument publishes for an editor display.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "instrument/preview_curve.h"

TEST(PreviewCurve, HoldsNothingBeforeTheFirstPublish) {
    PreviewCurve curve(4);
    std::array<double, 4> out{};
    EXPECT_EQ(curve.Points(), 4);
    EXPECT_FALSE(curve.HasData());
    EXPECT_FALSE(curve.Read(out));
    EXPECT_FALSE(curve.TakeChanged());
}

TEST(PreviewCurve, ReadsBackWhatWasPublishedAndReportsTheChangeOnce) {
    PreviewCurve curve(3);
    const std::array<double, 3> values = {0.5, -0.25, 1.0};
    curve.Publish(values);
    EXPECT_TRUE(curve.HasData());
    std::array<double, 3> out{};
    ASSERT_TRUE(curve.Read(out));
    EXPECT_EQ(out, values);
    EXPECT_TRUE(curve.TakeChanged());
    EXPECT_FALSE(curve.TakeChanged());
    // Reading does not raise the flag again; marking does.
    ASSERT_TRUE(curve.Read(out));
    EXPECT_FALSE(curve.TakeChanged());
    curve.MarkChanged();
    EXPECT_TRUE(curve.TakeChanged());

    const std::array<double, 3> next = {-1.0, 0.0, 0.125};
    curve.Publish(next);
    ASSERT_TRUE(curve.Read(out));
    EXPECT_EQ(out, next);
    EXPECT_TRUE(curve.TakeChanged());
}

TEST(PreviewCurve, ExtraValuesAreIgnoredAndShortOnesChangeNothing) {
    PreviewCurve curve(2);
    curve.Publish(std::array<double, 3>{0.25, 0.75, 9.0});
    std::array<double, 2> out{};
    ASSERT_TRUE(curve.Read(out));
    EXPECT_EQ(out, (std::array<double, 2>{0.25, 0.75}));
    EXPECT_TRUE(curve.TakeChanged());

    curve.Publish(std::array<double, 1>{-0.5});  // too short: the last whole curve stays
    EXPECT_FALSE(curve.TakeChanged());
    ASSERT_TRUE(curve.Read(out));
    EXPECT_EQ(out, (std::array<double, 2>{0.25, 0.75}));

    std::array<double, 1> small{};
    EXPECT_FALSE(curve.Read(small));
}

TEST(PreviewCurve, ANegativeSizeGivesAnEmptyCurve) {
    PreviewCurve curve(-5);
    EXPECT_EQ(curve.Points(), 0);
    curve.Publish({});
    std::vector<double> out;
    EXPECT_TRUE(curve.Read(out));
    EXPECT_TRUE(curve.TakeChanged());
}

// One thread publishes curves whose points all equal a counter; another
// reads them: every read that succeeds holds a single counter, never less
// than the one before.
TEST(PreviewCurve, AReadNeverMixesTwoPublishes) {
    constexpr int kPoints = 146;
    constexpr int kPublishes = 20000;
    PreviewCurve curve(kPoints);
    std::atomic<bool> done{false};

    std::thread writer([&] {
        std::array<double, kPoints> values{};
        for (int counter = 1; counter <= kPublishes; ++counter) {
            values.fill(counter);
            curve.Publish(values);
        }
        done.store(true);
    });

    long mixed = 0;
    long backwards = 0;
    double last = 0.0;
    std::array<double, kPoints> out{};
    while (!done.load()) {
        if (!curve.Read(out)) continue;
        for (double point : out) mixed += point != out[0] ? 1 : 0;
        backwards += out[0] < last ? 1 : 0;
        last = out[0];
    }
    writer.join();

    EXPECT_EQ(mixed, 0);
    EXPECT_EQ(backwards, 0);
    ASSERT_TRUE(curve.Read(out));
    EXPECT_EQ(out[0], kPublishes);
    EXPECT_EQ(out[kPoints - 1], kPublishes);
}
