// Parameter indices by identifier, the declaration table, and the editor
// panels the parameters are declared in.
#pragma once

#include <array>
#include <string_view>

#include "instrument/parameter_list.h"

class IPluginBase;

namespace param {

// Host index of every parameter, named by its identifier.
enum Id : int {
#define DUNEROW_PARAMETER_ID(identifier, ...) identifier,
    DUNEROW_PARAMETERS(DUNEROW_PARAMETER_ID)
#undef DUNEROW_PARAMETER_ID
    Count
};

}  // namespace param

inline constexpr int kParameterCount = param::Count;
inline constexpr int kProgramCount = 128;
static_assert(kParameterCount == 109);

// Editor panels, in the order the editor builds them and declares their parameters.
enum class Panel {
    PitchEnvelope,
    Oscillator1,
    Oscillator2,
    Oscillator3,
    VolumeEnvelope,
    FilterEnvelope,
    Unison,
    Fm,
    Transpose,
    BassLayer,
    GlobalFilter,
    ModulationEffects,
    DistortionAndShaper,
    EqualiserAndDumpExpand,
    Output,
    InfoBar,
};
inline constexpr int kPanelCount = static_cast<int>(Panel::InfoBar) + 1;

struct ParameterInfo {
    int index;
    std::string_view identifier;  // key of the program text form
    std::string_view hostName;
    double defaultValue;
    double step;
    std::string_view label;
    Panel panel;
};

inline constexpr std::array<ParameterInfo, kParameterCount> kParameterTable = {{
#define DUNEROW_PARAMETER_ROW(identifier, hostName, defaultValue, step, label, panel) \
    {param::identifier, #identifier, hostName, defaultValue, step, label, Panel::panel},
    DUNEROW_PARAMETERS(DUNEROW_PARAMETER_ROW)
#undef DUNEROW_PARAMETER_ROW
}};

// Curve shape of the normalised-to-real mapping: the bit crusher's quantise
// control is the host value to the fourth power, all others are linear.
constexpr double ParameterShape(int index) { return index == param::Quantization ? 4.0 : 1.0; }

// Index of the parameter with this identifier, or -1.
int ParameterIndexOf(std::string_view identifier);

// Declares the parameters of one editor panel on the plug-in base.
void DeclarePanelParameters(IPluginBase& plugin, Panel panel);

// Declares every parameter, panel by panel in the editor's order.
void DeclareAllParameters(IPluginBase& plugin);
