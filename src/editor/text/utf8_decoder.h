// Reading UTF-8 text one code point at a time, tolerating malformed bytes.
#pragma once

#include <cstddef>
#include <string_view>

// Drawn in place of every malformed sequence.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at text[pos], pos moved past it. A malformed
// sequence (stray or overlong bytes, surrogates, values beyond U+10FFFF, a
// sequence cut short) gives one replacement character for its longest valid
// beginning, and at least one byte is consumed. Reads only inside `text`;
// pos must be below text.size().
char32_t NextCodePoint(std::string_view text, std::size_t& pos);
