// Writes the built-in sample data of the engine as two C++ sources:
//
//   OUTPUT_DIR/click_waveforms_data.cpp        the four click transients
//   OUTPUT_DIR/user_waveform_defaults_data.cpp the 15 default user waveforms
//
// Usage: generate_waveform_data OUTPUT_DIR
//
// Every waveform is computed from closed formulas and from a fixed-seed
// linear congruential generator, so repeated runs write identical bytes.
// Only the standard library is used; the tool is built by hand, e.g.
//   g++ -std=c++20 -O2 -o generate_waveform_data generate_waveform_data.cpp
// and its output is checked in under src/engine/.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kSampleRate = 44100.0;
constexpr int kFullScale = 32767;
constexpr int kValuesPerLine = 16;

using Signal = std::vector<double>;
using Samples = std::vector<int16_t>;

// The C run-time generator (state x 214013 + 2531011 mod 2^32, bits 16..30
// as output), kept local so the data never depends on a library's generator.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}

    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

    // Uniform value in [-1, 1].
    double NextBipolar() { return 2.0 * static_cast<double>(Next()) / 32767.0 - 1.0; }

    // Uniform value in [0, 1).
    double NextUnit() { return static_cast<double>(Next()) / 32768.0; }

private:
    uint32_t state_;
};

int16_t Quantise(double value) {
    const double clamped = std::clamp(value, -static_cast<double>(kFullScale), static_cast<double>(kFullScale));
    return static_cast<int16_t>(std::lround(clamped));
}

double Fraction(double x) { return x - std::floor(x); }

// ---------------------------------------------------------------------------
// Clicks

// Coefficient of a one-pole low-pass y += a (x - y) with corner `hz`.
double OnePoleCoefficient(double hz) { return 1.0 - std::exp(-kTwoPi * hz / kSampleRate); }

// Time in seconds of sample `n`.
double Seconds(std::size_t n) { return static_cast<double>(n) / kSampleRate; }

// A sine whose frequency glides exponentially from `startHz` towards
// `endHz` with time constant `glideSeconds`, under an exponential decay
// with time constant `decaySeconds`. Starts at phase 0.
Signal DecayingChirp(std::size_t length, double startHz, double endHz, double glideSeconds, double decaySeconds) {
    Signal out(length);
    double phase = 0.0;
    for (std::size_t n = 0; n < length; ++n) {
        const double t = Seconds(n);
        out[n] = std::sin(kTwoPi * phase) * std::exp(-t / decaySeconds);
        const double hz = endHz + (startHz - endHz) * std::exp(-t / glideSeconds);
        phase = Fraction(phase + hz / kSampleRate);
    }
    return out;
}

// LCG noise through two one-pole low-passes and a DC blocker, under an
// exponential decay with time constant `decaySeconds`.
Signal DecayingNoise(std::size_t length, uint32_t seed, double cornerHz1, double cornerHz2, double decaySeconds) {
    Lcg random(seed);
    const double a1 = OnePoleCoefficient(cornerHz1);
    const double a2 = OnePoleCoefficient(cornerHz2);
    constexpr double kDcBlockerPole = 0.995;
    double lp1 = 0.0;
    double lp2 = 0.0;
    double previousInput = 0.0;
    double dcBlocked = 0.0;
    Signal out(length);
    for (std::size_t n = 0; n < length; ++n) {
        lp1 += a1 * (random.NextBipolar() - lp1);
        lp2 += a2 * (lp1 - lp2);
        dcBlocked = lp2 - previousInput + kDcBlockerPole * dcBlocked;
        previousInput = lp2;
        out[n] = dcBlocked * std::exp(-Seconds(n) / decaySeconds);
    }
    return out;
}

// Raised-cosine fade-in over the first `fadeIn` samples (the first sample
// becomes 0) and fade-out over the last `fadeOut` (the last becomes 0).
void ApplyEdgeFades(Signal& signal, std::size_t fadeIn, std::size_t fadeOut) {
    const std::size_t length = signal.size();
    for (std::size_t k = 0; k < fadeIn && k < length; ++k) {
        signal[k] *= 0.5 - 0.5 * std::cos(kPi * static_cast<double>(k) / static_cast<double>(fadeIn));
    }
    for (std::size_t k = 0; k < fadeOut && k < length; ++k) {
        const double gain = 0.5 + 0.5 * std::cos(kPi * static_cast<double>(k + 1) / static_cast<double>(fadeOut));
        signal[length - fadeOut + k] *= gain;
    }
}

// Scales the positive half so its largest value lands on `positivePeak`
// and the negative half so its lowest lands on -`negativePeak` (both as
// fractions of full scale), then quantises. Zero crossings stay in place.
Samples ScaleHalvesAndQuantise(const Signal& signal, double positivePeak, double negativePeak) {
    double maxPositive = 0.0;
    double minNegative = 0.0;
    for (const double v : signal) {
        maxPositive = std::max(maxPositive, v);
        minNegative = std::min(minNegative, v);
    }
    const double positiveGain = maxPositive > 0.0 ? positivePeak * kFullScale / maxPositive : 0.0;
    const double negativeGain = minNegative < 0.0 ? negativePeak * kFullScale / -minNegative : 0.0;
    Samples out(signal.size());
    for (std::size_t n = 0; n < signal.size(); ++n) {
        const double v = signal[n];
        out[n] = Quantise(v > 0.0 ? v * positiveGain : v * negativeGain);
    }
    return out;
}

struct Click {
    const char* name;
    const char* description;
    Samples samples;
};

constexpr std::size_t kClickFadeIn = 8;
constexpr std::size_t kClickFadeOut = 64;

// Beater: a fast downward chirp from 4 kHz to 150 Hz, gone within 33 ms.
Samples MakeBeaterClick() {
    Signal s = DecayingChirp(1460, 4000.0, 150.0, 0.004, 0.007);
    ApplyEdgeFades(s, kClickFadeIn, kClickFadeOut);
    return ScaleHalvesAndQuantise(s, 0.998, 0.98);
}

// Snap: a burst of noise band-limited to a few kHz, decaying very fast.
Samples MakeSnapClick() {
    Signal s = DecayingNoise(1953, 0x2B0Du, 6000.0, 3500.0, 0.004);
    ApplyEdgeFades(s, kClickFadeIn, kClickFadeOut);
    return ScaleHalvesAndQuantise(s, 0.9999, 0.9999);
}

// Thump: a lower sweep from 900 Hz to 60 Hz with a slower decay, weighted
// towards its positive half.
Samples MakeThumpClick() {
    Signal s = DecayingChirp(4174, 900.0, 60.0, 0.012, 0.022);
    ApplyEdgeFades(s, kClickFadeIn, kClickFadeOut);
    return ScaleHalvesAndQuantise(s, 0.997, 0.75);
}

// Mixed: a 2.5 kHz to 90 Hz chirp with a short breath of noise on its
// attack, medium decay.
Samples MakeMixedClick() {
    constexpr std::size_t kLength = 5030;
    Signal s = DecayingChirp(kLength, 2500.0, 90.0, 0.006, 0.016);
    const Signal noise = DecayingNoise(kLength, 0x4C1Cu, 7000.0, 5000.0, 0.003);
    for (std::size_t n = 0; n < kLength; ++n) s[n] += 0.25 * noise[n];
    ApplyEdgeFades(s, kClickFadeIn, kClickFadeOut);
    return ScaleHalvesAndQuantise(s, 1.0, 0.91);
}

// ---------------------------------------------------------------------------
// User waveforms

constexpr std::size_t kWaveLength = 4096;
constexpr double kWavePeak = 0.9886;

// Samples one cycle of `shape(x)`, x = j / kWaveLength.
template <typename Shape>
Signal SampleCycle(Shape shape) {
    Signal out(kWaveLength);
    for (std::size_t j = 0; j < kWaveLength; ++j) out[j] = shape(static_cast<double>(j) / static_cast<double>(kWaveLength));
    return out;
}

// Sum of sines: amplitudes[n - 1] and phases[n - 1] (in cycles) of harmonic n.
Signal Additive(const std::vector<double>& amplitudes, const std::vector<double>& phases = {}) {
    return SampleCycle([&](double x) {
        double sum = 0.0;
        for (std::size_t i = 0; i < amplitudes.size(); ++i) {
            if (amplitudes[i] == 0.0) continue;
            const double harmonic = static_cast<double>(i + 1);
            const double phase = i < phases.size() ? phases[i] : 0.0;
            sum += amplitudes[i] * std::sin(kTwoPi * (harmonic * x + phase));
        }
        return sum;
    });
}

// Keeps harmonics 1..`harmonics` of a cycle sampled on an oversampled grid,
// removing the aliasing its discontinuities would otherwise bring.
template <typename Shape>
Signal BandLimited(Shape shape, int harmonics) {
    constexpr std::size_t kOversampling = 8;
    constexpr std::size_t kGrid = kWaveLength * kOversampling;
    Signal grid(kGrid);
    for (std::size_t k = 0; k < kGrid; ++k) grid[k] = shape((static_cast<double>(k) + 0.5) / static_cast<double>(kGrid));
    std::vector<double> sines(static_cast<std::size_t>(harmonics));
    std::vector<double> cosines(static_cast<std::size_t>(harmonics));
    for (int h = 1; h <= harmonics; ++h) {
        double s = 0.0;
        double c = 0.0;
        for (std::size_t k = 0; k < kGrid; ++k) {
            const double angle = kTwoPi * static_cast<double>(h) * (static_cast<double>(k) + 0.5) / static_cast<double>(kGrid);
            s += grid[k] * std::sin(angle);
            c += grid[k] * std::cos(angle);
        }
        sines[static_cast<std::size_t>(h - 1)] = 2.0 * s / static_cast<double>(kGrid);
        cosines[static_cast<std::size_t>(h - 1)] = 2.0 * c / static_cast<double>(kGrid);
    }
    return SampleCycle([&](double x) {
        double sum = 0.0;
        for (int h = 1; h <= harmonics; ++h) {
            const double angle = kTwoPi * static_cast<double>(h) * x;
            sum += sines[static_cast<std::size_t>(h - 1)] * std::sin(angle) +
                   cosines[static_cast<std::size_t>(h - 1)] * std::cos(angle);
        }
        return sum;
    });
}

// Harmonic amplitudes of a vowel on a low fundamental: a gentle 1/n tilt
// plus Gaussian formant bumps centred on harmonic `centre` with `width`.
struct Formant {
    double centre;
    double width;
    double level;
};

Signal Vowel(const std::vector<Formant>& formants) {
    constexpr int kHarmonics = 40;
    std::vector<double> amplitudes(kHarmonics);
    for (int n = 1; n <= kHarmonics; ++n) {
        double a = 0.15 / static_cast<double>(n);
        for (const Formant& f : formants) {
            const double d = (static_cast<double>(n) - f.centre) / f.width;
            a += f.level * std::exp(-d * d);
        }
        amplitudes[static_cast<std::size_t>(n - 1)] = a;
    }
    // Alternating sine and cosine phases keep the harmonics from lining up
    // into one tall spike, so the cycle carries more energy at the same peak.
    std::vector<double> phases(kHarmonics);
    for (int n = 1; n <= kHarmonics; ++n) phases[static_cast<std::size_t>(n - 1)] = (n % 2 == 0) ? 0.25 : 0.0;
    return Additive(amplitudes, phases);
}

// Removes the mean, scales the largest magnitude to kWavePeak of full scale
// and quantises.
Samples NormaliseCycle(Signal cycle) {
    double mean = 0.0;
    for (const double v : cycle) mean += v;
    mean /= static_cast<double>(cycle.size());
    double peak = 0.0;
    for (double& v : cycle) {
        v -= mean;
        peak = std::max(peak, std::abs(v));
    }
    const double gain = peak > 0.0 ? kWavePeak * kFullScale / peak : 0.0;
    Samples out(cycle.size());
    for (std::size_t j = 0; j < cycle.size(); ++j) out[j] = Quantise(cycle[j] * gain);
    return out;
}

struct Wave {
    const char* description;
    Samples samples;
};

std::vector<Wave> MakeUserWaveforms() {
    std::vector<Wave> waves;
    const auto add = [&](const char* description, Signal cycle) {
        waves.push_back({description, NormaliseCycle(std::move(cycle))});
    };

    {
        std::vector<double> a(24);
        for (std::size_t i = 0; i < a.size(); ++i) a[i] = 1.0 / static_cast<double>(i + 1);
        add("soft saw: 24 harmonics at 1/n", Additive(a));
    }
    {
        std::vector<double> a(31);
        for (std::size_t i = 0; i < a.size(); i += 2) a[i] = 1.0 / std::pow(static_cast<double>(i + 1), 1.5);
        add("square-ish: odd harmonics to 31 at 1/n^1.5", Additive(a));
    }
    add("organ: sine with half its level of second harmonic", Additive({1.0, 0.5}));
    add("hollow: sine with 0.4 of third harmonic", Additive({1.0, 0.0, 0.4}));
    add("vowel \"ah\": formants near harmonics 7 and 11",
        Vowel({{7.0, 1.6, 1.0}, {11.0, 2.0, 0.7}, {25.0, 2.5, 0.12}}));
    add("vowel \"ee\": formants near harmonics 3 and 23",
        Vowel({{3.0, 1.0, 1.0}, {23.0, 2.2, 0.35}, {30.0, 2.5, 0.2}}));
    add("sync: saw at 2.5 times the cycle under a sin(pi x) window, 64 harmonics",
        BandLimited([](double x) { return (2.0 * Fraction(2.5 * x) - 1.0) * std::sin(kPi * x); }, 64));
    add("phase distortion: cosine whose first half-cycle is squeezed into 20%", SampleCycle([](double x) {
            constexpr double kKnee = 0.2;
            const double phase = x < kKnee ? 0.5 * x / kKnee : 0.5 + 0.5 * (x - kKnee) / (1.0 - kKnee);
            return -std::cos(kTwoPi * phase);
        }));
    add("2-operator FM: modulator at 3 times the carrier, index 2",
        SampleCycle([](double x) { return std::sin(kTwoPi * x + 2.0 * std::sin(kTwoPi * 3.0 * x)); }));
    add("half-wave rectified sine", SampleCycle([](double x) { return std::max(0.0, std::sin(kTwoPi * x)); }));
    add("full-wave rectified sine", SampleCycle([](double x) { return std::abs(std::sin(kTwoPi * x)); }));
    {
        constexpr double kWidth = 0.2;
        std::vector<double> a(40);
        std::vector<double> p(40);
        // Fourier series of a pulse high over [0, kWidth): harmonic n is a
        // cosine of amplitude 2 sin(n pi w) / (n pi) centred on w / 2.
        for (std::size_t i = 0; i < a.size(); ++i) {
            const double n = static_cast<double>(i + 1);
            a[i] = 2.0 * std::sin(n * kPi * kWidth) / (n * kPi);
            p[i] = 0.25 - n * 0.5 * kWidth;
        }
        add("20% pulse: 40 harmonics", Additive(a, p));
    }
    add("soft-clipped triangle: tanh(3 tri) / tanh(3)", SampleCycle([](double x) {
            const double triangle = 4.0 * std::abs(Fraction(x + 0.75) - 0.5) - 1.0;
            return std::tanh(3.0 * triangle) / std::tanh(3.0);
        }));
    add("stepped sine: 8 steps per cycle", SampleCycle([](double x) {
            return std::sin(kTwoPi * (std::floor(8.0 * x) + 0.5) / 8.0);
        }));
    {
        Lcg random(0x0F15u);
        std::vector<double> a(32);
        std::vector<double> p(32);
        for (std::size_t i = 0; i < a.size(); ++i) {
            a[i] = 1.0 / static_cast<double>(i + 1);
            p[i] = random.NextUnit();
        }
        add("bright stack: 32 harmonics at 1/n with fixed random phases", Additive(a, p));
    }
    return waves;
}

// ---------------------------------------------------------------------------
// Output

constexpr const char* kGeneratedBanner =
    "// Generated by tools/waveform_data/generate_waveform_data.cpp. Do not edit by hand;\n"
    "// change the generator and run it again.\n";

void WriteValues(std::ostringstream& out, const Samples& samples, const char* indent) {
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (i % kValuesPerLine == 0) out << indent;
        out << samples[i] << ',';
        out << ((i % kValuesPerLine == kValuesPerLine - 1 || i + 1 == samples.size()) ? '\n' : ' ');
    }
}

std::string ClickSource(const std::vector<Click>& clicks) {
    std::ostringstream out;
    out << kGeneratedBanner << '\n'
        << "#include \"engine/click_waveforms.h\"\n\n"
        << "namespace Korvane {\n\n"
        << "// clang-format off\n";
    for (const Click& click : clicks) {
        out << "\n// " << click.description << "\n"
            << "static const int16_t " << click.name << '[' << click.samples.size() << "] = {\n";
        WriteValues(out, click.samples, "    ");
        out << "};\n";
    }
    out << "\n// clang-format on\n\n"
        << "const std::array<std::span<const int16_t>, 4> kClickWaveforms = {{\n";
    for (const Click& click : clicks) out << "    std::span<const int16_t>(" << click.name << "),\n";
    out << "}};\n\n"
        << "}  // namespace Korvane\n";
    return out.str();
}

std::string UserWaveformSource(const std::vector<Wave>& waves) {
    std::ostringstream out;
    out << kGeneratedBanner << '\n'
        << "#include \"engine/user_waveform_defaults.h\"\n\n"
        << "namespace Korvane {\n\n"
        << "// clang-format off\n"
        << "const std::array<std::array<int16_t, kUserWaveformLength>, kUserWaveformCount> kUserWaveformDefaults = {{\n";
    for (std::size_t w = 0; w < waves.size(); ++w) {
        out << "    // User " << (w + 1) << ": " << waves[w].description << "\n"
            << "    {{\n";
        WriteValues(out, waves[w].samples, "        ");
        out << "    }},\n";
    }
    out << "}};\n"
        << "// clang-format on\n\n"
        << "}  // namespace Korvane\n";
    return out.str();
}

bool WriteFile(const std::filesystem::path& path, const std::string& contents) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    file.close();
    return !file.fail();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_waveform_data OUTPUT_DIR\n");
        return 2;
    }
    const std::filesystem::path outputDir(argv[1]);
    std::error_code error;
    if (!std::filesystem::is_directory(outputDir, error)) {
        std::fprintf(stderr, "generate_waveform_data: not a directory: %s\n", argv[1]);
        return 2;
    }

    std::vector<Click> clicks;
    clicks.push_back({"kClickWaveform1", "Click 1, beater: chirp from 4 kHz down to 150 Hz, fast decay.", MakeBeaterClick()});
    clicks.push_back({"kClickWaveform2", "Click 2, snap: band-limited noise burst, very fast decay.", MakeSnapClick()});
    clicks.push_back({"kClickWaveform3", "Click 3, thump: sweep from 900 Hz down to 60 Hz, slower decay.", MakeThumpClick()});
    clicks.push_back({"kClickWaveform4", "Click 4, mixed: chirp from 2.5 kHz with a little noise, medium decay.", MakeMixedClick()});
    const std::vector<Wave> waves = MakeUserWaveforms();

    const std::filesystem::path clickPath = outputDir / "click_waveforms_data.cpp";
    const std::filesystem::path wavePath = outputDir / "user_waveform_defaults_data.cpp";
    if (!WriteFile(clickPath, ClickSource(clicks))) {
        std::fprintf(stderr, "generate_waveform_data: cannot write %s\n", clickPath.string().c_str());
        return 1;
    }
    if (!WriteFile(wavePath, UserWaveformSource(waves))) {
        std::fprintf(stderr, "generate_waveform_data: cannot write %s\n", wavePath.string().c_str());
        return 1;
    }
    return 0;
}
