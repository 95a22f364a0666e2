// What the module's entry point does: one new instance, built under a
// process-wide lock, handed to the host as its AEffect record.
#include <memory>
#include <mutex>

#include "shell/plugin_vst.h"

namespace {

std::mutex& ConstructionMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

vst2::AEffect* InstantiateEffect(vst2::HostCallback host) {
    try {
        std::lock_guard lock(ConstructionMutex());
        std::unique_ptr<IPluginVst> plugin(CreatePlugin(host));
        plugin->FillEmptyPrograms("Empty", plugin->ProgramCount());
        return plugin.release()->Effect();
    } catch (...) {
        return nullptr;  // no instance, and no exception for the host
    }
}
