// The program name field: its menu of the bank and renaming by text entry.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "editor/custom/kv_preset_menu.h"
#include "editor/support/dunerow_editor_rig.h"

namespace {

constexpr IMouseMod kLeft{.left = true};
constexpr IMouseMod kRight{.right = true};

class KvPresetMenu : public ::testing::Test {
protected:
    KvPresetMenu()
        : menu(rig.Add(std::make_unique<IKvPresetMenu>(&rig.Synth(), RasterRect{500, 492, 682, 508},
                                                       RasterColor{255, 20, 20, 30}))) {}
    std::string ProgramName() { return std::string(rig.Synth().GetProgramName(rig.Synth().CurrentProgram())); }

    DunerowEditorRig rig;
    IKvPresetMenu* menu;
};

}  // namespace

TEST_F(KvPresetMenu, TheMenuListsThe128ProgramsNumberedWithTheCurrentOneChecked) {
    rig.Synth().RestoreProgram(20);
    rig.Graphics().AnswerNextPopup(-1);
    rig.Graphics().Click(550, 500, kLeft);
    ASSERT_EQ(rig.Graphics().MenusShown().size(), 1u);
    const auto& shown = rig.Graphics().MenusShown()[0];
    ASSERT_EQ(shown.labels.size(), 128u);
    EXPECT_EQ(shown.labels[0], "01: " + std::string(rig.Synth().GetProgramName(0)));
    EXPECT_EQ(shown.labels[20], "21: Mainstream Bassdrum 1");
    EXPECT_EQ(shown.labels[99].substr(0, 5), "100: ");
    EXPECT_EQ(shown.labels[127].substr(0, 5), "128: ");
    for (int i = 0; i < 128; ++i) EXPECT_EQ(shown.checked[static_cast<std::size_t>(i)], i == 20) << i;
    EXPECT_EQ(shown.x, 500);
    EXPECT_EQ(shown.y, 508);
    EXPECT_EQ(rig.Synth().CurrentProgram(), 20) << "closed without a pick";
}

TEST_F(KvPresetMenu, PickingAProgramRestoresIt) {
    rig.ClearReports();
    rig.Graphics().AnswerNextPopup(20);
    rig.Graphics().Click(550, 500, kLeft);
    EXPECT_EQ(rig.Synth().CurrentProgram(), 20);
    EXPECT_EQ(ProgramName(), "Mainstream Bassdrum 1");
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 1);
    EXPECT_EQ(rig.CountReports(vst2::audioMasterAutomate), kParameterCount);
    rig.Graphics().Tick();
    EXPECT_EQ(menu->ShownName(), "Mainstream Bassdrum 1");
}

TEST_F(KvPresetMenu, ATypedNameBecomesTheProgramsName) {
    rig.Graphics().Click(550, 500, kRight);
    ASSERT_TRUE(rig.Graphics().TextEntryShown());
    EXPECT_EQ(rig.Graphics().EntryText(), ProgramName()) << "pre-filled";
    EXPECT_EQ(rig.Graphics().EntryMaxLength(), 253);
    rig.Graphics().Type(std::u32string(rig.Graphics().EntryText().size(), U'\b'));
    rig.Graphics().Type(U"My Gabber Kick");
    rig.Graphics().PressReturn();
    rig.ClearReports();
    rig.Graphics().Tick();
    EXPECT_EQ(ProgramName(), "My Gabber Kick");
    EXPECT_EQ(rig.CountReports(vst2::audioMasterUpdateDisplay), 1);
    rig.Graphics().Tick();
    EXPECT_EQ(menu->ShownName(), "My Gabber Kick");
}

TEST_F(KvPresetMenu, AnEmptyEntryGivesAnEmptyName) {
    rig.Graphics().Click(550, 500, kRight);
    rig.Graphics().Type(std::u32string(rig.Graphics().EntryText().size(), U'\b'));
    rig.Graphics().PressReturn();
    rig.Graphics().Tick();
    EXPECT_EQ(ProgramName(), "");
}

TEST_F(KvPresetMenu, ANameLongerThanTheProgramRecordIsCutToFit) {
    menu->TextFromTextEntry(std::string(300, 'k'));
    EXPECT_EQ(ProgramName(), std::string(31, 'k'));
    menu->TextFromTextEntry("abcdefghijklmnopqrstuvwxyzabcd\xC3\xA9z");  // a two-byte letter across the limit
    EXPECT_EQ(ProgramName(), "abcdefghijklmnopqrstuvwxyzabcd");
}

TEST_F(KvPresetMenu, TheNameFollowsProgramChangesFromTheHost) {
    rig.Graphics().Tick();
    vst2::AEffect* effect = rig.Synth().Effect();
    effect->dispatcher(effect, vst2::effSetProgram, 0, 20, nullptr, 0.0f);
    rig.Graphics().Tick(4);
    EXPECT_TRUE(menu->IsDirty());
    rig.Graphics().Tick();
    EXPECT_EQ(menu->ShownName(), "Mainstream Bassdrum 1");
}

TEST(KvPresetMenuWithoutTheInstrument, DoesNothingForAnotherPlugIn) {
    EditorTestPlugin plugin;
    IGraphicsHeadless graphics(&plugin, 200, 100);
    graphics.OpenWindow(nullptr);
    auto owned = std::make_unique<IKvPresetMenu>(&plugin, RasterRect{0, 0, 100, 20}, RasterColor{255, 0, 0, 0});
    graphics.AddControl(std::move(owned));
    graphics.Click(50, 10);
    graphics.Click(50, 10, IGraphicsHeadless::RightButton());
    EXPECT_TRUE(graphics.MenusShown().empty());
    EXPECT_FALSE(graphics.TextEntryShown());
    graphics.Tick();
}
