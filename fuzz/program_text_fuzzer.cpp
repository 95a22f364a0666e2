// Program text files, loaded through the instrument's own load (which reads
// a file, so the input is written to a scratch file first). A refused file
// must change nothing a host can read; an accepted one, saved again, must
// load back and save to the same text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "instrument/dunerow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::filesystem::path input = fuzz::ScratchFolder() / "input.txt";
    const std::filesystem::path saved = fuzz::ScratchFolder() / "saved.txt";
    const std::filesystem::path resaved = fuzz::ScratchFolder() / "resaved.txt";
    fuzz::WriteFile(input, data, size);

    fuzz::SharedInstance& shared = fuzz::SharedInstance::Get();
    fuzz::Instance& instance = shared.Fresh();
    shared.WillChange(fuzz::SharedInstance::Scope::CurrentProgram);
    auto& dunerow = static_cast<Dunerow&>(instance.Plugin());
    if (!dunerow.LoadProgramText(input)) {
        fuzz::Check(instance.Take() == shared.Baseline(), "a refused program text changed the instance");
        shared.Unchanged();
        return 0;
    }

    fuzz::Check(dunerow.SaveProgramText(saved), "the instance could not save its program text");
    fuzz::Check(dunerow.LoadProgramText(saved), "the instance refused its own program text");
    fuzz::Check(dunerow.SaveProgramText(resaved), "the instance could not save its program text again");
    fuzz::Check(fuzz::ReadFile(saved) == fuzz::ReadFile(resaved), "a program text read back saves differently");
    return 0;
}
