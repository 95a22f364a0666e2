// What the fuzz programs share: an instance made through the module's entry
// code and driven through its AEffect record, a quiet host behind it, the
// property check that stops a run, and a private scratch folder for inputs
// that the instrument only reads from files.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "shell/plugin_vst.h"
#include "shell/vst2/vst2_interface.h"

namespace fuzz {

// A broken property is a finding like a crash: report it and abort so that
// libFuzzer keeps the input.
[[noreturn]] inline void Fail(const char* what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

inline void Check(bool holds, const char* what) {
    if (!holds) Fail(what);
}

// Answers the few host services the instrument asks for, with fixed values.
inline intptr_t QuietHost(vst2::AEffect* /*effect*/, int32_t opcode, int32_t /*index*/, intptr_t /*value*/, void* ptr,
                          float /*opt*/) {
    static vst2::VstTimeInfo time{};
    switch (opcode) {
    case vst2::audioMasterVersion:
        return 2400;
    case vst2::audioMasterWantMidi:
        return 1;
    case vst2::audioMasterGetTime:
        return reinterpret_cast<intptr_t>(&time);
    case vst2::audioMasterGetProductString:
        if (ptr != nullptr) std::strcpy(static_cast<char*>(ptr), "Dunerow Fuzz Host");
        return 1;
    default:
        return 0;
    }
}

// One instance made as the module's entry point makes it, closed with the object.
class Instance {
public:
    Instance() : effect_(InstantiateEffect(&QuietHost)) {
        if (effect_ == nullptr) Fail("the entry point made no instance");
    }
    ~Instance() { Dispatch(vst2::effClose); }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst2::AEffect* Effect() { return effect_; }
    IPluginVst& Plugin() { return *IPluginVst::FromEffect(effect_); }

    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

    // Open, sample rate, block size and resume, as a host starts an instance.
    void Start(float sampleRate = 44100.0f, intptr_t blockSize = 512) {
        Dispatch(vst2::effOpen);
        Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, sampleRate);
        Dispatch(vst2::effSetBlockSize, 0, blockSize);
        Dispatch(vst2::effMainsChanged, 0, 1);
    }

    // A copy of the host's get-chunk answer: the program chunk (live values) or the whole bank.
    std::vector<uint8_t> Chunk(bool program) {
        void* data = nullptr;
        const intptr_t size = Dispatch(vst2::effGetChunk, program ? 1 : 0, 0, &data);
        if (size <= 0 || data == nullptr) Fail("get-chunk gave nothing");
        const auto* bytes = static_cast<const uint8_t*>(data);
        return {bytes, bytes + size};
    }

    // The host's set-chunk request with a buffer of its own.
    bool SetChunk(const std::vector<uint8_t>& bytes, bool program) {
        std::vector<uint8_t> copy = bytes;  // exactly the size given, so reads past it are caught
        return Dispatch(vst2::effSetChunk, program ? 1 : 0, static_cast<intptr_t>(copy.size()), copy.data()) == 1;
    }

    // Everything a host can store of the instance: live values and the whole bank.
    struct Snapshot {
        std::vector<uint8_t> program;
        std::vector<uint8_t> bank;
        int32_t currentProgram = 0;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot Take() {
        Snapshot snapshot{Chunk(true), Chunk(false), 0};
        snapshot.currentProgram = static_cast<int32_t>(Dispatch(vst2::effGetProgram));
        return snapshot;
    }

private:
    vst2::AEffect* effect_;
};

// One instance kept for the whole run, because making one takes tens of
// milliseconds. Each input starts from the state the instance had when it was
// made: after an input that may have changed it, what it may have changed is
// set back (the live values and the current program, or the whole bank),
// which restores everything a host can read.
class SharedInstance {
public:
    enum class Scope { Nothing, CurrentProgram, Bank };

    static SharedInstance& Get() {
        static SharedInstance shared;
        return shared;
    }

    // The instance in its starting state.
    Instance& Fresh() {
        if (changed_ == Scope::Bank) Check(instance_.SetChunk(baseline_.bank, false), "the instance refused its starting bank");
        if (changed_ != Scope::Nothing) {
            Check(instance_.SetChunk(baseline_.program, true), "the instance refused its starting values");
            instance_.Dispatch(vst2::effSetProgramName, 0, 0, programName_.data());
        }
        changed_ = Scope::Nothing;
        return instance_;
    }
    // Call before anything that may change the instance: the live values and
    // the current program's slot (name included), or any slot of the bank.
    void WillChange(Scope scope) { changed_ = std::max(changed_, scope); }
    // Call when the instance was found equal to its starting state.
    void Unchanged() { changed_ = Scope::Nothing; }
    const Instance::Snapshot& Baseline() const { return baseline_; }

private:
    SharedInstance() : baseline_(instance_.Take()) {
        instance_.Dispatch(vst2::effGetProgramName, 0, 0, programName_.data());
    }

    Instance instance_;
    Instance::Snapshot baseline_;
    std::array<char, IPluginVst::kHostTextSize> programName_{};
    Scope changed_ = Scope::Nothing;
};

// A folder of this process under the system's temporary directory, for
// inputs the instrument reads from files. Removed when the program ends.
inline const std::filesystem::path& ScratchFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() / ("dunerow-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

inline void WriteFile(const std::filesystem::path& path, const uint8_t* data, std::size_t size) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!file) Fail("cannot write the scratch file");
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace fuzz
