// dunerow-render: plays notes through the Dunerow VST2 module, as an offline
// host, and writes the sound to WAV or FLAC files. See --help.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "audio_writer.h"
#include "editor_snapshot.h"
#include "midi_file.h"
#include "names.h"
#include "note_list.h"
#include "plugin_host.h"
#include "preset_file.h"
#include "render_error.h"
#include "render_job.h"
#include "shell/plugin_vst.h"

namespace {

using namespace render;
namespace fs = std::filesystem;

constexpr char kProgramName[] = "dunerow-render";

struct Options {
    fs::path module = DefaultModulePath();
    std::string program;
    bool listPrograms = false;
    bool listParameters = false;
    fs::path preset;
    std::vector<std::string> parameters;
    std::vector<std::string> notes;
    fs::path midi;
    fs::path output;
    fs::path batch;
    std::vector<std::string> programs;
    std::string format;
    int bits = 24;
    int rate = 44100;
    int block = 512;
    double tail = 1.0;
    double maximumLength = 30.0;
    bool bench = false;
    fs::path editorSnapshot;
    std::string page = "synth";
};

std::atomic<bool> interrupted{false};
std::atomic<int> interruptSignal{0};

extern "C" void OnInterrupt(int signal) {
    interruptSignal.store(signal);
    interrupted.store(true);
}

// One render to do: which program and where its sound goes.
struct Job {
    int program = 0;
    fs::path output;
};

// A progress bar redrawn in place on a terminal.
class ProgressBar {
public:
    explicit ProgressBar(std::string label) : label_(std::move(label)) {}
    ~ProgressBar() {
        if (shown_ >= 0 && !finished_) std::fputc('\n', stderr);  // an error message starts on a line of its own
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void Show(double fraction) {
        const int percent = static_cast<int>(fraction * 100.0);
        if (percent == shown_) return;
        shown_ = percent;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::fprintf(stderr, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(kWidth - filled), '-').c_str(), percent);
        std::fflush(stderr);
    }

    void Finish() {
        Show(1.0);
        std::fputc('\n', stderr);
        finished_ = true;
    }

private:
    std::string label_;
    int shown_ = -1;
    bool finished_ = false;
};

MessageList MessagesToPlay(const Options& options) {
    if (!options.midi.empty()) {
        MessageList messages = ReadMidiFile(options.midi);
        if (messages.empty()) throw RenderError("MIDI file '" + options.midi.string() + "' holds no notes");
        return messages;
    }
    std::vector<PlayedNote> notes;
    for (const std::string& text : options.notes) notes.push_back(ParseNote(text));
    if (notes.empty()) notes.push_back(kDefaultNote);
    return MessagesOfNotes(notes);
}

FileFormat ChosenFormat(const Options& options) {
    std::optional<FileFormat> fromOption;
    if (!options.format.empty()) {
        fromOption = FormatOfName(options.format);
        if (!fromOption) throw RenderError("--format must be wav or flac, not '" + options.format + "'");
    }
    if (!options.output.empty() && options.output.has_extension()) {
        const std::optional<FileFormat> fromName = FormatOfExtension(options.output);
        if (!fromName) {
            throw RenderError("cannot tell the format of '" + options.output.string() + "': name it .wav or .flac");
        }
        if (fromOption && *fromOption != *fromName) {
            throw RenderError("--format " + options.format + " does not match the name '" + options.output.string() + "'");
        }
        return *fromName;
    }
    return fromOption.value_or(FileFormat::Wav);
}

std::vector<std::string> ProgramNames(PluginHost& host) {
    std::vector<std::string> names;
    for (int index = 0; index < host.ProgramCount(); ++index) names.push_back(host.ProgramName(index));
    return names;
}

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

// The renders a command asks for: every chosen program in batch mode, else one.
std::vector<Job> PlanJobs(const Options& options, const std::vector<std::string>& names, const std::optional<Preset>& preset,
                          FileFormat format) {
    std::vector<Job> jobs;
    if (options.batch.empty()) {
        Job job;
        job.program = options.program.empty() ? 0 : ProgramIndexOf(options.program, names);
        job.output = options.output;
        if (job.output.empty()) {
            std::string name = names.empty() ? std::string() : names[static_cast<std::size_t>(job.program)];
            if (preset) name = !preset->name.empty() ? preset->name : options.preset.stem().string();
            job.output = SanitisedFileName(name);
        }
        if (!job.output.has_extension()) job.output += std::string(ExtensionOf(format));
        jobs.push_back(job);
        return jobs;
    }

    std::vector<int> indices;
    if (options.programs.empty()) {
        for (int index = 0; index < static_cast<int>(names.size()); ++index) indices.push_back(index);
    } else {
        for (const int index : ProgramIndicesOf(options.programs, names)) {
            if (std::find(indices.begin(), indices.end(), index) == indices.end()) indices.push_back(index);
        }
    }
    std::error_code error;
    fs::create_directories(options.batch, error);
    if (error || !fs::is_directory(options.batch)) {
        throw RenderError("cannot create folder '" + options.batch.string() + "': " + (error ? error.message() : "a file has that name"));
    }
    for (const int index : indices) {
        char number[16];
        std::snprintf(number, sizeof number, "%03d ", index);
        const std::string file = number + SanitisedFileName(names[static_cast<std::size_t>(index)]) + std::string(ExtensionOf(format));
        jobs.push_back({index, options.batch / file});
    }
    return jobs;
}

// Warnings about a finished file, on stderr.
void Warn(const fs::path& output, const RenderReport& report, const Options& options) {
    if (report.cutAtMaximum) {
        std::fprintf(stderr, "%s: warning: '%s' stops at --max-length %g s before the sound ended\n", kProgramName,
                     output.string().c_str(), options.maximumLength);
    }
    if (options.bits != 32 && report.samplesAboveFullScale > 0) {
        std::fprintf(stderr, "%s: warning: '%s' clipped %lld samples (peak %+.1f dBFS); lower the Volume or use --bits 32\n",
                     kProgramName, output.string().c_str(), report.samplesAboveFullScale, 20.0 * std::log10(report.peak));
    }
}

// The render loop's settings from the command's options.
RenderSettings SettingsOf(const Options& options) {
    RenderSettings settings;
    settings.sampleRate = options.rate;
    settings.blockSize = options.block;
    settings.tailSeconds = options.tail;
    settings.maximumSeconds = options.maximumLength;
    settings.interrupted = &interrupted;
    return settings;
}

// Sets the program, the preset and the parameters a command asks for.
void ApplySound(PluginHost& host, const Options& options, const std::vector<std::string>& names) {
    const ModuleIdentity identity{host.UniqueId(), host.ParameterCount()};
    if (host.ProgramCount() > 0) host.SelectProgram(options.program.empty() ? 0 : ProgramIndexOf(options.program, names));
    if (!options.preset.empty()) {
        for (const ParameterValue& value : ReadPreset(options.preset, identity).values) host.SetParameter(value.index, value.value);
    }
    for (const std::string& text : options.parameters) {
        const ParameterValue value = ParseParameterOverride(text, identity);
        host.SetParameter(value.index, value.value);
    }
}

// --editor-snapshot: the built-in instrument's editor as the sound left it.
int RunEditorSnapshot(const Options& options) {
    const EditorPage page = EditorPageOf(options.page);
    PluginHost host(&InstantiateEffect, "the built-in instrument");
    ApplySound(host, options, ProgramNames(host));
    host.Start(options.rate, options.block);
    if (!options.notes.empty() || !options.midi.empty()) {
        // Played so that meters, the note read-out and the curves show them;
        // the sound itself goes to a file that is never kept.
        const RenderSettings settings = SettingsOf(options);
        fs::path scratch = options.editorSnapshot;
        scratch += ".wav";
        AudioFileWriter discarded(scratch, {FileFormat::Wav, 32, host.OutputChannels(), options.rate});
        Render(host, MessagesToPlay(options), settings, discarded, {});
    }
    WriteEditorSnapshot(host, page, options.editorSnapshot);
    std::printf("%s\n", options.editorSnapshot.string().c_str());
    return 0;
}

int Run(const Options& options) {
    if (!options.editorSnapshot.empty()) return RunEditorSnapshot(options);
    const AudioFormat requested{ChosenFormat(options), options.bits, 2, options.rate};
    CheckFormat(requested);
    const MessageList messages = options.listPrograms || options.listParameters ? MessageList{} : MessagesToPlay(options);

    PluginHost host(options.module);
    const ModuleIdentity identity{host.UniqueId(), host.ParameterCount()};
    const std::vector<std::string> names = ProgramNames(host);
    if (options.listPrograms) {
        for (std::size_t index = 0; index < names.size(); ++index) std::printf("%3zu  %s\n", index, names[index].c_str());
        return 0;
    }
    if (options.listParameters) {
        if (!IsDunerow(identity)) throw RenderError("--list-params knows Dunerow's parameters only, and the module is another plug-in");
        for (const std::string& line : ParameterIdentifiers()) std::printf("%s\n", line.c_str());
        return 0;
    }

    std::optional<Preset> preset;
    if (!options.preset.empty()) preset = ReadPreset(options.preset, identity);
    std::vector<ParameterValue> overrides;
    for (const std::string& text : options.parameters) overrides.push_back(ParseParameterOverride(text, identity));
    const std::vector<Job> jobs = PlanJobs(options, names, preset, requested.format);

    const RenderSettings settings = SettingsOf(options);
    const bool showProgress = isatty(STDERR_FILENO) != 0;
    double totalAudio = 0.0;
    double totalCpu = 0.0;

    for (std::size_t number = 0; number < jobs.size(); ++number) {
        const Job& job = jobs[number];
        if (number > 0) host.Renew();  // no render inherits state from the one before
        if (host.ProgramCount() > 0) host.SelectProgram(job.program);
        if (preset) {
            for (const ParameterValue& value : preset->values) host.SetParameter(value.index, value.value);
        }
        for (const ParameterValue& value : overrides) host.SetParameter(value.index, value.value);
        host.Start(options.rate, options.block);

        AudioFormat format = requested;
        format.channels = host.OutputChannels();
        AudioFileWriter writer(job.output, format);
        std::string label = job.output.filename().string();
        if (jobs.size() > 1) label = "(" + std::to_string(number + 1) + "/" + std::to_string(jobs.size()) + ") " + label;
        ProgressBar bar(label);
        ProgressFunction progress;
        if (showProgress) progress = [&bar](double fraction) { bar.Show(fraction); };
        const RenderReport report = Render(host, messages, settings, writer, progress);
        writer.Commit();
        host.Stop();
        if (showProgress) bar.Finish();
        Warn(job.output, report, options);

        const double audioSeconds = static_cast<double>(report.framesRendered) / options.rate;
        totalAudio += audioSeconds;
        totalCpu += report.pluginCpuSeconds;
        if (options.bench) {
            std::printf("%s: %s s of audio (%s s written), %s s CPU in the module, %.1fx realtime\n", job.output.string().c_str(),
                        Seconds(audioSeconds).c_str(), Seconds(static_cast<double>(report.framesWritten) / options.rate).c_str(),
                        Seconds(report.pluginCpuSeconds).c_str(), audioSeconds / std::max(report.pluginCpuSeconds, 1e-9));
        }
    }
    if (options.bench && jobs.size() > 1) {
        std::printf("total: %s s of audio, %s s CPU in the module, %.1fx realtime; %s s CPU in all\n", Seconds(totalAudio).c_str(),
                    Seconds(totalCpu).c_str(), totalAudio / std::max(totalCpu, 1e-9),
                    Seconds(static_cast<double>(std::clock()) / CLOCKS_PER_SEC).c_str());
    }
    return 0;
}

constexpr char kFooter[] = R"(NOTES
  --note takes NOTE[@START][:LENGTH][/VELOCITY]. NOTE is a MIDI note number
  0..127 or a name: letter, optional # or b, octave -1..9, with C-1 = 0,
  C4 = 60 (middle C) and G9 = 127. START and LENGTH are seconds (defaults 0
  and 0.5), VELOCITY is 1..127 (default 127). Repeat --note, or separate notes
  by commas, for chords and patterns. Without --note or --midi one note C2 (36)
  is played. MIDI files play every channel's notes after their tempo map.

SOUND
  The program is chosen first, then a --preset replaces its values, then each
  --param sets one value. --param takes the identifiers --list-params prints;
  values run from 0 to 1, and the waveform, distortion type and filter mode
  selectors also take their names, e.g. --param OscWaveform1=Sine.

RENDERING
  The render runs on after the last note until the output has stayed below
  -90 dBFS for --tail seconds, or until --max-length. The file ends where the
  last note ends or the sound falls silent, whichever is later. Every render
  starts from a fresh instance of the module, so a command always writes the
  same file. Files are written beside their target under a temporary name and
  renamed when complete. The module is Dunerow.so beside this program, else
  the installed one (../lib/vst, ~/.vst, /usr/lib/vst), unless --plugin names
  another.

EXAMPLES
  dunerow-render --list-programs
  dunerow-render --program 3 --output kick.wav
  dunerow-render --program "Gabber Kick 3" --note C2:0.4 --note G2@0.5:0.4/90
  dunerow-render --program "Prophecy Pad" --note C3:2,E3:2,G3:2 --bits 32 -o pad.wav
  dunerow-render --midi groove.mid --program 20 -o groove.flac
  dunerow-render --preset my_kick.fxp --param Volume=0.4 -o my_kick.wav
  dunerow-render --batch kicks --programs 0-15,32 --rate 48000
  dunerow-render --batch all --bench
  dunerow-render --program 20 --note C2 --editor-snapshot editor.png)";

// Help lines without CLI11's "Needs:"/"Excludes:" notes and validator
// descriptions; the option texts say what matters.
class HelpFormatter : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* option) const override {
        if (option->get_type_size() == 0) return {};
        std::string text = " " + option->get_type_name();
        if (!option->get_default_str().empty()) text += "=" + option->get_default_str();
        if (option->get_expected_max() > 1) text += " ...";
        return text;
    }
};

// A check whose description stays out of the help text.
CLI::Validator Quiet(CLI::Validator validator) {
    validator.description("");
    return validator;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"Renders notes through the Dunerow VST2 instrument into WAV or FLAC files.", kProgramName};
    app.footer(kFooter);
    auto formatter = std::make_shared<HelpFormatter>();
    formatter->column_width(30);
    app.formatter(formatter);

    const std::string what = "What to play";
    auto* program = app.add_option("-p,--program", options.program, "Program to play: index or exact name (default 0)")
                        ->type_name("N|NAME")
                        ->group(what);
    auto* list = app.add_flag("--list-programs", options.listPrograms, "Print the module's programs and exit")->group(what);
    auto* listParams = app.add_flag("--list-params", options.listParameters, "Print the parameter identifiers for --param and exit")->group(what);
    auto* preset = app.add_option("--preset", options.preset, "Program file to play: .fxp, or the program text form")
                       ->type_name("FILE")
                       ->check(Quiet(CLI::ExistingFile))
                       ->group(what);
    app.add_option("--param", options.parameters, "Set a parameter after program and preset: value 0..1, or a selector's name")
        ->type_name("IDENTIFIER=VALUE")
        ->group(what);
    auto* note = app.add_option("-n,--note", options.notes, "Play a note (see NOTES); repeat for more")
                     ->type_name("NOTE[@START][:LENGTH][/VELOCITY]")
                     ->delimiter(',')
                     ->group(what);
    auto* midi = app.add_option("-m,--midi", options.midi, "Play the notes of a Standard MIDI File (type 0 or 1)")
                     ->type_name("FILE")
                     ->group(what);
    midi->excludes(note);

    const std::string where = "Output";
    auto* output = app.add_option("-o,--output", options.output, "File to write (default: <program name>.wav here)")
                       ->type_name("FILE")
                       ->group(where);
    auto* batch = app.add_option("--batch", options.batch, "Render each program into DIR as 'NNN <name>.wav'")
                      ->type_name("DIR")
                      ->group(where);
    auto* programs = app.add_option("--programs", options.programs, "With --batch: only these programs (indices, ranges 0-15, names)")
                         ->type_name("LIST")
                         ->delimiter(',')
                         ->group(where);
    batch->excludes(output)->excludes(program)->excludes(preset);
    programs->needs(batch);
    app.add_option("--format", options.format, "wav or flac (default: from the output name, else wav)")->type_name("FORMAT")->group(where);
    app.add_option("--bits", options.bits, "16 or 24 bit integers, or 32-bit float (WAV only)")
        ->type_name("16|24|32")
        ->check(Quiet(CLI::IsMember({16, 24, 32})))
        ->capture_default_str()
        ->group(where);
    app.add_option("--rate", options.rate, "Sample rate in Hz")->type_name("HZ")->check(Quiet(CLI::Range(8000, 384000)))->capture_default_str()->group(where);
    app.add_option("--block", options.block, "Frames per process call")->type_name("FRAMES")->check(Quiet(CLI::Range(1, 8192)))->capture_default_str()->group(where);
    app.add_option("--tail", options.tail, "Seconds below -90 dBFS that end the render after the last note")
        ->type_name("SECONDS")
        ->check(Quiet(CLI::Range(0.0, 600.0)))
        ->capture_default_str()
        ->group(where);
    app.add_option("--max-length", options.maximumLength, "Longest render in seconds")
        ->type_name("SECONDS")
        ->check(Quiet(CLI::Range(0.001, 3600.0)))
        ->capture_default_str()
        ->group(where);

    const std::string other = "Other";
    app.add_option("--plugin,--module", options.module, "VST2 instrument module to load (default: Dunerow.so beside this program, else the installed one)")
        ->type_name("FILE")
        ->group(other);
    app.add_flag("--bench", options.bench, "Print audio seconds, CPU seconds and the realtime factor of each render")->group(other);
    auto* snapshot = app.add_option("--editor-snapshot", options.editorSnapshot,
                                    "Draw the built-in instrument's editor after the program, params and notes into a PNG")
                         ->type_name("FILE.png")
                         ->group(other);
    app.add_option("--page", options.page, "With --editor-snapshot: the page to draw, synth or about")
        ->type_name("PAGE")
        ->capture_default_str()
        ->group(other)
        ->needs(snapshot);
    snapshot->excludes(batch)->excludes(output)->excludes(list)->excludes(listParams);
    list->excludes(listParams);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << kProgramName << ": " << e.what() << " (see --help)\n";
        return 2;
    }

    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
    try {
        return Run(options);
    } catch (const RenderError& e) {
        std::cerr << kProgramName << ": " << e.what() << "\n";
    } catch (const std::exception& e) {
        std::cerr << kProgramName << ": " << e.what() << "\n";
    }
    // Stopped by a signal: the partial file is gone; the status says which
    // signal, as a shell reports a program it ended (130 for SIGINT).
    if (interrupted.load()) return 128 + interruptSignal.load();
    return 1;
}
