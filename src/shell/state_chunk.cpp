#include "shell/state_chunk.h"

#include <bit>

void StateChunk::PutInt32(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<uint8_t>(bits >> shift));
}

void StateChunk::PutDouble(double value) {
    const auto bits = std::bit_cast<uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8) bytes_.push_back(static_cast<uint8_t>(bits >> shift));
}

void StateChunk::PutString(std::string_view text) {
    PutInt32(static_cast<int32_t>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
}

void StateChunk::WriteHeader() {
    PutInt32(kHeaderMagic);
    PutInt32(kHeaderVersion);
}

int StateChunk::GetInt32(int position, int32_t& value) const {
    if (!Has(position, 4)) return -1;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | bytes_[static_cast<std::size_t>(position + i)];
    value = static_cast<int32_t>(bits);
    return position + 4;
}

int StateChunk::GetDouble(int position, double& value) const {
    if (!Has(position, 8)) return -1;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | bytes_[static_cast<std::size_t>(position + i)];
    value = std::bit_cast<double>(bits);
    return position + 8;
}

int StateChunk::GetByte(int position, uint8_t& value) const {
    if (!Has(position, 1)) return -1;
    value = bytes_[static_cast<std::size_t>(position)];
    return position + 1;
}

int StateChunk::GetString(int position, std::string& text, std::size_t maximumLength) const {
    int32_t length = 0;
    position = GetInt32(position, length);
    if (position < 0) return -1;
    text.clear();
    if (length <= 0) return position;
    if (!Has(position, length)) return -1;
    const auto* start = reinterpret_cast<const char*>(bytes_.data() + position);
    text.assign(start, std::min<std::size_t>(static_cast<std::size_t>(length), maximumLength));
    return position + length;
}
