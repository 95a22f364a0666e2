// The instrument's own program record: a name and one value per parameter.
// The plug-in keeps one as the values the engine reads; temporary ones
// carry a program to and from the program text form.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

#include "instrument/parameter_table.h"

namespace Korvane {

class VstXSynthProgram {
public:
    static constexpr std::size_t kNameLength = 32;  // longer names read from text are cut

    // A record holding the "Basic Bassdrum" values.
    VstXSynthProgram();
    virtual ~VstXSynthProgram() = default;

    // The stored value, or (raw false) the value in display units; an index
    // outside the list reads index 0.
    double GetValue(int index, bool raw = true) const;
    // Stores `value` limited to 0..1.
    void SetValue(int index, double value);
    double operator[](std::size_t index) const { return values_[index]; }
    double& operator[](std::size_t index) { return values_[index]; }
    // The values by parameter index, as the voices read them.
    const double* Values() const { return values_.data(); }

    const std::string& Name() const { return name_; }
    void SetName(std::string_view name) { name_ = name; }
    // The identifier of a parameter index (the key of the text form).
    static std::string_view Identifier(int index);

    // Writes the text form: a name line and one line per parameter.
    bool WriteText(const std::filesystem::path& path) const;
    // Reads the text form. Fails, changing nothing, when the file cannot be
    // opened or is not a program (no name line, or not one parameter line).
    bool ReadText(const std::filesystem::path& path);

private:
    std::array<double, kParameterCount> values_{};
    std::string name_;
    std::string comment_;  // not part of the text form
};

}  // namespace Korvane
