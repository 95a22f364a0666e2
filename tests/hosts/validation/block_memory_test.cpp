// Hosts choose their block size, some very large (offline renders ask for
// 65,536 frames). The instance renders in passes of a fixed length, so the
// memory it holds is the same for every block size it is given.
#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "hosts/validation/validation_support.h"

using namespace vst2;
using namespace validation;

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kHeapIsCounted = false;  // the sanitizers' allocators keep their own books
#elif defined(__GLIBC__)
constexpr bool kHeapIsCounted = true;
#else
constexpr bool kHeapIsCounted = false;
#endif

// Bytes the C library's allocator has handed out and not had back.
std::int64_t HeapInUse() {
#if defined(__GLIBC__)
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
#else
    return 0;
#endif
}

// What an instance set up for blocks of `blockSize` frames, with one full
// block of notes rendered, holds on the heap.
std::int64_t InstanceFootprint(int blockSize) {
    const std::int64_t before = HeapInUse();
    auto host = std::make_unique<VstTestHost>();
    host->Start(44100.0, blockSize);
    host->SendMidi({{0, 0x90, 36, 120}, {1, 0x90, 48, 100}});
    host->ProcessFloat(blockSize);
    host->ProcessDouble(blockSize);
    // The rendered blocks are the host's and gone by now; the instance's own memory is not.
    const std::int64_t footprint = HeapInUse() - before;
    host.reset();
    return footprint;
}

}  // namespace

TEST(HostBlockSize, MemoryIsTheSameForEveryBlockSize) {
    if (!kHeapIsCounted) GTEST_SKIP() << "the heap in use is read from glibc's allocator";
    InstanceFootprint(512);  // the first load of the module in the process also sets up the C library's own state
    const std::int64_t at512 = InstanceFootprint(512);
    const std::int64_t at65536 = InstanceFootprint(65536);
    std::printf("instance heap: %lld bytes at 512 frames, %lld bytes at 65536 frames\n", static_cast<long long>(at512),
                static_cast<long long>(at65536));
    EXPECT_GT(at512, 0);
    // A few kilobytes of allocator rounding and bookkeeping, never buffers sized by the block.
    EXPECT_LT(at65536 - at512, 64 * 1024);
    EXPECT_LT(at512 - at65536, 64 * 1024);
}

TEST(HostBlockSize, ALargerBlockSizeAfterTheStartAllocatesNothing) {
    if (!kHeapIsCounted) GTEST_SKIP() << "the heap in use is read from glibc's allocator";
    VstTestHost host;
    host.Start(44100.0, 512);
    host.ProcessFloat(512);
    const std::int64_t before = HeapInUse();
    host.Reconfigure(44100.0, 65536);
    EXPECT_LT(HeapInUse() - before, 4 * 1024) << "the new block size takes no memory of its own";
    // And blocks of that size still sound.
    host.SendMidi({{40000, 0x90, 36, 120}});
    const auto out = host.ProcessFloat(65536);
    double peak = 0.0;
    for (std::size_t i = 40000; i < out[0].size(); ++i) peak = std::max(peak, static_cast<double>(std::abs(out[0][i])));
    EXPECT_GT(peak, 0.01);
}
