// Loads a VST2 instrument module through its VSTPluginMain entry point and
// drives it only through the AEffect record, as an offline host does.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/vst2/vst2_interface.h"

namespace render {

// A MIDI message due at a frame of the coming block.
struct BlockMessage {
    int frame = 0;
    std::uint8_t bytes[3] = {0, 0, 0};
};

class PluginHost {
public:
    // Loads and opens the module; throws RenderError when it does not load,
    // has no entry point, answers with a bad record or is no instrument.
    explicit PluginHost(const std::filesystem::path& modulePath);
    using Entry = vst2::AEffect* (*)(vst2::HostCallback);
    // Opens an instrument linked into this program, through its entry point.
    PluginHost(Entry entry, std::string name);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Replaces the instance by a fresh one, so that one render cannot leave
    // state behind for the next.
    void Renew();

    vst2::AEffect* Effect() { return effect_; }
    int ProgramCount() const { return effect_->numPrograms; }
    int ParameterCount() const { return effect_->numParams; }
    std::int32_t UniqueId() const { return effect_->uniqueID; }
    // One or two: the channels written to the audio file.
    int OutputChannels() const { return effect_->numOutputs >= 2 ? 2 : 1; }
    bool UsesDoublePrecision() const { return useDouble_; }

    std::string ProgramName(int index);
    std::string ParameterName(int index);
    void SelectProgram(int index);
    void SetParameter(int index, float value);
    float GetParameter(int index);

    // Sets rate and block size and resumes; every Process call then renders
    // exactly `blockSize` frames. Starting again suspends first.
    void Start(double sampleRate, int blockSize);
    void Stop();

    // Hands the block's messages over, then renders one block into left and
    // right (right equals left for a mono module).
    void Process(const std::vector<BlockMessage>& messages, double* left, double* right);

private:
    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    std::string Text(int32_t opcode, int32_t index);
    void CreateInstance();
    void CloseInstance();

    std::string moduleName_;
    void* module_ = nullptr;
    Entry entry_ = nullptr;
    vst2::AEffect* effect_ = nullptr;
    bool useDouble_ = false;
    bool running_ = false;
    int blockSize_ = 0;
    double sampleRate_ = 44100.0;
    vst2::VstTimeInfo time_{};
    std::vector<std::vector<double>> doubleBuffers_;  // inputs (silent), then outputs
    std::vector<std::vector<float>> floatBuffers_;
    std::vector<vst2::VstMidiEvent> events_;
    std::vector<unsigned char> eventList_;
};

// The default module: Dunerow.so in the folder of the running executable, else
// the first installed one (../lib/vst, ~/.vst, /usr/lib/vst).
std::filesystem::path DefaultModulePath();

}  // namespace render
