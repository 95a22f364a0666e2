// Cost of one 512-frame block with a given number of sounding voices, each
// with three oscillators in two-voice unison.
#include <benchmark/benchmark.h>

#include <vector>

#include "instrument/dunerow.h"

namespace {

void SetParameter(Dunerow& synth, int index, double value) {
    synth.GetParam(index)->SetFromNormalized(value);
    synth.ApplyParameter(index);
}

void BM_VoiceBlock512(benchmark::State& state) {
    constexpr int kFrames = 512;
    const auto voices = static_cast<int>(state.range(0));
    Dunerow synth;
    synth.SetSampleRate(44100.0);
    synth.SetBlockSize(kFrames);
    synth.OnReset();
    for (int on : {param::Osc1OnOff, param::Osc2OnOff, param::Osc3OnOff}) SetParameter(synth, on, 1.0);
    for (int volume : {param::OscVolume1, param::OscVolume2, param::OscVolume3}) SetParameter(synth, volume, 0.6);
    SetParameter(synth, param::KickTransposeMode, 0.0);
    SetParameter(synth, param::UnisonVoices, 1.0);
    SetParameter(synth, param::EnvSustain, 1.0);
    SetParameter(synth, param::OscWaveform1, 1.0 / 35.0);
    SetParameter(synth, param::OscWaveform2, 2.0 / 35.0);
    SetParameter(synth, param::OscWaveform3, 21.0 / 35.0);

    std::vector<double> left(kFrames), right(kFrames);
    double* outputs[2] = {left.data(), right.data()};
    for (int voice = 0; voice < voices; ++voice) {
        synth.QueueMidiMessage({0, 0x90, static_cast<uint8_t>(30 + voice), 100});
    }
    synth.ProcessBlock(nullptr, outputs, kFrames);
    if (synth.Voices().SoundingVoices() != voices) state.SkipWithError("voices did not start");

    for (auto _ : state) {
        synth.ProcessBlock(nullptr, outputs, kFrames);
        benchmark::DoNotOptimize(left.data());
    }
    state.counters["frames_per_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kFrames, benchmark::Counter::kIsRate);
    state.counters["realtime_factor"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * kFrames / 44100.0, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_VoiceBlock512)->Arg(1)->Arg(4)->Arg(16)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace
