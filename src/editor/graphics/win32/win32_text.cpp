#include "editor/graphics/win32/win32_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>

std::wstring Utf8ToUtf16(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) return {};
    const int bytes = static_cast<int>(utf8.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
    if (needed <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    const int written = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide.data(), needed);
    wide.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return wide;
}

std::string Utf16ToUtf8(std::wstring_view utf16) {
    if (utf16.empty() || utf16.size() > INT_MAX) return {};
    const int units = static_cast<int>(utf16.size());
    const int needed = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), units, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    const int written = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), units, narrow.data(), needed, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return narrow;
}
