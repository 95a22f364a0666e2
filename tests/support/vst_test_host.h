// A minimal VST2 host for the integration tests: it loads the built module
// (dlopen on Linux, LoadLibraryW on Windows), creates an instance through the
// exported entry point and drives it only through the AEffect record, as a
// real host does.
#pragma once

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <array>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "shell/vst2/vst2_interface.h"

class VstTestHost {
public:
    explicit VstTestHost(const char* modulePath = DUNEROW_MODULE_PATH, const char* entryName = "VSTPluginMain") {
        using Entry = vst2::AEffect* (*)(vst2::HostCallback);
#if defined(_WIN32)
        module_ = LoadLibraryW(Widened(modulePath).c_str());
        if (module_ == nullptr) throw std::runtime_error("cannot load the module: error " + std::to_string(GetLastError()));
        auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module_, entryName)));
#else
        module_ = dlopen(modulePath, RTLD_NOW | RTLD_LOCAL);
        if (module_ == nullptr) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
        auto entry = reinterpret_cast<Entry>(dlsym(module_, entryName));
#endif
        if (entry == nullptr) throw std::runtime_error("no entry point");
        effect_ = entry(&VstTestHost::Callback);
        if (effect_ == nullptr) throw std::runtime_error("the entry point made no instance");
        effect_->user = this;
    }

    ~VstTestHost() {
        if (effect_ != nullptr) effect_->dispatcher(effect_, vst2::effClose, 0, 0, nullptr, 0.0f);
#if defined(_WIN32)
        if (module_ != nullptr) FreeLibrary(module_);
#else
        if (module_ != nullptr) dlclose(module_);
#endif
    }

    VstTestHost(const VstTestHost&) = delete;
    VstTestHost& operator=(const VstTestHost&) = delete;

    vst2::AEffect& Effect() { return *effect_; }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    // A text answer of the dispatcher, read from a generous buffer.
    std::string Text(int32_t opcode, int32_t index = 0) {
        std::array<char, 256> buffer{};
        Dispatch(opcode, index, 0, buffer.data());
        return buffer.data();
    }

    // Open, rate, block size and resume, as a host starts an instance.
    void Start(double sampleRate = 44100.0, int blockSize = 512) {
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        Dispatch(vst2::effSetBlockSize, 0, blockSize);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }

    // Suspend, new rate and block size, resume: how a host changes its audio set-up.
    void Reconfigure(double sampleRate, int blockSize) {
        Dispatch(vst2::effMainsChanged, 0, 0);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
        Dispatch(vst2::effSetBlockSize, 0, blockSize);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }

    // A copy of the bank chunk (program = false) or of the current program's chunk.
    std::vector<unsigned char> GetChunk(bool program) {
        void* data = nullptr;
        const intptr_t size = Dispatch(vst2::effGetChunk, program ? 1 : 0, 0, &data);
        if (size <= 0 || data == nullptr) return {};
        const auto* bytes = static_cast<const unsigned char*>(data);
        return {bytes, bytes + size};
    }

    // Hands a chunk to the instance; 1 when it was taken.
    intptr_t SetChunk(const std::vector<unsigned char>& chunk, bool program) {
        return Dispatch(vst2::effSetChunk, program ? 1 : 0, static_cast<intptr_t>(chunk.size()),
                        const_cast<unsigned char*>(chunk.data()));
    }

    void SetParameter(int index, float value) { effect_->setParameter(effect_, index, value); }
    float GetParameter(int index) { return effect_->getParameter(effect_, index); }

    // Sends short MIDI messages (status, data 1, data 2) at their frame offsets.
    void SendMidi(const std::vector<std::array<int, 4>>& messages) {
        std::vector<vst2::VstMidiEvent> events(messages.size());
        std::vector<vst2::VstEvent*> pointers;
        for (std::size_t i = 0; i < messages.size(); ++i) {
            vst2::VstMidiEvent& event = events[i];
            std::memset(&event, 0, sizeof event);
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = messages[i][0];
            for (int b = 0; b < 3; ++b) event.midiData[b] = static_cast<char>(messages[i][static_cast<std::size_t>(b + 1)]);
            pointers.push_back(reinterpret_cast<vst2::VstEvent*>(&event));
        }
        // VstEvents declares two pointers; the host allocates room for all of them.
        std::vector<unsigned char> storage(sizeof(vst2::VstEvents) + pointers.size() * sizeof(void*));
        auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
        list->numEvents = static_cast<int32_t>(pointers.size());
        std::memcpy(list->events, pointers.data(), pointers.size() * sizeof(void*));
        Dispatch(vst2::effProcessEvents, 0, 0, list);
    }

    // One block through the 32-bit replacing callback; returns left and right.
    std::array<std::vector<float>, 2> ProcessFloat(int frames) {
        std::array<std::vector<float>, 2> out{std::vector<float>(static_cast<std::size_t>(frames), 7.0f),
                                              std::vector<float>(static_cast<std::size_t>(frames), 7.0f)};
        float* outputs[2] = {out[0].data(), out[1].data()};
        effect_->processReplacing(effect_, nullptr, outputs, frames);
        return out;
    }

    std::array<std::vector<double>, 2> ProcessDouble(int frames) {
        std::array<std::vector<double>, 2> out{std::vector<double>(static_cast<std::size_t>(frames)),
                                               std::vector<double>(static_cast<std::size_t>(frames))};
        double* outputs[2] = {out[0].data(), out[1].data()};
        effect_->processDoubleReplacing(effect_, nullptr, outputs, frames);
        return out;
    }

    // What the instance told its host.
    std::vector<std::pair<int, float>> automations;
    int wantMidiCalls = 0;
    int updateDisplayCalls = 0;
    std::string productString = "Dunerow Test Host";
    intptr_t vendorVersion = 10203;
    vst2::VstTimeInfo time{};
    // Called first on every call the instance makes to its host, on the calling thread.
    std::function<void(int32_t opcode)> onCallback;

private:
    static intptr_t Callback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
        (void)value;
        if (opcode == vst2::audioMasterVersion) return 2400;
        VstTestHost* host = effect != nullptr ? static_cast<VstTestHost*>(effect->user) : nullptr;
        if (host == nullptr) return 0;
        if (host->onCallback) host->onCallback(opcode);
        switch (opcode) {
        case vst2::audioMasterAutomate:
            host->automations.emplace_back(index, opt);
            return 0;
        case vst2::audioMasterWantMidi:
            ++host->wantMidiCalls;
            return 1;
        case vst2::audioMasterGetTime:
            return reinterpret_cast<intptr_t>(&host->time);
        case vst2::audioMasterGetProductString:
            std::strncpy(static_cast<char*>(ptr), host->productString.c_str(), 63);
            return 1;
        case vst2::audioMasterGetVendorVersion:
            return host->vendorVersion;
        case vst2::audioMasterUpdateDisplay:
            ++host->updateDisplayCalls;
            return 1;
        default:
            return 0;
        }
    }

#if defined(_WIN32)
    // UTF-8 path text as the UTF-16 Windows wants.
    static std::wstring Widened(const char* text) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
        if (length <= 0) throw std::runtime_error("module path is not UTF-8");
        std::wstring wide(static_cast<std::size_t>(length), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
        wide.resize(static_cast<std::size_t>(length - 1));
        return wide;
    }

    HMODULE module_ = nullptr;
#else
    void* module_ = nullptr;
#endif
    vst2::AEffect* effect_ = nullptr;
};
