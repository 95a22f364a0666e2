#include "editor/text/wine_detection.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

bool RunningUnderWine() {
    static const bool underWine = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Wine", 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }();
    return underWine;
}
