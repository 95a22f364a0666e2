// Windows: whether this process runs under Wine rather than Windows.
#pragma once

// True when HKEY_LOCAL_MACHINE\Software\Wine exists; looked up once.
bool RunningUnderWine();
