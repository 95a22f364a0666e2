// Program files and parameter overrides, turned into the normalised values
// a host sends with setParameter.
//
// A .fxp program file (parameter list form) works with any module whose
// unique ID and parameter count it matches. The program text form
// ("Name = ...;" then one "Identifier = value;" line per parameter) and
// --param overrides name Dunerow's parameters, so they need that module.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace render {

struct ParameterValue {
    int index = 0;
    float value = 0.0f;  // normalised, 0..1
};

struct Preset {
    std::string name;
    std::vector<ParameterValue> values;
};

// The module a preset is meant for.
struct ModuleIdentity {
    std::int32_t uniqueId = 0;
    int parameterCount = 0;
};

// True for the Dunerow module, whose parameter identifiers we know.
bool IsDunerow(const ModuleIdentity& module);

// Reads a .fxp program or a program text file; throws RenderError when the
// file cannot be read, is damaged or belongs to another module.
Preset ReadPreset(const std::filesystem::path& path, const ModuleIdentity& module);

// Reads "IDENTIFIER=VALUE": a value from 0 to 1, or for the waveform,
// distortion type and filter mode selectors one of their names.
ParameterValue ParseParameterOverride(std::string_view text, const ModuleIdentity& module);

// "IDENTIFIER  host name" lines for every parameter, for --list-params.
std::vector<std::string> ParameterIdentifiers();

}  // namespace render
