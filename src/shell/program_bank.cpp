// The program bank, the state chunks the host stores, and their reading.
// Chunks come from outside: everything is checked before anything changes.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "shell/plugin_base.h"

namespace {

constexpr std::string_view kUserPresetName = "user preset";

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
    // Read under the lock, told without it: a host may call back in from another thread.
    std::vector<double> values(parameters_.size());
    {
        auto lock = ScopedLock();
        for (std::size_t index = 0; index < values.size(); ++index) values[index] = parameters_[index].GetNormalizedValue();
    }
    for (std::size_t index = 0; index < values.size(); ++index) InformHostOfParamChange(static_cast<int>(index), values[index]);
}

bool IPluginBase::WriteState(StateChunk& chunk) {
    auto lock = ScopedLock();
    for (const PluginParam& parameter : parameters_) chunk.PutDouble(parameter.Value());
    return true;
}

int IPluginBase::DecodeState(const StateChunk& chunk, int position, std::vector<double>& values) const {
    values.resize(static_cast<std::size_t>(ParameterCount()));
    for (int index = 0; index < ParameterCount() && position >= 0; ++index) {
        double value = 0.0;
        position = chunk.GetDouble(position, value);
        if (position >= 0 && !std::isfinite(value)) return -1;
        const PluginParam* parameter = GetParam(index);
        values[static_cast<std::size_t>(index)] = std::clamp(value, parameter->Min(), parameter->Max());
    }
    return position;
}

int IPluginBase::ReadState(const StateChunk& chunk, int position) {
    // A short or corrupt state would leave the instrument half loaded: read it whole first.
    std::vector<double> values;
    position = DecodeState(chunk, position, values);
    if (position < 0) return -1;
    ApplyState(values);
    return position;
}

void IPluginBase::ApplyState(std::span<const double> values) {
    auto lock = ScopedLock();
    for (std::size_t index = 0; index < parameters_.size(); ++index) parameters_[index].SetValue(values[index]);
    ApplyAllParameters();
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

int IPluginBase::DecodeBank(const StateChunk& chunk, int position, std::vector<ProgramSlot>& slots) {
    std::size_t count = 0;
    {
        auto lock = ScopedLock();  // another thread's bank may be changing hands
        count = programs_.size();
    }
    slots.assign(count, ProgramSlot{});
    std::vector<double> values;
    for (ProgramSlot& slot : slots) {
        std::string name;
        uint8_t initialised = 0;
        position = chunk.GetString(position, name, ProgramSlot::kNameSize - 1);
        position = chunk.GetByte(position, initialised);
        if (position < 0) return -1;
        slot.name = name;
        slot.initialised = initialised != 0;
        if (!slot.initialised) continue;
        position = DecodeState(chunk, position, values);
        if (position < 0) return -1;
        // The slot holds the values as a program restored from it would have them.
        for (const double value : values) slot.state.PutDouble(value);
    }
    return position;
}

int IPluginBase::ReadBank(const StateChunk& chunk, int position) {
    // The whole bank is checked and decoded before anything changes: a bank
    // cut short or holding bad values is refused as a whole. Under the lock
    // the slots change hands and only the current program is applied.
    std::vector<ProgramSlot> slots;
    position = DecodeBank(chunk, position, slots);
    if (position < 0) return -1;
    {
        auto lock = ScopedLock();
        programs_.swap(slots);
        RestoreProgram(currentProgram_);
    }
    return position;  // the old slots are freed here, outside the lock
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

bool IPluginBase::SetChunk(std::span<const uint8_t> bytes, bool isProgram) {
    // Copied and decoded without the lock: only the change itself holds it.
    StateChunk chunk;
    chunk.Assign(bytes);
    int position = 0;
    int32_t version = 0;
    int32_t magic = 0;
    if (chunk.GetInt32(0, magic) >= 0 && magic == StateChunk::kHeaderMagic) {
        position = chunk.GetInt32(4, version);
        if (position < 0) return false;
    }
    if (isProgram || version < StateChunk::kHeaderVersion) {
        std::vector<double> values;
        if (DecodeState(chunk, position, values) < 0) return false;
        auto lock = ScopedLock();
        ApplyState(values);
        ModifyCurrentProgram();
        RedrawParamControls();
        return true;
    }
    if (ReadBank(chunk, position) < 0) return false;
    auto lock = ScopedLock();
    RedrawParamControls();
    return true;
}
