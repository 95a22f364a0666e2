#include "shell/plugin_base.h"

#include <algorithm>

IPluginBase::IPluginBase(int parameterCount) : parameters_(static_cast<std::size_t>(std::max(parameterCount, 0))) {}

PluginParam* IPluginBase::GetParam(int index) {
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return &parameters_[static_cast<std::size_t>(index)];
}

const PluginParam* IPluginBase::GetParam(int index) const {
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return &parameters_[static_cast<std::size_t>(index)];
}
