// The adapter between a VST2 host and the plug-in base: the AEffect record,
// the dispatcher, the audio and parameter callbacks, and the services the
// plug-in asks of the host. It converts, checks and forwards; every call
// from the host holds the plug-in mutex and no exception leaves it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "shell/midi_message.h"
#include "shell/plugin_editor.h"
#include "shell/plugin_base.h"
#include "shell/state_chunk.h"
#include "shell/vst2/vst2_interface.h"

class IPluginVst : public IPluginBase {
public:
    // Host texts are copied into host buffers of at least this size.
    static constexpr std::size_t kHostTextSize = 64;
    // Scratch frames per channel: 32-bit blocks are converted in pieces of
    // this length, so the scratch does not grow with the host's block size.
    static constexpr int kScratchFrames = 512;
    // Largest block size taken from a host; larger calls are rendered in pieces.
    static constexpr int kMaximumBlockSize = 1 << 16;

    IPluginVst(vst2::HostCallback host, int parameterCount, int programCount, std::string_view channelIo,
               const PluginIdentity& identity);

    vst2::AEffect* Effect() { return &effect_; }
    static IPluginVst* FromEffect(vst2::AEffect* effect);

    // The host's calls, as the AEffect callbacks forward them.
    intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    void ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, int32_t frames);
    float GetParameterForHost(int32_t index);
    void SetParameterFromHost(int32_t index, float value);

    // Gives the plug-in its editor: the has-editor flag and the editor
    // rectangle follow its size. Calls from the host open and close it.
    void AttachEditor(std::unique_ptr<IPluginEditor> editor);
    IPluginEditor* Editor() { return editor_.get(); }
    // Closes and destroys the editor; a plug-in class does so first in its
    // destructor, while everything its controls point at still exists.
    void DestroyEditor();
    // The editor changed its size.
    void OnEditorResized();
    // Asks the host to show its own menu for a parameter at a point of the
    // editor; false when this host offers none.
    virtual bool PopupHostMenuForParameter(int /*index*/, int /*x*/, int /*y*/) { return false; }

    // Asks the host to refresh what it shows of the plug-in (program names and values).
    void UpdateHostDisplay() { CallHost(vst2::audioMasterUpdateDisplay); }

    // A parameter change made in the editor: applied and reported to the host.
    void SetParameterFromEditor(int index, double normalised);
    // Bracket an editor gesture on a parameter for the host's automation.
    void BeginParameterEdit(int index);
    void EndParameterEdit(int index);

    // Time information from the host; zeros when it has none.
    double HostTempo();
    int64_t HostSamplePosition();
    void HostTimeSignature(int& numerator, int& denominator);
    bool IsRenderingOffline();

    // The host as identified at the first open: a code of the host table and its packed version.
    int HostCode() const { return hostCode_; }
    int32_t HostVersionNumber() const { return hostVersion_; }
    // Version MMmmpp (decimal) packed into one byte each for major, minor and patch.
    static int32_t PackHostVersion(int32_t version);
    // The host table's code for a product string (case-insensitive; the earlier entry wins).
    static int HostCodeOf(std::string_view product);

    int InputCount() const { return static_cast<int>(inputs_.size()); }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    bool HostAskedForCockosExtensions() const { return (hostExtensions_ & kCockosExtensions) != 0; }

protected:
    // The instrument's block and MIDI entry points.
    virtual void ProcessBlock(double** inputs, double** outputs, int frames) = 0;
    virtual void QueueMidiMessage(const MidiMessage& message) = 0;
    // Called when the host switches processing on or off.
    virtual void OnActivate(bool /*active*/) {}
    virtual void OnIdle() {}
    bool HasEditor() const { return editor_ != nullptr; }
    // Tells the editor a parameter's new value (normalised from the host, real from text entry).
    virtual void OnParameterChangedByHost(int index, double value, bool normalised);

    void InformHostOfParamChange(int index, double normalised) override;
    void OnProgramFileLoaded() override;

    intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);

private:
    static constexpr int kCockosExtensions = 1 << 1;
    static constexpr int kCockosViewAsConfig = 1 << 2;

    struct Channel {
        bool connected = true;
        std::vector<double> scratch;
    };

    intptr_t DispatchEditor(int32_t opcode, void* ptr);
    intptr_t DispatchLocked(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
    void IdentifyHost();
    intptr_t PinProperties(int index, bool input, void* ptr) const;
    intptr_t CanDo(const char* text);
    bool StringToParameter(int index, const char* text);
    void ProcessEvents(const vst2::VstEvents* events);
    const vst2::VstTimeInfo* HostTime(int32_t filter);

    vst2::HostCallback host_;
    vst2::AEffect effect_{};
    StateChunk programChunk_;
    StateChunk bankChunk_;
    bool doesMidi_ = true;
    bool hostInitialised_ = false;
    int hostExtensions_ = 0;
    int hostCode_ = -1;
    int32_t hostVersion_ = 0;
    vst2::ERect editorRect_{};
    // The editor, on the host's GUI thread; its calls take no plug-in lock.
    std::unique_ptr<IPluginEditor> editor_;
    vst2::VstSpeakerArrangement inputArrangement_{};
    vst2::VstSpeakerArrangement outputArrangement_{};
    std::vector<Channel> inputs_;
    std::vector<Channel> outputs_;
    std::vector<double*> inputPointers_;
    std::vector<double*> outputPointers_;
};

// Creates the plug-in instance behind the module's entry point.
IPluginVst* CreatePlugin(vst2::HostCallback host);

// What the module's entry point does: a new instance with every program slot
// filled, handed out as its AEffect record; nullptr when construction fails.
// No exception leaves it.
vst2::AEffect* InstantiateEffect(vst2::HostCallback host);
