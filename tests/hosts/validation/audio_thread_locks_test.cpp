// What the audio callbacks ask of the system: no heap memory and no lock
// but the plug-in's own mutex. This program replaces malloc, free and the
// pthread lock functions with counting ones; the loaded module binds to them
// because an executable's symbols come first. Only the calls made on the
// audio thread while a callback runs are counted.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <array>
#include <atomic>
#include <thread>
#include <ctime>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <vector>

#include "hosts/validation/validation_support.h"
#include "instrument/dunerow.h"
#include "support/temporary_folder.h"

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

// The plug-in mutex, once a test has found it: how often and how deep each
// thread holds it, and how long the thread timing its waits waited for it.
std::atomic<const void*> watchedMutex{nullptr};
thread_local int watchedDepth = 0;
thread_local long watchedLocks = 0;
thread_local bool timingWaits = false;
std::atomic<long long> longestWaitNanoseconds{0};
std::atomic<long> timedWaits{0};

long long Nanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

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
    if (mutex != watchedMutex.load(std::memory_order_relaxed)) return next(mutex);
    const long long start = timingWaits ? Nanoseconds() : 0;
    const int result = next(mutex);
    if (timingWaits) {
        const long long waited = Nanoseconds() - start;
        long long longest = longestWaitNanoseconds.load();
        while (waited > longest && !longestWaitNanoseconds.compare_exchange_weak(longest, waited)) {
        }
        ++timedWaits;
    }
    if (result == 0) {
        ++watchedDepth;
        ++watchedLocks;
    }
    return result;
}
int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    static const auto next = Next<int (*)(pthread_mutex_t*)>("pthread_mutex_unlock");
    if (mutex == watchedMutex.load(std::memory_order_relaxed)) --watchedDepth;
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

namespace {

// The plug-in mutex of `host`'s instance: the one lock a plain dispatcher query takes.
const void* PluginMutexOf(VstTestHost& host) {
    vst2::AEffect& effect = host.Effect();
    const CallbackRecord query = Counted([&] { effect.dispatcher(&effect, vst2::effGetProgram, 0, 0, nullptr, 0.0f); });
    return query.mutexCount == 1 ? query.mutexes[0] : nullptr;
}

}  // namespace

TEST(PluginMutex, ABankIsAppliedWithOneProgramsParametersUnderTheMutex) {
    VstTestHost host;
    host.Start(44100.0, 512);
    const void* mutex = PluginMutexOf(host);
    ASSERT_NE(mutex, nullptr);
    const std::vector<unsigned char> bank = host.GetChunk(false);
    ASSERT_FALSE(bank.empty());
    watchedMutex = mutex;
    watchedLocks = 0;
    ASSERT_EQ(host.SetChunk(bank, false), 1);
    const long locks = watchedLocks;
    watchedMutex = nullptr;
    // Applying a parameter takes the mutex once: a bank whose 128 programs
    // were each applied would take it 128 x 109 = 13,952 times and more.
    EXPECT_GE(locks, 1);
    EXPECT_LT(locks, 4 * 109) << "times the mutex was taken while the bank loaded";
}

TEST(PluginMutex, HostCallbacksAreMadeWithoutTheMutexHeld) {
    VstTestHost host;
    host.Start(44100.0, 512);
    const void* mutex = PluginMutexOf(host);
    ASSERT_NE(mutex, nullptr);
    int calls = 0;
    int heldDuringCalls = 0;
    host.onCallback = [&](int32_t opcode) {
        if (opcode != vst2::audioMasterWantMidi && opcode != vst2::audioMasterAutomate && opcode != vst2::audioMasterUpdateDisplay) return;
        ++calls;
        if (watchedDepth > 0) ++heldDuringCalls;
    };
    watchedMutex = mutex;
    watchedDepth = 0;
    host.SendMidi({{0, 0x90, 36, 100}});
    host.ProcessFloat(512);
    host.ProcessDouble(512);
    watchedMutex = nullptr;
    host.onCallback = nullptr;
    EXPECT_EQ(calls, 2) << "one want-MIDI call per block";
    EXPECT_EQ(heldDuringCalls, 0);
}

TEST(PluginMutex, EditorActionsTellTheHostWithoutTheMutexHeld) {
    // The editor's calls, on an instance made in this process: a control
    // moved, every value reported, and a program file loaded.
    int calls = 0;
    int heldDuringCalls = 0;
    static thread_local int* callCount = nullptr;
    static thread_local int* heldCount = nullptr;
    callCount = &calls;
    heldCount = &heldDuringCalls;
    Dunerow synth([](vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) -> intptr_t {
        if (opcode == vst2::audioMasterAutomate || opcode == vst2::audioMasterUpdateDisplay) {
            ++*callCount;
            if (watchedDepth > 0) ++*heldCount;
        }
        return opcode == vst2::audioMasterVersion ? 2400 : 0;
    });
    TemporaryFolder folder;
    const auto file = folder.Path() / "saved.fxp";
    ASSERT_TRUE(synth.SaveProgramFile(file));
    // The instance's mutex: the one its lock query takes on this thread.
    const CallbackRecord query = Counted([&] { synth.GetParameterForHost(0); });
    ASSERT_EQ(query.mutexCount, 1u);
    watchedMutex = query.mutexes[0];
    watchedDepth = 0;
    synth.SetParameterFromEditor(param::Volume, 0.25);
    synth.InformHostOfAllParameters();
    ASSERT_TRUE(synth.LoadProgramFile(file));
    watchedMutex = nullptr;
    EXPECT_EQ(calls, 1 + 109 + 1);
    EXPECT_EQ(heldDuringCalls, 0);
}

// How long the audio thread waits for the plug-in mutex while another thread
// loads banks, loads program text files and saves them: printed for the
// record (a figure, not a limit), with the work checked to have happened.
TEST(PluginMutex, AudioThreadWaitWhileBanksAndProgramFilesLoad) {
    Dunerow synth;
    synth.SetSampleRate(44100.0);
    synth.SetBlockSize(512);
    synth.OnReset();
    StateChunk bank;
    ASSERT_GT(synth.GetChunk(bank, false), 0);
    const std::vector<uint8_t> bankBytes(bank.Bytes().begin(), bank.Bytes().end());
    TemporaryFolder folder;
    const auto text = folder.Path() / "program.txt";
    ASSERT_TRUE(synth.SaveProgramText(text));

    const CallbackRecord query = Counted([&] { synth.GetParameterForHost(0); });
    ASSERT_EQ(query.mutexCount, 1u);
    watchedMutex = query.mutexes[0];
    longestWaitNanoseconds = 0;
    timedWaits = 0;

    std::atomic<bool> done{false};
    int loads = 0;
    std::thread loader([&] {
        for (int round = 0; round < validation::Scaled(40); ++round) {
            if (synth.SetChunk(bankBytes, false)) ++loads;
            if (synth.LoadProgramText(text)) ++loads;
            if (synth.SaveProgramText(folder.Path() / ("copy" + std::to_string(round % 4) + ".txt"))) ++loads;
        }
        done = true;
    });
    std::vector<double> left(512), right(512);
    double* outputs[2] = {left.data(), right.data()};
    long blocks = 0;
    timingWaits = true;
    while (!done) {
        synth.ProcessDouble(nullptr, outputs, 512);
        ++blocks;
    }
    timingWaits = false;
    loader.join();
    watchedMutex = nullptr;

    EXPECT_EQ(loads, 3 * validation::Scaled(40));
    EXPECT_GE(timedWaits.load(), blocks);
    std::printf("longest wait of the audio thread for the plug-in mutex: %.3f ms over %ld blocks\n",
                static_cast<double>(longestWaitNanoseconds.load()) * 1e-6, blocks);
}
