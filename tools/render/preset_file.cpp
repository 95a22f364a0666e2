#include "preset_file.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <optional>
#include <system_error>

#include "effects/distortion.h"
#include "engine/filter_unit.h"
#include "engine/waveform_provider.h"
#include "instrument/parameter_table.h"
#include "names.h"
#include "programs/vst_x_synth_program.h"
#include "render_error.h"
#include "shell/vst2/vst2_interface.h"

namespace render {

namespace {

constexpr std::int32_t kDunerowUniqueId = 0x646E7270;
constexpr std::uintmax_t kMaximumPresetSize = 1 << 20;

std::uint32_t BigEndianAt(const std::vector<unsigned char>& bytes, std::size_t at) {
    return (static_cast<std::uint32_t>(bytes[at]) << 24) | (static_cast<std::uint32_t>(bytes[at + 1]) << 16) |
           (static_cast<std::uint32_t>(bytes[at + 2]) << 8) | static_cast<std::uint32_t>(bytes[at + 3]);
}

std::int32_t TagAt(const std::vector<unsigned char>& bytes, std::size_t at) { return static_cast<std::int32_t>(BigEndianAt(bytes, at)); }

std::string Hex(std::int32_t id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(id));
    return text;
}

Preset ReadProgramFile(const std::vector<unsigned char>& bytes, const ModuleIdentity& module, const std::string& where) {
    namespace fxp = vst2::fxp;
    if (bytes.size() < static_cast<std::size_t>(fxp::kHeaderSize)) throw RenderError(where + "the file is too short for a program");
    const std::int32_t kind = TagAt(bytes, fxp::kOffsetFxMagic);
    if (kind == fxp::kBankMagic || kind == fxp::kChunkBankMagic) throw RenderError(where + "this is a bank (.fxb), not a single program");
    if (kind == fxp::kChunkProgramMagic) throw RenderError(where + "programs stored as opaque chunks are not supported, only parameter lists");
    if (kind != fxp::kProgramMagic) throw RenderError(where + "not a VST program file");
    const std::int32_t id = TagAt(bytes, fxp::kOffsetFxId);
    if (id != module.uniqueId) {
        throw RenderError(where + "the program is for the plug-in with ID " + Hex(id) + ", not this module's " + Hex(module.uniqueId));
    }
    const std::int32_t count = TagAt(bytes, fxp::kOffsetNumParams);
    if (count != module.parameterCount) {
        throw RenderError(where + "the program has " + std::to_string(count) + " parameters, the module " +
                          std::to_string(module.parameterCount));
    }
    if (bytes.size() < static_cast<std::size_t>(fxp::kHeaderSize) + 4 * static_cast<std::size_t>(count)) {
        throw RenderError(where + "the file ends before its last parameter");
    }
    Preset preset;
    const auto* nameStart = reinterpret_cast<const char*>(bytes.data() + fxp::kOffsetProgramName);
    const std::string_view name(nameStart, fxp::kProgramNameLength);
    preset.name = std::string(name.substr(0, name.find('\0')));
    for (int index = 0; index < count; ++index) {
        const float value = std::bit_cast<float>(BigEndianAt(bytes, static_cast<std::size_t>(fxp::kHeaderSize + 4 * index)));
        if (!std::isfinite(value) || value < 0.0f || value > 1.0f) {
            throw RenderError(where + "parameter " + std::to_string(index) + " holds a value outside 0..1");
        }
        preset.values.push_back({index, value});
    }
    return preset;
}

// The text form holds real values; the host sends normalised ones.
float NormalisedOfReal(int index, double real) {
    return static_cast<float>(std::pow(std::clamp(real, 0.0, 1.0), 1.0 / ParameterShape(index)));
}

Preset ReadProgramText(const std::filesystem::path& path, const std::string& where) {
    Korvane::VstXSynthProgram record;
    if (!record.ReadText(path)) throw RenderError(where + "neither a .fxp program nor a program text file");
    Preset preset;
    preset.name = record.Name();
    for (int index = 0; index < kParameterCount; ++index) preset.values.push_back({index, NormalisedOfReal(index, record[static_cast<std::size_t>(index)])});
    return preset;
}

void RequireDunerow(const ModuleIdentity& module, std::string_view what) {
    if (!IsDunerow(module)) throw RenderError(std::string(what) + " names Dunerow's parameters, but the module is another plug-in");
}

// The selector names a parameter accepts and the value each stands for.
std::vector<std::pair<std::string, double>> SelectorNames(int index) {
    std::vector<std::pair<std::string, double>> names;
    if (index == param::OscWaveform1 || index == param::OscWaveform2 || index == param::OscWaveform3) {
        for (int i = 0; i < Korvane::WaveformProvider::kWaveformCount; ++i) {
            const std::string name(Korvane::WaveformProvider::NameOfIndex(i));
            names.emplace_back(name, Korvane::WaveformProvider::IndexOfName(name) / 35.0);
        }
    } else if (index == param::DistortionType) {
        for (int i = 0; i < Korvane::Distortion::kTypeCount; ++i) {
            const std::string name(Korvane::Distortion::NameOfIndex(i));
            names.emplace_back(name, Korvane::Distortion::TypeFromName(name) / 35.0);
        }
    } else if (index == param::FilterMode1 || index == param::FilterMode2) {
        for (int position = 0; position < 4; ++position) {
            const double value = static_cast<double>(static_cast<float>(position) / 3.0f);
            const std::string name(index == param::FilterMode1 ? Korvane::FilterUnit::Mode1Name(value) : Korvane::FilterUnit::Mode2Name(value));
            names.emplace_back(name, value);
        }
    }
    return names;
}

}  // namespace

bool IsDunerow(const ModuleIdentity& module) { return module.uniqueId == kDunerowUniqueId && module.parameterCount == kParameterCount; }

Preset ReadPreset(const std::filesystem::path& path, const ModuleIdentity& module) {
    const std::string where = "cannot load preset '" + path.string() + "': ";
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw RenderError(where + error.message());
    if (size > kMaximumPresetSize) throw RenderError(where + "too large for a program file");
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::ifstream file(path, std::ios::binary);
    if (!file || !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        throw RenderError(where + "the file cannot be opened or read");
    }
    if (bytes.size() >= 4 && TagAt(bytes, 0) == vst2::fxp::kChunkMagic) return ReadProgramFile(bytes, module, where);
    RequireDunerow(module, "a program text file");
    return ReadProgramText(path, where);
}

ParameterValue ParseParameterOverride(std::string_view text, const ModuleIdentity& module) {
    RequireDunerow(module, "--param");
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) throw RenderError("bad --param '" + std::string(text) + "': expected IDENTIFIER=VALUE");
    const std::string_view identifier = text.substr(0, equals);
    const std::string_view value = text.substr(equals + 1);
    const int index = ParameterIndexOf(identifier);
    if (index < 0) {
        std::vector<std::string> identifiers;
        for (const ParameterInfo& info : kParameterTable) identifiers.emplace_back(info.identifier);
        throw RenderError("unknown parameter '" + std::string(identifier) + "' (see --list-params); " +
                          DidYouMean(NearestNames(identifier, identifiers)));
    }
    double number = 0.0;
    const auto [end, failure] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (!value.empty() && failure == std::errc{} && end == value.data() + value.size()) {
        if (!(number >= 0.0 && number <= 1.0)) {
            throw RenderError("bad --param '" + std::string(text) + "': values run from 0 to 1");
        }
        return {index, static_cast<float>(number)};
    }
    const auto selectors = SelectorNames(index);
    for (const auto& [name, selectorValue] : selectors) {
        if (name == value) return {index, static_cast<float>(selectorValue)};
    }
    if (selectors.empty()) throw RenderError("bad --param '" + std::string(text) + "': the value must be a number from 0 to 1");
    std::vector<std::string> names;
    for (const auto& entry : selectors) names.push_back(entry.first);
    throw RenderError("bad --param '" + std::string(text) + "': no such name; " + DidYouMean(NearestNames(value, names)));
}

std::vector<std::string> ParameterIdentifiers() {
    std::vector<std::string> lines;
    for (const ParameterInfo& info : kParameterTable) {
        std::string line(info.identifier);
        line.resize(std::max<std::size_t>(line.size() + 2, 26), ' ');
        lines.push_back(line + std::string(info.hostName));
    }
    return lines;
}

}  // namespace render
