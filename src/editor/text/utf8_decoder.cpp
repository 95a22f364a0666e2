#include "editor/text/utf8_decoder.h"

char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    if (pos >= text.size()) return kReplacementCharacter;
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80) return lead;

    // Lead bytes C0, C1 and F5..FF never start a well-formed sequence; the
    // tighter bounds on the first continuation byte rule out overlong forms,
    // surrogates and values beyond U+10FFFF.
    int continuation = 0;
    char32_t value = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuation = 1;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuation = 2;
        value = lead & 0x0Fu;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuation = 3;
        value = lead & 0x07u;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return kReplacementCharacter;
    }

    for (int i = 0; i < continuation; ++i) {
        if (pos >= text.size()) return kReplacementCharacter;
        const auto next = static_cast<unsigned char>(text[pos]);
        if (next < low || next > high) return kReplacementCharacter;
        value = (value << 6) | (next & 0x3Fu);
        ++pos;
        low = 0x80;
        high = 0xBF;
    }
    return value;
}

void AppendUtf8(std::string& text, char32_t c) {
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

int Utf8CharacterCount(std::string_view text) {
    int count = 0;
    for (const char byte : text) count += IsUtf8Continuation(byte) ? 0 : 1;
    return count;
}

std::string_view CutUtf8(std::string_view text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && IsUtf8Continuation(text[end])) --end;
    return text.substr(0, end);
}
