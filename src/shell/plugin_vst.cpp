#include "shell/plugin_vst.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "shell/bounded_text.h"

namespace {

using namespace vst2;

constexpr intptr_t kVendorAnswer = 0xBEEF;
constexpr intptr_t kCockosAnswer = static_cast<intptr_t>(0xBEEF0000);
// Texts a host hands us are read up to this length at most.
constexpr std::size_t kLongestHostText = 256;
// A chunk larger than this is not ours.
constexpr intptr_t kLargestChunk = 64 << 20;

std::string_view HostText(const void* ptr) {
    if (ptr == nullptr) return {};
    const auto* text = static_cast<const char*>(ptr);
    return {text, strnlen(text, kLongestHostText)};
}

void CopyToHost(void* ptr, std::string_view text, std::size_t size = IPluginVst::kHostTextSize) {
    if (ptr == nullptr) return;
    CopyBounded(std::span<char>(static_cast<char*>(ptr), size), text);
}

// The largest input and output counts of a "%d-%d %d-%d" channel list.
std::pair<int, int> ChannelCounts(std::string_view channelIo) {
    int inputs = 0;
    int outputs = 0;
    const std::string text(channelIo);
    const char* cursor = text.c_str();
    int in = 0;
    int out = 0;
    int consumed = 0;
    while (std::sscanf(cursor, " %d-%d%n", &in, &out, &consumed) == 2) {
        inputs = std::max(inputs, in);
        outputs = std::max(outputs, out);
        cursor += consumed;
    }
    return {std::clamp(inputs, 0, 64), std::clamp(outputs, 0, 64)};
}

// Substrings of a lower-cased product name and the host codes they identify, in search order.
struct HostEntry {
    std::string_view text;
    int code;
};
constexpr std::array<HostEntry, 26> kHostTable = {{
    {"cubase", 3},     {"reaper", 1},      {"nuendo", 4},    {"cakewalk", 5},     {"samplitude", 8},
    {"fruity", 7},     {"live", 9},        {"melodyne", 12}, {"vstmanlib", 13},   {"aulab", 14},
    {"garageband", 22}, {"forte", 15},     {"chainer", 16},  {"audition", 17},    {"orion", 18},
    {"sawstudio", 20}, {"logic", 21},      {"digital", 23},  {"audiomulch", 25},  {"presonus", 26},
    {"vst3plugintesthost", 27}, {"protools", 2}, {"ardour", 28}, {"renoise", 29}, {"openmpt", 30},
    {"standalone", 24},
}};

// Hosts that connect channels from the third on differently.
bool ConnectsExtraChannels(int code) { return code == 15 || code == 17 || code == 18 || code == 20; }

// ---- AEffect callbacks: forward to the instance, never let an exception reach the host.

intptr_t DispatcherCallback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    IPluginVst* plugin = IPluginVst::FromEffect(effect);
    if (plugin == nullptr) return 0;
    if (opcode == effClose) {
        delete plugin;  // nothing of the instance may be touched after this
        return 0;
    }
    try {
        return plugin->Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void ProcessAccumulatingCallback(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (IPluginVst* plugin = IPluginVst::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, true);
        } catch (...) {
        }
    }
}

void ProcessReplacingCallback(AEffect* effect, float** inputs, float** outputs, int32_t frames) {
    if (IPluginVst* plugin = IPluginVst::FromEffect(effect)) {
        try {
            plugin->ProcessFloat(inputs, outputs, frames, false);
        } catch (...) {
        }
    }
}

void ProcessDoubleCallback(AEffect* effect, double** inputs, double** outputs, int32_t frames) {
    if (IPluginVst* plugin = IPluginVst::FromEffect(effect)) {
        try {
            plugin->ProcessDouble(inputs, outputs, frames);
        } catch (...) {
        }
    }
}

void SetParameterCallback(AEffect* effect, int32_t index, float value) {
    if (IPluginVst* plugin = IPluginVst::FromEffect(effect)) {
        try {
            plugin->SetParameterFromHost(index, value);
        } catch (...) {
        }
    }
}

float GetParameterCallback(AEffect* effect, int32_t index) {
    if (IPluginVst* plugin = IPluginVst::FromEffect(effect)) {
        try {
            return plugin->GetParameterForHost(index);
        } catch (...) {
        }
    }
    return 0.0f;
}

}  // namespace

IPluginVst::IPluginVst(HostCallback host, int parameterCount, int programCount, std::string_view channelIo,
                       const PluginIdentity& identity)
    : IPluginBase(parameterCount, programCount, identity), host_(host) {
    const auto [inputCount, outputCount] = ChannelCounts(channelIo);
    inputs_.resize(static_cast<std::size_t>(inputCount));
    outputs_.resize(static_cast<std::size_t>(outputCount));
    inputPointers_.resize(inputs_.size());
    outputPointers_.resize(outputs_.size());
    for (Channel& channel : inputs_) channel.scratch.assign(kScratchFrames, 0.0);
    for (Channel& channel : outputs_) channel.scratch.assign(kScratchFrames, 0.0);

    inputArrangement_.type = inputCount == 2 ? kSpeakerArrStereo : inputCount == 1 ? kSpeakerArrMono : kSpeakerArrEmpty;
    inputArrangement_.numChannels = inputCount;
    outputArrangement_.type = outputCount == 2 ? kSpeakerArrStereo : outputCount == 1 ? kSpeakerArrMono : kSpeakerArrEmpty;
    outputArrangement_.numChannels = outputCount;

    effect_.magic = kEffectMagic;
    effect_.dispatcher = DispatcherCallback;
    effect_.process = ProcessAccumulatingCallback;
    effect_.setParameter = SetParameterCallback;
    effect_.getParameter = GetParameterCallback;
    effect_.processReplacing = ProcessReplacingCallback;
    effect_.processDoubleReplacing = ProcessDoubleCallback;
    effect_.numPrograms = std::max(programCount, 1);
    effect_.numParams = parameterCount;
    effect_.numInputs = inputCount;
    effect_.numOutputs = outputCount;
    effect_.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | (identity.isInstrument ? effFlagsIsSynth : 0);
    effect_.initialDelay = 0;
    effect_.ioRatio = 1.0f;
    effect_.object = this;
    effect_.uniqueID = identity.uniqueId;
    effect_.version = HostVersion();
}

IPluginVst* IPluginVst::FromEffect(AEffect* effect) {
    if (effect == nullptr || effect->magic != kEffectMagic) return nullptr;
    return static_cast<IPluginVst*>(effect->object);
}

intptr_t IPluginVst::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return host_ != nullptr ? host_(&effect_, opcode, index, value, ptr, opt) : 0;
}

intptr_t IPluginVst::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    // The editor's calls come on the host's GUI thread and draw; they take
    // no plug-in lock, so the audio thread never waits for a redraw.
    if (opcode == effEditGetRect || opcode == effEditOpen || opcode == effEditClose || opcode == effEditIdle) {
        return DispatchEditor(opcode, ptr);
    }
    // A chunk is copied and decoded before the lock is taken for its change:
    // the audio thread never waits for a bank to be read.
    if (opcode == effSetChunk) {
        if (ptr == nullptr || value < 0 || value > kLargestChunk) return 0;
        const std::span<const uint8_t> bytes(static_cast<const uint8_t*>(ptr), static_cast<std::size_t>(value));
        return SetChunk(bytes, index != 0) ? 1 : 0;
    }
    auto lock = ScopedLock();
    return DispatchLocked(opcode, index, value, ptr, opt);
}

intptr_t IPluginVst::DispatchLocked(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    switch (opcode) {
    case effOpen:
        IdentifyHost();
        for (int i = 0; i < ParameterCount(); ++i) ApplyParameter(i);
        return 0;
    case effSetProgram:
        ModifyCurrentProgram();
        // A number beyond 32 bits names no program; cut to 32 bits it could name one.
        RestoreProgram(value >= 0 && value <= INT32_MAX ? static_cast<int>(value) : -1);
        return 0;
    case effGetProgram:
        return IPluginBase::CurrentProgram();
    case effSetProgramName:
        if (ptr != nullptr) ModifyCurrentProgram(HostText(ptr).substr(0, ProgramSlot::kNameSize - 1));
        return 0;
    case effGetProgramName:
        CopyToHost(ptr, GetProgramName(IPluginBase::CurrentProgram()));
        return 0;
    case effGetParamLabel:
        if (const PluginParam* parameter = GetParam(index)) CopyToHost(ptr, parameter->GetUnitLabel());
        return 0;
    case effGetParamDisplay:
        if (const PluginParam* parameter = GetParam(index); parameter != nullptr && ptr != nullptr) {
            parameter->GetDisplayText(std::span<char>(static_cast<char*>(ptr), kHostTextSize));
        }
        return 0;
    case effGetParamName:
        if (const PluginParam* parameter = GetParam(index)) CopyToHost(ptr, parameter->Name());
        return 0;
    case effSetSampleRate:
        SetSampleRate(static_cast<double>(opt));
        OnReset();
        return 0;
    case effSetBlockSize: {
        const int frames = static_cast<int>(std::clamp<intptr_t>(value, 0, kMaximumBlockSize));
        if (frames != GetBlockSize()) SetBlockSize(frames);
        OnReset();
        return 0;
    }
    case effMainsChanged:
        OnActivate(value != 0);
        if (value == 0) OnReset();
        return 0;
    case effIdle:
        OnIdle();
        return 0;
    case effIdentify:
        return kIdentifyAnswer;
    case effGetChunk: {
        StateChunk& chunk = index != 0 ? programChunk_ : bankChunk_;
        const int size = GetChunk(chunk, index != 0);
        if (size <= 0 || ptr == nullptr) return 0;
        *static_cast<const void**>(ptr) = chunk.Data();
        return size;
    }
    case effProcessEvents:
        ProcessEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effCanBeAutomated:
        return 1;
    case effString2Parameter:
        return StringToParameter(index, static_cast<const char*>(ptr)) ? 1 : 0;
    case effGetProgramNameIndexed: {
        const std::string_view name = GetProgramName(index);
        CopyToHost(ptr, name);
        return name.empty() ? 0 : 1;
    }
    case effGetInputProperties:
        return PinProperties(index, true, ptr);
    case effGetOutputProperties:
        return PinProperties(index, false, ptr);
    case effGetPlugCategory:
        return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effSetSpeakerArrangement: {
        auto connect = [](std::vector<Channel>& channels, const VstSpeakerArrangement* arrangement) {
            if (arrangement == nullptr) return;
            const int connected = std::min(std::max(arrangement->numChannels, 0), static_cast<int>(channels.size()));
            for (int i = 0; i < static_cast<int>(channels.size()); ++i) channels[static_cast<std::size_t>(i)].connected = i < connected;
        };
        connect(inputs_, reinterpret_cast<const VstSpeakerArrangement*>(value));
        connect(outputs_, static_cast<const VstSpeakerArrangement*>(ptr));
        return 1;
    }
    case effGetEffectName:
        CopyToHost(ptr, EffectName(), static_cast<std::size_t>(kMaxEffectNameLength));
        return 1;
    case effGetVendorString:
        CopyToHost(ptr, MakerName(), static_cast<std::size_t>(kMaxVendorStringLength));
        return 1;
    case effGetProductString:
        CopyToHost(ptr, ProductName(), static_cast<std::size_t>(kMaxProductStringLength));
        return 1;
    case effVendorSpecific:
        if (index == 7 && ptr != nullptr && value >= 0 && value <= INT32_MAX) {
            if (const PluginParam* parameter = GetParam(static_cast<int>(value))) {
                parameter->FormatValue(static_cast<double>(opt), true, std::span<char>(static_cast<char*>(ptr), kHostTextSize), true);
                return kVendorAnswer;
            }
        }
        if (index == 8 && value >= 0 && value <= INT32_MAX) {
            const PluginParam* parameter = GetParam(static_cast<int>(value));
            if (parameter != nullptr && parameter->GetKind() != PluginParam::Kind::Double) return kVendorAnswer;
        }
        return 0;
    case effCanDo:
        return CanDo(static_cast<const char*>(ptr));
    case effGetVstVersion:
        return kInterfaceVersion;
    case effGetMidiKeyName:
        if (ptr != nullptr) static_cast<MidiKeyName*>(ptr)->keyName[0] = '\0';  // no named keys
        return 0;
    case effGetSpeakerArrangement:
        if (value != 0) *reinterpret_cast<VstSpeakerArrangement**>(value) = &inputArrangement_;
        if (ptr != nullptr) *static_cast<VstSpeakerArrangement**>(ptr) = &outputArrangement_;
        return 1;
    default:
        return 0;
    }
}

intptr_t IPluginVst::PinProperties(int index, bool input, void* ptr) const {
    const int count = input ? InputCount() : OutputCount();
    if (index < 0 || index >= count || ptr == nullptr) return 0;
    auto* properties = static_cast<VstPinProperties*>(ptr);
    std::memset(properties, 0, sizeof *properties);
    properties->flags = kVstPinIsActive;
    if (index % 2 == 0 && index < count - 1) properties->flags |= kVstPinIsStereo;
    std::snprintf(properties->label, sizeof properties->label, input ? "Input %d" : "Output %d", index + 1);
    return 1;
}

intptr_t IPluginVst::CanDo(const char* text) {
    const std::string_view asked = HostText(text);
    if (asked == "receiveVstTimeInfo") return 1;
    if (doesMidi_ && (asked == "sendVstEvents" || asked == "sendVstMidiEvent" || asked == "receiveVstEvents" ||
                      asked == "receiveVstMidiEvent")) {
        return 1;
    }
    if (asked == "hasCockosExtensions") {
        hostExtensions_ |= kCockosExtensions;
        return kCockosAnswer;
    }
    if (asked == "hasCockosViewAsConfig") {
        hostExtensions_ |= kCockosViewAsConfig;
        return kCockosAnswer;
    }
    return 0;
}

bool IPluginVst::StringToParameter(int index, const char* text) {
    PluginParam* parameter = GetParam(index);
    if (parameter == nullptr) return false;
    if (text == nullptr) return true;
    const std::string entered(HostText(text));
    double value = 0.0;
    if (parameter->HasDisplayTexts()) {
        const auto& texts = parameter->DisplayTexts();
        const auto match = std::find_if(texts.begin(), texts.end(), [&](const PluginParam::DisplayText& entry) {
            return entry.text.View() == entered;
        });
        if (match == texts.end()) return true;  // no such entry: left alone
        value = match->value;
    } else {
        char* end = nullptr;
        value = std::strtod(entered.c_str(), &end);
        // Text that is not a number changes nothing.
        if (end == entered.c_str() || !std::isfinite(value)) return false;
        if (parameter->NegateDisplay()) value = -value;
    }
    OnParameterChangedByHost(index, value, false);
    parameter->SetValue(std::clamp(value, parameter->Min(), parameter->Max()));
    ApplyParameter(index);
    return true;
}

void IPluginVst::ProcessEvents(const VstEvents* events) {
    if (events == nullptr) return;
    // VstEvents declares two event pointers and the host allocates room for
    // all of them behind it: read them as bytes of that room, since indexing
    // the declared array past its second entry is undefined.
    const auto* room = reinterpret_cast<const unsigned char*>(events) + offsetof(VstEvents, events);
    for (int32_t i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = nullptr;
        std::memcpy(&event, room + static_cast<std::size_t>(i) * sizeof event, sizeof event);
        if (event == nullptr) continue;
        if (event->type == kVstMidiType) {
            const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
            QueueMidiMessage({midi->deltaFrames, static_cast<uint8_t>(midi->midiData[0]),
                              static_cast<uint8_t>(midi->midiData[1]), static_cast<uint8_t>(midi->midiData[2])});
        }
        // System-exclusive and other events carry nothing for this instrument.
    }
}

void IPluginVst::ProcessDouble(double** inputs, double** outputs, int32_t frames) {
    // Asked before the lock is taken: the host may take locks of its own.
    if (doesMidi_) CallHost(audioMasterWantMidi);
    auto lock = ScopedLock();
    if (outputs == nullptr || frames <= 0) return;
    for (int i = 0; i < OutputCount(); ++i) {
        if (outputs[i] == nullptr) return;
    }
    ProcessBlock(inputs, outputs, frames);
}

void IPluginVst::ProcessFloat(float** inputs, float** outputs, int32_t frames, bool accumulate) {
    // Asked before the lock is taken: the host may take locks of its own.
    if (doesMidi_) CallHost(audioMasterWantMidi);
    auto lock = ScopedLock();
    if (outputs == nullptr || frames <= 0) return;
    for (int i = 0; i < OutputCount(); ++i) {
        if (outputs[i] == nullptr) return;
    }
    // The scratch arrays hold kScratchFrames frames: longer calls go in pieces.
    for (int32_t done = 0; done < frames;) {
        const int count = std::min(kScratchFrames, frames - done);
        for (std::size_t c = 0; c < inputs_.size(); ++c) {
            Channel& channel = inputs_[c];
            const float* source = (inputs != nullptr && channel.connected) ? inputs[c] : nullptr;
            for (int i = 0; i < count; ++i) channel.scratch[static_cast<std::size_t>(i)] = source != nullptr ? static_cast<double>(source[done + i]) : 0.0;
            inputPointers_[c] = channel.scratch.data();
        }
        for (std::size_t c = 0; c < outputs_.size(); ++c) outputPointers_[c] = outputs_[c].scratch.data();
        ProcessBlock(inputPointers_.data(), outputPointers_.data(), count);
        for (std::size_t c = 0; c < outputs_.size(); ++c) {
            float* destination = outputs[c] + done;
            const std::vector<double>& scratch = outputs_[c].scratch;
            for (int i = 0; i < count; ++i) {
                const auto sample = static_cast<float>(scratch[static_cast<std::size_t>(i)]);
                destination[i] = accumulate ? destination[i] + sample : sample;
            }
        }
        done += count;
    }
}

float IPluginVst::GetParameterForHost(int32_t index) {
    auto lock = ScopedLock();
    const PluginParam* parameter = GetParam(index);
    return parameter != nullptr ? static_cast<float>(parameter->GetNormalizedValue()) : 0.0f;
}

void IPluginVst::SetParameterFromHost(int32_t index, float value) {
    auto lock = ScopedLock();
    PluginParam* parameter = GetParam(index);
    if (parameter == nullptr) return;
    OnParameterChangedByHost(index, static_cast<double>(value), true);
    parameter->SetFromNormalized(static_cast<double>(value));
    ApplyParameter(index);
}

void IPluginVst::SetParameterFromEditor(int index, double normalised) {
    {
        auto lock = ScopedLock();
        PluginParam* parameter = GetParam(index);
        if (parameter == nullptr) return;
        parameter->SetFromNormalized(normalised);
        ApplyParameter(index);
    }
    // Told without the lock: the host may call back in from another thread.
    InformHostOfParamChange(index, normalised);
}

intptr_t IPluginVst::DispatchEditor(int32_t opcode, void* ptr) {
    switch (opcode) {
    case effEditGetRect:
        if (!HasEditor()) return 0;
        if (ptr != nullptr) *static_cast<ERect**>(ptr) = &editorRect_;
        return 1;
    case effEditOpen:
        return HasEditor() && editor_->OpenWindow(ptr) ? 1 : 0;
    case effEditClose:
        if (!HasEditor()) return 0;
        editor_->CloseWindow();
        return 1;
    case effEditIdle:
        if (HasEditor()) editor_->OnHostIdle();
        return 0;
    default:
        return 0;
    }
}

void IPluginVst::AttachEditor(std::unique_ptr<IPluginEditor> editor) {
    editor_ = std::move(editor);
    if (editor_ != nullptr) {
        effect_.flags |= effFlagsHasEditor;
        OnEditorResized();
    } else {
        effect_.flags &= ~effFlagsHasEditor;
    }
}

void IPluginVst::DestroyEditor() {
    if (editor_ == nullptr) return;
    editor_->CloseWindow();
    AttachEditor(nullptr);
}

void IPluginVst::OnEditorResized() {
    if (editor_ == nullptr) return;
    editorRect_.top = 0;
    editorRect_.left = 0;
    editorRect_.bottom = static_cast<int16_t>(editor_->Height());
    editorRect_.right = static_cast<int16_t>(editor_->Width());
}

void IPluginVst::OnParameterChangedByHost(int index, double value, bool normalised) {
    if (editor_ != nullptr) editor_->OnParameterChanged(index, value, normalised);
}

void IPluginVst::BeginParameterEdit(int index) { CallHost(audioMasterBeginEdit, index); }
void IPluginVst::EndParameterEdit(int index) { CallHost(audioMasterEndEdit, index); }

void IPluginVst::InformHostOfParamChange(int index, double normalised) {
    CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalised));
}

void IPluginVst::OnProgramFileLoaded() { CallHost(audioMasterUpdateDisplay); }

const VstTimeInfo* IPluginVst::HostTime(int32_t filter) {
    return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, filter));
}

double IPluginVst::HostTempo() {
    const VstTimeInfo* time = HostTime(kVstTempoValid);
    if (time != nullptr && (time->flags & kVstTempoValid) && time->tempo >= 0.0) return time->tempo;
    return 0.0;
}

int64_t IPluginVst::HostSamplePosition() {
    const VstTimeInfo* time = HostTime(0);
    if (time == nullptr || !(time->samplePos >= 0.0) || time->samplePos > 9.0e18) return 0;
    return static_cast<int64_t>(std::llround(time->samplePos));
}

void IPluginVst::HostTimeSignature(int& numerator, int& denominator) {
    numerator = denominator = 0;
    const VstTimeInfo* time = HostTime(kVstTimeSigValid);
    if (time != nullptr && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 && time->timeSigDenominator >= 0) {
        numerator = time->timeSigNumerator;
        denominator = time->timeSigDenominator;
    }
}

bool IPluginVst::IsRenderingOffline() { return CallHost(audioMasterGetCurrentProcessLevel) == kProcessLevelOffline; }

int32_t IPluginVst::PackHostVersion(int32_t v) { return v + (v % 10000) / 100 * 156 + v / 10000 * 55536; }

int IPluginVst::HostCodeOf(std::string_view product) {
    std::string lower(product);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const HostEntry& entry : kHostTable) {
        if (lower.find(entry.text) != std::string::npos) return entry.code;
    }
    return 0;
}

void IPluginVst::IdentifyHost() {
    if (hostInitialised_) return;
    hostInitialised_ = true;
    std::array<char, 256> product{};
    CallHost(audioMasterGetProductString, 0, 0, product.data());
    product.back() = '\0';
    const std::string_view name(product.data());
    hostVersion_ = name.empty() ? 0 : PackHostVersion(static_cast<int32_t>(CallHost(audioMasterGetVendorVersion)));
    hostCode_ = HostCodeOf(name);
    if (ConnectsExtraChannels(hostCode_)) {
        for (std::size_t i = 2; i < inputs_.size(); ++i) inputs_[i].connected = false;
        for (std::size_t i = 2; i < outputs_.size(); ++i) outputs_[i].connected = true;
    }
    effect_.numInputs = InputCount();
    effect_.numOutputs = OutputCount();
}
