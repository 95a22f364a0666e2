// dunerow-soak: plays a dense random MIDI stream with random parameter
// automation through every program of a VST2 instrument module for a long
// time, and reports peak memory, the slowest block, the cost of a silent
// tail against an active passage, and any output sample that is not a
// finite normal number (exit status 1 when there is one).
#include <dlfcn.h>
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "shell/vst2/vst2_interface.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
    std::string module;
    double wallSeconds = 60.0;
    double audioSeconds = 0.0;  // when set, renders this much audio instead of running for wallSeconds
    uint32_t seed = 1;
    double sampleRate = 48000.0;
    int blockSize = 512;
    double programSeconds = 3.0;    // audio time between program changes
    double notesPerSecond = 24.0;   // note ons per second of audio
    double passageSeconds = 30.0;   // audio time between silent-tail measurements
    double tailSeconds = 8.0;       // silence rendered after the notes end, for the tail measurement
};

// The module's own folder holds the module this tool was built beside.
std::string DefaultModule() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "Dunerow.so" : (self.parent_path() / "Dunerow.so").string();
}

// Processor time of the calling thread.
double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Peak resident memory in kB, as the kernel counted it.
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

intptr_t HostCallback(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void* ptr, float) {
    switch (opcode) {
    case vst2::audioMasterVersion:
        return 2400;
    case vst2::audioMasterWantMidi:
        return 1;
    case vst2::audioMasterGetCurrentProcessLevel:
        return vst2::kProcessLevelRealtime;
    case vst2::audioMasterGetProductString:
        std::strncpy(static_cast<char*>(ptr), "Dunerow Soak", 63);
        return 1;
    default:
        return 0;
    }
}

// Loads the module and creates one instance through its entry point.
class Instance {
public:
    explicit Instance(const std::string& path) {
        module_ = dlopen(std::filesystem::absolute(path).c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module_ == nullptr) throw std::runtime_error(std::string("cannot load the module: ") + dlerror());
        using Entry = vst2::AEffect* (*)(vst2::HostCallback);
        auto entry = reinterpret_cast<Entry>(dlsym(module_, "VSTPluginMain"));
        if (entry == nullptr) entry = reinterpret_cast<Entry>(dlsym(module_, "main"));
        if (entry == nullptr) throw std::runtime_error(path + " has no VST2 entry point");
        effect_ = entry(&HostCallback);
        if (effect_ == nullptr || effect_->magic != vst2::kEffectMagic) throw std::runtime_error(path + " made no instance");
        if (effect_->numOutputs < 1 || effect_->processReplacing == nullptr) throw std::runtime_error(path + " has no outputs");
    }
    ~Instance() {
        if (effect_ != nullptr) Dispatch(vst2::effClose);
        if (module_ != nullptr) dlclose(module_);
    }
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    vst2::AEffect& Effect() { return *effect_; }
    intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f) {
        return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    }

private:
    void* module_ = nullptr;
    vst2::AEffect* effect_ = nullptr;
};

// A note held until a frame of the stream.
struct HeldNote {
    int note;
    long offFrame;
};

struct Report {
    double audioSeconds = 0.0;
    double wallSeconds = 0.0;
    double processSeconds = 0.0;
    long blocks = 0;
    long notes = 0;
    long programChanges = 0;
    long parameterChanges = 0;
    // The block that used the largest share of its own duration of audio, by
    // the processor time of this thread (on a shared machine wall time also
    // counts the moments the thread waited for a core) and by wall time.
    double slowestBlockUs = 0.0;
    double slowestBlockBudgetUs = 1.0;
    int slowestBlockFrames = 0;
    double slowestWallUs = 0.0;
    double slowestWallBudgetUs = 1.0;
    int slowestWallFrames = 0;
    long nonFinite = 0;
    long subnormal = 0;
    double peak = 0.0;
    // Full-size blocks: time per block while notes sound, and late in a silent tail.
    double activeSeconds = 0.0;
    long activeBlocks = 0;
    double silentSeconds = 0.0;
    long silentBlocks = 0;
    double silentTailPeak = 0.0;
};

class Soak {
public:
    Soak(const Options& options, Instance& instance)
        : options_(options), instance_(instance), random_(options.seed),
          left_(static_cast<std::size_t>(options.blockSize)), right_(static_cast<std::size_t>(options.blockSize)) {
        events_.reserve(1024);
    }

    Report Run() {
        vst2::AEffect& effect = instance_.Effect();
        instance_.Dispatch(vst2::effOpen);
        instance_.Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, static_cast<float>(options_.sampleRate));
        instance_.Dispatch(vst2::effSetBlockSize, 0, options_.blockSize);
        instance_.Dispatch(vst2::effMainsChanged, 0, 1);
        programCount_ = std::max(1, effect.numPrograms);
        parameterCount_ = effect.numParams;

        const Clock::time_point start = Clock::now();
        const auto programFrames = static_cast<long>(options_.programSeconds * options_.sampleRate);
        const auto passageFrames = static_cast<long>(options_.passageSeconds * options_.sampleRate);
        long nextProgramFrame = 0;
        long nextTailFrame = passageFrames;
        int program = 0;
        for (;;) {
            const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            const double audio = static_cast<double>(frame_) / options_.sampleRate;
            if (options_.audioSeconds > 0.0 ? audio >= options_.audioSeconds : elapsed >= options_.wallSeconds) break;

            if (frame_ >= nextProgramFrame) {
                instance_.Dispatch(vst2::effSetProgram, 0, program);
                program = (program + 1) % programCount_;
                ++report_.programChanges;
                nextProgramFrame += programFrames;
            }
            if (frame_ >= nextTailFrame) {
                MeasureSilentTail();
                nextTailFrame = frame_ + passageFrames;
                continue;
            }
            std::uniform_int_distribution<int> size(1, options_.blockSize);
            // Every fourth block is full size, for a comparable active block time.
            const int frames = report_.blocks % 4 == 0 ? options_.blockSize : size(random_);
            Automate();
            QueueNotes(frames);
            const double seconds = ProcessBlock(frames);
            if (frames == options_.blockSize && !held_.empty()) {
                report_.activeSeconds += seconds;
                ++report_.activeBlocks;
            }
        }
        report_.wallSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        report_.audioSeconds = static_cast<double>(frame_) / options_.sampleRate;
        return report_;
    }

private:
    // Random automation: a few parameters move in every block.
    void Automate() {
        if (parameterCount_ <= 0) return;
        std::uniform_int_distribution<int> index(0, parameterCount_ - 1);
        std::uniform_real_distribution<float> value(0.0f, 1.0f);
        const int count = static_cast<int>(random_() % 4);
        for (int i = 0; i < count; ++i) instance_.Effect().setParameter(&instance_.Effect(), index(random_), value(random_));
        report_.parameterChanges += count;
    }

    // Note ons at the stream's density with random keys, velocities and lengths,
    // and the note offs that fall into this block.
    void QueueNotes(int frames) {
        events_.clear();
        std::uniform_real_distribution<double> chance(0.0, 1.0);
        std::uniform_int_distribution<int> offset(0, frames - 1);
        std::uniform_int_distribution<int> key(12, 108);
        std::uniform_int_distribution<int> velocity(1, 127);
        std::uniform_real_distribution<double> length(0.01, 1.5);
        const double expected = options_.notesPerSecond * frames / options_.sampleRate;
        for (double budget = expected; budget > 0.0; budget -= 1.0) {
            if (chance(random_) >= std::min(budget, 1.0)) continue;
            const int at = offset(random_);
            const int note = key(random_);
            Push(at, 0x90, note, velocity(random_));
            held_.push_back({note, frame_ + at + static_cast<long>(length(random_) * options_.sampleRate)});
            ++report_.notes;
        }
        for (auto it = held_.begin(); it != held_.end();) {
            if (it->offFrame < frame_ + frames) {
                Push(static_cast<int>(std::max(0L, it->offFrame - frame_)), 0x80, it->note, 0);
                it = held_.erase(it);
            } else {
                ++it;
            }
        }
        SendEvents();
    }

    void Push(int at, int status, int note, int velocity) {
        vst2::VstMidiEvent event{};
        event.type = vst2::kVstMidiType;
        event.byteSize = sizeof event;
        event.deltaFrames = at;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(note);
        event.midiData[2] = static_cast<char>(velocity);
        events_.push_back(event);
    }

    void SendEvents() {
        if (events_.empty()) return;
        std::stable_sort(events_.begin(), events_.end(), [](const auto& a, const auto& b) { return a.deltaFrames < b.deltaFrames; });
        list_.assign(sizeof(vst2::VstEvents) + events_.size() * sizeof(void*), 0);
        auto* list = reinterpret_cast<vst2::VstEvents*>(list_.data());
        list->numEvents = static_cast<int32_t>(events_.size());
        for (std::size_t i = 0; i < events_.size(); ++i) list->events[i] = reinterpret_cast<vst2::VstEvent*>(&events_[i]);
        instance_.Dispatch(vst2::effProcessEvents, 0, 0, list);
    }

    // One block through the 32-bit callback, timed and inspected; returns its processor time in seconds.
    double ProcessBlock(int frames) {
        float* outputs[2] = {left_.data(), right_.data()};
        vst2::AEffect& effect = instance_.Effect();
        const Clock::time_point before = Clock::now();
        const double cpuBefore = ThreadSeconds();
        effect.processReplacing(&effect, nullptr, outputs, frames);
        const double seconds = ThreadSeconds() - cpuBefore;
        const double wall = std::chrono::duration<double>(Clock::now() - before).count();

        report_.processSeconds += seconds;
        ++report_.blocks;
        frame_ += frames;
        const double budgetUs = frames / options_.sampleRate * 1e6;
        if (seconds * 1e6 / budgetUs > report_.slowestBlockUs / report_.slowestBlockBudgetUs) {
            report_.slowestBlockUs = seconds * 1e6;
            report_.slowestBlockBudgetUs = budgetUs;
            report_.slowestBlockFrames = frames;
        }
        if (wall * 1e6 / budgetUs > report_.slowestWallUs / report_.slowestWallBudgetUs) {
            report_.slowestWallUs = wall * 1e6;
            report_.slowestWallBudgetUs = budgetUs;
            report_.slowestWallFrames = frames;
        }
        lastPeak_ = 0.0;
        const int channels = std::min(effect.numOutputs, 2);
        for (int c = 0; c < channels; ++c) {
            for (int i = 0; i < frames; ++i) {
                const float sample = outputs[c][i];
                if (!std::isfinite(sample)) {
                    ++report_.nonFinite;
                } else {
                    if (std::fpclassify(sample) == FP_SUBNORMAL) ++report_.subnormal;
                    lastPeak_ = std::max(lastPeak_, static_cast<double>(std::abs(sample)));
                }
            }
        }
        report_.peak = std::max(report_.peak, lastPeak_);
        return seconds;
    }

    // Ends every note, renders the tail in full blocks and times its second half.
    void MeasureSilentTail() {
        events_.clear();
        for (const HeldNote& held : held_) Push(0, 0x80, held.note, 0);
        held_.clear();
        SendEvents();
        const auto tailBlocks = static_cast<long>(options_.tailSeconds * options_.sampleRate / options_.blockSize);
        for (long block = 0; block < tailBlocks; ++block) {
            const double seconds = ProcessBlock(options_.blockSize);
            if (block >= tailBlocks / 2) {
                report_.silentSeconds += seconds;
                ++report_.silentBlocks;
                report_.silentTailPeak = std::max(report_.silentTailPeak, lastPeak_);
            }
        }
    }

    const Options& options_;
    Instance& instance_;
    std::mt19937 random_;
    std::vector<float> left_;
    std::vector<float> right_;
    std::vector<vst2::VstMidiEvent> events_;
    std::vector<unsigned char> list_;
    std::vector<HeldNote> held_;
    Report report_;
    long frame_ = 0;
    double lastPeak_ = 0.0;
    int programCount_ = 1;
    int parameterCount_ = 0;
};

void Print(const Options& options, const Report& r) {
    const double perBlockActive = r.activeBlocks > 0 ? r.activeSeconds / static_cast<double>(r.activeBlocks) * 1e6 : 0.0;
    const double perBlockSilent = r.silentBlocks > 0 ? r.silentSeconds / static_cast<double>(r.silentBlocks) * 1e6 : 0.0;
    const double budgetUs = options.blockSize / options.sampleRate * 1e6;
    std::printf("module              %s\n", options.module.c_str());
    std::printf("seed                %u\n", options.seed);
    std::printf("sample rate         %.0f Hz, blocks of 1..%d frames\n", options.sampleRate, options.blockSize);
    std::printf("wall time           %.1f s\n", r.wallSeconds);
    std::printf("audio rendered      %.1f s in %ld blocks\n", r.audioSeconds, r.blocks);
    std::printf("realtime factor     %.1f (audio seconds per processor second spent in the callback)\n",
                r.processSeconds > 0.0 ? r.audioSeconds / r.processSeconds : 0.0);
    std::printf("notes               %ld, program changes %ld, parameter changes %ld\n", r.notes, r.programChanges, r.parameterChanges);
    std::printf("peak memory         %ld kB resident (VmHWM)\n", PeakResidentKb());
    std::printf("slowest block       %.1f us processor time for %d frames = %.3f x its real-time budget (%.1f us)\n",
                r.slowestBlockUs, r.slowestBlockFrames, r.slowestBlockUs / r.slowestBlockBudgetUs, r.slowestBlockBudgetUs);
    std::printf("slowest block wall  %.1f us for %d frames = %.3f x its budget (includes waiting for a core)\n",
                r.slowestWallUs, r.slowestWallFrames, r.slowestWallUs / r.slowestWallBudgetUs);
    std::printf("active block        %.2f us processor time, average over %ld full blocks (%.4f x budget %.1f us)\n", perBlockActive,
                r.activeBlocks, perBlockActive / budgetUs, budgetUs);
    std::printf("silent tail block   %.2f us processor time, average over %ld full blocks (%.4f x budget), tail peak %.3g\n", perBlockSilent,
                r.silentBlocks, perBlockSilent / budgetUs, r.silentTailPeak);
    std::printf("silent / active     %.3f\n", perBlockActive > 0.0 ? perBlockSilent / perBlockActive : 0.0);
    std::printf("output peak         %.4f\n", r.peak);
    std::printf("non-finite samples  %ld\n", r.nonFinite);
    std::printf("subnormal samples   %ld\n", r.subnormal);
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    options.module = DefaultModule();
    CLI::App app{"Plays a dense random MIDI stream with random automation through every program of a VST2 instrument\n"
                 "and reports peak memory, the slowest block, silent-tail cost and any non-finite or subnormal output.\n"
                 "Example: dunerow-soak --seconds 600 --seed 7 --rate 48000"};
    app.add_option("--plugin", options.module, "VST2 instrument module (default: Dunerow.so beside this tool)");
    app.add_option("--seconds", options.wallSeconds, "wall-clock time to run (default 60)")->check(CLI::PositiveNumber);
    app.add_option("--audio-seconds", options.audioSeconds, "render this much audio instead of running for --seconds")
        ->check(CLI::PositiveNumber);
    app.add_option("--seed", options.seed, "seed of the random stream (default 1)");
    app.add_option("--rate", options.sampleRate, "sample rate in Hz (default 48000)")->check(CLI::Range(8000.0, 384000.0));
    app.add_option("--block", options.blockSize, "largest block size; blocks are 1 to this many frames (default 512)")
        ->check(CLI::Range(1, 8192));
    app.add_option("--notes-per-second", options.notesPerSecond, "note ons per second of audio (default 24)")->check(CLI::Range(0.0, 2000.0));
    app.add_option("--program-seconds", options.programSeconds, "audio seconds between program changes (default 3)")
        ->check(CLI::PositiveNumber);
    CLI11_PARSE(app, argc, argv);

    try {
        Instance instance(options.module);
        Soak soak(options, instance);
        const Report report = soak.Run();
        Print(options, report);
        if (report.nonFinite != 0 || report.subnormal != 0) {
            std::fprintf(stderr, "dunerow-soak: the output held %ld non-finite and %ld subnormal samples\n", report.nonFinite,
                         report.subnormal);
            return 1;
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dunerow-soak: %s\n", error.what());
        return 2;
    }
}
