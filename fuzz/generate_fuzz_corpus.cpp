// Writes the seed corpora of the fuzz programs from a real instance: state
// chunks, program files and program texts of factory programs, raw and WAV
// user waveforms, and a few host-call scripts. Run by hand when an input
// format changes:  build/fuzz/fuzz/generate_fuzz_corpus fuzz/corpus
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <filesystem>
#include <numbers>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "host_call_script.h"
#include "instrument/dunerow.h"
#include "instrument/parameter_table.h"

namespace {

using fuzz::HostCall;
using fuzz::ScriptWriter;
using namespace vst2;
namespace fs = std::filesystem;

void Write(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    fuzz::WriteFile(path, bytes.data(), bytes.size());
}

std::vector<uint8_t> Prefixed(uint8_t first, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> result{first};
    result.insert(result.end(), bytes.begin(), bytes.end());
    return result;
}

void StateChunks(const fs::path& folder) {
    fuzz::Instance instance;
    instance.Dispatch(effSetProgram, 0, 12);
    const std::vector<uint8_t> program = instance.Chunk(true);
    Write(folder / "program_chunk", Prefixed(1, program));
    Write(folder / "program_chunk_without_header", Prefixed(1, {program.begin() + StateChunk::kHeaderSize, program.end()}));

    // A whole bank is over 100 KB; this one keeps three programs and leaves
    // the other slots empty, which the bank form allows.
    StateChunk bank;
    bank.WriteHeader();
    for (int slot = 0; slot < instance.Plugin().ProgramCount(); ++slot) {
        const ProgramSlot* stored = instance.Plugin().GetProgram(slot);
        const bool kept = slot < 3;
        bank.PutString(stored->name.View());
        bank.PutByte(kept ? 1 : 0);
        if (kept) bank.PutBytes(stored->state.Bytes());
    }
    Write(folder / "bank_chunk_three_programs", Prefixed(0, {bank.Data(), bank.Data() + bank.Size()}));

    // A bank request with chunk version 0 is read as a program.
    std::vector<uint8_t> old = program;
    for (int i = 4; i < 8; ++i) old[static_cast<std::size_t>(i)] = 0;
    Write(folder / "bank_request_version_0", Prefixed(0, old));
}

void ProgramFiles(const fs::path& folder) {
    fuzz::Instance instance;
    for (int program : {0, 20, 57}) {
        instance.Dispatch(effSetProgram, 0, program);
        Write(folder / ("program_" + std::to_string(program) + ".fxp"), instance.Plugin().ProgramFileImage());
    }
}

void ProgramTexts(const fs::path& folder) {
    fuzz::Instance instance;
    auto& dunerow = static_cast<Dunerow&>(instance.Plugin());
    fs::create_directories(folder);
    for (int program : {0, 33, 90}) {
        instance.Dispatch(effSetProgram, 0, program);
        if (!dunerow.SaveProgramText(folder / ("program_" + std::to_string(program) + ".txt"))) fuzz::Fail("cannot save a program text");
    }
}

void PutLittleEndian(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 16-bit PCM WAV image of one cycle of a bright wave, with an optional
// chunk before the data, as editors write them.
std::vector<uint8_t> Wav(int channels, int frames, bool extraChunk) {
    std::vector<uint8_t> data;
    for (int frame = 0; frame < frames; ++frame) {
        const double x = static_cast<double>(frame) / frames;
        for (int channel = 0; channel < channels; ++channel) {
            const double sample = std::sin(2.0 * std::numbers::pi * x * (channel + 1)) * 0.8;
            PutLittleEndian(data, static_cast<uint16_t>(static_cast<int16_t>(std::lround(sample * 32767.0))), 2);
        }
    }
    std::vector<uint8_t> bytes{'R', 'I', 'F', 'F'};
    const uint32_t extraSize = extraChunk ? 8 + 6 : 0;
    PutLittleEndian(bytes, static_cast<uint32_t>(4 + 24 + extraSize + 8 + data.size()), 4);
    for (char c : std::string("WAVEfmt ")) bytes.push_back(static_cast<uint8_t>(c));
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2);  // PCM
    PutLittleEndian(bytes, static_cast<uint32_t>(channels), 2);
    PutLittleEndian(bytes, 44100, 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(44100 * 2 * channels), 4);
    PutLittleEndian(bytes, static_cast<uint32_t>(2 * channels), 2);
    PutLittleEndian(bytes, 16, 2);
    if (extraChunk) {
        for (char c : std::string("LIST")) bytes.push_back(static_cast<uint8_t>(c));
        PutLittleEndian(bytes, 6, 4);
        for (char c : std::string("INFOab")) bytes.push_back(static_cast<uint8_t>(c));
    }
    for (char c : std::string("data")) bytes.push_back(static_cast<uint8_t>(c));
    PutLittleEndian(bytes, static_cast<uint32_t>(data.size()), 4);
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<uint8_t> Raw(int samples) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < samples; ++i) {
        const double x = static_cast<double>(i) / samples;
        const double sample = std::sin(2.0 * std::numbers::pi * x) + 0.3 * std::sin(6.0 * std::numbers::pi * x);
        uint64_t bits = 0;
        std::memcpy(&bits, &sample, sizeof bits);
        for (int b = 0; b < 8; ++b) bytes.push_back(static_cast<uint8_t>(bits >> (8 * b)));
    }
    return bytes;
}

void UserWaveforms(const fs::path& folder) {
    Write(folder / "raw_full_table", Prefixed(0, Raw(4096)));
    Write(folder / "raw_short", Prefixed(0, Raw(200)));
    Write(folder / "wav_mono", Prefixed(1, Wav(1, 600, false)));
    Write(folder / "wav_stereo_with_list_chunk", Prefixed(1, Wav(2, 300, true)));
}

ScriptWriter Started(uint8_t rate, uint16_t blockSize) {
    ScriptWriter script;
    script.Put(rate).Put(blockSize);
    return script;
}

ScriptWriter& Notes(ScriptWriter& script, std::initializer_list<std::array<uint8_t, 3>> messages, int32_t delta) {
    script.Dispatch(effProcessEvents).Put(static_cast<uint8_t>(messages.size()));
    for (const auto& message : messages) script.Put(uint8_t{0}).Put(delta).Put(message[0]).Put(message[1]).Put(message[2]);
    return script;
}

void HostCalls(const fs::path& folder) {
    {  // A kick through each audio callback.
        ScriptWriter script = Started(0, 512);
        Notes(script, {{0x90, 36, 120}}, 10);
        script.Call(HostCall::ProcessReplacing).Put(uint16_t{511});
        script.Call(HostCall::ProcessDouble).Put(uint16_t{255});
        Notes(script, {{0x80, 36, 0}}, 3);
        script.Call(HostCall::ProcessAccumulating).Put(uint16_t{511});
        Write(folder / "note_through_each_callback", script.Bytes());
    }
    {  // Parameters set, read and shown, then a note with them.
        ScriptWriter script = Started(1, 256);
        for (int32_t index : {param::OscWaveform1, param::DistortionType, param::FilterCutoff, param::Volume}) {
            script.Call(HostCall::SetParameter).Put(index).Put(0.7f);
            script.Call(HostCall::GetParameter).Put(index);
            script.Dispatch(effGetParamDisplay, index).Dispatch(effGetParamName, index).Dispatch(effGetParamLabel, index);
        }
        script.Dispatch(effString2Parameter, param::Distortion).Text("0.25");
        script.Dispatch(effVendorSpecific, 7, param::Quantization, 0.5f);
        Notes(script, {{0x90, 40, 100}, {0x90, 47, 90}}, 0);
        script.Call(HostCall::ProcessReplacing).Put(uint16_t{255});
        Write(folder / "parameters_and_texts", script.Bytes());
    }
    {  // Programs, names and chunks.
        ScriptWriter script = Started(0, 128);
        script.Dispatch(effSetProgram, 0, 17).Dispatch(effGetProgram).Dispatch(effGetProgramName);
        script.Dispatch(effSetProgramName).Text("Renamed kick");
        script.Dispatch(effGetProgramNameIndexed, 64);
        script.Dispatch(effGetChunk, 1).Dispatch(effGetChunk, 0);
        fuzz::Instance instance;
        const std::vector<uint8_t> chunk = instance.Chunk(true);
        script.Dispatch(effSetChunk, 1).Put(static_cast<uint16_t>(chunk.size())).Raw(chunk);
        Notes(script, {{0x90, 36, 127}}, 0);
        script.Call(HostCall::ProcessDouble).Put(uint16_t{127});
        Write(folder / "programs_and_chunks", script.Bytes());
    }
    {  // What a host asks while scanning, and a change of rate and block size while a note sounds.
        ScriptWriter script = Started(4, 64);
        script.Dispatch(effGetEffectName).Dispatch(effGetVendorString).Dispatch(effGetProductString);
        script.Dispatch(effCanDo).Text("receiveVstMidiEvent");
        script.Dispatch(effGetOutputProperties, 0).Dispatch(effGetInputProperties, 0);
        script.Dispatch(effSetSpeakerArrangement).Put(int32_t{0}).Put(int32_t{2});
        script.Dispatch(effGetSpeakerArrangement).Dispatch(effEditGetRect).Dispatch(effGetMidiKeyName, 0, 36);
        Notes(script, {{0x90, 30, 127}}, 5);
        script.Call(HostCall::ProcessReplacing).Put(uint16_t{63});
        script.Dispatch(effMainsChanged, 0, 0).Dispatch(effSetSampleRate).Put(uint32_t{40000});
        script.Dispatch(effSetBlockSize).Put(uint16_t{1024}).Dispatch(effMainsChanged, 0, 1);
        script.Call(HostCall::ProcessReplacing).Put(uint16_t{1023});
        Write(folder / "scan_and_restart", script.Bytes());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS-FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path corpus = argv[1];
    StateChunks(corpus / "state_chunk_fuzzer");
    ProgramFiles(corpus / "fxp_fuzzer");
    ProgramTexts(corpus / "program_text_fuzzer");
    UserWaveforms(corpus / "user_waveform_fuzzer");
    HostCalls(corpus / "host_calls_fuzzer");
    return 0;
}
