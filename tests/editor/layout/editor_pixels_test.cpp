// The real editor drawn through the headless graphics object, read back
// pixel by pixel: knobs and switches show the frames their values select,
// texts are where they belong, and a knob turned with the mouse reaches the
// instrument, the host and the read-out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/controls/knob_control.h"
#include "editor/controls/switch_control.h"
#include "editor/controls/text_control.h"
#include "editor/custom/kv_live_texts.h"
#include "editor/custom/kv_preset_menu.h"
#include "editor/layout/dunerow_editor.h"
#include "editor/support/dunerow_editor_rig.h"

namespace {

constexpr int kMainstreamBassdrum = 20;

bool Digits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
// "123Hz".
bool IsWholeHertz(std::string_view text) {
    return text.size() > 2 && text.substr(text.size() - 2) == "Hz" && Digits(text.substr(0, text.size() - 2));
}
// "06: Triangle".
bool IsNumberedName(std::string_view text) {
    return text.size() > 4 && Digits(text.substr(0, 2)) && text.substr(2, 2) == ": ";
}

// The editor of a real instrument on program 20, drawn once.
class EditorPixels : public ::testing::Test {
protected:
    EditorPixels() : synth(std::make_unique<Dunerow>(&EditorPixels::Host)) {
        synth->SetSampleRate(44100.0);
        synth->SetBlockSize(256);
        synth->OnReset();
        auto owned = std::make_unique<IGraphicsHeadless>(synth.get(), dunerow_editor::kWidth, dunerow_editor::kHeight);
        graphics = owned.get();
        state = &BuildDunerowEditor(*synth, *graphics);
        synth->AttachEditor(std::move(owned));
        synth->RefreshEditorDisplays();
        graphics->OpenWindow(nullptr);
        synth->RestoreProgram(kMainstreamBassdrum);
        graphics->Tick(10);
        reports().clear();
    }

    static std::vector<HostReport>& reports() {
        static std::vector<HostReport> list;
        return list;
    }
    static intptr_t Host(vst2::AEffect* /*effect*/, int32_t opcode, int32_t index, intptr_t /*value*/, void* /*ptr*/,
                         float opt) {
        reports().push_back({opcode, index, opt});
        return 0;
    }

    // Whether a control drawn after `control` covers (x, y).
    bool CoveredAbove(const IControl* control, int x, int y) const {
        bool after = false;
        for (int i = 0; i < graphics->ControlCount(); ++i) {
            const IControl* other = graphics->GetControl(i);
            if (after && !other->IsHidden() && other->GetRect().Contains(x, y)) return true;
            after = after || other == control;
        }
        return false;
    }

    // The frame of `control`'s bitmap whose opaque pixels the surface shows
    // (drawn frames are exact there), leaving out pixels that controls drawn
    // later cover; -1 when none matches exactly.
    int FrameShown(const IControl* control, const IBitmap& bitmap) const {
        const RasterRect& rect = control->GetRect();
        const int frameHeight = bitmap.FrameHeight();
        for (int frame = 0; frame < bitmap.frames; ++frame) {
            bool matches = true;
            int opaque = 0;
            for (int y = 0; y < frameHeight && matches; ++y) {
                for (int x = 0; x < bitmap.width && matches; ++x) {
                    const std::uint32_t pixel = bitmap.pixels->At(x, frame * frameHeight + y);
                    if (pixel >> 24 != 0xFF || CoveredAbove(control, rect.left + x, rect.top + y)) continue;
                    ++opaque;
                    matches = graphics->Surface().At(rect.left + x, rect.top + y) == pixel;
                }
            }
            if (matches && opaque > 0) return frame + 1;
        }
        return -1;
    }

    // The pixels of `rect` now.
    std::vector<std::uint32_t> Region(const RasterRect& rect) const {
        std::vector<std::uint32_t> pixels;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) pixels.push_back(graphics->Surface().At(x, y));
        }
        return pixels;
    }

    // Whether `control` shows `text` in its style: the region equals what
    // drawing that text over the control's background gives.
    void ExpectShowsText(IControl* control, const std::string& text) {
        const RasterRect rect = control->GetRect();
        const std::vector<std::uint32_t> shown = Region(rect);
        control->Hide(true);
        graphics->Paint(rect);
        const std::vector<std::uint32_t> bare = Region(rect);
        EXPECT_NE(shown, bare) << "'" << text << "' leaves pixels of its own";
        RasterRect textRect = rect;
        graphics->DrawTextInRect(control->GetText(), text, textRect);
        EXPECT_EQ(Region(rect), shown) << "'" << text << "' is what is drawn";
        control->Hide(false);
        graphics->Paint(rect);
    }

    template <class Control>
    std::vector<Control*> All() const {
        std::vector<Control*> found;
        for (int i = 0; i < graphics->ControlCount(); ++i) {
            if (auto* control = dynamic_cast<Control*>(graphics->GetControl(i))) found.push_back(control);
        }
        return found;
    }
    ITextControl* TextAt(int left, int top) const {
        for (auto* text : All<ITextControl>()) {
            if (text->GetRect().left == left && text->GetRect().top == top) return text;
        }
        return nullptr;
    }

    std::unique_ptr<Dunerow> synth;
    IGraphicsHeadless* graphics = nullptr;
    DunerowEditorState* state = nullptr;
};

}  // namespace

TEST_F(EditorPixels, EveryKnobShowsTheFrameItsParametersValueSelects) {
    const auto knobs = All<IKnobMultiControl>();
    ASSERT_GT(knobs.size(), 60u);
    for (IKnobMultiControl* knob : knobs) {
        const IBitmap& strip = knob->GetBitmap();
        ASSERT_FALSE(strip.IsNull()) << knob->ParamIndex();
        const double value = synth->GetParam(knob->ParamIndex())->GetNormalizedValue();
        // Frames evenly spaced over the range, the nearest one shown.
        const int expected = static_cast<int>((strip.frames - 1) * value + 0.5) + 1;
        EXPECT_EQ(FrameShown(knob, strip), expected)
            << synth->GetParam(knob->ParamIndex())->Name() << " at " << value;
    }
}

TEST_F(EditorPixels, SwitchesShowTheirOnFrameExactlyWhenTheirParameterIsOne) {
    int on = 0;
    for (ISwitchControl* button : All<ISwitchControl>()) {
        if (button->ParamIndex() < 0) continue;  // momentary buttons and tabs
        const double value = synth->GetParam(button->ParamIndex())->GetNormalizedValue();
        const int frames = button->GetBitmap().frames;
        if (value == 1.0) ++on;
        EXPECT_EQ(FrameShown(button, button->GetBitmap()), value >= 0.5 ? frames : 1)
            << synth->GetParam(button->ParamIndex())->Name() << " at " << value;
    }
    EXPECT_GT(on, 3) << "the program switches several units on";
}

TEST_F(EditorPixels, TheProgramBarShowsTheProgramsName) {
    auto menus = All<IKvPresetMenu>();
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0]->ShownName(), "Mainstream Bassdrum 1");
    ExpectShowsText(menus[0], "Mainstream Bassdrum 1");
}

TEST_F(EditorPixels, TheReadOutsShowTheirTexts) {
    ITextControl* waveform = state->ReadoutControl(Readout::WaveformName1);
    ASSERT_NE(waveform, nullptr);
    EXPECT_TRUE(IsNumberedName(waveform->GetString())) << waveform->GetString();
    ExpectShowsText(waveform, waveform->GetString());
    auto levels = All<IKvMaxLevelText>();
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_EQ(levels[0]->GetString(), "MAX LEVEL: -oo dB");
    ExpectShowsText(levels[0], "MAX LEVEL: -oo dB");
    ITextControl* cutoffLabel = TextAt(544, 220);
    ASSERT_NE(cutoffLabel, nullptr);
    ExpectShowsText(cutoffLabel, "Cutoff");
}

TEST_F(EditorPixels, TurningTheCutoffKnobReachesTheInstrumentTheHostAndTheReadOut) {
    ITextControl* readout = state->ReadoutControl(Readout::FilterCutoff);
    ASSERT_NE(readout, nullptr);
    const std::string before = readout->GetString();
    ASSERT_TRUE(IsWholeHertz(before)) << before;
    graphics->Drag(574, 253, 574, 283, IGraphicsHeadless::LeftButton(), 3);  // the cutoff knob at (554, 233), down 30 px
    const double value = synth->GetParam(param::FilterCutoff)->GetNormalizedValue();
    EXPECT_LT(value, 1.0) << "program 20's cutoff turned down";
    ASSERT_GE(reports().size(), 3u);
    EXPECT_EQ(reports().front().opcode, vst2::audioMasterBeginEdit);
    EXPECT_EQ(reports().back().opcode, vst2::audioMasterEndEdit);
    int automated = 0;
    for (const HostReport& report : reports()) {
        EXPECT_EQ(report.index, param::FilterCutoff);
        automated += report.opcode == vst2::audioMasterAutomate ? 1 : 0;
    }
    EXPECT_EQ(automated, 3);
    EXPECT_NEAR(reports()[reports().size() - 2].value, value, 1e-6);
    graphics->Tick();
    const std::string after = readout->GetString();
    ASSERT_TRUE(IsWholeHertz(after)) << after;
    EXPECT_LT(std::stoi(after), std::stoi(before)) << "a lower cutoff in hertz";
    graphics->Tick();
    ExpectShowsText(readout, after);
}
