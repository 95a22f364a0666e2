// The module's two exported entry points. A host calls one of them once per
// instance; construction is serialised across the process.
#include "shell/plugin_vst.h"

#if defined(_WIN32)
#define DUNEROW_EXPORT __declspec(dllexport)
#else
#define DUNEROW_EXPORT __attribute__((visibility("default")))
#endif

extern "C" DUNEROW_EXPORT vst2::AEffect* VSTPluginMain(vst2::HostCallback host) { return InstantiateEffect(host); }

// Older hosts look for "main"; C++ reserves that name, so the symbol is set by its assembler label.
extern "C" DUNEROW_EXPORT vst2::AEffect* LegacyVstMain(vst2::HostCallback host) __asm__("main");
extern "C" vst2::AEffect* LegacyVstMain(vst2::HostCallback host) { return VSTPluginMain(host); }
