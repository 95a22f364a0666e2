// The program bank, the state chunks the host stores, and their reading.
// Chunks come from outside: everything is checked before anything changes.
#include <cmath>
#include <cstdio>
#include <string>

#include "shell/plugin_base.h"

namespace {

constexpr std::string_view kUserPresetName = "user preset";

// Checks that `count` finite doubles start at `position`; returns the position after them or -1.
int CheckValues(const StateChunk& chunk, int position, int count) {
    for (int i = 0; i < count && position >= 0; ++i) {
        double value = 0.0;
        position = chunk.GetDouble(position, value);
        if (position >= 0 && !std::isfinite(value)) return -1;
    }
    return position;
}

}  // namespace

std::string_view IPluginBase::GetProgramName(int index) const {
    const ProgramSlot* slot = GetProgram(index);
    return slot != nullptr ? slot->name.View() : std::string_view{};
}

const ProgramSlot* IPluginBase::GetProgram(int index) const {
    if (index < 0 || index >= ProgramCount()) return nullptr;
    return &programs_[static_cast<std::size_t>(index)];
}

ProgramSlot* IPluginBase::FirstEmptySlot() {
    for (ProgramSlot& slot : programs_) {
        if (!slot.initialised) return &slot;
    }
    return nullptr;
}

void IPluginBase::MakeProgram(std::string_view name, std::span<const double> values) {
    if (values.size() != static_cast<std::size_t>(ParameterCount())) return;
    ProgramSlot* slot = FirstEmptySlot();
    if (slot == nullptr) return;
    slot->initialised = true;
    slot->name = name;
    slot->state.Clear();
    for (int index = 0; index < ParameterCount(); ++index) {
        const double value = values[static_cast<std::size_t>(index)];
        const bool isDouble = GetParam(index)->GetKind() == PluginParam::Kind::Double;
        slot->state.PutDouble(isDouble ? value : static_cast<double>(static_cast<int>(value)));
    }
}

void IPluginBase::FillEmptyPrograms(std::string_view name, int count) {
    for (int i = 0; i < count; ++i) {
        ProgramSlot* slot = FirstEmptySlot();
        if (slot == nullptr) return;
        slot->initialised = true;
        slot->name = name.empty() ? std::string_view("Empty") : name;
        slot->state.Clear();
        WriteState(slot->state);
    }
}

bool IPluginBase::RestoreProgram(int index) {
    if (index < 0 || index >= ProgramCount()) return false;
    auto lock = ScopedLock();
    ProgramSlot& slot = programs_[static_cast<std::size_t>(index)];
    bool restored = false;
    if (slot.initialised) {
        restored = ReadState(slot.state, 0) > 0;
    } else {
        const auto existing = std::count_if(programs_.begin(), programs_.end(), [](const ProgramSlot& other) {
            return other.name.View().find(kUserPresetName) != std::string_view::npos;
        });
        char name[ProgramSlot::kNameSize];
        std::snprintf(name, sizeof name, "%s %d", kUserPresetName.data(), static_cast<int>(existing) + 1);
        slot.initialised = true;
        slot.name = name;
        slot.state.Clear();
        restored = WriteState(slot.state);
    }
    if (restored) {
        currentProgram_ = index;
        RedrawParamControls();
    }
    return restored;
}

void IPluginBase::ModifyCurrentProgram(std::string_view name) {
    auto lock = ScopedLock();
    if (currentProgram_ < 0 || currentProgram_ >= ProgramCount()) return;
    ProgramSlot& slot = programs_[static_cast<std::size_t>(currentProgram_)];
    slot.state.Clear();
    WriteState(slot.state);
    if (!name.empty()) slot.name = name;
}

void IPluginBase::SetCurrentProgramName(std::string_view name) {
    auto lock = ScopedLock();
    if (currentProgram_ < 0 || currentProgram_ >= ProgramCount()) return;
    programs_[static_cast<std::size_t>(currentProgram_)].name = name;
}

void IPluginBase::InformHostOfAllParameters() {
    auto lock = ScopedLock();
    for (int index = 0; index < ParameterCount(); ++index) InformHostOfParamChange(index, GetParam(index)->GetNormalizedValue());
}

bool IPluginBase::WriteState(StateChunk& chunk) {
    auto lock = ScopedLock();
    for (const PluginParam& parameter : parameters_) chunk.PutDouble(parameter.Value());
    return true;
}

int IPluginBase::ReadState(const StateChunk& chunk, int position) {
    auto lock = ScopedLock();
    // A short or corrupt state would leave the instrument half loaded: check it whole first.
    if (CheckValues(chunk, position, ParameterCount()) < 0) return -1;
    for (PluginParam& parameter : parameters_) {
        double value = 0.0;
        position = chunk.GetDouble(position, value);
        parameter.SetValue(std::clamp(value, parameter.Min(), parameter.Max()));
    }
    ApplyAllParameters();
    return position;
}

bool IPluginBase::WriteBank(StateChunk& chunk) {
    auto lock = ScopedLock();
    for (const ProgramSlot& slot : programs_) {
        chunk.PutString(slot.name.View());
        chunk.PutByte(slot.initialised ? 1 : 0);
        if (slot.initialised) chunk.PutBytes(slot.state.Bytes());
    }
    return true;
}

int IPluginBase::ReadBank(const StateChunk& chunk, int position) {
    auto lock = ScopedLock();
    // Walk the whole bank once without changing anything: a bank cut short
    // or holding bad values is refused as a whole.
    int check = position;
    for (std::size_t slot = 0; slot < programs_.size() && check >= 0; ++slot) {
        std::string name;
        uint8_t initialised = 0;
        check = chunk.GetString(check, name, ProgramSlot::kNameSize - 1);
        check = chunk.GetByte(check, initialised);
        if (check >= 0 && initialised != 0) check = CheckValues(chunk, check, ParameterCount());
    }
    if (check < 0) return -1;

    for (ProgramSlot& slot : programs_) {
        std::string name;
        uint8_t initialised = 0;
        position = chunk.GetString(position, name, ProgramSlot::kNameSize - 1);
        position = chunk.GetByte(position, initialised);
        slot.name = name;
        slot.initialised = initialised != 0;
        slot.state.Clear();
        if (slot.initialised) {
            position = ReadState(chunk, position);
            WriteState(slot.state);
        }
    }
    RestoreProgram(currentProgram_);
    return position;
}

int IPluginBase::GetChunk(StateChunk& chunk, bool isProgram) {
    auto lock = ScopedLock();
    chunk.Clear();
    chunk.WriteHeader();
    bool written = false;
    if (isProgram) {
        written = WriteState(chunk);
    } else {
        ModifyCurrentProgram();
        written = WriteBank(chunk);
    }
    return written ? chunk.Size() : 0;
}

bool IPluginBase::SetChunk(StateChunk& chunk, std::span<const uint8_t> bytes, bool isProgram) {
    auto lock = ScopedLock();
    chunk.Assign(bytes);
    int position = 0;
    int32_t version = 0;
    int32_t magic = 0;
    if (chunk.GetInt32(0, magic) >= 0 && magic == StateChunk::kHeaderMagic) {
        position = chunk.GetInt32(4, version);
        if (position < 0) return false;
    }
    if (isProgram || version < StateChunk::kHeaderVersion) {
        position = ReadState(chunk, position);
        if (position >= 0) ModifyCurrentProgram();
    } else {
        position = ReadBank(chunk, position);
    }
    if (position < 0) return false;
    RedrawParamControls();
    return true;
}
