// The instrument's 109 automatable parameters, in host index order.
//
// This list is the only place a parameter is described: the index enum, the
// table the plug-in declares from, the program text keys and the editor
// bindings all expand it. Every parameter runs from 0.0 to 1.0; the step
// alone makes it a switch (1.0), a stepped selector (0.25, 1/3, 0.2, 0.1)
// or a continuous value (0.001).
//
// X(identifier, host name, default, step, unit label, editor panel)
#pragma once

// clang-format off
#define DUNEROW_PARAMETERS(X) \
    X(Osc1OnOff,               "Oscillator 1 On/Off",       1.0,  1.0,       "",   Oscillator1) \
    X(OscWaveform1,            "Osc1 waveform",             0.0,  0.001,     "",   Oscillator1) \
    X(OscFreq1,                "Osc1 Tune",                 0.5,  0.001,     "",   Oscillator1) \
    X(OscVolume1,              "Osc1 volume",               1.0,  0.001,     "",   Oscillator1) \
    X(OscSat1,                 "Osc1 saturation",           0.0,  0.001,     "",   Oscillator1) \
    X(OscPan1,                 "Osc1 pan",                  0.5,  0.001,     "",   Oscillator1) \
    X(OscPitch1,               "Osc1 Pitch",                0.5,  0.001,     "",   Oscillator1) \
    X(OscFilterType1,          "Osc1 filter type",          0.0,  0.001,     "",   Oscillator1) \
    X(OscFilterCutoff1,        "Osc1 filter cutoff",        1.0,  0.001,     "",   Oscillator1) \
    X(OscFilterResonance1,     "Osc1 filter rezo",          0.0,  0.001,     "",   Oscillator1) \
    X(OscInvertWaveform1,      "Osc1 invert waveform",      0.0,  1.0,       "",   Oscillator1) \
    X(OscModFrequency1,        "Osc1 LFO freq.",            0.0,  0.001,     "Hz", Oscillator1) \
    X(OscRingModAmount1,       "Osc1 LFO ring",             0.0,  0.001,     "",   Oscillator1) \
    X(OscFreqModAmount1,       "Osc1 LFO tune",             0.0,  0.001,     "",   Oscillator1) \
    X(OscFiltModAmount1,       "Osc1 LFO filter",           0.0,  0.001,     "",   Oscillator1) \
    X(Osc2OnOff,               "Oscillator 2 On/Off",       1.0,  1.0,       "",   Oscillator2) \
    X(OscWaveform2,            "Osc2 waveform",             0.0,  0.001,     "",   Oscillator2) \
    X(OscFreq2,                "Osc2 Tune",                 0.5,  0.001,     "",   Oscillator2) \
    X(OscVolume2,              "Osc2 volume",               1.0,  0.001,     "",   Oscillator2) \
    X(OscSat2,                 "Osc2 saturation",           0.0,  0.001,     "",   Oscillator2) \
    X(OscPan2,                 "Osc2 pan",                  0.5,  0.001,     "",   Oscillator2) \
    X(OscPitch2,               "Osc2 Pitch",                0.5,  0.001,     "",   Oscillator2) \
    X(OscFilterType2,          "Osc2 filter type",          0.0,  0.001,     "",   Oscillator2) \
    X(OscFilterCutoff2,        "Osc2 filter cutoff",        1.0,  0.001,     "",   Oscillator2) \
    X(OscFilterResonance2,     "Osc2 filter rezo",          0.0,  0.001,     "",   Oscillator2) \
    X(OscInvertWaveform2,      "Osc2 invert waveform",      0.0,  1.0,       "",   Oscillator2) \
    X(OscModFrequency2,        "Osc2 LFO freq.",            0.0,  0.001,     "",   Oscillator2) \
    X(OscRingModAmount2,       "Osc2 LFO ring",             0.0,  0.001,     "",   Oscillator2) \
    X(OscFreqModAmount2,       "Osc2 LFO tune",             0.0,  0.001,     "",   Oscillator2) \
    X(OscFiltModAmount2,       "Osc2 LFO filter",           0.0,  0.001,     "",   Oscillator2) \
    X(Osc3OnOff,               "Oscillator 3 On/Off",       1.0,  1.0,       "",   Oscillator3) \
    X(OscWaveform3,            "Osc3 waveform",             0.0,  0.001,     "",   Oscillator3) \
    X(OscFreq3,                "Osc3 Tune",                 0.5,  0.001,     "",   Oscillator3) \
    X(OscVolume3,              "Osc3 volume",               1.0,  0.001,     "",   Oscillator3) \
    X(OscSat3,                 "Osc3 saturation",           0.0,  0.001,     "",   Oscillator3) \
    X(OscPan3,                 "Osc3 pan",                  0.5,  0.001,     "",   Oscillator3) \
    X(OscPitch3,               "Osc3 Pitch",                0.5,  0.001,     "",   Oscillator3) \
    X(OscFilterType3,          "Osc3 filter type",          0.0,  0.001,     "",   Oscillator3) \
    X(OscFilterCutoff3,        "Osc3 filter cutoff",        1.0,  0.001,     "",   Oscillator3) \
    X(OscFilterResonance3,     "Osc3 filter rezo",          0.0,  0.001,     "",   Oscillator3) \
    X(OscInvertWaveform3,      "Osc3 invert waveform",      0.0,  1.0,       "",   Oscillator3) \
    X(OscModFrequency3,        "Osc3 LFO freq.",            0.0,  0.001,     "Hz", Oscillator3) \
    X(OscRingModAmount3,       "Osc3 LFO ring",             0.0,  0.001,     "",   Oscillator3) \
    X(OscFreqModAmount3,       "Osc3 LFO tune",             0.0,  0.001,     "",   Oscillator3) \
    X(OscFiltModAmount3,       "Osc3 LFO filter",           0.0,  0.001,     "",   Oscillator3) \
    X(EnvAttack,               "Volume Env. Attack",        0.05, 0.001,     "s",  VolumeEnvelope) \
    X(EnvDecay,                "Volume Env. Decay",         0.5,  0.001,     "s",  VolumeEnvelope) \
    X(EnvSustain,              "Volume Env. Sustain",       0.25, 0.001,     "%",  VolumeEnvelope) \
    X(EnvRelease,              "Volume Env. Release",       0.1,  0.001,     "s",  VolumeEnvelope) \
    X(EnvDuration,             "Volume Env. Duration",      0.2,  0.001,     "s",  VolumeEnvelope) \
    X(FilterAttack,            "Filter Env. Attack",        0.05, 0.001,     "s",  FilterEnvelope) \
    X(FilterDecay,             "Filter Env. Decay",         0.5,  0.001,     "s",  FilterEnvelope) \
    X(FilterSustain,           "Filter Env. Sustain",       0.25, 0.001,     "%",  FilterEnvelope) \
    X(FilterRelease,           "Filter Env. Release",       0.1,  0.001,     "s",  FilterEnvelope) \
    X(FilterDuration,          "Filter Env. Duration",      0.2,  0.001,     "s",  FilterEnvelope) \
    X(Osc1InvertFilEnv,        "Osc1 invert filter env.",   0.0,  1.0,       "",   Oscillator1) \
    X(Osc2InvertFilEnv,        "Osc2 invert filter env.",   0.0,  1.0,       "",   Oscillator2) \
    X(Osc3InvertFilEnv,        "Osc3 invert filter env.",   0.0,  1.0,       "",   Oscillator3) \
    X(BassLayerAmount,         "Bass-Layer Amount",         0.0,  0.001,     "",   BassLayer) \
    X(BassLayerSolo,           "Bass-Layer solo",           0.0,  1.0,       "",   BassLayer) \
    X(BassLayerToFilter,       "Bass-Layer to filter",      0.0,  1.0,       "",   BassLayer) \
    X(BassLayerClick,          "Bass-Layer click",          0.0,  0.001,     "",   BassLayer) \
    X(GlobalTranspose,         "Global transpose",          0.5,  0.001,     "",   Transpose) \
    X(KickTransposeMode,       "Kick/drum transpose mode",  0.0,  0.25,      "",   Transpose) \
    X(PitchOnOff,              "Pitch env. On/Off",         1.0,  1.0,       "",   PitchEnvelope) \
    X(PitchAmount,             "Pitch Amount",              0.35, 0.001,     "",   PitchEnvelope) \
    X(PitchDuration,           "Pitch Duration",            0.45, 0.001,     "",   PitchEnvelope) \
    X(PitchPower,              "Pitch Power",               0.75, 0.001,     "",   PitchEnvelope) \
    X(PitchDown,               "Pitch Down",                0.0,  0.001,     "",   PitchEnvelope) \
    X(UnisonVoices,            "Unison Voices",             0.0,  0.001,     "",   Unison) \
    X(UnisonDetune,            "Unison Detune",             0.125, 0.001,     "",   Unison) \
    X(FmAmount,                "FM 1.00 carrier amount",    0.0,  0.001,     "",   Fm) \
    X(BassAmount,              "Bass",                      0.5,  0.001,     "",   EqualiserAndDumpExpand) \
    X(MidAmount,               "Mid",                       0.5,  0.001,     "",   EqualiserAndDumpExpand) \
    X(HighAmount,              "High",                      0.5,  0.001,     "",   EqualiserAndDumpExpand) \
    X(DumpExpand,              "Dump/Expand",               0.5,  0.001,     "",   EqualiserAndDumpExpand) \
    X(DistortionOnOff,         "Disto On/Off",              1.0,  1.0,       "",   DistortionAndShaper) \
    X(Distortion,              "Distortion",                0.0,  0.001,     "",   DistortionAndShaper) \
    X(DistortionType,          "Disto-Type",                0.0,  0.001,     "",   DistortionAndShaper) \
    X(DistortionLoudness,      "Disto-Loudness",            0.0,  1.0,       "",   DistortionAndShaper) \
    X(DistortionInterpMode,    "Disto Interpolation",       0.0,  0.001,     "",   DistortionAndShaper) \
    X(DynShaper,               "Dynamic Shaper Amount",     0.0,  0.001,     "",   DistortionAndShaper) \
    X(DynShaperInvert,         "Invert Shape",              0.0,  1.0,       "",   DistortionAndShaper) \
    X(DynShaperType,           "Shaper Type",               0.0,  1.0 / 3.0, "",   DistortionAndShaper) \
    X(DynShaperMode,           "Shaper Mode",               0.0,  0.001,     "",   DistortionAndShaper) \
    X(Quantization,            "Bit-Crash Quantize",        1.0,  0.001,     "",   DistortionAndShaper) \
    X(SampleRate,              "Sample-Rate Reduction",     1.0,  0.001,     "",   DistortionAndShaper) \
    X(Gate,                    "Gate-Crack",                0.0,  0.001,     "",   DistortionAndShaper) \
    X(FilterOnOff,             "Filter On/Off",             1.0,  1.0,       "",   GlobalFilter) \
    X(FilterInputDrive,        "Filter Input Drive",        0.0,  0.001,     "",   GlobalFilter) \
    X(FilterType,              "Filter Type",               0.0,  0.001,     "",   GlobalFilter) \
    X(FilterCutoff,            "Cutoff",                    0.0,  0.001,     "Hz", GlobalFilter) \
    X(FilterResonance,         "Resonance",                 0.0,  0.001,     "",   GlobalFilter) \
    X(FilterMode1,             "Filter Mode 1",             0.0,  0.001,     "",   GlobalFilter) \
    X(FilterMode2,             "Filter Mode 1",             0.0,  0.001,     "",   GlobalFilter) \
    X(FilterTransition,        "Filter Transition",         0.0,  1.0 / 3.0, "",   GlobalFilter) \
    X(ModulationOnOff,         "Mod Fx On/Off",             1.0,  1.0,       "",   ModulationEffects) \
    X(RingModulationAmount,    "Ring Amount",               0.0,  0.001,     "",   ModulationEffects) \
    X(RingModulationFrequency, "Ring Freq",                 0.0,  0.1,       "Hz", ModulationEffects) \
    X(RingModulationWaveForm,  "Ring Waveform",             0.0,  0.2,       "",   ModulationEffects) \
    X(PhaserDepth,             "Phaser Amount",             0.0,  0.001,     "",   ModulationEffects) \
    X(PhaserFeedback,          "Phaser Feedback",           0.5,  0.001,     "",   ModulationEffects) \
    X(PhaserRate,              "Phaser Rate",               0.2,  0.001,     "Hz", ModulationEffects) \
    X(BypassFX,                "Bypass all effects",        0.0,  1.0,       "",   Output) \
    X(LimitOutput,             "Limit output",              0.0,  1.0,       "",   InfoBar) \
    X(Pan,                     "Output pan",                0.5,  0.001,     "",   Output) \
    X(Saturation,              "Output saturation",         0.0,  0.001,     "",   Output) \
    X(DryWet,                  "Dry/Wet",                   1.0,  0.001,     "",   Output) \
    X(Volume,                  "Output volume",             0.5,  0.001,     "",   Output)
// clang-format on

