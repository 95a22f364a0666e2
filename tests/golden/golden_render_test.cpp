// The module must still sound as it did when the golden renders were written.
// Set DUNEROW_WRITE_GOLDEN=1 to write the fixtures anew after an intended
// change of the sound (and listen to them before committing).
#include <gtest/gtest.h>

#include <cstdlib>

#include "support/golden_render.h"

namespace {

// Float rounding: the vector sine and arctangent and another platform's
// maths library move a sample by about one step of the 32-bit output (6e-8
// of full scale); any real change of the sound is far larger. Measured: at
// most 3e-8 on Linux.
constexpr double kTolerance = 1e-6;

std::string FixturePath(const golden::Workload& workload) {
    return std::string(DUNEROW_GOLDEN_DIR) + "/" + workload.name + ".wav";
}

class GoldenRender : public ::testing::TestWithParam<golden::Workload> {};

TEST_P(GoldenRender, SoundsAsItDidWhenTheFixtureWasWritten) {
    const golden::Workload& workload = GetParam();
    VstTestHost host;
    const std::vector<float> rendered = golden::Render(host, workload);
    ASSERT_EQ(rendered.size(), static_cast<std::size_t>(workload.frames) * 2);

    const char* write = std::getenv("DUNEROW_WRITE_GOLDEN");
    if (write != nullptr && std::string(write) == "1") {
        golden::WriteWav(FixturePath(workload), static_cast<int>(workload.sampleRate), rendered);
        GTEST_SKIP() << "wrote " << FixturePath(workload);
    }

    const auto fixture = golden::ReadWav(FixturePath(workload));
    ASSERT_TRUE(fixture.has_value()) << "missing or unreadable fixture " << FixturePath(workload);
    EXPECT_EQ(fixture->sampleRate, static_cast<int>(workload.sampleRate));
    ASSERT_EQ(fixture->samples.size(), rendered.size());
    const golden::Difference d = golden::Compare(fixture->samples, rendered);
    EXPECT_GT(d.peak, 0.05) << "the fixture holds sound";
    EXPECT_LE(d.largest, kTolerance * d.peak) << "frame " << d.at / 2 << (d.at % 2 ? " right" : " left");
}

INSTANTIATE_TEST_SUITE_P(Workloads, GoldenRender, ::testing::ValuesIn(golden::Workloads()),
                         [](const ::testing::TestParamInfo<golden::Workload>& workload) { return workload.param.name; });

}  // namespace
