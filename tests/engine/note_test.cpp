#include "engine/note.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <vector>

#include "engine/biquad_tweaked_butterworth_hp.h"
#include "engine/click_waveforms.h"
#include "engine/four_pole_low_pass.h"
#include "engine/modulator.h"
#include "engine/waveform_provider.h"
#include "instrument/parameter_table.h"

using Korvane::ADSR;
using Korvane::BiquadTweakedButterworthHP;
using Korvane::FourPoleLowPass;
using Korvane::Modulator;
using Korvane::Note;
using Korvane::NoteContext;
using Korvane::WaveformProvider;

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kDetuneStep = 0.05946309435899999;
constexpr double kSentinel = 7.0;

// The shape value that selects waveform `index` of 36.
double Shape(int index) { return index / 35.0; }

// One block of the plug-in's voice sum and bass-layer buffer.
struct Block {
    explicit Block(int frames, double fill = 0.0)
        : left(static_cast<std::size_t>(frames), fill),
          right(static_cast<std::size_t>(frames), fill),
          bass(static_cast<std::size_t>(frames), fill) {}
    int Frames() const { return static_cast<int>(left.size()); }
    std::vector<double> left, right, bass;
};

// Stored click `table` (0..3) at `index`, in -1..1.
double StoredClick(std::size_t table, std::size_t index) {
    return Korvane::kClickWaveforms[table][index] * (1.0 / 32767.0);
}

// The synthetic part of the click at frame n, from its law: a sine whose
// phase grows by e^20 on every frame of the window, shaped by
// e = (1 - (n - start) / length)^20, inside start < n < start + length.
double SyntheticClick(int64_t n, double rate, double weight, double amount) {
    const auto start = static_cast<int64_t>(std::trunc(rate * 0.001));
    const auto length = static_cast<int64_t>(std::trunc(rate * 0.2));
    auto shape = [&](int64_t m) {
        return std::pow(1.0 - static_cast<double>(m - start) / static_cast<double>(length), 20.0);
    };
    double phase = 0.0;
    for (int64_t m = 0; m < n; ++m) {
        if (start < m && m < start + length) phase += std::pow(shape(m), 20.0);
    }
    if (!(start < n && n < start + length)) return 0.0;
    return std::sin(phase) * shape(n) * weight * amount;
}

class NoteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        provider_ = new WaveformProvider();
        provider_->BuildTables();
    }
    static void TearDownTestSuite() {
        delete provider_;
        provider_ = nullptr;
    }

    NoteTest() { program_.fill(0.0); }

    double& P(param::Id id) { return program_[static_cast<std::size_t>(id)]; }

    // A voice reading this fixture's program, at `rate` with room for `capacity` frames.
    std::unique_ptr<Note> MakeNote(double rate = 44100.0, int capacity = 64) {
        auto note = std::make_unique<Note>();
        note->Connect(NoteContext{program_.data(), &transpose_, &pitch_, provider_});
        note->SetSampleRate(rate);
        note->EnsureCapacity(capacity);
        return note;
    }

    // Oscillator 1 on at full volume, centred, through the fully open low-pass.
    void UseOscillator1(double shape) {
        P(param::Osc1OnOff) = 1.0;
        P(param::OscVolume1) = 1.0;
        P(param::OscWaveform1) = shape;
        P(param::OscPan1) = 0.5;
        P(param::OscFilterCutoff1) = 1.0;
    }

    // Every key at 44 Hz through the raw shapes: an unfiltered pulse then
    // reads exactly +1 for the first 500 frames of a note.
    void UseSteadyPulse() {
        P(param::KickTransposeMode) = 1.0;
        UseOscillator1(Shape(WaveformProvider::kPulse));
        P(param::BassLayerAmount) = 1.0;
    }

    // Instant attacks, the volume envelope held at 0.5, both releasing over
    // `release` seconds (time scale 1).
    static void ConfigureEnvelopes(ADSR& volume, ADSR& filter, double release) {
        for (ADSR* envelope : {&volume, &filter}) {
            envelope->SetTimeScale(1.0);
            envelope->SetAttack(0.000001);
            envelope->SetDecay(0.001);
            envelope->SetRelease(release);
        }
        volume.SetSustain(0.5);
        filter.SetSustain(1.0);
    }

    static void StartNote(Note& note, int number = 69, int velocity = 127) {
        note.SetNoteNumber(number);
        note.Start(velocity);
    }

    // One block as the voice pool drives it: raw samples for frames
    // [from, end), then the mix pass over the whole block.
    static void Play(Note& note, Block& block, int from = 0) {
        for (int j = from; j < block.Frames(); ++j) note.GenerateSample();
        note.MixBlock(block.left.data(), block.right.data(), block.bass.data(), block.Frames());
    }

    static void PlayBlocks(Note& note, int blocks, int frames = 64) {
        for (int b = 0; b < blocks; ++b) {
            Block block(frames);
            Play(note, block);
        }
    }

    // The click at frame n of a note started at `rate`, rendering the frames
    // before it the way the voice does.
    double ClickAt(int n, double amount, double rate = 44100.0) {
        P(param::BassLayerClick) = amount;
        auto note = MakeNote(rate);
        StartNote(*note);
        for (int j = 0; j < n; ++j) note->GenerateSample();
        return note->RenderClick();
    }

    static WaveformProvider* provider_;
    std::array<double, kParameterCount> program_{};
    double transpose_ = 1.0;
    Korvane::PitchEnvelope pitch_;
};

WaveformProvider* NoteTest::provider_ = nullptr;

void ExpectBlocksNear(const Block& actual, const Block& expected, int actualFrom, int expectedFrom, int count) {
    for (int n = 0; n < count; ++n) {
        const auto a = static_cast<std::size_t>(actualFrom + n);
        const auto e = static_cast<std::size_t>(expectedFrom + n);
        EXPECT_NEAR(actual.left[a], expected.left[e], 1e-12) << "frame " << a;
        EXPECT_NEAR(actual.right[a], expected.right[e], 1e-12) << "frame " << a;
        EXPECT_NEAR(actual.bass[a], expected.bass[e], 1e-12) << "frame " << a;
    }
}

}  // namespace

// --- Tuning -----------------------------------------------------------------

TEST_F(NoteTest, NotesSoundAnOctaveAboveConcertPitch) {
    auto note = MakeNote(48000.0);
    note->SetNoteNumber(69);
    EXPECT_EQ(note->NoteNumber(), 69);
    EXPECT_DOUBLE_EQ(note->NoteFrequency(), 880.0);
    EXPECT_DOUBLE_EQ(note->NormalisedFrequency(), 880.0 / 48000.0);
    note->SetNoteNumber(57);
    EXPECT_DOUBLE_EQ(note->NoteFrequency(), 440.0);
    EXPECT_DOUBLE_EQ(note->NormalisedFrequency(), 440.0 / 48000.0);
    for (const int n : {0, 24, 60, 70, 127}) {
        note->SetNoteNumber(n);
        EXPECT_DOUBLE_EQ(note->NoteFrequency(), 880.0 * std::pow(2.0, (n - 69) / 12.0)) << n;
        EXPECT_DOUBLE_EQ(note->NormalisedFrequency(), note->NoteFrequency() / 48000.0) << n;
    }
}

TEST_F(NoteTest, OctaveIndexFollowsTheKeyboardOctaveUpToSeven) {
    auto note = MakeNote();
    for (int n = 0; n < 128; ++n) {
        note->SetNoteNumber(n);
        const int expected = n < 24 ? 0 : std::min(static_cast<int>(std::floor(n / 12.0)) - 1, 7);
        EXPECT_EQ(note->OctaveIndex(), expected) << n;
    }
    note->SetNoteNumber(23);
    EXPECT_EQ(note->OctaveIndex(), 0);
    note->SetNoteNumber(36);
    EXPECT_EQ(note->OctaveIndex(), 2);
    note->SetNoteNumber(108);
    EXPECT_EQ(note->OctaveIndex(), 7);
}

TEST_F(NoteTest, KickTransposeModePlaysEveryKeyAt44Hz) {
    auto note = MakeNote();
    P(param::KickTransposeMode) = 0.25;
    for (const int n : {12, 30, 69, 100}) {
        note->SetNoteNumber(n);
        EXPECT_EQ(note->NoteFrequency(), 44.0) << n;
        EXPECT_DOUBLE_EQ(note->NormalisedFrequency(), 44.0 / 44100.0) << n;
        EXPECT_EQ(note->OctaveIndex(), 0) << n;  // least-smoothed band-limited tables
    }
    for (const double mode : {0.5, 0.75, 1.0}) {
        P(param::KickTransposeMode) = mode;
        for (const int n : {12, 69, 100}) {
            note->SetNoteNumber(n);
            EXPECT_EQ(note->NoteFrequency(), 44.0) << mode << " " << n;
            EXPECT_EQ(note->OctaveIndex(), -1) << mode << " " << n;  // unfiltered shapes
        }
    }
}

TEST_F(NoteTest, FmOperatorRunsAtTheTransposedNoteFrequency) {
    transpose_ = 1.5;
    auto note = MakeNote(48000.0);
    note->SetNoteNumber(69);
    EXPECT_DOUBLE_EQ(note->Fm().NormalisedRate(), 880.0 * 1.5 / 10000.0);
    EXPECT_DOUBLE_EQ(note->Fm().Increment(), kTwoPi * 880.0 * 1.5 / 48000.0);

    transpose_ = 0.5;
    note->UpdateTranspose();
    EXPECT_DOUBLE_EQ(note->Fm().NormalisedRate(), 880.0 * 0.5 / 10000.0);
    EXPECT_DOUBLE_EQ(note->Fm().Increment(), kTwoPi * 880.0 * 0.5 / 48000.0);
}

TEST_F(NoteTest, NoteNumberOfASoundingVoiceIsIgnored) {
    auto note = MakeNote();
    StartNote(*note, 69);
    ASSERT_FALSE(note->IsIdle());
    note->SetNoteNumber(40);
    EXPECT_EQ(note->NoteNumber(), 69);
    EXPECT_DOUBLE_EQ(note->NoteFrequency(), 880.0);
}

// --- Construction and settings ----------------------------------------------

TEST_F(NoteTest, IsBuiltIdleWithItsModulatorsAtTheirStartingValues) {
    Note note;
    EXPECT_TRUE(note.IsIdle());
    EXPECT_EQ(note.NoteNumber(), -1);
    EXPECT_EQ(note.Velocity(), 127);
    EXPECT_EQ(note.UnisonCount(), 1);
    EXPECT_EQ(note.VolumeEnvelope().Name(), "Volume Envelope");
    EXPECT_EQ(note.FilterEnvelope().Name(), "Filter Envelope");
    for (int k = 0; k < Note::kOscillators; ++k) {
        for (const Modulator* lfo : {&note.FilterLfo(k), &note.TuneLfo(k)}) {
            EXPECT_EQ(lfo->Depth(), 0.5);
            EXPECT_EQ(lfo->MaximumRateHz(), 20.0);
            EXPECT_EQ(lfo->NormalisedRate(), 0.1);
            EXPECT_EQ(lfo->GetShape(), Modulator::kSine);
            EXPECT_EQ(lfo->Phase(), 0.0);
        }
        EXPECT_EQ(note.PitchFactor(k), 1.0);
        EXPECT_EQ(note.FineFactor(k), 1.0);
    }
    EXPECT_EQ(note.Fm().Depth(), 0.0);
    EXPECT_EQ(note.Fm().MaximumRateHz(), 10000.0);
}

TEST_F(NoteTest, SampleRateReachesEnvelopesAndModulators) {
    auto note = MakeNote(48000.0);
    EXPECT_EQ(note->SampleRate(), 48000.0);
    EXPECT_EQ(note->VolumeEnvelope().SampleRate(), 48000.0);
    EXPECT_EQ(note->FilterEnvelope().SampleRate(), 48000.0);
    EXPECT_EQ(note->Fm().SampleRate(), 48000.0);
    for (int k = 0; k < Note::kOscillators; ++k) {
        EXPECT_DOUBLE_EQ(note->FilterLfo(k).Increment(), kTwoPi * 20.0 * 0.1 / 48000.0);
        EXPECT_DOUBLE_EQ(note->TuneLfo(k).Increment(), kTwoPi * 20.0 * 0.1 / 48000.0);
    }
}

TEST_F(NoteTest, LfoRateSetsBothModulatorsOfOneOscillator) {
    auto note = MakeNote(48000.0);
    note->SetLfoRate(1, 0.3);
    EXPECT_EQ(note->FilterLfo(1).NormalisedRate(), 0.3);
    EXPECT_EQ(note->TuneLfo(1).NormalisedRate(), 0.3);
    EXPECT_DOUBLE_EQ(note->FilterLfo(1).Increment(), kTwoPi * 20.0 * 0.3 / 48000.0);
    EXPECT_DOUBLE_EQ(note->TuneLfo(1).Increment(), kTwoPi * 20.0 * 0.3 / 48000.0);
    EXPECT_EQ(note->FilterLfo(0).NormalisedRate(), 0.1);
    EXPECT_EQ(note->TuneLfo(2).NormalisedRate(), 0.1);
}

TEST_F(NoteTest, UnisonCountIsOneOrTwo) {
    Note note;
    note.SetUnisonCount(2);
    EXPECT_EQ(note.UnisonCount(), 2);
    note.SetUnisonCount(1);
    EXPECT_EQ(note.UnisonCount(), 1);
    note.SetUnisonCount(0);
    EXPECT_EQ(note.UnisonCount(), 1);
    note.SetUnisonCount(-3);
    EXPECT_EQ(note.UnisonCount(), 1);
    note.SetUnisonCount(5);
    EXPECT_EQ(note.UnisonCount(), 2);
}

// --- Lifecycle ----------------------------------------------------------------

TEST_F(NoteTest, StartMakesTheVoiceSoundFromTheBeginningOfItsEnvelopes) {
    auto note = MakeNote();
    ASSERT_TRUE(note->IsIdle());
    StartNote(*note, 60, 100);
    EXPECT_FALSE(note->IsIdle());
    EXPECT_EQ(note->Velocity(), 100);
    EXPECT_EQ(note->VolumeEnvelope().GetState(), ADSR::kAttack);
    EXPECT_EQ(note->FilterEnvelope().GetState(), ADSR::kAttack);
    EXPECT_EQ(note->VolumeEnvelope().TotalFrames(), 0);
    EXPECT_EQ(note->FramesSinceStart(), 0u);
}

TEST_F(NoteTest, VelocityScalesTheVoiceByVelocityOver127) {
    UseSteadyPulse();
    P(param::BassLayerClick) = 0.3;
    auto loud = MakeNote();
    auto soft = MakeNote();
    StartNote(*loud, 69, 127);
    StartNote(*soft, 69, 64);
    Block a(64);
    Block b(64);
    Play(*loud, a);
    Play(*soft, b);
    for (std::size_t j = 1; j < 64; ++j) {
        ASSERT_NE(a.left[j], 0.0) << j;
        ASSERT_NE(a.bass[j], 0.0) << j;
        EXPECT_NEAR(b.left[j], a.left[j] * 64.0 / 127.0, 1e-12) << j;
        EXPECT_NEAR(b.right[j], a.right[j] * 64.0 / 127.0, 1e-12) << j;
        EXPECT_NEAR(b.bass[j], a.bass[j] * 64.0 / 127.0, 1e-12) << j;
    }
}

TEST_F(NoteTest, VoiceWithoutItsInstrumentRendersAndMixesNothing) {
    UseSteadyPulse();
    Note note;
    note.SetSampleRate(44100.0);
    note.EnsureCapacity(64);
    note.SetNoteNumber(69);
    note.Start(127);
    Block block(64, kSentinel);
    Play(note, block);
    for (std::size_t j = 0; j < 64; ++j) {
        EXPECT_EQ(block.left[j], kSentinel);
        EXPECT_EQ(block.right[j], kSentinel);
        EXPECT_EQ(block.bass[j], kSentinel);
    }
}

TEST_F(NoteTest, FirstMixedFrameIsSilentBecauseTheEnvelopeTrailsByOneFrame) {
    UseSteadyPulse();
    auto note = MakeNote();
    ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
    StartNote(*note);
    Block block(64);
    Play(*note, block);
    EXPECT_EQ(block.left[0], 0.0);
    EXPECT_EQ(block.right[0], 0.0);
    EXPECT_EQ(block.bass[0], 0.0);
    EXPECT_NE(block.left[1], 0.0);
    EXPECT_NE(block.bass[1], 0.0);
}

TEST_F(NoteTest, RestartingASoundingVoiceSilencesItsFirstFrameAgain) {
    UseSteadyPulse();
    auto note = MakeNote();
    ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
    StartNote(*note);
    PlayBlocks(*note, 4);
    ASSERT_GT(note->VolumeEnvelope().Output(), 0.1);

    note->Start(127);
    Block block(64);
    Play(*note, block);
    EXPECT_EQ(block.left[0], 0.0);
    EXPECT_EQ(block.right[0], 0.0);
    EXPECT_EQ(block.bass[0], 0.0);
    EXPECT_NE(block.left[1], 0.0);
}

TEST_F(NoteTest, FrameOffsetLeavesTheFramesBeforeTheNoteUntouched) {
    UseSteadyPulse();
    constexpr int kOffset = 10;
    auto late = MakeNote();
    auto reference = MakeNote();
    for (Note* note : {late.get(), reference.get()}) {
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
    }
    late->SetFrameOffset(kOffset);
    Block shifted(64, kSentinel);
    Play(*late, shifted, kOffset);
    Block plain(64 - kOffset);
    Play(*reference, plain);

    // Before the note and at its first frame (envelope value 0) nothing is added.
    for (std::size_t j = 0; j <= kOffset; ++j) {
        EXPECT_EQ(shifted.left[j], kSentinel) << j;
        EXPECT_EQ(shifted.right[j], kSentinel) << j;
        EXPECT_EQ(shifted.bass[j], kSentinel) << j;
    }
    // From there on the note is the same as one started at the block's start.
    for (std::size_t j = kOffset + 1; j < 64; ++j) {
        ASSERT_NE(plain.left[j - kOffset], 0.0) << j;
        ASSERT_NE(plain.bass[j - kOffset], 0.0) << j;
        EXPECT_EQ(shifted.left[j], kSentinel + plain.left[j - kOffset]) << j;
        EXPECT_EQ(shifted.right[j], kSentinel + plain.right[j - kOffset]) << j;
        EXPECT_EQ(shifted.bass[j], kSentinel + plain.bass[j - kOffset]) << j;
    }
    // Nothing of the voice moved during the frames before the note.
    EXPECT_EQ(late->VolumeEnvelope().TotalFrames(), 64 - kOffset);
    EXPECT_EQ(late->FilterEnvelope().TotalFrames(), 64 - kOffset);
    EXPECT_EQ(late->FilterLfo(0).Phase(), reference->FilterLfo(0).Phase());

    // The offset applies to the first block only.
    Block nextLate(64);
    Block nextReference(64);
    Play(*late, nextLate);
    Play(*reference, nextReference);
    EXPECT_NE(nextLate.left[0], 0.0);
    EXPECT_EQ(late->VolumeEnvelope().TotalFrames(), 128 - kOffset);
}

// --- Release ------------------------------------------------------------------

class NoteReleaseTest : public NoteTest {
protected:
    static constexpr int kWarmBlocks = 3;
    static constexpr double kRelease = 0.002;  // 88 frames: outlasts a block

    void SetUp() override { UseSteadyPulse(); }

    // A voice that has sounded for a few blocks and sits at its sustain level.
    std::unique_ptr<Note> HeldNote(double release = kRelease) {
        auto note = MakeNote();
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), release);
        StartNote(*note);
        PlayBlocks(*note, kWarmBlocks);
        return note;
    }
};

TEST_F(NoteReleaseTest, ReleaseWithinABlockMatchesAReleaseAtABlockBoundary) {
    constexpr int kAt = 20;
    auto inBlock = HeldNote();
    auto split = HeldNote();
    auto held = HeldNote();

    inBlock->ReleaseAt(kAt);
    Block whole(64);
    Play(*inBlock, whole);

    Block before(kAt);
    Play(*split, before);
    EXPECT_EQ(split->VolumeEnvelope().GetState(), ADSR::kSustain);
    split->ReleaseAt(0);
    Block after(64 - kAt);
    Play(*split, after);

    Block unreleased(64);
    Play(*held, unreleased);

    ExpectBlocksNear(whole, before, 0, 0, kAt);
    ExpectBlocksNear(whole, after, kAt, 0, 64 - kAt);
    // Up to the release frame the voice still sounds its sustain; the
    // release shows from the next frame on.
    for (std::size_t j = 0; j <= kAt; ++j) EXPECT_EQ(whole.left[j], unreleased.left[j]) << j;
    for (std::size_t j = kAt + 1; j < 64; ++j) {
        EXPECT_LT(std::abs(whole.left[j]), std::abs(unreleased.left[j])) << j;
        EXPECT_LT(std::abs(whole.bass[j]), std::abs(unreleased.bass[j])) << j;
    }
    EXPECT_EQ(inBlock->VolumeEnvelope().GetState(), ADSR::kRelease);
    EXPECT_EQ(inBlock->FilterEnvelope().GetState(), ADSR::kRelease);
    EXPECT_EQ(held->VolumeEnvelope().GetState(), ADSR::kSustain);
}

TEST_F(NoteReleaseTest, EarliestPendingReleaseWins) {
    auto once = HeldNote();
    auto laterFirst = HeldNote();
    auto earlierFirst = HeldNote();
    auto onlyLate = HeldNote();
    once->ReleaseAt(20);
    laterFirst->ReleaseAt(40);
    laterFirst->ReleaseAt(20);
    earlierFirst->ReleaseAt(20);
    earlierFirst->ReleaseAt(40);
    onlyLate->ReleaseAt(40);
    Block a(64), b(64), c(64), d(64);
    Play(*once, a);
    Play(*laterFirst, b);
    Play(*earlierFirst, c);
    Play(*onlyLate, d);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.bass, b.bass);
    EXPECT_EQ(a.left, c.left);
    EXPECT_EQ(a.bass, c.bass);
    EXPECT_NE(a.left, d.left);
}

TEST_F(NoteReleaseTest, ReleaseBeyondTheBlockAppliesFromTheNextBlock) {
    auto pending = HeldNote();
    auto boundary = HeldNote();
    auto held = HeldNote();

    pending->ReleaseAt(100);
    Block first(64), firstBoundary(64), firstHeld(64);
    Play(*pending, first);
    Play(*boundary, firstBoundary);
    Play(*held, firstHeld);
    EXPECT_EQ(first.left, firstHeld.left);
    EXPECT_EQ(first.bass, firstHeld.bass);
    EXPECT_EQ(pending->VolumeEnvelope().GetState(), ADSR::kSustain);

    boundary->ReleaseAt(0);
    Block second(64), secondBoundary(64);
    Play(*pending, second);
    Play(*boundary, secondBoundary);
    EXPECT_EQ(second.left, secondBoundary.left);
    EXPECT_EQ(second.right, secondBoundary.right);
    EXPECT_EQ(second.bass, secondBoundary.bass);
    EXPECT_EQ(pending->VolumeEnvelope().GetState(), ADSR::kRelease);
}

TEST_F(NoteReleaseTest, VoiceWhoseEnvelopesEndMidBlockStopsThere) {
    constexpr double kShortRelease = 0.0005;  // about 22 frames
    constexpr int kAt = 10;
    auto note = HeldNote(kShortRelease);

    // The same envelopes on their own, driven through the same frames.
    ADSR volume("Volume Envelope");
    ADSR filter("Filter Envelope");
    ConfigureEnvelopes(volume, filter, kShortRelease);
    volume.Restart();
    filter.Restart();
    const int framesBefore = kWarmBlocks * 64 + kAt;
    for (int n = 0; n < framesBefore; ++n) {
        volume.Advance(1);
        filter.Advance(1);
    }
    volume.Release();
    filter.Release();
    int releaseFrames = 0;
    while (volume.GetState() != ADSR::kOff || filter.GetState() != ADSR::kOff) {
        volume.Advance(1);
        filter.Advance(1);
        ++releaseFrames;
    }
    const int lastFrame = kAt + releaseFrames - 1;
    ASSERT_LT(lastFrame, 63);

    ASSERT_FALSE(note->IsIdle());
    note->ReleaseAt(kAt);
    Block block(64, kSentinel);
    Play(*note, block);

    EXPECT_TRUE(note->IsIdle());
    EXPECT_NE(block.left[static_cast<std::size_t>(kAt)], kSentinel);
    for (auto j = static_cast<std::size_t>(lastFrame + 1); j < 64; ++j) {
        EXPECT_EQ(block.left[j], kSentinel) << j;
        EXPECT_EQ(block.right[j], kSentinel) << j;
        EXPECT_EQ(block.bass[j], kSentinel) << j;
    }
    // Neither the envelopes nor the filter LFOs moved past the last frame.
    EXPECT_EQ(note->VolumeEnvelope().TotalFrames(), framesBefore + releaseFrames);
    EXPECT_EQ(note->FilterEnvelope().TotalFrames(), framesBefore + releaseFrames);
    Modulator lfo(0.5, 20.0);
    lfo.SetSampleRate(44100.0);
    for (int n = 0; n < framesBefore + releaseFrames; ++n) lfo.Advance();
    EXPECT_EQ(note->FilterLfo(0).Phase(), lfo.Phase());
}

TEST_F(NoteReleaseTest, VoiceStaysBusyUntilTheSlowerEnvelopeEnds) {
    auto note = HeldNote(0.0005);
    note->FilterEnvelope().SetRelease(0.01);  // 441 frames
    note->ReleaseAt(0);
    PlayBlocks(*note, 1);
    EXPECT_EQ(note->VolumeEnvelope().GetState(), ADSR::kOff);
    EXPECT_EQ(note->FilterEnvelope().GetState(), ADSR::kRelease);
    EXPECT_FALSE(note->IsIdle());
    PlayBlocks(*note, 8);
    EXPECT_TRUE(note->IsIdle());
}

// --- Oscillators --------------------------------------------------------------

TEST_F(NoteTest, UnisonTwinsAreAveraged) {
    UseOscillator1(Shape(WaveformProvider::kSine));
    auto single = MakeNote();
    auto twins = MakeNote();
    twins->SetUnisonCount(2);
    twins->SetUnisonDetune(0.0);
    for (Note* note : {single.get(), twins.get()}) {
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
    }
    Block a(64), b(64);
    Play(*single, a);
    Play(*twins, b);
    // Two reads of the same phase, averaged, give the single read.
    EXPECT_NE(a.left[10], 0.0);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

TEST_F(NoteTest, DetunedTwinRunsFlatByTheSemitoneStep) {
    constexpr double kDetune = 1.0;
    UseOscillator1(Shape(WaveformProvider::kSine));
    auto twins = MakeNote(44100.0, 256);
    auto main = MakeNote(44100.0, 256);
    auto flat = MakeNote(44100.0, 256);
    twins->SetUnisonCount(2);
    twins->SetUnisonDetune(kDetune);
    // A single oscillator tuned to where the twin reads from.
    flat->SetPitchFactor(0, 1.0 / (1.0 + kDetune * kDetuneStep));
    for (Note* note : {twins.get(), main.get(), flat.get()}) {
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
    }
    Block t(256), m(256), f(256);
    Play(*twins, t);
    Play(*main, m);
    Play(*flat, f);
    // Everything after the oscillator is linear here, so the mix of the
    // averaged pair is the average of the two single mixes.
    double largestDifference = 0.0;
    for (std::size_t j = 0; j < 256; ++j) {
        EXPECT_NEAR(t.left[j], 0.5 * (m.left[j] + f.left[j]), 1e-12) << j;
        EXPECT_NEAR(t.right[j], 0.5 * (m.right[j] + f.right[j]), 1e-12) << j;
        largestDifference = std::max(largestDifference, std::abs(m.left[j] - f.left[j]));
    }
    EXPECT_GT(largestDifference, 1e-3);  // the twin is audibly apart
}

TEST_F(NoteTest, InvertedOscillatorFoldsTowardTheOppositePeak) {
    EXPECT_DOUBLE_EQ(Korvane::FoldInverted(0.3), 0.7);
    EXPECT_DOUBLE_EQ(Korvane::FoldInverted(-0.3), -0.7);
    EXPECT_EQ(Korvane::FoldInverted(1.0), 0.0);
    EXPECT_EQ(Korvane::FoldInverted(-1.0), 0.0);
    EXPECT_EQ(Korvane::FoldInverted(0.0), 0.0);

    // At 44 Hz an unfiltered triangle stays in (0, 1) for the first 250
    // frames, where the fold gives 1 - s: the inverted mix is the mix of a
    // steady +1 (the pulse's first half) minus the plain triangle's.
    P(param::KickTransposeMode) = 1.0;
    const auto render = [this](double shape, bool invert) {
        UseOscillator1(shape);
        P(param::OscInvertWaveform1) = invert ? 1.0 : 0.0;
        auto note = MakeNote(44100.0, 200);
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
        Block block(200);
        Play(*note, block);
        return block;
    };
    const Block inverted = render(Shape(WaveformProvider::kTriangle), true);
    const Block plain = render(Shape(WaveformProvider::kTriangle), false);
    const Block steady = render(Shape(WaveformProvider::kPulse), false);
    for (std::size_t j = 0; j < 200; ++j) {
        EXPECT_NEAR(inverted.left[j], steady.left[j] - plain.left[j], 1e-12) << j;
        EXPECT_NEAR(inverted.right[j], steady.right[j] - plain.right[j], 1e-12) << j;
    }
    EXPECT_GT(std::abs(inverted.left[100] - plain.left[100]), 1e-3);
}

TEST_F(NoteTest, InvertedFullScalePulseIsSilent) {
    P(param::KickTransposeMode) = 1.0;
    UseOscillator1(Shape(WaveformProvider::kPulse));
    P(param::OscInvertWaveform1) = 1.0;
    auto note = MakeNote(44100.0, 2048);
    ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
    StartNote(*note);
    Block block(2048);
    Play(*note, block);
    for (std::size_t j = 0; j < block.left.size(); ++j) {
        ASSERT_EQ(block.left[j], 0.0) << j;
        ASSERT_EQ(block.right[j], 0.0) << j;
    }
}

TEST_F(NoteTest, SwitchedOffOrSilentOscillatorsAddNothing) {
    UseOscillator1(Shape(WaveformProvider::kSine));
    for (const auto& [on, volume] : {std::pair{0.5, 1.0}, std::pair{0.0, 1.0}, std::pair{1.0, 0.0}}) {
        P(param::Osc1OnOff) = on;
        P(param::OscVolume1) = volume;
        auto note = MakeNote();
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
        Block block(64);
        Play(*note, block);
        for (std::size_t j = 0; j < 64; ++j) {
            ASSERT_EQ(block.left[j], 0.0) << on << " " << volume << " " << j;
            ASSERT_EQ(block.right[j], 0.0) << on << " " << volume << " " << j;
        }
    }
}

TEST_F(NoteTest, PanSendsTheOscillatorBetweenTheSides) {
    UseOscillator1(Shape(WaveformProvider::kSine));
    // pan 0: left only; 0.25: right at half; 0.75: left at half; 1: right only.
    const std::array<std::pair<double, double>, 4> cases = {{{0.0, 0.0}, {0.25, 0.5}, {0.75, 0.5}, {1.0, 0.0}}};
    for (const auto& [pan, ratio] : cases) {
        P(param::OscPan1) = pan;
        auto note = MakeNote(44100.0, 4096);
        ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
        StartNote(*note);
        Block block(4096);
        Play(*note, block);
        // Once the pan smoother has settled, the quieter side follows the louder one.
        for (std::size_t j = 3000; j < 4096; j += 37) {
            const double loud = pan < 0.5 ? block.left[j] : block.right[j];
            const double quiet = pan < 0.5 ? block.right[j] : block.left[j];
            ASSERT_GT(std::abs(loud), 1e-4) << pan << " " << j;
            EXPECT_NEAR(quiet, ratio * loud, 1e-9) << pan << " " << j;
        }
    }
}

// --- Bass layer -----------------------------------------------------------------

TEST_F(NoteTest, BassLayerIsASineAtTheNoteFrequencyUnderVelocityAndEnvelope) {
    P(param::BassLayerAmount) = 0.4;  // a switch for the voice; the plug-in applies the gain
    auto note = MakeNote(44100.0, 256);
    ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
    StartNote(*note, 57, 100);
    Block block(256);
    Play(*note, block);

    ADSR volume("Volume Envelope");
    ADSR filter("Filter Envelope");
    ConfigureEnvelopes(volume, filter, 0.01);
    volume.Restart();
    double envelope = 0.0;  // the value applied to frame j is the one after frame j - 1
    for (std::size_t j = 0; j < 256; ++j) {
        // The first frame already reads the phase one step on.
        const double phase = static_cast<double>(j + 1) * 440.0 / 44100.0;
        const double expected = 100.0 / 127.0 * envelope * std::sin(kTwoPi * phase);
        EXPECT_NEAR(block.bass[j], expected, 1e-12) << j;
        EXPECT_EQ(block.left[j], 0.0) << j;
        volume.Advance(1);
        envelope = volume.Output();
    }
}

TEST_F(NoteTest, BassLayerFollowsThePitchEnvelope) {
    P(param::BassLayerAmount) = 1.0;
    pitch_.SetAmount(0.5);
    pitch_.SetDurationSeconds(0.004);
    pitch_.SetPower(0.05);
    auto note = MakeNote(44100.0, 512);
    ConfigureEnvelopes(note->VolumeEnvelope(), note->FilterEnvelope(), 0.01);
    StartNote(*note, 57, 127);
    Block block(512);
    Play(*note, block);

    ADSR volume("Volume Envelope");
    ADSR filter("Filter Envelope");
    ConfigureEnvelopes(volume, filter, 0.01);
    volume.Restart();
    const double step = 440.0 / 44100.0;
    double phase = step;  // the step taken by Start, at factor 1
    double envelope = 0.0;
    for (std::size_t j = 0; j < 512; ++j) {
        EXPECT_NEAR(block.bass[j], envelope * std::sin(kTwoPi * phase), 1e-9) << j;
        // After frame j the phase moves at the pitch factor (j + 1) frames after the start.
        const double t = static_cast<double>(j + 1) / 44100.0;
        const double factor = t < 0.007 ? 1.0 + 20.0 * 0.5 * t / 0.007
                              : t < 0.011 ? 1.0 + 20.0 * 0.5 * (1.0 - (t - 0.007) / 0.004)
                                          : 1.0;
        phase += step * factor;
        volume.Advance(1);
        envelope = volume.Output();
    }
}

// --- Click --------------------------------------------------------------------

TEST_F(NoteTest, LowClickAmountIsTheSyntheticClickAlone) {
    const double low = ClickAt(100, 0.1);
    const double full = ClickAt(100, 0.2);
    ASSERT_GT(std::abs(full), 1e-3);
    EXPECT_NEAR(low, SyntheticClick(100, 44100.0, 0.5, 0.1), 1e-12);
    EXPECT_NEAR(full, SyntheticClick(100, 44100.0, 1.0, 0.2), 1e-12);
    // Weight 0.5 x 0.1 against 1 x 0.2 at the same frame.
    EXPECT_NEAR(low, full * (0.5 * 0.1) / (1.0 * 0.2), 1e-12);
    // Before the window nothing sounds.
    EXPECT_EQ(ClickAt(10, 0.1), 0.0);
}

TEST_F(NoteTest, SyntheticClickSoundsOnlyInsideItsWindow) {
    // Window at 44100 Hz: start 44, length 8820.
    EXPECT_EQ(ClickAt(44, 0.2), 0.0);
    EXPECT_EQ(ClickAt(45, 0.2), 0.0);  // first frame of the window: phase 0
    for (const int n : {46, 47, 60, 500, 4000, 8863}) {
        EXPECT_NEAR(ClickAt(n, 0.2), SyntheticClick(n, 44100.0, 1.0, 0.2), 1e-12) << n;
    }
    EXPECT_NE(ClickAt(46, 0.2), 0.0);
    EXPECT_EQ(ClickAt(8864, 0.2), 0.0);
}

TEST_F(NoteTest, ClickAmount03MixesTheSyntheticAndTheFirstStoredClickEvenly) {
    ASSERT_NE(StoredClick(0, 10), 0.0);
    // Before the window only the first stored click sounds, inverted.
    EXPECT_NEAR(ClickAt(10, 0.3), -0.3 * 0.5 * StoredClick(0, 10), 1e-12);
    EXPECT_NEAR(ClickAt(100, 0.3), SyntheticClick(100, 44100.0, 0.5, 0.3) - 0.3 * 0.5 * StoredClick(0, 100), 1e-12);
}

TEST_F(NoteTest, FullClickAmountIsTheFourthStoredClickAndTheFullSyntheticClick) {
    ASSERT_NE(StoredClick(3, 10), 0.0);
    EXPECT_NEAR(ClickAt(10, 1.0), -StoredClick(3, 10), 1e-12);
    EXPECT_NEAR(ClickAt(100, 1.0), SyntheticClick(100, 44100.0, 1.0, 1.0) - StoredClick(3, 100), 1e-12);
}

TEST_F(NoteTest, HighClickAmountsBringTheSyntheticClickBackSquared) {
    // 0.9: the third and fourth stored clicks half each, the synthetic click at 0.5^2.
    EXPECT_NEAR(ClickAt(100, 0.9),
                SyntheticClick(100, 44100.0, 0.25, 0.9) - 0.9 * (0.5 * StoredClick(2, 100) + 0.5 * StoredClick(3, 100)),
                1e-12);
    EXPECT_NEAR(ClickAt(10, 0.9), -0.9 * (0.5 * StoredClick(2, 10) + 0.5 * StoredClick(3, 10)), 1e-12);
}

TEST_F(NoteTest, MiddleClickAmountsCrossFadeBetweenStoredClicks) {
    // 0.5: the first and second stored clicks, half each.
    EXPECT_NEAR(ClickAt(30, 0.5), -0.5 * (0.5 * StoredClick(0, 30) + 0.5 * StoredClick(1, 30)), 1e-12);
    // 0.7: the second and third.
    EXPECT_NEAR(ClickAt(30, 0.7), -0.7 * (0.5 * StoredClick(1, 30) + 0.5 * StoredClick(2, 30)), 1e-12);
}

TEST_F(NoteTest, StoredClickEndsWithItsTable) {
    const std::size_t end = Korvane::kClickWaveforms[0].size();
    ASSERT_EQ(end, 1460u);
    ASSERT_NE(StoredClick(1, end), 0.0);
    // From frame 1460 on the first click has ended and only the second is read.
    EXPECT_NEAR(ClickAt(static_cast<int>(end), 0.5), -0.5 * 0.5 * StoredClick(1, end), 1e-12);
}

TEST_F(NoteTest, StoredClicksAreReadAt44100HzWhateverTheSampleRate) {
    // At 88200 Hz frames 20 and 21 both read entry 10; the window starts at 88.
    EXPECT_NEAR(ClickAt(20, 0.3, 88200.0), -0.3 * 0.5 * StoredClick(0, 10), 1e-12);
    EXPECT_NEAR(ClickAt(21, 0.3, 88200.0), -0.3 * 0.5 * StoredClick(0, 10), 1e-12);
    EXPECT_NEAR(ClickAt(22, 0.3, 88200.0), -0.3 * 0.5 * StoredClick(0, 11), 1e-12);
    EXPECT_NEAR(ClickAt(100, 0.2, 88200.0), SyntheticClick(100, 88200.0, 1.0, 0.2), 1e-12);
}

// --- Oscillator filters ---------------------------------------------------------

TEST(FourPoleLowPass, FollowsItsFourStageLaw) {
    FourPoleLowPass filter;
    const double cutoff = 0.3;
    const double resonance = 0.2;
    const double feedback = resonance + resonance / (1.0 - cutoff);
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    for (const double x : {1.0, -0.5, 0.25}) {
        s0 = s0 + cutoff * ((x - s0) + feedback * (s0 - s1));
        s1 = s1 + cutoff * (s0 - s1);
        s2 = s2 + cutoff * (s1 - s2);
        s3 = s3 + cutoff * (s2 - s3);
        EXPECT_DOUBLE_EQ(filter.Process(x, cutoff, resonance), s3) << x;
    }
}

TEST(FourPoleLowPass, FirstTwoOutputsByHand) {
    FourPoleLowPass filter;
    // f = 0.5, no resonance: each stage moves halfway to the one before.
    // x = 1: s0 = 0.5, s1 = 0.25, s2 = 0.125, s3 = 0.0625.
    EXPECT_DOUBLE_EQ(filter.Process(1.0, 0.5, 0.0), 0.0625);
    // x = 1 again: s0 = 0.75, s1 = 0.5, s2 = 0.3125, s3 = 0.1875.
    EXPECT_DOUBLE_EQ(filter.Process(1.0, 0.5, 0.0), 0.1875);
}

TEST(FourPoleLowPass, ExactSilencePassesWithoutTouchingTheState) {
    FourPoleLowPass filter;
    FourPoleLowPass uninterrupted;
    EXPECT_DOUBLE_EQ(filter.Process(1.0, 0.5, 0.1), uninterrupted.Process(1.0, 0.5, 0.1));
    EXPECT_EQ(filter.Process(0.0, 0.5, 0.1), 0.0);
    EXPECT_EQ(filter.Process(0.0, 0.9, 0.7), 0.0);
    // The next non-zero input continues from the state before the silence.
    EXPECT_EQ(filter.Process(0.4, 0.5, 0.1), uninterrupted.Process(0.4, 0.5, 0.1));
    EXPECT_EQ(filter.Process(-0.2, 0.5, 0.1), uninterrupted.Process(-0.2, 0.5, 0.1));
}

TEST(FourPoleLowPass, CutoffIsHeldBetweenOneAndNinetyNineHundredths) {
    FourPoleLowPass low, lowest;
    EXPECT_EQ(low.Process(1.0, 0.0, 0.0), lowest.Process(1.0, 0.01, 0.0));
    FourPoleLowPass high, highest;
    EXPECT_EQ(high.Process(1.0, 1.0, 0.3), highest.Process(1.0, 0.99, 0.3));
    // f = 0.01: 0.01^4 of a unit step reaches the output on the first sample.
    FourPoleLowPass step;
    EXPECT_DOUBLE_EQ(step.Process(1.0, -2.0, 0.0), 0.01 * 0.01 * 0.01 * 0.01);
}

TEST(FourPoleLowPass, ResetClearsTheStages) {
    FourPoleLowPass filter, fresh;
    filter.Process(0.8, 0.4, 0.5);
    filter.Process(-0.3, 0.4, 0.5);
    filter.Reset();
    EXPECT_EQ(filter.Process(0.6, 0.4, 0.5), fresh.Process(0.6, 0.4, 0.5));
}

namespace {

// The high-pass coefficients from their law, with pi and the square root
// of two at single precision.
struct HighPassCoefficients {
    double b0, b1, b2, a1, a2;
};

HighPassCoefficients HighPassLaw(double cutoff, double resonance) {
    const double pi = 3.1415927410125732;
    const double sqrt2 = 1.4142135381698608;
    const double f0 = std::max(0.0001, cutoff * 0.5 * 0.957);
    const double k = std::tan(pi * f0);
    const double d = sqrt2 - resonance * sqrt2;
    const double denominator = 1.0 + d * k + k * k;
    return {1.0 / denominator, -2.0 / denominator, 1.0 / denominator, 2.0 * (k * k - 1.0) / denominator,
            (1.0 - d * k + k * k) / denominator};
}

void ExpectCoefficients(const BiquadTweakedButterworthHP<double>& filter, const HighPassCoefficients& law) {
    EXPECT_DOUBLE_EQ(filter.B0(), law.b0);
    EXPECT_DOUBLE_EQ(filter.B1(), law.b1);
    EXPECT_DOUBLE_EQ(filter.B2(), law.b2);
    EXPECT_DOUBLE_EQ(filter.A1(), law.a1);
    EXPECT_DOUBLE_EQ(filter.A2(), law.a2);
}

}  // namespace

TEST(BiquadTweakedButterworthHP, UsesSinglePrecisionPiAndRootTwo) {
    EXPECT_EQ(BiquadTweakedButterworthHP<double>::kPi, 3.1415927410125732);
    EXPECT_EQ(BiquadTweakedButterworthHP<double>::kSqrt2, 1.4142135381698608);
}

TEST(BiquadTweakedButterworthHP, CoefficientsFollowTheCutoffAndResonance) {
    BiquadTweakedButterworthHP<double> filter;
    for (const auto& [cutoff, resonance] : {std::pair{0.5, 0.3}, std::pair{0.1, 0.0}, std::pair{1.0, 0.9}}) {
        filter.Process(0.0, cutoff, resonance);
        ExpectCoefficients(filter, HighPassLaw(cutoff, resonance));
    }
    // At cutoff 0.5, resonance 0.3, by hand: f0 = 0.23925.
    const double k = std::tan(3.1415927410125732 * 0.23925);
    const double d = 1.4142135381698608 * 0.7;
    filter.Process(0.0, 0.5, 0.3);
    EXPECT_NEAR(filter.B0(), 1.0 / (1.0 + d * k + k * k), 1e-15);
    EXPECT_NEAR(filter.A2(), (1.0 - d * k + k * k) / (1.0 + d * k + k * k), 1e-15);
}

TEST(BiquadTweakedButterworthHP, FullResonancePutsThePolesOnTheUnitCircle) {
    BiquadTweakedButterworthHP<double> filter;
    for (const double cutoff : {0.05, 0.4, 1.0}) {
        filter.Process(0.0, cutoff, 1.0);
        EXPECT_EQ(filter.A2(), 1.0) << cutoff;
    }
}

TEST(BiquadTweakedButterworthHP, CutoffNeverFallsBelowItsMinimum) {
    BiquadTweakedButterworthHP<double> filter;
    const HighPassCoefficients floor = HighPassLaw(0.0, 0.2);
    const double k = std::tan(3.1415927410125732 * 0.0001);
    EXPECT_DOUBLE_EQ(floor.b0, 1.0 / (1.0 + 1.4142135381698608 * 0.8 * k + k * k));
    for (const double cutoff : {0.0, 0.0002, -1.0}) {
        filter.Process(0.0, cutoff, 0.2);
        ExpectCoefficients(filter, floor);
    }
    // Just above the floor the cutoff counts again.
    filter.Process(0.0, 0.001, 0.2);
    EXPECT_LT(filter.B0(), floor.b0);
}

TEST(BiquadTweakedButterworthHP, FiltersWithTheDirectFormDifferenceEquation) {
    BiquadTweakedButterworthHP<double> filter;
    const HighPassCoefficients c = HighPassLaw(0.3, 0.4);
    const double inputs[] = {1.0, 0.5, -0.25, 0.75};
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (const double x : inputs) {
        const double y = c.b0 * x + c.b1 * x1 + c.b2 * x2 - c.a1 * y1 - c.a2 * y2;
        EXPECT_NEAR(filter.Process(x, 0.3, 0.4), y, 1e-14) << x;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
    }
    // A steady input dies away: the filter blocks DC.
    double y = 0.0;
    for (int n = 0; n < 2000; ++n) y = filter.Process(1.0, 0.3, 0.4);
    EXPECT_NEAR(y, 0.0, 1e-9);
}

TEST(BiquadTweakedButterworthHP, ResetClearsTheHistory) {
    BiquadTweakedButterworthHP<double> filter, fresh;
    filter.Process(0.9, 0.2, 0.5);
    filter.Process(-0.4, 0.2, 0.5);
    filter.Reset();
    EXPECT_EQ(filter.Process(0.3, 0.2, 0.5), fresh.Process(0.3, 0.2, 0.5));
}
