// What the audio callbacks ask of the system: no heap memory and no lock
// but the plug-in's own mutex. This program replaces malloc, free and the
// pthread lock functions with counting ones; the loaded module binds to them
// because an executable's symbols come first. Only the calls made on the
// audio thread while a callback runs are counted.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "hosts/validation/validation_support.h"

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* memory);
}

namespace {

// Set on the thread that is inside an audio callback.
thread_local bool insideCallback = false;

constexpr std::size_t kMaxLocks = 64;

struct CallbackRecord {
    long allocations = 0;
    long frees = 0;
    long rwlocks = 0;
    long mutexLocks = 0;
    std::size_t mutexCount = 0;
    std::array<const void*, kMaxLocks> mutexes{};  // distinct addresses, in order of first use

    void Lock(const void* mutex) {
        ++mutexLocks;
        for (std::size_t i = 0; i < mutexCount; ++i) {
            if (mutexes[i] == mutex) return;
        }
        if (mutexCount < kMaxLocks) mutexes[mutexCount++] = mutex;
    }
};

// Written only by the thread inside a callback; read after it returned.
CallbackRecord record;

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

void* malloc(std::size_t size) {
    if (insideCallback) ++record.allocations;
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    if (insideCallback) ++record.allocations;
    return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) {
    if (insideCallback) ++record.allocations;
    return __libc_realloc(memory, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
    if (insideCallback) ++record.allocations;
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** memory, std::size_t alignment, std::size_t size) {
    if (insideCallback) ++record.allocations;
    *memory = __libc_memalign(alignment, size);
    return *memory != nullptr ? 0 : ENOMEM;
}
void free(void* memory) {
    if (insideCallback && memory != nullptr) ++record.frees;
    __libc_free(memory);
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_lock");
    if (insideCallback) record.Lock(mutex);
    return next(mutex);
}
int pthread_mutex_trylock(pthread_mutex_t* mutex) {
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_trylock");
    if (insideCallback) record.Lock(mutex);
    return next(mutex);
}
int pthread_mutex_timedlock(pthread_mutex_t* mutex, const struct timespec* until) {
    static const auto next = Next<int (*)(pthread_mutex_t*, const struct timespec*)>("pthread_mutex_timedlock");
    if (insideCallback) record.Lock(mutex);
    return next(mutex, until);
}
int pthread_rwlock_rdlock(pthread_rwlock_t* lock) {
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_rdlock");
    if (insideCallback) ++record.rwlocks;
    return next(lock);
}
int pthread_rwlock_wrlock(pthread_rwlock_t* lock) {
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_wrlock");
    if (insideCallback) ++record.rwlocks;
    return next(lock);
}
int pthread_rwlock_tryrdlock(pthread_rwlock_t* lock) {
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_tryrdlock");
    if (insideCallback) ++record.rwlocks;
    return next(lock);
}
int pthread_rwlock_trywrlock(pthread_rwlock_t* lock) {
    static const auto next = Next<int (*)(pthread_rwlock_t*)>("pthread_rwlock_trywrlock");
    if (insideCallback) ++record.rwlocks;
    return next(lock);
}

}  // extern "C"

namespace {

// Runs `call` as the audio thread of a host runs a callback, and returns what it did.
template <typename Call>
CallbackRecord Counted(Call&& call) {
    record = CallbackRecord{};
    insideCallback = true;
    call();
    insideCallback = false;
    return record;
}

// MIDI events built before the callbacks, so that the host itself allocates nothing in them.
struct EventBlock {
    std::vector<vst2::VstMidiEvent> events;
    std::vector<unsigned char> storage;

    vst2::VstEvents* Fill(std::mt19937& random, int frames, int count) {
        events.assign(static_cast<std::size_t>(count), vst2::VstMidiEvent{});
        storage.assign(sizeof(vst2::VstEvents) + static_cast<std::size_t>(count) * sizeof(void*), 0);
        auto* list = reinterpret_cast<vst2::VstEvents*>(storage.data());
        list->numEvents = count;
        for (int i = 0; i < count; ++i) {
            vst2::VstMidiEvent& event = events[static_cast<std::size_t>(i)];
            event.type = vst2::kVstMidiType;
            event.byteSize = sizeof event;
            event.deltaFrames = static_cast<int32_t>(random() % static_cast<uint32_t>(frames));
            event.midiData[0] = static_cast<char>(random() % 2 == 0 ? 0x90 : 0x80);
            event.midiData[1] = static_cast<char>(24 + random() % 72);
            event.midiData[2] = static_cast<char>(1 + random() % 127);
            list->events[i] = reinterpret_cast<vst2::VstEvent*>(&event);
        }
        return list;
    }
};

}  // namespace

TEST(AudioThreadLocks, CallbacksTakeOnlyThePluginMutexAndAllocateNothing) {
    using namespace vst2;
    VstTestHost host;
    constexpr int kFrames = 512;
    host.Start(44100.0, kFrames);
    AEffect& effect = host.Effect();

    // The plug-in mutex: the one lock a plain dispatcher query takes.
    const CallbackRecord query = Counted([&] { effect.dispatcher(&effect, effGetProgram, 0, 0, nullptr, 0.0f); });
    ASSERT_EQ(query.mutexCount, 1u) << "the counting lock functions are not the ones the module calls";
    const void* pluginMutex = query.mutexes[0];
    // A first bank chunk is written into a new buffer: the module's allocations are seen too.
    void* chunk = nullptr;
    const CallbackRecord save = Counted([&] { effect.dispatcher(&effect, effGetChunk, 0, 0, &chunk, 0.0f); });
    ASSERT_GT(save.allocations, 0) << "the counting allocation functions are not the ones the module calls";

    std::vector<float> left(kFrames), right(kFrames);
    std::vector<double> leftDouble(kFrames), rightDouble(kFrames);
    float* floats[2] = {left.data(), right.data()};
    double* doubles[2] = {leftDouble.data(), rightDouble.data()};
    std::mt19937 random(1234u);
    std::uniform_real_distribution<float> value(0.0f, 1.0f);
    EventBlock events;

    long allocations = 0, frees = 0, rwlocks = 0, foreignLocks = 0, pluginLocks = 0;
    std::set<const void*> foreign;
    auto tally = [&](const CallbackRecord& r) {
        allocations += r.allocations;
        frees += r.frees;
        rwlocks += r.rwlocks;
        for (std::size_t i = 0; i < r.mutexCount; ++i) {
            if (r.mutexes[i] != pluginMutex) foreign.insert(r.mutexes[i]);
        }
        pluginLocks += r.mutexLocks;
    };
    for (int block = 0; block < 600; ++block) {
        // Between callbacks, as a host's other threads would: automation and program changes.
        for (int i = 0; i < 6; ++i) host.SetParameter(static_cast<int>(random() % 109), value(random));
        if (block % 50 == 0) effect.dispatcher(&effect, effSetProgram, 0, static_cast<intptr_t>(random() % 128), nullptr, 0.0f);
        VstEvents* list = events.Fill(random, kFrames, 1 + static_cast<int>(random() % 24));

        tally(Counted([&] { effect.dispatcher(&effect, effProcessEvents, 0, 0, list, 0.0f); }));
        switch (block % 3) {
        case 0:
            tally(Counted([&] { effect.processReplacing(&effect, nullptr, floats, kFrames); }));
            break;
        case 1:
            tally(Counted([&] { effect.processDoubleReplacing(&effect, nullptr, doubles, kFrames); }));
            break;
        default:
            tally(Counted([&] { effect.process(&effect, nullptr, floats, kFrames); }));
            break;
        }
    }
    foreignLocks = static_cast<long>(foreign.size());
    EXPECT_EQ(allocations, 0) << "heap allocations in the audio callbacks";
    EXPECT_EQ(frees, 0) << "heap releases in the audio callbacks";
    EXPECT_EQ(rwlocks, 0) << "read-write locks taken in the audio callbacks";
    EXPECT_EQ(foreignLocks, 0) << "mutexes other than the plug-in's taken in the audio callbacks";
    EXPECT_GE(pluginLocks, 1200) << "every callback takes the plug-in mutex";
}
