// A growable little-endian byte buffer for the host's state chunks. Reads
// are bounds-checked: each returns the position after what it read, or -1
// when the data ends too early (a negative position reads nothing).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class StateChunk {
public:
    static constexpr int32_t kHeaderMagic = 0x70666674;
    static constexpr int32_t kHeaderVersion = 0x00010000;
    static constexpr int kHeaderSize = 8;

    void Clear() { bytes_.clear(); }
    void Assign(std::span<const uint8_t> bytes) { bytes_.assign(bytes.begin(), bytes.end()); }
    int Size() const { return static_cast<int>(bytes_.size()); }
    const uint8_t* Data() const { return bytes_.data(); }
    std::span<const uint8_t> Bytes() const { return bytes_; }

    void PutInt32(int32_t value);
    void PutDouble(double value);
    void PutByte(uint8_t value) { bytes_.push_back(value); }
    void PutBytes(std::span<const uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
    // Length as a 32-bit integer, then the characters without terminator.
    void PutString(std::string_view text);
    // The magic word and the chunk version.
    void WriteHeader();

    int GetInt32(int position, int32_t& value) const;
    int GetDouble(int position, double& value) const;
    int GetByte(int position, uint8_t& value) const;
    // A length of zero or less reads as an empty text; at most `maximumLength` characters are kept.
    int GetString(int position, std::string& text, std::size_t maximumLength) const;

private:
    bool Has(int position, int count) const {
        return position >= 0 && count >= 0 && static_cast<std::size_t>(position) + static_cast<std::size_t>(count) <= bytes_.size();
    }

    std::vector<uint8_t> bytes_;
};
