// Reading UTF-8 text one code point at a time, tolerating malformed bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Drawn in place of every malformed sequence.
constexpr char32_t kReplacementCharacter = 0xFFFD;

// The code point starting at text[pos], pos moved past it. A malformed
// sequence (stray or overlong bytes, surrogates, values beyond U+10FFFF, a
// sequence cut short) gives one replacement character for its longest valid
// beginning, and at least one byte is consumed. Reads only inside `text`;
// pos must be below text.size().
char32_t NextCodePoint(std::string_view text, std::size_t& pos);

// Whether a byte continues a character rather than starting one.
constexpr bool IsUtf8Continuation(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }
// Appends one code point, encoded.
void AppendUtf8(std::string& text, char32_t codePoint);
// Characters (not bytes) in the text.
int Utf8CharacterCount(std::string_view text);
// At most `bytes` bytes of the text, never cutting a character in two.
std::string_view CutUtf8(std::string_view text, std::size_t bytes);
