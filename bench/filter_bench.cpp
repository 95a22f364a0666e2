// Cost per sample of each filter design on two channels, steady and while
// its parameters glide (coefficients recomputed every sample).
#include <benchmark/benchmark.h>

#include <vector>

#include "dsp/designs.h"
#include "dsp/filter.h"

namespace {

template <typename Design, typename Form>
void BM_Design(benchmark::State& state) {
    constexpr int kFrames = 512;
    const bool gliding = state.range(0) != 0;
    Dsp::SmoothedFilterDesign<Design, 2, Form> filter(kFrames);
    Dsp::Params params = filter.GetDefaultParams();
    const int frequency = filter.FindParamId(Dsp::idFrequency);
    filter.SetParams(params);
    std::vector<double> left(kFrames, 0.0), right(kFrames, 0.0);
    for (int i = 0; i < kFrames; ++i) left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] = (i % 50) / 50.0 - 0.5;
    double* channels[2] = {left.data(), right.data()};
    bool high = false;
    for (auto _ : state) {
        if (gliding) {
            high = !high;
            params[static_cast<std::size_t>(frequency)] = high ? 3000.0 : 1000.0;
            filter.SetParams(params);  // a fresh glide over the whole block
        }
        filter.Process(kFrames, channels);
        benchmark::DoNotOptimize(left.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["ns_per_sample"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrames,
                                                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

using namespace Dsp;
BENCHMARK(BM_Design<RBJ::Design::LowPass, DirectFormII>)->Name("RbjLowPass")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<RBJ::Design::BandPass1, DirectFormII>)->Name("RbjBandPass1")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<ChebyshevI::Design::LowPass<4>, DirectFormII>)->Name("ChebyshevLowPass4")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<ChebyshevI::Design::HighPass<4>, DirectFormII>)->Name("ChebyshevHighPass4")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<ChebyshevI::Design::LowPass<2>, DirectFormI>)->Name("ChebyshevLowPass2")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<Butterworth::Design::LowShelf<2>, DirectFormI>)->Name("ButterworthLowShelf")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<Butterworth::Design::HighShelf<2>, DirectFormI>)->Name("ButterworthHighShelf")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<Butterworth::Design::BandShelf<2>, DirectFormI>)->Name("ButterworthBandShelf")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<Butterworth::Design::BandPass<2>, DirectFormI>)->Name("ButterworthBandPass")->Arg(0)->Arg(1);
BENCHMARK(BM_Design<Butterworth::Design::BandStop<2>, DirectFormI>)->Name("ButterworthBandStop")->Arg(0)->Arg(1);

}  // namespace
