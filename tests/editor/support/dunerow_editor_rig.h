// A real Dunerow instance with a headless editor attached, as a host would
// have it: a host callback that records what the plug-in reports and answers
// time queries, and helpers to render blocks through the processing path.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"
#include "instrument/dunerow.h"

class DunerowEditorRig {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr int kBlockSize = 256;

    DunerowEditorRig() : synth_(std::make_unique<Dunerow>(&DunerowEditorRig::HostCallback)) {
        Register(this);
        synth_->SetSampleRate(kSampleRate);
        synth_->SetBlockSize(kBlockSize);
        synth_->OnReset();
        auto editor = std::make_unique<IGraphicsHeadless>(synth_.get(), 1030, 800);
        graphics_ = editor.get();
        synth_->AttachEditor(std::move(editor));
        synth_->RefreshEditorDisplays();
        graphics_->OpenWindow(nullptr);
    }
    ~DunerowEditorRig() {
        synth_.reset();
        Unregister(this);
    }
    DunerowEditorRig(const DunerowEditorRig&) = delete;
    DunerowEditorRig& operator=(const DunerowEditorRig&) = delete;

    Dunerow& Synth() { return *synth_; }
    IGraphicsHeadless& Graphics() { return *graphics_; }

    template <class Control>
    Control* Add(std::unique_ptr<Control> control) {
        Control* raw = control.get();
        graphics_->AddControl(std::move(control));
        return raw;
    }

    // Renders `blocks` blocks, optionally starting a note at the first frame.
    void Render(int blocks, int note = -1) {
        if (note >= 0) synth_->QueueMidiMessage({0, 0x90, static_cast<uint8_t>(note), 127});
        std::vector<double> left(kBlockSize), right(kBlockSize);
        double* outputs[2] = {left.data(), right.data()};
        for (int block = 0; block < blocks; ++block) synth_->ProcessBlock(nullptr, outputs, kBlockSize);
    }

    std::vector<HostReport> Reports() {
        std::lock_guard lock(mutex_);
        return reports_;
    }
    int CountReports(int32_t opcode) {
        int count = 0;
        for (const HostReport& report : Reports()) count += report.opcode == opcode ? 1 : 0;
        return count;
    }
    void ClearReports() {
        std::lock_guard lock(mutex_);
        reports_.clear();
    }
    // The tempo the host reports; 0 for none.
    void SetHostTempo(double tempo) { tempo_ = tempo; }

private:
    static std::map<vst2::AEffect*, DunerowEditorRig*>& Rigs() {
        static std::map<vst2::AEffect*, DunerowEditorRig*> rigs;
        return rigs;
    }
    static std::mutex& RigsMutex() {
        static std::mutex mutex;
        return mutex;
    }
    static void Register(DunerowEditorRig* rig) {
        std::lock_guard lock(RigsMutex());
        Rigs()[rig->synth_->Effect()] = rig;
    }
    static void Unregister(DunerowEditorRig* rig) {
        std::lock_guard lock(RigsMutex());
        for (auto it = Rigs().begin(); it != Rigs().end(); ++it) {
            if (it->second == rig) {
                Rigs().erase(it);
                break;
            }
        }
    }

    static intptr_t HostCallback(vst2::AEffect* effect, int32_t opcode, int32_t index, intptr_t /*value*/,
                                 void* /*ptr*/, float opt) {
        DunerowEditorRig* rig = nullptr;
        {
            std::lock_guard lock(RigsMutex());
            const auto found = Rigs().find(effect);
            if (found != Rigs().end()) rig = found->second;
        }
        if (rig == nullptr) return 0;  // calls made while the plug-in is being built
        if (opcode == vst2::audioMasterGetTime) {
            if (rig->tempo_ <= 0.0) return 0;
            rig->time_ = {};
            rig->time_.sampleRate = kSampleRate;
            rig->time_.tempo = rig->tempo_;
            rig->time_.flags = vst2::kVstTempoValid;
            return reinterpret_cast<intptr_t>(&rig->time_);
        }
        std::lock_guard lock(rig->mutex_);
        rig->reports_.push_back({opcode, index, opt});
        return 0;
    }

    std::unique_ptr<Dunerow> synth_;
    IGraphicsHeadless* graphics_ = nullptr;
    std::mutex mutex_;
    std::vector<HostReport> reports_;
    double tempo_ = 0.0;
    vst2::VstTimeInfo time_{};
};
