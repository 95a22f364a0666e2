// The factory bank. Each program lists the values in which it differs
// from "KV Bassdrum"; every value is in 0..1 with at most four decimals,
// selectors at their positions' fractions.
#include "programs/factory_programs.h"

#include "shell/plugin_base.h"

namespace {

// clang-format off
constexpr ProgramSetting kKvBassdrum[] = {
    {param::Osc1OnOff, 1},
    {param::OscWaveform1, 0},
    {param::OscFreq1, 0.5},
    {param::OscVolume1, 1},
    {param::OscSat1, 0},
    {param::OscPan1, 0.5},
    {param::OscPitch1, 0.5},
    {param::OscFilterType1, 0},
    {param::OscFilterCutoff1, 1},
    {param::OscFilterResonance1, 0},
    {param::OscInvertWaveform1, 0},
    {param::OscModFrequency1, 0},
    {param::OscRingModAmount1, 0},
    {param::OscFreqModAmount1, 0},
    {param::OscFiltModAmount1, 0},
    {param::Osc2OnOff, 0},
    {param::OscWaveform2, 0},
    {param::OscFreq2, 0.5},
    {param::OscVolume2, 0},
    {param::OscSat2, 0},
    {param::OscPan2, 0.5},
    {param::OscPitch2, 0.5},
    {param::OscFilterType2, 0},
    {param::OscFilterCutoff2, 1},
    {param::OscFilterResonance2, 0},
    {param::OscInvertWaveform2, 0},
    {param::OscModFrequency2, 0},
    {param::OscRingModAmount2, 0},
    {param::OscFreqModAmount2, 0},
    {param::OscFiltModAmount2, 0},
    {param::Osc3OnOff, 0},
    {param::OscWaveform3, 0},
    {param::OscFreq3, 0.5},
    {param::OscVolume3, 0},
    {param::OscSat3, 0},
    {param::OscPan3, 0.5},
    {param::OscPitch3, 0.5},
    {param::OscFilterType3, 0},
    {param::OscFilterCutoff3, 1},
    {param::OscFilterResonance3, 0},
    {param::OscInvertWaveform3, 0},
    {param::OscModFrequency3, 0},
    {param::OscRingModAmount3, 0},
    {param::OscFreqModAmount3, 0},
    {param::OscFiltModAmount3, 0},
    {param::EnvAttack, 0.01},
    {param::EnvDecay, 0.25},
    {param::EnvSustain, 0},
    {param::EnvRelease, 0.05},
    {param::EnvDuration, 0.2},
    {param::FilterAttack, 0.01},
    {param::FilterDecay, 0.25},
    {param::FilterSustain, 0},
    {param::FilterRelease, 0.05},
    {param::FilterDuration, 0.2},
    {param::Osc1InvertFilEnv, 0},
    {param::Osc2InvertFilEnv, 0},
    {param::Osc3InvertFilEnv, 0},
    {param::BassLayerAmount, 0},
    {param::BassLayerSolo, 0},
    {param::BassLayerToFilter, 0},
    {param::BassLayerClick, 0},
    {param::GlobalTranspose, 0.5},
    {param::KickTransposeMode, 1},
    {param::PitchOnOff, 1},
    {param::PitchAmount, 0.125},
    {param::PitchDuration, 0.3},
    {param::PitchPower, 0.6},
    {param::PitchDown, 0},
    {param::UnisonVoices, 0},
    {param::UnisonDetune, 0.125},
    {param::FmAmount, 0},
    {param::BassAmount, 0.5},
    {param::MidAmount, 0.5},
    {param::HighAmount, 0.5},
    {param::DumpExpand, 0.5},
    {param::DistortionOnOff, 1},
    {param::Distortion, 0},
    {param::DistortionType, 0},
    {param::DistortionLoudness, 0},
    {param::DistortionInterpMode, 0},
    {param::DynShaper, 0},
    {param::DynShaperInvert, 0},
    {param::DynShaperType, 0},
    {param::DynShaperMode, 0},
    {param::Quantization, 1},
    {param::SampleRate, 1},
    {param::Gate, 0},
    {param::FilterOnOff, 1},
    {param::FilterInputDrive, 0},
    {param::FilterType, 0},
    {param::FilterCutoff, 1},
    {param::FilterResonance, 0},
    {param::FilterMode1, 0},
    {param::FilterMode2, 0},
    {param::FilterTransition, 1},
    {param::ModulationOnOff, 0},
    {param::RingModulationAmount, 0},
    {param::RingModulationFrequency, 0},
    {param::RingModulationWaveForm, 0},
    {param::PhaserDepth, 0},
    {param::PhaserFeedback, 0.25},
    {param::PhaserRate, 0.5},
    {param::BypassFX, 0},
    {param::LimitOutput, 0},
    {param::Pan, 0.5},
    {param::Saturation, 0},
    {param::DryWet, 1},
    {param::Volume, 0.5},
};

// 0: #BASIC BASSDRUMS#
constexpr std::span<const ProgramSetting> kProgram000{};

// 1: KV Bassdrum
constexpr std::span<const ProgramSetting> kProgram001{};

// 2: KV Basic Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram002{};

// 3: KV Basic Bassdrum 2 (click)
constexpr std::span<const ProgramSetting> kProgram003{};

// 4: KV Basic Bassdrum 3 (click)
constexpr std::span<const ProgramSetting> kProgram004{};

// 5: KV Basic Kickdrum 1
constexpr std::span<const ProgramSetting> kProgram005{};

// 6: KV Basic Kickdrum 2
constexpr std::span<const ProgramSetting> kProgram006{};

// 7: KV Basic Kickdrum 3
constexpr std::span<const ProgramSetting> kProgram007{};

// 8: KV Laser 1
constexpr std::span<const ProgramSetting> kProgram008{};

// 9: KV Laser 2
constexpr std::span<const ProgramSetting> kProgram009{};

// 10: KV Laser Kick 1
constexpr std::span<const ProgramSetting> kProgram010{};

// 11: KV Laser Kick 2
constexpr std::span<const ProgramSetting> kProgram011{};

// 12: KV Pulse Beat 1
constexpr std::span<const ProgramSetting> kProgram012{};

// 13: KV Pulse Beat 2
constexpr std::span<const ProgramSetting> kProgram013{};

// 14: Oldschool Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram014{};

// 15: Oldschool Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram015{};

// 16: Oldschool Bassdrum 3
constexpr std::span<const ProgramSetting> kProgram016{};

// 17: Oldschool Bassdrum 4
constexpr std::span<const ProgramSetting> kProgram017{};

// 18: Oldschool Bassdrum 5
constexpr std::span<const ProgramSetting> kProgram018{};

// 19: #HARDCORE BASSDRUMS#
constexpr std::span<const ProgramSetting> kProgram019{};

// 20: Mainstream Bassdrum 1
constexpr ProgramSetting kProgram020[] = {
    {param::OscWaveform1, 0.1429},
    {param::OscSat1, 0.25},
    {param::OscFilterCutoff1, 0.5},
    {param::OscFilterResonance1, 0.5},
    {param::OscModFrequency1, 0.25},
    {param::Osc2OnOff, 1},
    {param::OscWaveform2, 0.0857},
    {param::OscFreq2, 0.475},
    {param::OscVolume2, 1},
    {param::OscSat2, 0.25},
    {param::OscPan2, 0.4},
    {param::OscFilterCutoff2, 0.5},
    {param::OscFilterResonance2, 0.5},
    {param::OscModFrequency2, 0.25},
    {param::Osc3OnOff, 1},
    {param::OscWaveform3, 0.0286},
    {param::OscFreq3, 0.45},
    {param::OscVolume3, 1},
    {param::OscSat3, 0.25},
    {param::OscPan3, 0.6},
    {param::OscFilterCutoff3, 0.5},
    {param::OscFilterResonance3, 0.5},
    {param::OscModFrequency3, 0.25},
    {param::EnvDecay, 1},
    {param::EnvRelease, 0.001},
    {param::FilterDecay, 1},
    {param::FilterRelease, 0.001},
    {param::BassLayerAmount, 0.777},
    {param::BassLayerToFilter, 1},
    {param::BassLayerClick, 1},
    {param::PitchAmount, 0.3},
    {param::PitchDuration, 0.35},
    {param::PitchPower, 1},
    {param::UnisonVoices, 1},
    {param::UnisonDetune, 0.1},
    {param::Distortion, 1},
    {param::DistortionType, 0.5714},
    {param::DistortionInterpMode, 1},
    {param::FilterInputDrive, 0.2},
    {param::FilterCutoff, 0.3},
    {param::FilterResonance, 0.5},
    {param::FilterMode1, 0.6667},
    {param::LimitOutput, 1},
};

// 21: Mainstream Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram021{};

// 22: Mainstream Bassdrum 3
constexpr std::span<const ProgramSetting> kProgram022{};

// 23: Mainstream Bassdrum 4
constexpr std::span<const ProgramSetting> kProgram023{};

// 24: Darkcore Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram024{};

// 25: Darkcore Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram025{};

// 26: Darkcore Bassdrum 3
constexpr std::span<const ProgramSetting> kProgram026{};

// 27: Zel Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram027{};

// 28: Zel Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram028{};

// 29: Zel Bassdrum 3
constexpr std::span<const ProgramSetting> kProgram029{};

// 30: Zel Kickdrum 1
constexpr std::span<const ProgramSetting> kProgram030{};

// 31: Zel Kickdrum 2
constexpr std::span<const ProgramSetting> kProgram031{};

// 32: Industrial Bassdrum
constexpr std::span<const ProgramSetting> kProgram032{};

// 33: Low Q Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram033{};

// 34: Low Q Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram034{};

// 35: Re-Born
constexpr std::span<const ProgramSetting> kProgram035{};

// 36: Vosk Darkcore-Kick 1
constexpr std::span<const ProgramSetting> kProgram036{};

// 37: Vosk Darkcore-Kick 2
constexpr std::span<const ProgramSetting> kProgram037{};

// 38: Deep-Underground-Beat
constexpr std::span<const ProgramSetting> kProgram038{};

// 39: Bass-Megastructure
constexpr std::span<const ProgramSetting> kProgram039{};

// 40: Terrorcore Beat 1
constexpr std::span<const ProgramSetting> kProgram040{};

// 41: Terrorcore Beat 2
constexpr std::span<const ProgramSetting> kProgram041{};

// 42: Killer Beat 1
constexpr std::span<const ProgramSetting> kProgram042{};

// 43: Killer Beat 2
constexpr std::span<const ProgramSetting> kProgram043{};

// 44: Dirty Beat 1
constexpr std::span<const ProgramSetting> kProgram044{};

// 45: Speedcore Kick 1
constexpr std::span<const ProgramSetting> kProgram045{};

// 46: Speedcore Kick 2
constexpr std::span<const ProgramSetting> kProgram046{};

// 47: Speedcore Kick 3
constexpr std::span<const ProgramSetting> kProgram047{};

// 48: Bounce Kick 1
constexpr std::span<const ProgramSetting> kProgram048{};

// 49: Bounce Kick 2
constexpr std::span<const ProgramSetting> kProgram049{};

// 50: NoiseCore Kick 1
constexpr std::span<const ProgramSetting> kProgram050{};

// 51: NoiseCore Kick 2
constexpr std::span<const ProgramSetting> kProgram051{};

// 52: Amiga 8-bit Powerkick 1
constexpr std::span<const ProgramSetting> kProgram052{};

// 53: Amiga 8-bit Powerkick 2
constexpr std::span<const ProgramSetting> kProgram053{};

// 54: Plonek Kickdrum 1
constexpr std::span<const ProgramSetting> kProgram054{};

// 55: Plonek Kickdrum 2
constexpr std::span<const ProgramSetting> kProgram055{};

// 56: Ulmo Kickdrum 1
constexpr std::span<const ProgramSetting> kProgram056{};

// 57: Ulmo Kickdrum 2
constexpr std::span<const ProgramSetting> kProgram057{};

// 58: Gabber Kick 1
constexpr std::span<const ProgramSetting> kProgram058{};

// 59: Gabber Kick 2
constexpr std::span<const ProgramSetting> kProgram059{};

// 60: Gabber Kick 3
constexpr std::span<const ProgramSetting> kProgram060{};

// 61: Gabber Kick 4
constexpr std::span<const ProgramSetting> kProgram061{};

// 62: Korvane Kickdrum 1
constexpr std::span<const ProgramSetting> kProgram062{};

// 63: Korvane Kickdrum 2
constexpr std::span<const ProgramSetting> kProgram063{};

// 64: Korvane Kickdrum 3
constexpr std::span<const ProgramSetting> kProgram064{};

// 65: Korvane Kickdrum 4
constexpr std::span<const ProgramSetting> kProgram065{};

// 66: Korvane Kickdrum 5
constexpr std::span<const ProgramSetting> kProgram066{};

// 67: Dark Matter Detector 1
constexpr std::span<const ProgramSetting> kProgram067{};

// 68: Dark Matter Detector 2
constexpr std::span<const ProgramSetting> kProgram068{};

// 69: Industrial Crunch
constexpr std::span<const ProgramSetting> kProgram069{};

// 70: Q.Vane Bassdrum 1
constexpr std::span<const ProgramSetting> kProgram070{};

// 71: Q.Vane Bassdrum 2
constexpr std::span<const ProgramSetting> kProgram071{};

// 72: #DRUM AND FX SECTION#
constexpr std::span<const ProgramSetting> kProgram072{};

// 73: Closed Hihat
constexpr std::span<const ProgramSetting> kProgram073{};

// 74: Open Hihat
constexpr std::span<const ProgramSetting> kProgram074{};

// 75: Snare-Drum
constexpr std::span<const ProgramSetting> kProgram075{};

// 76: Eight-Bit Enema
constexpr std::span<const ProgramSetting> kProgram076{};

// 77: A Coder Ate My Pigeon
constexpr std::span<const ProgramSetting> kProgram077{};

// 78: Neightbours Nightmare
constexpr std::span<const ProgramSetting> kProgram078{};

// 79: Uncontrolled Detonation
constexpr std::span<const ProgramSetting> kProgram079{};

// 80: Silver Submarine
constexpr std::span<const ProgramSetting> kProgram080{};

// 81: #BASS SECTION#
constexpr std::span<const ProgramSetting> kProgram081{};

// 82: Raw Bassground
constexpr std::span<const ProgramSetting> kProgram082{};

// 83: The shadow out of bass
constexpr std::span<const ProgramSetting> kProgram083{};

// 84: Underground Dub Bass 1
constexpr std::span<const ProgramSetting> kProgram084{};

// 85: The Sorcery of D&B Bass
constexpr std::span<const ProgramSetting> kProgram085{};

// 86: Deadly Spell D&B Bass
constexpr std::span<const ProgramSetting> kProgram086{};

// 87: Fusion Bass 1
constexpr std::span<const ProgramSetting> kProgram087{};

// 88: Fusion Bass 2
constexpr std::span<const ProgramSetting> kProgram088{};

// 89: #STRING SECTION#
constexpr std::span<const ProgramSetting> kProgram089{};

// 90: Oskar Vell's Violin
constexpr std::span<const ProgramSetting> kProgram090{};

// 91: Virtual Cello
constexpr std::span<const ProgramSetting> kProgram091{};

// 92: Virtual Banjo
constexpr std::span<const ProgramSetting> kProgram092{};

// 93: #BRASS SECTION#
constexpr std::span<const ProgramSetting> kProgram093{};

// 94: Virtual Horn
constexpr std::span<const ProgramSetting> kProgram094{};

// 95: Virtual Harmonica
constexpr std::span<const ProgramSetting> kProgram095{};

// 96: #PAD SECTION#
constexpr std::span<const ProgramSetting> kProgram096{};

// 97: Relic Pad
constexpr std::span<const ProgramSetting> kProgram097{};

// 98: Raw Structured Pad
constexpr std::span<const ProgramSetting> kProgram098{};

// 99: Space-Cut Pad
constexpr std::span<const ProgramSetting> kProgram099{};

// 100: Prophecy Pad
constexpr std::span<const ProgramSetting> kProgram100{};

// 101: Delirium Pad
constexpr std::span<const ProgramSetting> kProgram101{};

// 102: #SYNTH SOUNDS#
constexpr std::span<const ProgramSetting> kProgram102{};

// 103: Saw Lead 1
constexpr std::span<const ProgramSetting> kProgram103{};

// 104: Saw Lead 2 (detuned)
constexpr std::span<const ProgramSetting> kProgram104{};

// 105: Saw Lead 3 (modulated)
constexpr std::span<const ProgramSetting> kProgram105{};

// 106: Super Saw Lead 1
constexpr std::span<const ProgramSetting> kProgram106{};

// 107: Super Saw Lead 2
constexpr std::span<const ProgramSetting> kProgram107{};

// 108: Exothermic Hardstyle Lead
constexpr std::span<const ProgramSetting> kProgram108{};

// 109: Endothermic Hardcore Lead
constexpr std::span<const ProgramSetting> kProgram109{};

// 110: Square Lead 1
constexpr std::span<const ProgramSetting> kProgram110{};

// 111: Square Lead 2 (detuned)
constexpr std::span<const ProgramSetting> kProgram111{};

// 112: Square Lead 3 (mod.)
constexpr std::span<const ProgramSetting> kProgram112{};

// 113: Sternenkind Mira
constexpr std::span<const ProgramSetting> kProgram113{};

// 114: Dark Phuture Lead
constexpr std::span<const ProgramSetting> kProgram114{};

// 115: Event Horizon Lead (phased)
constexpr std::span<const ProgramSetting> kProgram115{};

// 116: KV Hard-D&B-Lead 1
constexpr std::span<const ProgramSetting> kProgram116{};

// 117: Cyber Realizm
constexpr std::span<const ProgramSetting> kProgram117{};

// 118: KV Filter Synth 1
constexpr std::span<const ProgramSetting> kProgram118{};

// 119: KV Filter Synth 2
constexpr std::span<const ProgramSetting> kProgram119{};

// 120: Q.Vane Oi-Synth 1
constexpr std::span<const ProgramSetting> kProgram120{};

// 121: Q.Vane Oi-Synth 2
constexpr std::span<const ProgramSetting> kProgram121{};

// 122: Big Pitcher
constexpr std::span<const ProgramSetting> kProgram122{};

// 123: KV Vibes 1
constexpr std::span<const ProgramSetting> kProgram123{};

// 124: KV Vibes 2
constexpr std::span<const ProgramSetting> kProgram124{};

// 125: KV Vibes 3
constexpr std::span<const ProgramSetting> kProgram125{};

// 126: 1980 GaMe-ViBe
constexpr std::span<const ProgramSetting> kProgram126{};

// 127: Basic Sine wave
constexpr ProgramSetting kProgram127[] = {
    {param::EnvAttack, 0.05},
    {param::EnvDecay, 0.5},
    {param::EnvSustain, 0.5},
    {param::EnvRelease, 0.1},
    {param::FilterAttack, 0.05},
    {param::FilterDecay, 0.5},
    {param::FilterSustain, 0.5},
    {param::FilterRelease, 0.1},
    {param::KickTransposeMode, 0},
    {param::PitchAmount, 0},
    {param::PitchDuration, 0},
    {param::PitchPower, 0},
    {param::DistortionOnOff, 0},
    {param::FilterOnOff, 0},
    {param::FilterType, 1},
    {param::FilterCutoff, 0},
};

// clang-format on

constexpr FactoryProgram kPrograms[] = {
    {"#BASIC BASSDRUMS#", kProgram000},
    {"KV Bassdrum", kProgram001},
    {"KV Basic Bassdrum 1", kProgram002},
    {"KV Basic Bassdrum 2 (click)", kProgram003},
    {"KV Basic Bassdrum 3 (click)", kProgram004},
    {"KV Basic Kickdrum 1", kProgram005},
    {"KV Basic Kickdrum 2", kProgram006},
    {"KV Basic Kickdrum 3", kProgram007},
    {"KV Laser 1", kProgram008},
    {"KV Laser 2", kProgram009},
    {"KV Laser Kick 1", kProgram010},
    {"KV Laser Kick 2", kProgram011},
    {"KV Pulse Beat 1", kProgram012},
    {"KV Pulse Beat 2", kProgram013},
    {"Oldschool Bassdrum 1", kProgram014},
    {"Oldschool Bassdrum 2", kProgram015},
    {"Oldschool Bassdrum 3", kProgram016},
    {"Oldschool Bassdrum 4", kProgram017},
    {"Oldschool Bassdrum 5", kProgram018},
    {"#HARDCORE BASSDRUMS#", kProgram019},
    {"Mainstream Bassdrum 1", kProgram020},
    {"Mainstream Bassdrum 2", kProgram021},
    {"Mainstream Bassdrum 3", kProgram022},
    {"Mainstream Bassdrum 4", kProgram023},
    {"Darkcore Bassdrum 1", kProgram024},
    {"Darkcore Bassdrum 2", kProgram025},
    {"Darkcore Bassdrum 3", kProgram026},
    {"Zel Bassdrum 1", kProgram027},
    {"Zel Bassdrum 2", kProgram028},
    {"Zel Bassdrum 3", kProgram029},
    {"Zel Kickdrum 1", kProgram030},
    {"Zel Kickdrum 2", kProgram031},
    {"Industrial Bassdrum", kProgram032},
    {"Low Q Bassdrum 1", kProgram033},
    {"Low Q Bassdrum 2", kProgram034},
    {"Re-Born", kProgram035},
    {"Vosk Darkcore-Kick 1", kProgram036},
    {"Vosk Darkcore-Kick 2", kProgram037},
    {"Deep-Underground-Beat", kProgram038},
    {"Bass-Megastructure", kProgram039},
    {"Terrorcore Beat 1", kProgram040},
    {"Terrorcore Beat 2", kProgram041},
    {"Killer Beat 1", kProgram042},
    {"Killer Beat 2", kProgram043},
    {"Dirty Beat 1", kProgram044},
    {"Speedcore Kick 1", kProgram045},
    {"Speedcore Kick 2", kProgram046},
    {"Speedcore Kick 3", kProgram047},
    {"Bounce Kick 1", kProgram048},
    {"Bounce Kick 2", kProgram049},
    {"NoiseCore Kick 1", kProgram050},
    {"NoiseCore Kick 2", kProgram051},
    {"Amiga 8-bit Powerkick 1", kProgram052},
    {"Amiga 8-bit Powerkick 2", kProgram053},
    {"Plonek Kickdrum 1", kProgram054},
    {"Plonek Kickdrum 2", kProgram055},
    {"Ulmo Kickdrum 1", kProgram056},
    {"Ulmo Kickdrum 2", kProgram057},
    {"Gabber Kick 1", kProgram058},
    {"Gabber Kick 2", kProgram059},
    {"Gabber Kick 3", kProgram060},
    {"Gabber Kick 4", kProgram061},
    {"Korvane Kickdrum 1", kProgram062},
    {"Korvane Kickdrum 2", kProgram063},
    {"Korvane Kickdrum 3", kProgram064},
    {"Korvane Kickdrum 4", kProgram065},
    {"Korvane Kickdrum 5", kProgram066},
    {"Dark Matter Detector 1", kProgram067},
    {"Dark Matter Detector 2", kProgram068},
    {"Industrial Crunch", kProgram069},
    {"Q.Vane Bassdrum 1", kProgram070},
    {"Q.Vane Bassdrum 2", kProgram071},
    {"#DRUM AND FX SECTION#", kProgram072},
    {"Closed Hihat", kProgram073},
    {"Open Hihat", kProgram074},
    {"Snare-Drum", kProgram075},
    {"Eight-Bit Enema", kProgram076},
    {"A Coder Ate My Pigeon", kProgram077},
    {"Neightbours Nightmare", kProgram078},
    {"Uncontrolled Detonation", kProgram079},
    {"Silver Submarine", kProgram080},
    {"#BASS SECTION#", kProgram081},
    {"Raw Bassground", kProgram082},
    {"The shadow out of bass", kProgram083},
    {"Underground Dub Bass 1", kProgram084},
    {"The Sorcery of D&B Bass", kProgram085},
    {"Deadly Spell D&B Bass", kProgram086},
    {"Fusion Bass 1", kProgram087},
    {"Fusion Bass 2", kProgram088},
    {"#STRING SECTION#", kProgram089},
    {"Oskar Vell's Violin", kProgram090},
    {"Virtual Cello", kProgram091},
    {"Virtual Banjo", kProgram092},
    {"#BRASS SECTION#", kProgram093},
    {"Virtual Horn", kProgram094},
    {"Virtual Harmonica", kProgram095},
    {"#PAD SECTION#", kProgram096},
    {"Relic Pad", kProgram097},
    {"Raw Structured Pad", kProgram098},
    {"Space-Cut Pad", kProgram099},
    {"Prophecy Pad", kProgram100},
    {"Delirium Pad", kProgram101},
    {"#SYNTH SOUNDS#", kProgram102},
    {"Saw Lead 1", kProgram103},
    {"Saw Lead 2 (detuned)", kProgram104},
    {"Saw Lead 3 (modulated)", kProgram105},
    {"Super Saw Lead 1", kProgram106},
    {"Super Saw Lead 2", kProgram107},
    {"Exothermic Hardstyle Lead", kProgram108},
    {"Endothermic Hardcore Lead", kProgram109},
    {"Square Lead 1", kProgram110},
    {"Square Lead 2 (detuned)", kProgram111},
    {"Square Lead 3 (mod.)", kProgram112},
    {"Sternenkind Mira", kProgram113},
    {"Dark Phuture Lead", kProgram114},
    {"Event Horizon Lead (phased)", kProgram115},
    {"KV Hard-D&B-Lead 1", kProgram116},
    {"Cyber Realizm", kProgram117},
    {"KV Filter Synth 1", kProgram118},
    {"KV Filter Synth 2", kProgram119},
    {"Q.Vane Oi-Synth 1", kProgram120},
    {"Q.Vane Oi-Synth 2", kProgram121},
    {"Big Pitcher", kProgram122},
    {"KV Vibes 1", kProgram123},
    {"KV Vibes 2", kProgram124},
    {"KV Vibes 3", kProgram125},
    {"1980 GaMe-ViBe", kProgram126},
    {"Basic Sine wave", kProgram127},
};
static_assert(std::size(kPrograms) == kProgramCount);

}  // namespace


std::array<double, kParameterCount> KvBassdrumValues() {
    std::array<double, kParameterCount> values{};
    for (const ProgramSetting& setting : kKvBassdrum) values[static_cast<std::size_t>(setting.parameter)] = setting.value;
    return values;
}

std::span<const FactoryProgram> FactoryPrograms() { return kPrograms; }

std::array<double, kParameterCount> ValuesOf(const FactoryProgram& program) {
    std::array<double, kParameterCount> values = KvBassdrumValues();
    for (const ProgramSetting& setting : program.changes) values[static_cast<std::size_t>(setting.parameter)] = setting.value;
    return values;
}

void BuildFactoryPrograms(IPluginBase& plugin) {
    for (const FactoryProgram& program : kPrograms) {
        const std::array<double, kParameterCount> values = ValuesOf(program);
        plugin.MakeProgram(program.name, values);
    }
}
