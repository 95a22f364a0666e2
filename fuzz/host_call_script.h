// The byte form of a sequence of host calls, read by the host-calls fuzzer
// and written by the corpus generator. Numbers are little-endian; a script
// that ends early reads as zeros, so every byte string is a script.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

// What one step of a script does; each is followed by its own arguments.
enum class HostCall : uint8_t {
    Dispatch,             // u8 opcode, i32 index, i64 value, f32 opt, then the opcode's own data
    SetParameter,         // i32 index, f32 value
    GetParameter,         // i32 index
    ProcessReplacing,     // u16 frames (taken modulo the block size)
    ProcessAccumulating,  // u16 frames
    ProcessDouble,        // u16 frames
    Count,
};

// Data some opcodes take instead of raw arguments:
//   texts in (program name, canDo, string to parameter): u8 length, bytes;
//   effSetChunk: u16 length, bytes (value is the length);
//   effProcessEvents: u8 count, then per event u8 kind (0 MIDI, 1 sysex, 2 other),
//     i32 delta frames, 3 MIDI bytes or u8 sysex length and bytes;
//   effSetSpeakerArrangement: i32 input channels, i32 output channels;
//   effSetSampleRate: u32 read as a rate of 8 to 384 kHz;
//   effSetBlockSize: u16 block size 0..8192.
// A script starts with a u8 sample-rate choice and a u16 block size for the
// host's usual start (open, rate, block size, resume).

class ScriptReader {
public:
    ScriptReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return at_ >= size_; }

    template <typename Number>
    Number Read() {
        unsigned char bytes[sizeof(Number)] = {};
        for (std::size_t i = 0; i < sizeof(Number) && at_ < size_; ++i) bytes[i] = data_[at_++];
        Number value{};
        std::memcpy(&value, bytes, sizeof value);  // little-endian machines only, as the plug-in
        return value;
    }

    std::vector<uint8_t> Bytes(std::size_t count) {
        count = std::min(count, size_ - std::min(at_, size_));
        std::vector<uint8_t> bytes(data_ + at_, data_ + at_ + count);
        at_ += count;
        return bytes;
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class ScriptWriter {
public:
    template <typename Number>
    ScriptWriter& Put(Number value) {
        unsigned char bytes[sizeof(Number)];
        std::memcpy(bytes, &value, sizeof value);
        bytes_.insert(bytes_.end(), bytes, bytes + sizeof bytes);
        return *this;
    }
    ScriptWriter& Call(HostCall call) { return Put(static_cast<uint8_t>(call)); }
    ScriptWriter& Dispatch(int32_t opcode, int32_t index = 0, int64_t value = 0, float opt = 0.0f) {
        return Call(HostCall::Dispatch).Put(static_cast<uint8_t>(opcode)).Put(index).Put(value).Put(opt);
    }
    ScriptWriter& Text(std::string_view text) {
        Put(static_cast<uint8_t>(text.size()));
        bytes_.insert(bytes_.end(), text.begin(), text.end());
        return *this;
    }
    ScriptWriter& Raw(const std::vector<uint8_t>& bytes) {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
        return *this;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

// Sample rates a script's start chooses from.
inline constexpr float kStartRates[] = {44100.0f, 48000.0f, 22050.0f, 88200.0f, 96000.0f, 192000.0f, 8000.0f, 32000.0f};

// The rate a u32 of a sample-rate call stands for: 8 kHz to 384 kHz.
inline float RateOf(uint32_t bits) { return 8000.0f + static_cast<float>(bits % 376001u); }

}  // namespace fuzz
