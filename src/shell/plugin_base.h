// The base every plug-in class builds on: the recursive plug-in mutex that
// serialises all host calls, the parameter list, the host's sample rate and
// block size, the plug-in's identity, the bank of programs and the state
// chunks and program files that carry them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <span>
#include <string_view>
#include <vector>

#include "shell/bounded_text.h"
#include "shell/plugin_param.h"
#include "shell/state_chunk.h"

// One program of the bank: a name and the serialised parameter values.
struct ProgramSlot {
    static constexpr std::size_t kNameSize = 256;

    bool initialised = false;
    BoundedText<kNameSize> name{"empty"};
    StateChunk state;
};

struct PluginIdentity {
    static constexpr std::size_t kNameSize = 128;

    std::string_view effectName;
    std::string_view productName;
    std::string_view makerName;
    int32_t version = 0;  // major in the high 16 bits, minor and patch one byte each
    int32_t uniqueId = 0;
    bool isInstrument = true;
};

class IPluginBase {
public:
    IPluginBase(int parameterCount, int programCount = 0, const PluginIdentity& identity = {});
    virtual ~IPluginBase() = default;

    IPluginBase(const IPluginBase&) = delete;
    IPluginBase& operator=(const IPluginBase&) = delete;

    // The parameter at `index`, or nullptr outside 0..count-1.
    PluginParam* GetParam(int index);
    const PluginParam* GetParam(int index) const;
    int ParameterCount() const { return static_cast<int>(parameters_.size()); }

    double GetSampleRate() const { return sampleRate_; }
    int GetBlockSize() const { return blockSize_; }
    void SetSampleRate(double sampleRate) { sampleRate_ = sampleRate; }
    void SetBlockSize(int blockSize) { blockSize_ = blockSize; }

    // Takes the plug-in mutex; a thread that holds it may take it again.
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    // Scope guard for the plug-in mutex.
    [[nodiscard]] std::unique_lock<std::recursive_mutex> ScopedLock() {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }

    // Reacts to a new sample rate or block size: sizes every buffer.
    virtual void OnReset() {}
    // Pushes the current value of parameter `index` into the engine.
    virtual void ApplyParameter(int /*index*/) {}

    // ---- identity
    std::string_view EffectName() const { return effectName_.View(); }
    std::string_view ProductName() const { return productName_.View(); }
    std::string_view MakerName() const { return makerName_.View(); }
    int32_t Version() const { return version_; }
    // The version as the host sees it: major * 10000 + minor * 100 + patch.
    int32_t HostVersion() const;
    int32_t UniqueId() const { return uniqueId_; }
    bool IsInstrument() const { return isInstrument_; }

    // ---- programs
    int ProgramCount() const { return static_cast<int>(programs_.size()); }
    int CurrentProgram() const { return currentProgram_; }
    // The name of program `index`, or an empty text for an invalid index.
    std::string_view GetProgramName(int index) const;
    const ProgramSlot* GetProgram(int index) const;
    // Fills the first empty slot with a program of the given values (one per parameter).
    void MakeProgram(std::string_view name, std::span<const double> values);
    // Fills up to `count` empty slots with the current values.
    void FillEmptyPrograms(std::string_view name, int count);
    // Makes program `index` current and applies it; an empty slot takes the current values.
    bool RestoreProgram(int index);
    // Stores the current values (and a new name, when given) into the current slot.
    void ModifyCurrentProgram(std::string_view name = {});
    // Renames the current program (an empty name included).
    void SetCurrentProgramName(std::string_view name);
    // Reports every parameter's value to the host as an automation change.
    void InformHostOfAllParameters();

    // ---- state chunks
    // Appends every parameter's value (109 doubles for this plug-in).
    bool WriteState(StateChunk& chunk);
    // Reads the values written by WriteState and applies them. Returns the
    // position after them, or -1 (nothing changed) when the data is short or
    // holds a value that is not a number.
    int ReadState(const StateChunk& chunk, int position);
    bool WriteBank(StateChunk& chunk);
    // Reads a whole bank; a truncated or corrupt bank is rejected (-1) before anything changes.
    int ReadBank(const StateChunk& chunk, int position);
    // The host's get-chunk request: fills `chunk` and returns its size (0 on failure).
    int GetChunk(StateChunk& chunk, bool isProgram);
    // The host's set-chunk request. Call it without holding the lock: the
    // chunk is checked and decoded first, and only applied under the lock.
    bool SetChunk(std::span<const uint8_t> bytes, bool isProgram);

    // ---- program files (.fxp)
    bool SaveProgramFile(const std::filesystem::path& path);
    // Loads a program file into the current slot; a file that fails the checks changes nothing.
    bool LoadProgramFile(const std::filesystem::path& path);
    // The bytes of a program file holding the current values under the current program's name.
    std::vector<uint8_t> ProgramFileImage();
    // Loads the bytes of a program file, as LoadProgramFile does with the file's contents.
    bool LoadProgramImage(std::span<const uint8_t> bytes);

protected:
    // Tells the host a parameter's new normalised value (the VST adapter does).
    virtual void InformHostOfParamChange(int /*index*/, double /*normalised*/) {}
    // Refreshes the editor's controls from the parameter values.
    virtual void RedrawParamControls() {}
    // Asks the host to refresh its view of the plug-in after a program file load.
    virtual void OnProgramFileLoaded() {}

private:
    int ByteSizeOfState() const { return ParameterCount() * 8; }
    ProgramSlot* FirstEmptySlot();
    void ApplyAllParameters();
    // Reads one value per parameter from `position`, each within its range;
    // returns the position after them, or -1 when the data is short or not a number.
    int DecodeState(const StateChunk& chunk, int position, std::vector<double>& values) const;
    // Sets every parameter to `values` (one each) and applies them.
    void ApplyState(std::span<const double> values);
    // Reads every slot of a bank into `slots`; returns the position after them, or -1.
    int DecodeBank(const StateChunk& chunk, int position, std::vector<ProgramSlot>& slots);

    std::recursive_mutex mutex_;
    std::vector<PluginParam> parameters_;
    double sampleRate_ = 44100.0;
    int blockSize_ = 0;

    BoundedText<PluginIdentity::kNameSize> effectName_;
    BoundedText<PluginIdentity::kNameSize> productName_;
    BoundedText<PluginIdentity::kNameSize> makerName_;
    int32_t version_ = 0;
    int32_t uniqueId_ = 0;
    bool isInstrument_ = true;

    std::vector<ProgramSlot> programs_;
    int currentProgram_ = 0;
};
