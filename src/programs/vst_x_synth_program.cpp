#include "programs/vst_x_synth_program.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "effects/distortion.h"
#include "engine/filter_unit.h"
#include "engine/laws.h"
#include "engine/waveform_provider.h"

namespace Korvane {

namespace {

constexpr int kLineSize = 1024;  // lines are read up to 1023 characters

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Windows paths are opened by their UTF-16 form, so names outside the ANSI code page work.
File Open(const std::filesystem::path& path, const char* mode) {
#if defined(_WIN32)
    const std::wstring wideMode(mode, mode + std::strlen(mode));
    return File(_wfopen(path.c_str(), wideMode.c_str()));
#else
    return File(std::fopen(path.c_str(), mode));
#endif
}

bool IsWaveform(int index) { return index == param::OscWaveform1 || index == param::OscWaveform2 || index == param::OscWaveform3; }
bool IsFilterMode(int index) { return index == param::FilterMode1 || index == param::FilterMode2; }

}  // namespace

VstXSynthProgram::VstXSynthProgram() : name_("Basic Bassdrum") {
    for (const ParameterInfo& info : kParameterTable) values_[static_cast<std::size_t>(info.index)] = info.defaultValue;
    for (int index : {param::OscVolume1, param::OscVolume2, param::OscVolume3}) values_[static_cast<std::size_t>(index)] = 0.3;
    for (int index : {param::OscModFrequency1, param::OscModFrequency2, param::OscModFrequency3}) values_[static_cast<std::size_t>(index)] = 0.05;
    const std::pair<int, double> others[] = {
        {param::OscFreq2, 0.55},     {param::OscFreq3, 0.45},        {param::PitchAmount, 0.4},
        {param::PitchDuration, 0.15}, {param::PitchPower, 0.7},       {param::UnisonDetune, 0.0},
        {param::Quantization, 0.0},   {param::FilterCutoff, 1.0},     {param::FilterTransition, 1.0},
        {param::ModulationOnOff, 0.0}, {param::PhaserFeedback, 0.25}, {param::PhaserRate, 0.5},
    };
    for (const auto& [index, value] : others) values_[static_cast<std::size_t>(index)] = value;
}

std::string_view VstXSynthProgram::Identifier(int index) {
    if (index < 0 || index >= kParameterCount) return {};
    return kParameterTable[static_cast<std::size_t>(index)].identifier;
}

double VstXSynthProgram::GetValue(int index, bool raw) const {
    if (index < 0 || index >= kParameterCount) index = 0;
    const double v = values_[static_cast<std::size_t>(index)];
    if (raw) return v;
    switch (index) {
    case param::OscFreq1:
    case param::OscFreq2:
    case param::OscFreq3:
        return (v - 0.5) * 2.0;
    case param::OscPan1:
    case param::OscPan2:
    case param::OscPan3:
    case param::Pan:
        return v - 0.5;
    case param::OscPitch1:
    case param::OscPitch2:
    case param::OscPitch3:
        return (v - 0.5) * 24.0;
    case param::OscModFrequency1:
    case param::OscModFrequency2:
    case param::OscModFrequency3:
        return 20.0 * v;
    case param::EnvDuration:
    case param::FilterDuration:
        return 5.0 * v;
    case param::RingModulationFrequency:
        return 4000.0 * v;
    case param::PhaserRate:
        return 10.0 * v;
    default:
        return v;
    }
}

void VstXSynthProgram::SetValue(int index, double value) {
    if (index < 0 || index >= kParameterCount || std::isnan(value)) return;
    values_[static_cast<std::size_t>(index)] = std::clamp(value, 0.0, 1.0);
}

bool VstXSynthProgram::WriteText(const std::filesystem::path& path) const {
    File file = Open(path, "w");
    if (!file) return false;
    std::fprintf(file.get(), "Name = %s;\n", name_.c_str());
    for (int index = 0; index < kParameterCount; ++index) {
        const std::string key(Identifier(index));
        const double v = values_[static_cast<std::size_t>(index)];
        std::string name;
        if (IsWaveform(index)) name = WaveformProvider::GetName(v);
        if (index == param::DistortionType) name = Distortion::NameOfIndex(SelectorPosition(std::clamp(v, 0.0, 1.0), Distortion::kTypeCount));
        if (index == param::FilterMode1) name = FilterUnit::Mode1Name(v);
        if (index == param::FilterMode2) name = FilterUnit::Mode2Name(v);
        if (name.empty()) {
            std::fprintf(file.get(), "%s = %g;\n", key.c_str(), v);
        } else {
            std::fprintf(file.get(), "%s = %s;\n", key.c_str(), name.c_str());
        }
    }
    return std::ferror(file.get()) == 0;
}

bool VstXSynthProgram::ReadText(const std::filesystem::path& path) {
    File file = Open(path, "r");
    if (!file) return false;

    VstXSynthProgram read = *this;  // filled as lines are accepted, kept only for a real program file
    bool haveName = false;
    int parameterLines = 0;
    char line[kLineSize];
    for (int k = -1; std::fgets(line, kLineSize, file.get()) != nullptr; ++k) {
        if (k >= kParameterCount) continue;  // lines after the last parameter have no key
        const std::string_view text(line);  // up to a NUL byte, as the line's C text
        const std::string_view key = k < 0 ? std::string_view("Name") : Identifier(k);
        if (text.find(key) == std::string_view::npos) continue;
        const std::size_t equals = text.find('=');
        const std::size_t semicolon = text.find(';');
        if (equals == std::string_view::npos || semicolon == std::string_view::npos || semicolon <= equals + 2) continue;
        const std::string value(text.substr(equals + 2, semicolon - (equals + 2)));

        if (k < 0) {
            read.name_ = value.substr(0, kNameLength);
            haveName = true;
            continue;
        }
        double number = 0.0;
        if (IsWaveform(k)) {
            number = WaveformProvider::IndexOfName(value) / 35.0;
        } else if (k == param::DistortionType) {
            number = Distortion::TypeFromName(value) / 35.0;
        } else if (IsFilterMode(k)) {
            const int position = k == param::FilterMode1 ? FilterUnit::Mode1PositionOfName(value) : FilterUnit::Mode2PositionOfName(value);
            number = static_cast<double>(static_cast<float>(position) / 3.0f);
        } else {
            const double parsed = std::strtod(value.c_str(), nullptr);
            if (!std::isfinite(parsed)) continue;  // "nan" or "inf" is no value
            // Rounded to single precision; anything beyond 0..1 ends at its limit anyway.
            number = static_cast<double>(static_cast<float>(std::clamp(parsed, -1.0, 2.0)));
        }
        read.SetValue(k, number);
        ++parameterLines;
    }
    if (!haveName || parameterLines == 0) return false;
    *this = read;
    return true;
}

}  // namespace Korvane
