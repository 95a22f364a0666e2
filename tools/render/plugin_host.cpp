#include "plugin_host.h"

#include <dlfcn.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "render_error.h"

namespace render {

namespace {

// Host opcodes older than the ones our interface header names; hosts still answer them.
constexpr int32_t kAudioMasterGetSampleRate = 16;
constexpr int32_t kAudioMasterGetBlockSize = 17;
constexpr int32_t kAudioMasterGetVendorString = 32;

constexpr intptr_t kHostVersion = 2400;
constexpr char kProductName[] = "Dunerow Render";
constexpr char kVendorName[] = "Dunerow";
constexpr double kTempo = 120.0;

// Text answers are copied into buffers far larger than the interface's
// documented sizes, as generous hosts do.
constexpr std::size_t kTextBufferSize = 512;

// The host being built while the entry point runs, before AEffect::user is set.
PluginHost* hostUnderConstruction = nullptr;

}  // namespace

std::filesystem::path DefaultModulePath() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "Dunerow.so";
    const std::filesystem::path beside = self.parent_path() / "Dunerow.so";
    // Installed, the module sits where hosts look: lib/vst beside bin, the
    // user's ~/.vst, or the system's /usr/lib/vst.
    std::vector<std::filesystem::path> candidates{beside, self.parent_path().parent_path() / "lib/vst/Dunerow.so"};
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') {
        candidates.push_back(std::filesystem::path(home) / ".vst/Dunerow.so");
    }
    candidates.emplace_back("/usr/lib/vst/Dunerow.so");
    for (const std::filesystem::path& candidate : candidates) {
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
    }
    return beside;
}

PluginHost::PluginHost(const std::filesystem::path& modulePath) : moduleName_("'" + modulePath.string() + "'") {
    // A path, never a library name for the loader to search for.
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(modulePath, error);
    module_ = dlopen((error ? modulePath : absolute).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module_ == nullptr) {
        const char* why = dlerror();
        throw RenderError("cannot load module " + moduleName_ + ": " + (why != nullptr ? why : "unknown error"));
    }
    entry_ = reinterpret_cast<Entry>(dlsym(module_, "VSTPluginMain"));
    // Older modules export only the original entry point, "main".
    if (entry_ == nullptr) entry_ = reinterpret_cast<Entry>(dlsym(module_, "main"));
    if (entry_ == nullptr) {
        dlclose(module_);
        throw RenderError(moduleName_ + " is not a VST2 module: it has no VSTPluginMain or main entry point");
    }
    try {
        CreateInstance();
    } catch (const RenderError&) {
        dlclose(module_);
        throw;
    }
}

PluginHost::PluginHost(Entry entry, std::string name) : moduleName_(std::move(name)), entry_(entry) { CreateInstance(); }

PluginHost::~PluginHost() {
    CloseInstance();
    if (module_ != nullptr) dlclose(module_);
}

void PluginHost::Renew() {
    CloseInstance();
    CreateInstance();
}

void PluginHost::CreateInstance() {
    hostUnderConstruction = this;
    effect_ = entry_(&PluginHost::Callback);
    hostUnderConstruction = nullptr;
    if (effect_ == nullptr) throw RenderError(moduleName_ + " made no plug-in instance");
    if (effect_->magic != vst2::kEffectMagic || effect_->dispatcher == nullptr) {
        // Nothing in a record without the magic can be trusted, not even its dispatcher.
        effect_ = nullptr;
        throw RenderError(moduleName_ + " is not a VST2 module: its entry point returned a record without the VST2 magic");
    }
    effect_->user = this;
    Dispatch(vst2::effOpen);

    const intptr_t category = Dispatch(vst2::effGetPlugCategory);
    const bool synthFlag = (effect_->flags & vst2::effFlagsIsSynth) != 0;
    std::string problem;
    if (category != vst2::kPlugCategSynth && !(category == vst2::kPlugCategUnknown && synthFlag)) {
        problem = moduleName_ + " is not a VST2 instrument: it reports plug-in category " + std::to_string(category);
    } else if (effect_->numOutputs < 1) {
        problem = moduleName_ + " has no audio outputs";
    } else if (effect_->processReplacing == nullptr && effect_->processDoubleReplacing == nullptr) {
        problem = moduleName_ + " offers no replacing process callback";
    } else if (effect_->setParameter == nullptr || effect_->getParameter == nullptr) {
        problem = moduleName_ + " offers no parameter callbacks";
    }
    if (!problem.empty()) {
        CloseInstance();
        throw RenderError(problem);
    }
    useDouble_ = (effect_->flags & vst2::effFlagsCanDoubleReplacing) != 0 && effect_->processDoubleReplacing != nullptr;
    if (effect_->processReplacing == nullptr) useDouble_ = true;
}

void PluginHost::CloseInstance() {
    if (effect_ == nullptr) return;
    Stop();
    Dispatch(vst2::effClose);
    effect_ = nullptr;
}

intptr_t PluginHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginHost::Text(int32_t opcode, int32_t index) {
    std::array<char, kTextBufferSize> buffer{};
    Dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

std::string PluginHost::ProgramName(int index) { return Text(vst2::effGetProgramNameIndexed, index); }
std::string PluginHost::ParameterName(int index) { return Text(vst2::effGetParamName, index); }

void PluginHost::SelectProgram(int index) { Dispatch(vst2::effSetProgram, 0, index); }
void PluginHost::SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
float PluginHost::GetParameter(int index) { return effect_->getParameter(effect_, index); }

void PluginHost::Start(double sampleRate, int blockSize) {
    Stop();
    sampleRate_ = sampleRate;
    blockSize_ = blockSize;
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(vst2::effSetBlockSize, 0, blockSize);
    Dispatch(vst2::effMainsChanged, 0, 1);
    running_ = true;

    const auto channels = static_cast<std::size_t>(std::max(effect_->numInputs, 0) + effect_->numOutputs);
    const auto frames = static_cast<std::size_t>(blockSize);
    doubleBuffers_.assign(useDouble_ ? channels : 0, std::vector<double>(frames, 0.0));
    floatBuffers_.assign(useDouble_ ? 0 : channels, std::vector<float>(frames, 0.0f));

    time_ = {};
    time_.sampleRate = sampleRate;
    time_.tempo = kTempo;
    time_.timeSigNumerator = 4;
    time_.timeSigDenominator = 4;
    time_.flags = vst2::kVstTransportPlaying | vst2::kVstPpqPosValid | vst2::kVstTempoValid | vst2::kVstBarsValid |
                  vst2::kVstTimeSigValid;
}

void PluginHost::Stop() {
    if (!running_) return;
    Dispatch(vst2::effMainsChanged, 0, 0);
    running_ = false;
}

void PluginHost::Process(const std::vector<BlockMessage>& messages, double* left, double* right) {
    if (!messages.empty()) {
        events_.assign(messages.size(), vst2::VstMidiEvent{});
        eventList_.assign(sizeof(vst2::VstEvents) + messages.size() * sizeof(vst2::VstEvent*), 0);
        auto* list = reinterpret_cast<vst2::VstEvents*>(eventList_.data());
        list->numEvents = static_cast<int32_t>(messages.size());
        for (std::size_t i = 0; i < messages.size(); ++i) {
            vst2::VstMidiEvent& event = events_[i];
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = messages[i].frame;
            for (int b = 0; b < 3; ++b) event.midiData[b] = static_cast<char>(messages[i].bytes[b]);
            auto* pointer = reinterpret_cast<vst2::VstEvent*>(&event);
            std::memcpy(reinterpret_cast<unsigned char*>(list->events) + i * sizeof pointer, &pointer, sizeof pointer);
        }
        Dispatch(vst2::effProcessEvents, 0, 0, list);
    }

    const int inputs = std::max(effect_->numInputs, 0);
    const auto frames = static_cast<std::size_t>(blockSize_);
    if (useDouble_) {
        std::vector<double*> pointers;
        for (auto& buffer : doubleBuffers_) pointers.push_back(buffer.data());
        for (std::size_t c = 0; c < static_cast<std::size_t>(inputs); ++c) std::fill(doubleBuffers_[c].begin(), doubleBuffers_[c].end(), 0.0);
        effect_->processDoubleReplacing(effect_, pointers.data(), pointers.data() + inputs, blockSize_);
        const auto& outLeft = doubleBuffers_[static_cast<std::size_t>(inputs)];
        const auto& outRight = doubleBuffers_[static_cast<std::size_t>(inputs + OutputChannels() - 1)];
        std::copy_n(outLeft.begin(), frames, left);
        std::copy_n(outRight.begin(), frames, right);
    } else {
        std::vector<float*> pointers;
        for (auto& buffer : floatBuffers_) pointers.push_back(buffer.data());
        for (std::size_t c = 0; c < static_cast<std::size_t>(inputs); ++c) std::fill(floatBuffers_[c].begin(), floatBuffers_[c].end(), 0.0f);
        effect_->processReplacing(effect_, pointers.data(), pointers.data() + inputs, blockSize_);
        const auto& outLeft = floatBuffers_[static_cast<std::size_t>(inputs)];
        const auto& outRight = floatBuffers_[static_cast<std::size_t>(inputs + OutputChannels() - 1)];
        std::copy_n(outLeft.begin(), frames, left);
        std::copy_n(outRight.begin(), frames, right);
    }

    time_.samplePos += static_cast<double>(blockSize_);
    time_.ppqPos = time_.samplePos / sampleRate_ * (kTempo / 60.0);
    time_.barStartPos = std::floor(time_.ppqPos / 4.0) * 4.0;
}

intptr_t PluginHost::Callback(vst2::AEffect* effect, int32_t opcode, int32_t /*index*/, intptr_t /*value*/, void* ptr,
                              float /*opt*/) {
    PluginHost* host = effect != nullptr && effect->user != nullptr ? static_cast<PluginHost*>(effect->user) : hostUnderConstruction;
    const auto copyText = [ptr](const char* text) -> intptr_t {
        if (ptr == nullptr) return 0;
        std::strncpy(static_cast<char*>(ptr), text, vst2::kMaxProductStringLength - 1);
        static_cast<char*>(ptr)[vst2::kMaxProductStringLength - 1] = '\0';
        return 1;
    };
    switch (opcode) {
    case vst2::audioMasterVersion:
        return kHostVersion;
    case vst2::audioMasterWantMidi:
        return 1;
    case vst2::audioMasterGetTime:
        return host != nullptr ? reinterpret_cast<intptr_t>(&host->time_) : 0;
    case vst2::audioMasterGetCurrentProcessLevel:
        return vst2::kProcessLevelOffline;
    case vst2::audioMasterGetProductString:
        return copyText(kProductName);
    case kAudioMasterGetVendorString:
        return copyText(kVendorName);
    case vst2::audioMasterGetVendorVersion:
        return 1;
    case kAudioMasterGetSampleRate:
        return host != nullptr ? static_cast<intptr_t>(host->sampleRate_) : 0;
    case kAudioMasterGetBlockSize:
        return host != nullptr ? host->blockSize_ : 0;
    default:
        return 0;
    }
}

}  // namespace render
