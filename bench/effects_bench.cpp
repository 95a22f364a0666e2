// Cost of one 512-frame stereo block through each effect stage, and through
// the instrument's whole chain (a silent voice pool, every effect active).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "effects/distortion.h"
#include "effects/dump_expand.h"
#include "effects/dyn_shaper.h"
#include "effects/equalizer.h"
#include "effects/phaser.h"
#include "effects/ring_modulator.h"
#include "engine/filter_unit.h"
#include "instrument/dunerow.h"

namespace {

constexpr int kFrames = 512;

struct StereoBlock {
    std::vector<double> left = std::vector<double>(kFrames), right = std::vector<double>(kFrames);
    void Fill() {
        for (int i = 0; i < kFrames; ++i) left[static_cast<std::size_t>(i)] = right[static_cast<std::size_t>(i)] = 0.8 * std::sin(0.03 * i);
    }
};

template <typename Stage>
void RunStage(benchmark::State& state, Stage&& process) {
    StereoBlock block;
    for (auto _ : state) {
        block.Fill();
        process(block.left.data(), block.right.data());
        benchmark::DoNotOptimize(block.left.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
}

void BM_FilterUnit(benchmark::State& state) {
    Korvane::FilterUnit unit;
    unit.EnsureCapacity(kFrames);
    unit.SetCutoff(0.6);
    unit.SetResonance(0.4);
    unit.SetBlend(0.5);
    unit.SetDrive(0.2);
    unit.CompleteGlides();
    RunStage(state, [&](double* l, double* r) { unit.Process(l, r, kFrames); });
}

void BM_RingModulator(benchmark::State& state) {
    Korvane::RingModulator ring;
    ring.SetAmount(0.7);
    ring.SetFrequency(0.3);
    ring.SetWaveform(Korvane::RingModulator::kThreePartials);
    RunStage(state, [&](double* l, double* r) { ring.Process(l, r, kFrames); });
}

void BM_Phaser(benchmark::State& state) {
    Korvane::Phaser phaser;
    phaser.SetDepth(0.8);
    phaser.SetRate(0.3);
    RunStage(state, [&](double* l, double* r) { phaser.Process(l, r, kFrames); });
}

void BM_DistortionStages(benchmark::State& state) {
    Korvane::Distortion distortion;
    Korvane::BitCrusher crusher;
    distortion.SetType(16.0 / 35.0);
    distortion.SetDrive(0.7);
    distortion.SetInterpolation(Korvane::CurveTable::kHermite);
    distortion.SetReduction(0.8);
    distortion.SetGate(0.1);
    crusher.SetAmount(0.5);
    RunStage(state, [&](double* l, double* r) {
        distortion.ProcessSampleRateReduction(l, r, kFrames);
        crusher.Process(l, r, kFrames);
        distortion.ProcessGate(l, r, kFrames);
        distortion.ProcessDrive(l, r, kFrames);
    });
}

void BM_DynShaper(benchmark::State& state) {
    Korvane::DynShaper shaper;
    shaper.SetAmount(0.5);
    shaper.SetMode(Korvane::DynShaper::kBoostSaturatedShaper);
    RunStage(state, [&](double* l, double* r) { shaper.Process(l, r, kFrames); });
}

void BM_Equalizer(benchmark::State& state) {
    Korvane::Equalizer equalizer;
    equalizer.Prepare(kFrames);
    equalizer.SetBass(0.7);
    equalizer.SetMid(0.8);
    equalizer.SetHigh(0.3);
    equalizer.CompleteGlides();
    RunStage(state, [&](double* l, double* r) { equalizer.Process(l, r, kFrames); });
}

void BM_DumpExpand(benchmark::State& state) {
    Korvane::DumpExpand dumpExpand;
    dumpExpand.Prepare(kFrames);
    dumpExpand.SetPosition(0.7);
    dumpExpand.CompleteGlides();
    RunStage(state, [&](double* l, double* r) { dumpExpand.Process(l, r, kFrames); });
}

// One voice through every effect of the chain, each of them switched on.
void BM_WholeChain(benchmark::State& state) {
    Dunerow synth;
    synth.SetBlockSize(kFrames);
    synth.OnReset();
    const std::pair<int, double> settings[] = {
        {param::FilterCutoff, 0.6},  {param::RingModulationAmount, 0.5}, {param::PhaserDepth, 0.5},
        {param::SampleRate, 0.8},    {param::Quantization, 0.5},         {param::Gate, 0.1},
        {param::Distortion, 0.6},    {param::DynShaper, 0.5},            {param::MidAmount, 0.8},
        {param::DumpExpand, 0.7},    {param::RingModulationFrequency, 0.3}, {param::FilterOnOff, 1.0},
        {param::Saturation, 0.4},    {param::BassLayerToFilter, 1.0},    {param::EnvSustain, 1.0}};
    for (const auto& [index, value] : settings) {
        synth.GetParam(index)->SetFromNormalized(value);
        synth.ApplyParameter(index);
    }
    StereoBlock block;
    double* outputs[2] = {block.left.data(), block.right.data()};
    // One held note, so that every stage works on sound rather than on silence.
    synth.QueueMidiMessage({0, 0x90, 36, 100});
    synth.ProcessBlock(nullptr, outputs, kFrames);
    for (auto _ : state) {
        synth.ProcessBlock(nullptr, outputs, kFrames);
        benchmark::DoNotOptimize(block.left.data());
    }
    state.SetItemsProcessed(state.iterations() * kFrames);
    state.counters["realtime_factor"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_FilterUnit);
BENCHMARK(BM_RingModulator);
BENCHMARK(BM_Phaser);
BENCHMARK(BM_DistortionStages);
BENCHMARK(BM_DynShaper);
BENCHMARK(BM_Equalizer);
BENCHMARK(BM_DumpExpand);
BENCHMARK(BM_WholeChain);

}  // namespace
