#include "engine/waveform_provider.h"

#include <algorithm>
#include <cstdio>

#include "engine/block_kernels.h"
#include "engine/click_waveforms.h"
#include "engine/user_waveform_defaults.h"
#include "engine/user_waveform_file.h"

namespace Korvane {

namespace {

constexpr int kSize = WaveformTable::kSize;
constexpr double kPi = std::numbers::pi;

constexpr std::array<std::string_view, WaveformProvider::kWaveformCount> kNames = {
    "Sine",        "Sawtooth",     "Pulse",       "QuadPulse", "OctPulse",      "Triangle",  "WhiteNoize",
    "Noize",       "LQ Noize 1",   "LQ Noize 2",  "LQ Noize 3", "Pyrokinesis",  "S-Receptor", "D-Receptor",
    "Shikoku",     "KIC 8462852",  "Synapsis",    "Brick-Breaker", "Wavescape", "Geo-Chirp", "Wave-Garden",
    "User1",       "User2",        "User3",       "User4",     "User5",         "User6",     "User7",
    "User8",       "User9",        "User10",      "User11",    "User12",        "User13",    "User14",
    "User15",
};

// The older names of the table shapes 11..20.
constexpr std::array<std::string_view, 10> kFormAliases = {"Form1", "Form2", "Form3", "Form4", "Form5",
                                                          "Form6", "Form7", "Form8", "Form9", "Form10"};
constexpr int kFirstFormShape = 11;

// Smoothing widths per octave index: the built-in shapes, and the user waveforms.
constexpr std::array<int, WaveformTableSet::kOctaves> kShapeWidths = {8, 24, 40, 60, 80, 110, 150, 200};
constexpr std::array<int, WaveformTableSet::kOctaves> kUserWidths = {8, 14, 22, 32, 44, 64, 80, 100};

constexpr double kTablePeak = 0.98777;
constexpr double kUserTablePeak = 0.998777;
constexpr int kNormalisedUserTables = 13;  // the ones that can come from files
constexpr uint32_t kTableSeed = 1600;

// Triangle through 0 at 0, +1 at 1/4 and -1 at 3/4.
double Tri(double x) {
    const double f = x - std::floor(x);
    if (f < 0.25) return 4.0 * f;
    if (f < 0.75) return 2.0 - 4.0 * f;
    return 4.0 * (f - 1.0);
}

template <typename Shape>
std::unique_ptr<WaveformTableSet> BuildShapeSet(const char* name, Shape shape, bool normalise) {
    auto set = std::make_unique<WaveformTableSet>(name);
    for (int octave = 0; octave < WaveformTableSet::kOctaves; ++octave) {
        auto samples = set->Table(octave).Samples();
        const int edge = 8 * octave;
        for (int j = 0; j < kSize; ++j) {
            const bool silent = j < edge || j == kSize / 2 - 1 || j > kSize - edge;
            samples[static_cast<std::size_t>(j)] = silent ? 0.0 : shape(static_cast<double>(j) / kSize);
        }
        set->Table(octave).Smooth(kShapeWidths[static_cast<std::size_t>(octave)]);
        if (normalise) set->Table(octave).Normalise(1.0);
    }
    return set;
}

std::unique_ptr<WaveformTableSet> BuildUserSet(const WaveformTable& source) {
    auto set = std::make_unique<WaveformTableSet>("Waveform");
    for (int octave = 0; octave < WaveformTableSet::kOctaves; ++octave) {
        WaveformTable& table = set->Table(octave);
        std::ranges::copy(source.Samples(), table.Samples().begin());
        table.Smooth(kUserWidths[static_cast<std::size_t>(octave)]);
        table.Normalise(1.0);
    }
    return set;
}

void FillDefaultUserTable(int user, WaveformTable& table) {
    const auto& source = kUserWaveformDefaults[static_cast<std::size_t>(user)];
    auto samples = table.Samples();
    for (int j = 0; j < kSize; ++j) samples[static_cast<std::size_t>(j)] = source[static_cast<std::size_t>(j)] * kStoredSampleScale;
}

// The band-limited sets are the same for every instance: built once per
// process, on first use, and only read afterwards.
struct DefaultSets {
    std::array<std::unique_ptr<WaveformTableSet>, 4> shapes;
    std::array<std::unique_ptr<WaveformTableSet>, WaveformProvider::kUserTableCount> users;
};

const DefaultSets& SharedDefaultSets() {
    static const DefaultSets sets = [] {
        DefaultSets built;
        built.shapes[0] = BuildShapeSet("Saw", [](double x) { return x <= 0.5 ? 2.0 * x : 2.0 * x - 2.0; }, true);
        built.shapes[1] = BuildShapeSet("Pulse", [](double x) { return x < 0.5 ? 1.0 : -1.0; }, false);
        built.shapes[2] = BuildShapeSet("QuadPulse", [](double x) { return x < 0.25 ? 1.0 : -1.0; }, false);
        built.shapes[3] = BuildShapeSet("OctPulse", [](double x) { return x < 0.125 ? 1.0 : -1.0; }, false);
        WaveformTable table;
        for (int user = 0; user < WaveformProvider::kUserTableCount; ++user) {
            FillDefaultUserTable(user, table);
            built.users[static_cast<std::size_t>(user)] = BuildUserSet(table);
        }
        return built;
    }();
    return sets;
}

}  // namespace

WaveformProvider::WaveformProvider() {
    const DefaultSets& sets = SharedDefaultSets();
    for (std::size_t i = 0; i < shapeSets_.size(); ++i) shapeSets_[i] = sets.shapes[i].get();
    for (std::size_t i = 0; i < userSets_.size(); ++i) userSets_[i] = sets.users[i].get();
    for (int user = 0; user < kUserTableCount; ++user) FillDefaultUserTable(user, userTables_[static_cast<std::size_t>(user)]);
}

WaveformProvider::~WaveformProvider() = default;

std::string_view WaveformProvider::NameOfIndex(int index) {
    if (index < 0 || index >= kWaveformCount) return kNames[0];
    return kNames[static_cast<std::size_t>(index)];
}

int WaveformProvider::IndexOfName(std::string_view name) {
    for (int i = 0; i < kWaveformCount; ++i) {
        if (kNames[static_cast<std::size_t>(i)] == name) return i;
    }
    for (int i = 0; i < static_cast<int>(kFormAliases.size()); ++i) {
        if (kFormAliases[static_cast<std::size_t>(i)] == name) return kFirstFormShape + i;
    }
    return 0;
}

const WaveformTableSet& WaveformProvider::BandLimitedSet(int waveformIndex) const {
    if (waveformIndex >= kFirstUserWaveform && waveformIndex < kWaveformCount) {
        return *userSets_[static_cast<std::size_t>(waveformIndex - kFirstUserWaveform)];
    }
    return *shapeSets_[static_cast<std::size_t>(std::clamp(waveformIndex, 1, 4) - 1)];
}

void WaveformProvider::FillSingleCycleTables() {
    noise_.Seed(kTableSeed);
    auto draw = [this] { return ((noise_.Next() % 7000) - 3500) / 3500.0; };
    double lqNoise1 = 0.0;
    double lqNoise2 = 0.0;
    double lqNoise3 = 0.0;

    for (int j = 0; j < kSize; ++j) {
        const auto at = static_cast<std::size_t>(j);
        const double x = static_cast<double>(j) / kSize;
        const double s = std::sin(kPi * x);
        const double square = j < kSize / 2 ? 1.0 : -1.0;

        SingleCycle(kSine).Samples()[at] = std::sin(2.0 * kPi * x);

        double e = std::sin(2.0 * kPi * x);
        if (e > 0.5) {
            e -= Tri(x);
        } else if (e < -0.5) {
            e += std::abs(Tri(x));
        }
        SingleCycle(11).Samples()[at] = -e * s;

        SingleCycle(12).Samples()[at] = std::clamp(std::tan(kPi * x), -4.0, 4.0);
        SingleCycle(13).Samples()[at] = std::clamp(std::tan(2.0 * kPi * x), -4.0, 4.0);

        SingleCycle(14).Samples()[at] = (x < 0.25 || x >= 0.75) ? 0.5 * Tri(2.0 * x) : Tri(2.0 * (x - 0.25));

        const double kic = x < 0.5 ? std::clamp(4.4 * std::sin(4.0 * kPi * x), -1.0, 1.0) : 0.5 * Tri(2.0 * (x - 0.5));
        SingleCycle(15).Samples()[at] = kic + 0.25 * Tri(4.0 * x);

        // The four noise tables draw from one sequence, in this order.
        SingleCycle(7).Samples()[at] = draw();
        if (j % 96 == 0) lqNoise1 = draw();
        SingleCycle(8).Samples()[at] = lqNoise1;
        if (j % 48 == 0) {
            const double r = draw();
            lqNoise2 = (Tri(x / 2.0) * r + r) * 0.5;
        }
        SingleCycle(9).Samples()[at] = lqNoise2;
        if (j % 24 == 0) lqNoise3 = draw() * Tri(x);
        SingleCycle(10).Samples()[at] = lqNoise3;

        SingleCycle(16).Samples()[at] = std::clamp(0.7 * square - std::sin(16.0 * kPi * x) * 0.4 * square * s * s, -1.0, 1.0);
        SingleCycle(17).Samples()[at] = (x >= 0.1 && x < 0.3) ? 1.0 : (x >= 0.6 && x < 0.7) ? -1.0 : 0.0;
        SingleCycle(19).Samples()[at] = Tri(60.0 * std::pow(1.0 - x, 15.0)) * std::cos(kPi * x / 2.0);
        SingleCycle(20).Samples()[at] = std::sin(4.0 * kPi * x) * std::pow(s, 4.0) + std::sin(12.0 * kPi * x) * (1.0 - s) * 0.25;
    }
}

void WaveformProvider::LoadUserFiles() {
    std::array<bool, kUserTableCount> loaded{};
    if (!baseDirectory_.empty()) {
        const std::filesystem::path folder = baseDirectory_ / kFolderName;
        // user01..user09 fill User1..User9; user10 fills User10 to User13.
        for (int file = 1; file <= 10; ++file) {
            char stem[16];
            std::snprintf(stem, sizeof stem, "user%02d", file);
            std::filesystem::path path = folder / (std::string(stem) + ".raw");
            std::error_code error;
            if (!std::filesystem::exists(path, error)) path = folder / (std::string(stem) + ".wav");
            const int lastTable = file == 10 ? 13 : file;
            for (int user = file; user <= lastTable; ++user) {
                const auto slot = static_cast<std::size_t>(user - 1);
                loaded[slot] = LoadUserWaveformFile(path, userTables_[slot].Samples(), scratch_.Samples()) || loaded[slot];
            }
        }
    }
    for (int user = 0; user < kNormalisedUserTables; ++user) userTables_[static_cast<std::size_t>(user)].Normalise(kUserTablePeak);

    // A waveform read from a file gets sets of its own, so that it sounds.
    for (std::size_t user = 0; user < loaded.size(); ++user) {
        if (!loaded[user]) continue;
        loadedUserSets_[user] = BuildUserSet(userTables_[user]);
        userSets_[user] = loadedUserSets_[user].get();
    }
}

void WaveformProvider::BuildTables() {
    FillSingleCycleTables();
    LoadUserFiles();
    SingleCycle(17).Smooth(16);
    for (int index = 7; index <= 20; ++index) {
        if (index != kWavescape) SingleCycle(index).Normalise(kTablePeak);
    }
}

void WaveformProvider::RenderPreview(double shapeValue, bool invert, std::span<double, kPreviewPoints> destination) const {
    // The picture of noise draws from a generator of its own: drawing it must
    // not move the sequence the voices play.
    LcgRandom previewNoise;
    const bool noise = IndexOf(shapeValue) == kWhiteNoise;
    for (int i = 0; i < kPreviewPoints; ++i) {
        const double sample = noise ? previewNoise.Next() / 32767.0 * 2.0 - 1.0
                                    : GetSample(shapeValue, static_cast<double>(i) / kPreviewPoints, 0);
        destination[static_cast<std::size_t>(i)] = invert ? FoldInverted(sample) : sample;
    }
}

bool WaveformProvider::SubmitUserWaveform(double shapeValue, std::span<const double, WaveformTable::kSize> samples) {
    if (refreshRequested_.load(std::memory_order_acquire)) return false;
    std::ranges::copy(samples, incoming_.Samples().begin());
    incomingShape_ = shapeValue;
    refreshRequested_.store(true, std::memory_order_release);
    return true;
}

void WaveformProvider::ApplyPendingUserWaveform() {
    if (!refreshRequested_.load(std::memory_order_acquire)) return;
    const int index = IndexOf(incomingShape_);
    if (index >= kFirstUserWaveform) {
        std::ranges::copy(incoming_.Samples(), userTables_[static_cast<std::size_t>(index - kFirstUserWaveform)].Samples().begin());
        std::ranges::fill(incoming_.Samples(), 0.0);
    }
    refreshRequested_.store(false, std::memory_order_release);
}

}  // namespace Korvane

namespace Korvane {

void WaveformProvider::GetSamples(double shapeValue, const double* phase, double* out, int count, int octave) const {
    const int index = IndexOf(shapeValue);
    const int table = std::clamp(octave, 0, WaveformTableSet::kOctaves - 1);
    const bool unfiltered = octave < 0;
    const WaveformTableSet* set = nullptr;
    if (index >= kFirstUserWaveform) {
        set = userSets_[static_cast<std::size_t>(index - kFirstUserWaveform)];
    } else if (index >= kSawtooth && index <= kOctPulse && !unfiltered) {
        set = shapeSets_[static_cast<std::size_t>(index - kSawtooth)];
    }
    if (set != nullptr) {
        kernels::ReadInterpolated(set->Table(table).Samples().data(), phase, out, count);
    } else if (index == kSawtooth) {
        kernels::RawSawtooth(phase, out, count);
    } else if (index >= kPulse && index <= kOctPulse) {
        constexpr std::array<double, 3> kWidths = {0.5, 0.25, 0.125};
        kernels::RawPulse(phase, kWidths[static_cast<std::size_t>(index - kPulse)], out, count);
    } else if (index == kTriangle) {
        kernels::Triangle(phase, out, count);
    } else if (index == kSine) {
        kernels::SineOfCycles(phase, out, count);
    } else if (index > kWhiteNoise && index < kFirstUserWaveform && index != kWavescape) {
        kernels::ReadNearest(SingleCycleTable(index).Samples().data(), phase, out, count);
    } else {
        for (int i = 0; i < count; ++i) out[i] = GetSample(shapeValue, phase[i], octave);
    }
}

}  // namespace Korvane
