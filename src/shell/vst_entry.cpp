// The module's two exported entry points. A host calls one of them once per
// instance; construction is serialised across the process.
#include <mutex>

#include "shell/plugin_vst.h"

#if defined(_WIN32)
#define DUNEROW_EXPORT __declspec(dllexport)
#else
#define DUNEROW_EXPORT __attribute__((visibility("default")))
#endif

namespace {

std::mutex& ConstructionMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

extern "C" DUNEROW_EXPORT vst2::AEffect* VSTPluginMain(vst2::HostCallback host) {
    try {
        std::lock_guard lock(ConstructionMutex());
        IPluginVst* plugin = CreatePlugin(host);
        plugin->FillEmptyPrograms("Empty", plugin->ProgramCount());
        return plugin->Effect();
    } catch (...) {
        return nullptr;  // no instance, and no exception for the host
    }
}

// Older hosts look for "main"; C++ reserves that name, so the symbol is set by its assembler label.
extern "C" DUNEROW_EXPORT vst2::AEffect* LegacyVstMain(vst2::HostCallback host) __asm__("main");
extern "C" vst2::AEffect* LegacyVstMain(vst2::HostCallback host) { return VSTPluginMain(host); }
