// Program files (.fxp): the bytes of a file, loaded as the instrument loads
// a file's contents into the current program. A refused file must change
// nothing a host can read; an accepted one, saved again, must load back and
// save to the same bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> file(data, data + size);  // exactly the file's size, so reads past it are caught

    fuzz::SharedInstance& shared = fuzz::SharedInstance::Get();
    fuzz::Instance& instance = shared.Fresh();
    shared.WillChange(fuzz::SharedInstance::Scope::CurrentProgram);
    IPluginVst& plugin = instance.Plugin();
    if (!plugin.LoadProgramImage(file)) {
        fuzz::Check(instance.Take() == shared.Baseline(), "a refused program file changed the instance");
        shared.Unchanged();
        return 0;
    }

    const std::vector<uint8_t> saved = plugin.ProgramFileImage();
    fuzz::Check(plugin.LoadProgramImage(saved), "the instance refused its own program file");
    fuzz::Check(plugin.ProgramFileImage() == saved, "a program file read back saves differently");
    return 0;
}
