// Drives a Dunerow instance the way a host does: parameters by normalised
// value, MIDI events at absolute frames, and rendering in blocks.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "instrument/dunerow.h"

struct TimedMidi {
    int frame;  // absolute frame from the start of the render
    uint8_t status;
    uint8_t note;
    uint8_t velocity;
};

inline TimedMidi On(int frame, int note, int velocity = 127) {
    return {frame, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}
inline TimedMidi Off(int frame, int note) { return {frame, 0x80, static_cast<uint8_t>(note), 0}; }

struct StereoBuffer {
    std::vector<double> left;
    std::vector<double> right;
};

class InstrumentRig {
public:
    // An instrument at its declared parameter defaults rather than on its first
    // program, so that each test states exactly what it changes.
    explicit InstrumentRig(double sampleRate = 44100.0, int blockSize = 512) : synth_(std::make_unique<Dunerow>()) {
        for (int index = 0; index < kParameterCount; ++index) {
            synth_->GetParam(index)->SetValue(synth_->GetParam(index)->Default());
            synth_->ApplyParameter(index);
        }
        Prepare(sampleRate, blockSize);  // the reset also settles the filters at these values
    }

    void Prepare(double sampleRate, int blockSize) {
        synth_->SetSampleRate(sampleRate);
        synth_->SetBlockSize(blockSize);
        synth_->OnReset();
    }

    // Sets a parameter as the host does and applies it.
    void Set(int index, double normalised) {
        synth_->GetParam(index)->SetFromNormalized(normalised);
        synth_->ApplyParameter(index);
    }

    // Takes the effects chain out, for tests of the voices and the output stage.
    void BypassEffects() { Set(param::BypassFX, 1.0); }

    // Renders `frames` frames in blocks of `blockSize`, delivering each event
    // in the block that holds its frame.
    StereoBuffer Render(int frames, int blockSize, const std::vector<TimedMidi>& events = {}) {
        StereoBuffer out{std::vector<double>(static_cast<std::size_t>(frames)), std::vector<double>(static_cast<std::size_t>(frames))};
        for (int start = 0; start < frames; start += blockSize) {
            const int count = std::min(blockSize, frames - start);
            for (const TimedMidi& event : events) {
                if (event.frame >= start && event.frame < start + count) {
                    synth_->QueueMidiMessage({event.frame - start, event.status, event.note, event.velocity});
                }
            }
            double* outputs[2] = {out.left.data() + start, out.right.data() + start};
            synth_->ProcessBlock(nullptr, outputs, count);
        }
        return out;
    }

    Dunerow& Synth() { return *synth_; }

private:
    std::unique_ptr<Dunerow> synth_;
};
