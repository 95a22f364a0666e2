// Per-sample cost of the shared laws as the output stage uses them: one
// smoother step and one saturation per sample of a block.
#include <benchmark/benchmark.h>

#include <vector>

#include "engine/laws.h"
#include "engine/param_smoother.h"

namespace {

void BM_SmoothedSaturation(benchmark::State& state) {
    const auto frames = static_cast<std::size_t>(state.range(0));
    std::vector<double> block(frames);
    for (std::size_t i = 0; i < frames; ++i) block[i] = static_cast<double>(i % 200) / 100.0 - 1.0;
    Korvane::ParamSmoother drive(0.99);
    for (auto _ : state) {
        for (double& sample : block) sample = Korvane::Saturate(sample, 4.44 * drive.Step(0.5));
        benchmark::DoNotOptimize(block.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(frames));
}
BENCHMARK(BM_SmoothedSaturation)->Arg(64)->Arg(512)->Arg(4096);

}  // namespace
