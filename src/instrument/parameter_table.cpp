#include "instrument/parameter_table.h"

#include "shell/plugin_base.h"

int ParameterIndexOf(std::string_view identifier) {
    for (const ParameterInfo& info : kParameterTable) {
        if (info.identifier == identifier) return info.index;
    }
    return -1;
}

void DeclarePanelParameters(IPluginBase& plugin, Panel panel) {
    for (const ParameterInfo& info : kParameterTable) {
        if (info.panel != panel) continue;
        PluginParam* parameter = plugin.GetParam(info.index);
        if (parameter == nullptr) continue;
        parameter->DefineDouble(info.hostName, info.defaultValue, 0.0, 1.0, info.step, info.label);
        parameter->SetShape(ParameterShape(info.index));
    }
}

void DeclareAllParameters(IPluginBase& plugin) {
    for (int panel = 0; panel < kPanelCount; ++panel) {
        DeclarePanelParameters(plugin, static_cast<Panel>(panel));
    }
}
