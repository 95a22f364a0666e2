// Telling Wine from Windows, which decides how GDI is given plain ASCII text.
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include "editor/text/wine_detection.h"

TEST(WineDetection, AgreesWithWinesOwnNtdllExport) {
    // Wine's ntdll exports wine_get_version; Windows' does not.
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    ASSERT_NE(ntdll, nullptr);
    const bool hasWineExport = GetProcAddress(ntdll, "wine_get_version") != nullptr;
    EXPECT_EQ(RunningUnderWine(), hasWineExport);
    EXPECT_EQ(RunningUnderWine(), RunningUnderWine());
}
