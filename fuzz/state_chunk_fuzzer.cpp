// Host state chunks (effSetChunk), program and bank requests, through the
// module's dispatcher. The first byte picks the request; the rest is the
// chunk. A refused chunk must leave everything a host can read unchanged; an
// accepted one must come back from get-chunk in a form that reads back to the
// same bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool program = (data[0] & 1) != 0;
    const std::vector<uint8_t> chunk(data + 1, data + size);

    fuzz::SharedInstance& shared = fuzz::SharedInstance::Get();
    fuzz::Instance& instance = shared.Fresh();
    // A program request changes the live values and the current slot; a bank request may change any slot.
    shared.WillChange(program ? fuzz::SharedInstance::Scope::CurrentProgram : fuzz::SharedInstance::Scope::Bank);
    if (!instance.SetChunk(chunk, program)) {
        fuzz::Check(instance.Take() == shared.Baseline(), "a refused chunk changed the instance");
        shared.Unchanged();
        return 0;
    }

    const std::vector<uint8_t> saved = instance.Chunk(program);
    fuzz::Check(instance.SetChunk(saved, program), "the instance refused its own chunk");
    fuzz::Check(instance.Chunk(program) == saved, "a chunk read back differs from the one saved");
    return 0;
}
