// The 128 factory programs that fill the bank when the instrument is built.
#pragma once

#include <array>
#include <span>
#include <string_view>

#include "instrument/parameter_table.h"

class IPluginBase;

struct ProgramSetting {
    param::Id parameter;
    double value;
};

// A program as its name and the values that differ from "KV Bassdrum".
struct FactoryProgram {
    std::string_view name;
    std::span<const ProgramSetting> changes;
};

// Every parameter of "KV Bassdrum", the base the other programs start from.
std::array<double, kParameterCount> KvBassdrumValues();

// The 128 programs in slot order.
std::span<const FactoryProgram> FactoryPrograms();

// The full 109 values of a factory program.
std::array<double, kParameterCount> ValuesOf(const FactoryProgram& program);

// Fills the bank's slots with the factory programs, in order.
void BuildFactoryPrograms(IPluginBase& plugin);
