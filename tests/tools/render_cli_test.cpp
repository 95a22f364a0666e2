// dunerow-render run as a user runs it: a subprocess in a fresh folder,
// its files read back with libsndfile.
//
// Built a second time as stand-in modules (DUNEROW_FAKE_MODULE) that the
// renderer must refuse: 1 reports itself an effect, 2 returns a record
// without the VST2 magic, 3 has no VSTPluginMain entry point.
#if defined(DUNEROW_FAKE_MODULE)

#include "shell/vst2/vst2_interface.h"

namespace {

vst2::AEffect fakeEffect{};

intptr_t FakeDispatcher(vst2::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == vst2::effGetPlugCategory ? vst2::kPlugCategEffect : 0;
}

}  // namespace

#if DUNEROW_FAKE_MODULE == 3
#define DUNEROW_FAKE_ENTRY NotTheEntryPoint
#else
#define DUNEROW_FAKE_ENTRY VSTPluginMain
#endif

extern "C" __attribute__((visibility("default"))) vst2::AEffect* DUNEROW_FAKE_ENTRY(vst2::HostCallback) {
    fakeEffect.magic = DUNEROW_FAKE_MODULE == 2 ? 0 : vst2::kEffectMagic;
    fakeEffect.dispatcher = &FakeDispatcher;
    fakeEffect.numOutputs = 2;
    return &fakeEffect;
}

#else

#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "instrument/parameter_table.h"
#include "programs/vst_x_synth_program.h"
#include "support/temporary_folder.h"

namespace fs = std::filesystem;

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadText(const fs::path& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void WriteBytes(const fs::path& path, const std::vector<unsigned char>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct Audio {
    int channels = 0;
    int rate = 0;
    std::vector<float> samples;  // interleaved
    long long Frames() const { return channels > 0 ? static_cast<long long>(samples.size()) / channels : 0; }
    // Index of the first frame louder than `level`, or -1.
    long long FirstFrameAbove(float level) const {
        for (std::size_t i = 0; i < samples.size(); ++i) {
            if (std::fabs(samples[i]) > level) return static_cast<long long>(i) / channels;
        }
        return -1;
    }
};

Audio ReadAudio(const fs::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) return {};
    Audio audio{info.channels, info.samplerate, std::vector<float>(static_cast<std::size_t>(info.frames * info.channels))};
    sf_readf_float(file, audio.samples.data(), info.frames);
    sf_close(file);
    return audio;
}

// A MIDI track chunk around `events` (delta times already encoded).
std::vector<unsigned char> Track(std::vector<unsigned char> events) {
    for (const unsigned char byte : {0x00, 0xFF, 0x2F, 0x00}) events.push_back(byte);  // end of track
    const auto size = static_cast<uint32_t>(events.size());
    std::vector<unsigned char> chunk = {'M', 'T', 'r', 'k', static_cast<unsigned char>(size >> 24), static_cast<unsigned char>(size >> 16),
                                        static_cast<unsigned char>(size >> 8), static_cast<unsigned char>(size)};
    for (const unsigned char byte : events) chunk.push_back(byte);
    return chunk;
}

// Type 1, 480 ticks per beat: a tempo track playing 2 beats at 240 bpm,
// then 120 bpm, and a note track with C2 on beat 4 (at 0.5 s + 1 s) for one beat.
std::vector<unsigned char> TempoMapMidiFile() {
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 2, 0x01, 0xE0};
    const auto tempo = Track({0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,    // 250000 us per beat
                              0x87, 0x40, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});  // after 960 ticks: 500000
    const auto notes = Track({0x8F, 0x00, 0x90, 36, 100,    // 1920 ticks: note on
                              0x83, 0x60, 36, 0x00});       // 480 ticks later, running status, velocity 0
    for (const auto* track : {&tempo, &notes}) {
        for (const unsigned char byte : *track) file.push_back(byte);
    }
    return file;
}

class RenderCli : public ::testing::Test {
protected:
    TemporaryFolder folder;

    Outcome Run(const std::vector<std::string>& arguments) {
        // Without a display, as on a build machine: nothing the renderer does needs one.
        std::string command = "cd " + Quoted(folder.Path().string()) + " && env -u DISPLAY " + Quoted(DUNEROW_RENDER_PATH);
        for (const std::string& argument : arguments) command += " " + Quoted(argument);
        const fs::path out = folder.Path() / "../" / (folder.Path().filename().string() + ".out");
        const fs::path err = folder.Path() / "../" / (folder.Path().filename().string() + ".err");
        command += " > " + Quoted(out.string()) + " 2> " + Quoted(err.string());
        Outcome outcome;
        const int raw = std::system(command.c_str());
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = ReadText(out);
        outcome.err = ReadText(err);
        fs::remove(out);
        fs::remove(err);
        return outcome;
    }

    std::vector<std::string> ProgramNames() {
        std::vector<std::string> names;
        std::istringstream lines(Run({"--list-programs"}).out);
        for (std::string line; std::getline(lines, line);) names.push_back(line.size() > 5 ? line.substr(5) : "");
        return names;
    }

    fs::path At(const std::string& name) const { return folder.Path() / name; }
};

}  // namespace

TEST_F(RenderCli, InlineNotesWriteSoundUntilItDiesAwayAndNothingOnStderr) {
    const Outcome outcome = Run({"--program", "60", "--note", "C2:0.25", "--note", "36@0.5:0.25/90", "--rate", "48000", "-o", "kick.wav"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(outcome.err, "") << "no progress bar when stderr is no terminal";
    const Audio audio = ReadAudio(At("kick.wav"));
    EXPECT_EQ(audio.channels, 2);
    EXPECT_EQ(audio.rate, 48000);
    EXPECT_GE(audio.Frames(), 36000) << "at least until the last note ends at 0.75 s";
    EXPECT_LT(audio.Frames(), 5 * 48000) << "trailing silence is not written";
    EXPECT_GE(audio.FirstFrameAbove(0.01f), 0);
    EXPECT_LT(audio.FirstFrameAbove(0.01f), 480) << "sounds within 10 ms";
    const auto second = std::vector<float>(audio.samples.begin() + 2 * 24000, audio.samples.begin() + 2 * 24100);
    EXPECT_GT(*std::max_element(second.begin(), second.end()), 0.1f) << "the second note sounds from 0.5 s";
}

TEST_F(RenderCli, TheMaximumLengthCutsTheFileExactlyAndWarns) {
    const Outcome outcome = Run({"--note", "C2:1", "--max-length", "0.2", "--bits", "16", "-o", "short.wav"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("--max-length"), std::string::npos);
    EXPECT_EQ(ReadAudio(At("short.wav")).Frames(), 8820);
}

TEST_F(RenderCli, TheSameCommandWritesTheSameFile) {
    for (const char* name : {"a.flac", "b.flac"}) ASSERT_EQ(Run({"-p", "61", "--note", "C2,G2@0.1", "--max-length", "0.5", "-o", name}).status, 0);
    EXPECT_EQ(ReadText(At("a.flac")), ReadText(At("b.flac")));
    EXPECT_FALSE(ReadAudio(At("a.flac")).samples.empty());
}

TEST_F(RenderCli, ParametersApplyAfterTheProgram) {
    ASSERT_EQ(Run({"--param", "Volume=0", "--note", "C2:0.25", "-o", "quiet.wav"}).status, 0);
    const Audio audio = ReadAudio(At("quiet.wav"));
    EXPECT_EQ(audio.Frames(), 11025) << "silent throughout, so the file ends with the note";
    EXPECT_EQ(audio.FirstFrameAbove(0.0f), -1);
}

TEST_F(RenderCli, MidiFilesPlayAfterTheirTempoMap) {
    WriteBytes(At("tempo.mid"), TempoMapMidiFile());
    const Outcome outcome = Run({"--midi", "tempo.mid", "-p", "60", "--bits", "32", "--tail", "0.1", "-o", "midi.wav"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    ASSERT_EQ(Run({"--note", "C2@1.5:0.5/100", "-p", "60", "--bits", "32", "--tail", "0.1", "-o", "inline.wav"}).status, 0);
    EXPECT_EQ(ReadText(At("midi.wav")), ReadText(At("inline.wav"))) << "beat 4 after two beats at 240 and one at 120 bpm, for one beat";
}

// A one-track file whose only events are a note-on and a note-off of C2 at
// tick 0, in the order given.
std::vector<unsigned char> NoteOnAndOffAtOneTick(bool onFirst) {
    std::vector<unsigned char> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    const std::vector<unsigned char> on = {0x00, 0x90, 36, 100};
    const std::vector<unsigned char> off = {0x00, 0x80, 36, 0};
    std::vector<unsigned char> events = onFirst ? on : off;
    events.insert(events.end(), (onFirst ? off : on).begin(), (onFirst ? off : on).end());
    for (const unsigned char byte : Track(events)) file.push_back(byte);
    return file;
}

TEST_F(RenderCli, MessagesAtOneTickReachTheInstrumentInTheFileOrder) {
    // The instrument takes a note-on then a note-off of a key not held as a
    // note of no length, and a note-off then a note-on as a held note: what
    // it plays tells the order it was sent.
    WriteBytes(At("on_off.mid"), NoteOnAndOffAtOneTick(true));
    WriteBytes(At("off_on.mid"), NoteOnAndOffAtOneTick(false));
    for (const char* name : {"on_off", "off_on"}) {
        const Outcome outcome = Run({"--midi", std::string(name) + ".mid", "-p", "60", "--bits", "32", "--max-length", "0.5",
                                     "-o", std::string(name) + ".wav"});
        ASSERT_EQ(outcome.status, 0) << name << ": " << outcome.err;
    }
    EXPECT_EQ(ReadAudio(At("on_off.wav")).FirstFrameAbove(0.0f), -1) << "nothing sounds";
    EXPECT_NE(ReadAudio(At("off_on.wav")).FirstFrameAbove(0.05f), -1) << "the note sounds";
}

TEST_F(RenderCli, AnInterruptEndsWithStatus130AndLeavesNoFile) {
    const std::string output = (folder.Path() / "long.wav").string();
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::freopen("/dev/null", "w", stderr);
        execl(DUNEROW_RENDER_PATH, DUNEROW_RENDER_PATH, "-p", "60", "--note", "C2:3000", "--max-length", "3000", "-o",
              output.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Interrupted once the render is writing: its hidden partial file exists.
    const auto writing = [&] {
        for (const auto& entry : fs::directory_iterator(folder.Path())) {
            if (entry.path().filename().string().starts_with(".long.wav.")) return true;
        }
        return false;
    };
    int status = 0;
    bool ended = false;
    while (!writing()) {
        if (waitpid(child, &status, WNOHANG) == child) {
            ended = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_FALSE(ended) << "the render ended before it was interrupted";
    kill(child, SIGINT);
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);
    EXPECT_TRUE(fs::is_empty(folder.Path())) << "neither the partial file nor the output is left";
}

TEST_F(RenderCli, NotesStartAtTheirFrameInsideABlock) {
    for (const char* block : {"1", "512"}) {
        const Outcome outcome = Run({"-p", "60", "--note", "C2@0.1:0.1", "--max-length", "0.3", "--bits", "32", "--block", block, "-o",
                                     std::string(block) + ".wav"});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
    }
    EXPECT_EQ(ReadText(At("1.wav")), ReadText(At("512.wav"))) << "frame 4410 lies 314 frames into a block of 512";
}

TEST_F(RenderCli, ListsEveryProgramAndBatchRendersTheChosenOnes) {
    const std::vector<std::string> names = ProgramNames();
    ASSERT_EQ(names.size(), 128u);
    const Outcome outcome = Run({"--batch", "kicks", "--programs", "1," + names[60] + ",1", "--note", "C2:0.1", "--max-length", "0.3"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(At("kicks"))) files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"001 " + names[1] + ".wav", "060 " + names[60] + ".wav"}));
    EXPECT_EQ(ReadAudio(At("kicks") / files[1]).Frames(), 13230);
}

TEST_F(RenderCli, ProgramFilesAndTheTextFormSoundAlike) {
    Korvane::VstXSynthProgram program;  // the "Basic Bassdrum" values
    ASSERT_TRUE(program.WriteText(At("basic.txt")));
    std::vector<unsigned char> fxp;
    const auto put = [&fxp](uint32_t word) {
        for (int shift = 24; shift >= 0; shift -= 8) fxp.push_back(static_cast<unsigned char>(word >> shift));
    };
    for (const uint32_t word : {0x43636E4Bu, 0u, 0x4678436Bu, 1u, 0x646E7270u, 1u, static_cast<uint32_t>(kParameterCount)}) put(word);
    fxp.resize(fxp.size() + 28, 0);  // no name
    for (int index = 0; index < kParameterCount; ++index) {
        const double normalised = std::pow(program[static_cast<std::size_t>(index)], 1.0 / ParameterShape(index));
        put(std::bit_cast<uint32_t>(static_cast<float>(normalised)));
    }
    WriteBytes(At("basic.fxp"), fxp);

    ASSERT_EQ(Run({"--preset", "basic.fxp", "--note", "C2:0.2", "-o", "fxp.wav"}).status, 0);
    ASSERT_EQ(Run({"--preset", "basic.txt", "--note", "C2:0.2"}).status, 0) << "named after the program in the file";
    EXPECT_EQ(ReadText(At("fxp.wav")), ReadText(At("Basic Bassdrum.wav")));
    EXPECT_GE(ReadAudio(At("fxp.wav")).FirstFrameAbove(0.1f), 0);

    fxp[19] = 0x71;  // another plug-in's ID
    WriteBytes(At("other.fxp"), fxp);
    const Outcome other = Run({"--preset", "other.fxp", "-o", "other.wav"});
    EXPECT_NE(other.status, 0);
    EXPECT_NE(other.err.find("ID"), std::string::npos) << other.err;
    EXPECT_FALSE(fs::exists(At("other.wav")));
}

// Width and height from a PNG file's header chunk.
std::pair<uint32_t, uint32_t> PngSize(const fs::path& path) {
    const std::string bytes = ReadText(path);
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](std::size_t at) {
        uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {word(16), word(20)};
}

TEST_F(RenderCli, EditorSnapshotsDrawEitherPageWithoutADisplay) {
    const Outcome synth = Run({"--program", "20", "--note", "C2:0.2", "--editor-snapshot", "synth.png"});
    ASSERT_EQ(synth.status, 0) << synth.err;
    EXPECT_EQ(synth.out, At("synth.png").filename().string() + "\n");
    EXPECT_EQ(PngSize(At("synth.png")), (std::pair<uint32_t, uint32_t>{1030, 800}));
    const Outcome about = Run({"--program", "20", "--page", "about", "--editor-snapshot", "about.png"});
    ASSERT_EQ(about.status, 0) << about.err;
    EXPECT_EQ(PngSize(At("about.png")), (std::pair<uint32_t, uint32_t>{1030, 800}));
    EXPECT_NE(ReadText(At("synth.png")), ReadText(At("about.png")));
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.Path())) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"about.png", "synth.png"})) << "the notes' sound is not kept";
    const Outcome wrong = Run({"--page", "mixer", "--editor-snapshot", "wrong.png"});
    EXPECT_NE(wrong.status, 0);
    EXPECT_NE(wrong.err.find("--page must be synth or about"), std::string::npos) << wrong.err;
    EXPECT_FALSE(fs::exists(At("wrong.png")));
}

TEST_F(RenderCli, EveryErrorIsOneLineAndLeavesNoFile) {
    auto truncated = TempoMapMidiFile();
    truncated.resize(truncated.size() - 6);
    WriteBytes(At("truncated.mid"), truncated);
    WriteBytes(At("garbage.so"), {'n', 'o', 't', ' ', 'a', 'n', ' ', 'E', 'L', 'F'});
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"-p", "Gabber Kik 3"}, "did you mean 'Gabber Kick 3'"},
        {{"-p", "128"}, "no program 128"},
        {{"--note", "H2"}, "bad note 'H2'"},
        {{"--note", "C2@x"}, "bad note"},
        {{"--note", "C2/128"}, "velocity"},
        {{"--midi", "truncated.mid"}, "truncated.mid"},
        {{"--midi", "absent.mid"}, "absent.mid"},
        {{"--module", "garbage.so"}, "cannot load module"},
        {{"--module", DUNEROW_FAKE_EFFECT_PATH}, "not a VST2 instrument"},
        {{"--module", DUNEROW_FAKE_BAD_MAGIC_PATH}, "magic"},
        {{"--module", DUNEROW_FAKE_NO_ENTRY_PATH}, "no VSTPluginMain"},
        {{"-o", "absent/out.wav"}, "cannot write"},
        {{"-o", "out.flac", "--bits", "32"}, "FLAC"},
        {{"--param", "Volum=1"}, "did you mean 'Volume'"},
        {{"--programs", "1"}, "--batch"},
    };
    for (const auto& [arguments, expected] : cases) {
        std::vector<std::string> withOutput = arguments;
        if (std::find(arguments.begin(), arguments.end(), "-o") == arguments.end()) {
            withOutput.insert(withOutput.end(), {"-o", "out.wav"});
        }
        const Outcome outcome = Run(withOutput);
        EXPECT_NE(outcome.status, 0) << arguments[0] << " " << arguments[1];
        EXPECT_NE(outcome.err.find(expected), std::string::npos) << outcome.err;
        EXPECT_EQ(std::count(outcome.err.begin(), outcome.err.end(), '\n'), 1) << outcome.err;
    }
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(folder.Path())) left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"garbage.so", "truncated.mid"})) << "no output and no temporary file";
}

#endif
