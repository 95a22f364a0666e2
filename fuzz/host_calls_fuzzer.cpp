// Sequences of host calls through the AEffect record of a new instance: the
// dispatcher with any opcode, index, value and option, each pointer argument
// a buffer of the kind and size the interface gives for that opcode;
// parameter sets and gets; MIDI event lists; and the three audio callbacks
// with frame counts within the block size. Every output sample must be
// finite and every parameter read back must be a normalised value.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host_call_script.h"

namespace {

using namespace vst2;
using fuzz::HostCall;
using fuzz::ScriptReader;

// Keeps one input's rendering short: calls beyond this many frames are skipped.
constexpr int kFrameBudget = 32768;
// The most steps one input runs.
constexpr int kMostSteps = 256;

class HostRun {
public:
    HostRun(fuzz::Instance& instance, ScriptReader& script) : instance_(instance), script_(script) {}

    void Start() {
        const float rate = fuzz::kStartRates[script_.Read<uint8_t>() % std::size(fuzz::kStartRates)];
        blockSize_ = script_.Read<uint16_t>() % 8193;
        instance_.Start(rate, blockSize_);
    }

    void Step() {
        switch (static_cast<HostCall>(script_.Read<uint8_t>() % static_cast<uint8_t>(HostCall::Count))) {
        case HostCall::Dispatch:
            Dispatch();
            break;
        case HostCall::SetParameter: {
            const auto index = script_.Read<int32_t>();
            const auto value = script_.Read<float>();
            instance_.Effect()->setParameter(instance_.Effect(), index, value);
            break;
        }
        case HostCall::GetParameter: {
            const float value = instance_.Effect()->getParameter(instance_.Effect(), script_.Read<int32_t>());
            fuzz::Check(value >= 0.0f && value <= 1.0f, "getParameter answered a value outside 0..1");
            break;
        }
        case HostCall::ProcessReplacing:
            ProcessFloat(false);
            break;
        case HostCall::ProcessAccumulating:
            ProcessFloat(true);
            break;
        case HostCall::ProcessDouble:
            ProcessDouble();
            break;
        case HostCall::Count:
            break;
        }
    }

private:
    int Frames() {
        const int frames = 1 + script_.Read<uint16_t>() % std::max(blockSize_, 1);
        if (blockSize_ <= 0 || rendered_ + frames > kFrameBudget) return 0;
        rendered_ += frames;
        return frames;
    }

    void ProcessFloat(bool accumulate) {
        const int frames = Frames();
        if (frames == 0) return;
        std::vector<float> left(static_cast<std::size_t>(frames), 0.0f);
        std::vector<float> right(static_cast<std::size_t>(frames), 0.0f);
        float* outputs[2] = {left.data(), right.data()};
        AEffect* effect = instance_.Effect();
        (accumulate ? effect->process : effect->processReplacing)(effect, nullptr, outputs, frames);
        for (std::size_t i = 0; i < left.size(); ++i) {
            fuzz::Check(std::isfinite(left[i]) && std::isfinite(right[i]), "a 32-bit block holds a sample that is not finite");
        }
    }

    void ProcessDouble() {
        const int frames = Frames();
        if (frames == 0) return;
        std::vector<double> left(static_cast<std::size_t>(frames), 0.0);
        std::vector<double> right(static_cast<std::size_t>(frames), 0.0);
        double* outputs[2] = {left.data(), right.data()};
        instance_.Effect()->processDoubleReplacing(instance_.Effect(), nullptr, outputs, frames);
        for (std::size_t i = 0; i < left.size(); ++i) {
            fuzz::Check(std::isfinite(left[i]) && std::isfinite(right[i]), "a 64-bit block holds a sample that is not finite");
        }
    }

    std::string Text() {
        const std::vector<uint8_t> bytes = script_.Bytes(script_.Read<uint8_t>());
        return {bytes.begin(), bytes.end()};
    }

    // A text buffer of exactly `size` bytes, so that a write past it is caught.
    intptr_t TextOut(int32_t opcode, int32_t index, intptr_t value, float opt, std::size_t size) {
        std::vector<char> buffer(size, '\x7f');
        const intptr_t answer = instance_.Dispatch(opcode, index, value, buffer.data(), opt);
        fuzz::Check(std::find(buffer.begin(), buffer.end(), '\0') != buffer.end() ||
                        std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == '\x7f'; }),
                    "a text answer is not terminated within its buffer");
        return answer;
    }

    void ProcessEvents() {
        const int count = script_.Read<uint8_t>() % 65;
        std::vector<VstMidiEvent> midi(static_cast<std::size_t>(count));
        std::vector<VstMidiSysexEvent> sysex(static_cast<std::size_t>(count));
        std::vector<std::vector<char>> dumps(static_cast<std::size_t>(count));
        std::vector<VstEvent> others(static_cast<std::size_t>(count));
        // VstEvents declares two pointers; the host allocates room for all of them.
        std::vector<unsigned char> storage(sizeof(VstEvents) + static_cast<std::size_t>(count) * sizeof(VstEvent*));
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = count;
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const int kind = script_.Read<uint8_t>() % 3;
            const auto delta = script_.Read<int32_t>();
            VstEvent* event = nullptr;
            if (kind == 0) {
                VstMidiEvent& m = midi[i];
                m = {};
                m.type = kVstMidiType;
                m.byteSize = sizeof m;
                m.deltaFrames = delta;
                for (int b = 0; b < 3; ++b) m.midiData[b] = static_cast<char>(script_.Read<uint8_t>());
                event = reinterpret_cast<VstEvent*>(&m);
            } else if (kind == 1) {
                const std::vector<uint8_t> bytes = script_.Bytes(script_.Read<uint8_t>());
                dumps[i].assign(bytes.begin(), bytes.end());
                VstMidiSysexEvent& s = sysex[i];
                s = {};
                s.type = kVstSysExType;
                s.byteSize = sizeof s;
                s.deltaFrames = delta;
                s.dumpBytes = static_cast<int32_t>(dumps[i].size());
                s.sysexDump = dumps[i].data();
                event = reinterpret_cast<VstEvent*>(&s);
            } else {
                VstEvent& e = others[i];
                e = {};
                e.type = 1000 + script_.Read<uint8_t>();
                e.byteSize = sizeof e;
                e.deltaFrames = delta;
                event = &e;
            }
            // Written past the two declared entries, into the room the list was given.
            std::memcpy(storage.data() + offsetof(VstEvents, events) + i * sizeof event, &event, sizeof event);
        }
        fuzz::Check(instance_.Dispatch(effProcessEvents, 0, 0, list) == 1, "effProcessEvents did not answer 1");
    }

    void Dispatch() {
        const int32_t opcode = script_.Read<uint8_t>();
        const auto index = script_.Read<int32_t>();
        const auto value = static_cast<intptr_t>(script_.Read<int64_t>());
        const auto opt = script_.Read<float>();
        switch (opcode) {
        case effClose:
            return;  // the run closes the instance itself
        case effSetProgramName:
        case effCanDo:
        case effString2Parameter: {
            const std::string text = Text();
            instance_.Dispatch(opcode, index, value, const_cast<char*>(text.c_str()), opt);
            return;
        }
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effGetProgramNameIndexed:
        case effVendorSpecific:
        case effGetVendorString:
        case effGetProductString:
            TextOut(opcode, index, value, opt, IPluginVst::kHostTextSize);
            return;
        case effGetEffectName:
            TextOut(opcode, index, value, opt, static_cast<std::size_t>(kMaxEffectNameLength));
            return;
        case effSetSampleRate:
            instance_.Dispatch(opcode, index, value, nullptr, fuzz::RateOf(script_.Read<uint32_t>()));
            return;
        case effSetBlockSize:
            blockSize_ = script_.Read<uint16_t>() % 8193;
            instance_.Dispatch(opcode, index, blockSize_, nullptr, opt);
            return;
        case effEditGetRect: {
            ERect* rect = nullptr;
            if (instance_.Dispatch(opcode, index, value, &rect, opt) != 0) fuzz::Check(rect != nullptr, "effEditGetRect gave no rectangle");
            return;
        }
        case effGetChunk: {
            void* data = nullptr;
            const intptr_t size = instance_.Dispatch(opcode, index, value, &data, opt);
            if (size <= 0) return;
            fuzz::Check(data != nullptr, "effGetChunk gave a size without data");
            // The whole chunk must be readable, and asking again without a change must give the same bytes.
            const auto* bytes = static_cast<const uint8_t*>(data);
            const std::vector<uint8_t> first(bytes, bytes + size);
            void* again = nullptr;
            const intptr_t againSize = instance_.Dispatch(opcode, index, value, &again, opt);
            fuzz::Check(againSize == size && again != nullptr &&
                            std::equal(first.begin(), first.end(), static_cast<const uint8_t*>(again)),
                        "effGetChunk asked twice gave different chunks");
            return;
        }
        case effSetChunk: {
            std::vector<uint8_t> bytes = script_.Bytes(script_.Read<uint16_t>());
            instance_.Dispatch(opcode, index, static_cast<intptr_t>(bytes.size()), bytes.data(), opt);
            return;
        }
        case effProcessEvents:
            ProcessEvents();
            return;
        case effGetInputProperties:
        case effGetOutputProperties: {
            VstPinProperties properties{};
            instance_.Dispatch(opcode, index, value, &properties, opt);
            return;
        }
        case effSetSpeakerArrangement: {
            VstSpeakerArrangement inputs{};
            VstSpeakerArrangement outputs{};
            inputs.numChannels = script_.Read<int32_t>();
            outputs.numChannels = script_.Read<int32_t>();
            instance_.Dispatch(opcode, index, reinterpret_cast<intptr_t>(&inputs), &outputs, opt);
            return;
        }
        case effGetSpeakerArrangement: {
            VstSpeakerArrangement* inputs = nullptr;
            VstSpeakerArrangement* outputs = nullptr;
            instance_.Dispatch(opcode, index, reinterpret_cast<intptr_t>(&inputs), &outputs, opt);
            return;
        }
        case effGetMidiKeyName: {
            MidiKeyName name{};
            instance_.Dispatch(opcode, index, value, &name, opt);
            return;
        }
        case effEditOpen:
            instance_.Dispatch(opcode, index, value, nullptr, opt);  // no window to open in
            return;
        default:
            // Opcodes without a pointer argument, and opcodes the instrument does not know.
            instance_.Dispatch(opcode, index, value, nullptr, opt);
            return;
        }
    }

    fuzz::Instance& instance_;
    ScriptReader& script_;
    int blockSize_ = 0;
    int rendered_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    ScriptReader script(data, size);
    fuzz::Instance instance;
    HostRun run(instance, script);
    run.Start();
    for (int step = 0; step < kMostSteps && !script.AtEnd(); ++step) run.Step();
    return 0;
}
