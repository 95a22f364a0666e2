// Fixed-size, always terminated text fields, and bounded copies into
// caller buffers: names from hosts, files and programs are cut, never overflowed.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

// Copies as much of `source` as fits into `destination` and terminates it.
// Returns the number of characters copied; an empty destination is left alone.
inline std::size_t CopyBounded(std::span<char> destination, std::string_view source) {
    if (destination.empty()) return 0;
    const std::size_t count = std::min(source.size(), destination.size() - 1);
    std::copy_n(source.data(), count, destination.data());
    destination[count] = '\0';
    return count;
}

// A text of at most Size - 1 characters stored inline.
template <std::size_t Size>
class BoundedText {
    static_assert(Size > 0);

public:
    static constexpr std::size_t kCapacity = Size - 1;

    BoundedText() = default;
    explicit BoundedText(std::string_view text) { Assign(text); }

    // Stores `text`, cut to the capacity, and stops at an embedded NUL.
    void Assign(std::string_view text) {
        const std::size_t end = text.find('\0');
        if (end != std::string_view::npos) text = text.substr(0, end);
        length_ = CopyBounded(chars_, text);
    }
    BoundedText& operator=(std::string_view text) {
        Assign(text);
        return *this;
    }

    std::string_view View() const { return {chars_.data(), length_}; }
    const char* CStr() const { return chars_.data(); }
    std::size_t Length() const { return length_; }
    bool Empty() const { return length_ == 0; }

    friend bool operator==(const BoundedText& a, std::string_view b) { return a.View() == b; }

private:
    std::array<char, Size> chars_{};
    std::size_t length_ = 0;
};
