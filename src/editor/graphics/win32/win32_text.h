// Text between the editor (UTF-8) and the Win32 wide-character calls (UTF-16).
#pragma once

#include <string>
#include <string_view>

// UTF-16 of UTF-8 text; malformed bytes become replacement characters.
std::wstring Utf8ToUtf16(std::string_view utf8);
// UTF-8 of UTF-16 text; unpaired surrogates become replacement characters.
std::string Utf16ToUtf8(std::wstring_view utf16);
