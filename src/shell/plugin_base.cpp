#include "shell/plugin_base.h"

#include <algorithm>

IPluginBase::IPluginBase(int parameterCount, int programCount, const PluginIdentity& identity)
    : parameters_(static_cast<std::size_t>(std::max(parameterCount, 0))),
      effectName_(identity.effectName),
      productName_(identity.productName),
      makerName_(identity.makerName),
      version_(identity.version),
      uniqueId_(identity.uniqueId),
      isInstrument_(identity.isInstrument),
      programs_(static_cast<std::size_t>(std::max(programCount, 0))) {}

PluginParam* IPluginBase::GetParam(int index) {
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return &parameters_[static_cast<std::size_t>(index)];
}

const PluginParam* IPluginBase::GetParam(int index) const {
    if (index < 0 || index >= ParameterCount()) return nullptr;
    return &parameters_[static_cast<std::size_t>(index)];
}

int32_t IPluginBase::HostVersion() const {
    const int32_t major = (version_ >> 16) & 0xFFFF;
    const int32_t minor = (version_ >> 8) & 0xFF;
    const int32_t patch = version_ & 0xFF;
    return major * 10000 + minor * 100 + patch;
}

void IPluginBase::ApplyAllParameters() {
    for (int index = 0; index < ParameterCount(); ++index) ApplyParameter(index);
}
