// The host's editor calls once a plug-in has an editor attached.
#include <gtest/gtest.h>

#include <memory>

#include "editor/controls/bitmap_control.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/support/editor_test_plugin.h"

namespace {

class CountingEditor : public IGraphicsHeadless {
public:
    using IGraphicsHeadless::IGraphicsHeadless;
    void OnHostIdle() override { ++idleCalls; }
    int idleCalls = 0;
};

intptr_t Dispatch(EditorTestPlugin& plugin, int32_t opcode, void* ptr = nullptr) {
    vst2::AEffect* effect = plugin.Effect();
    return effect->dispatcher(effect, opcode, 0, 0, ptr, 0.0f);
}

}  // namespace

TEST(EditorHost, WithoutAnEditorTheFlagsSayNoneAndTheCallsAnswerZero) {
    EditorTestPlugin plugin;
    EXPECT_EQ(plugin.Effect()->flags & vst2::effFlagsHasEditor, 0);
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(plugin, vst2::effEditGetRect, &rect), 0);
    EXPECT_EQ(Dispatch(plugin, vst2::effEditOpen), 0);
    EXPECT_EQ(Dispatch(plugin, vst2::effEditClose), 0);
}

TEST(EditorHost, AnAttachedEditorSetsTheFlagAndHandsOutItsRectangle) {
    EditorTestPlugin plugin;
    plugin.AttachEditor(std::make_unique<IGraphicsHeadless>(&plugin, 1030, 800));
    EXPECT_EQ(plugin.Effect()->flags & vst2::effFlagsHasEditor, vst2::effFlagsHasEditor);
    vst2::ERect* rect = nullptr;
    EXPECT_EQ(Dispatch(plugin, vst2::effEditGetRect, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 800);
    EXPECT_EQ(rect->right, 1030);
    plugin.AttachEditor(nullptr);
    EXPECT_EQ(plugin.Effect()->flags & vst2::effFlagsHasEditor, 0);
}

TEST(EditorHost, OpenIdleAndCloseReachTheEditor) {
    EditorTestPlugin plugin;
    auto owned = std::make_unique<CountingEditor>(&plugin, 300, 200);
    CountingEditor* editor = owned.get();
    plugin.AttachEditor(std::move(owned));
    EXPECT_EQ(Dispatch(plugin, vst2::effEditOpen), 1);
    EXPECT_TRUE(editor->WindowIsOpen());
    Dispatch(plugin, vst2::effEditIdle);
    Dispatch(plugin, vst2::effEditIdle);
    EXPECT_EQ(editor->idleCalls, 2);
    EXPECT_EQ(Dispatch(plugin, vst2::effEditClose), 1);
    EXPECT_FALSE(editor->WindowIsOpen());
    EXPECT_EQ(Dispatch(plugin, vst2::effEditClose), 1) << "closing twice is harmless";
}

TEST(EditorHost, AResizedEditorMovesTheRectangle) {
    EditorTestPlugin plugin;
    auto owned = std::make_unique<IGraphicsHeadless>(&plugin, 300, 200);
    IGraphicsHeadless* editor = owned.get();
    plugin.AttachEditor(std::move(owned));
    editor->Resize(640, 480);
    vst2::ERect* rect = nullptr;
    Dispatch(plugin, vst2::effEditGetRect, &rect);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 640);
    EXPECT_EQ(rect->bottom, 480);
    EXPECT_EQ(editor->Surface().Width(), 640);
    EXPECT_EQ(editor->Surface().Height(), 480);
}

TEST(EditorHost, ParameterChangesFromTheHostReachTheEditorsControlsOnItsTick) {
    EditorTestPlugin plugin;
    auto owned = std::make_unique<IGraphicsHeadless>(&plugin, 300, 200);
    IGraphicsHeadless* editor = owned.get();
    plugin.AttachEditor(std::move(owned));
    auto control = std::make_unique<IBitmapControl>(&plugin, 0, 0, EditorTestPlugin::kTune, IBitmap{});
    IControl* knob = control.get();
    editor->AddControl(std::move(control));
    vst2::AEffect* effect = plugin.Effect();
    effect->setParameter(effect, EditorTestPlugin::kTune, 0.75f);
    editor->Tick();
    EXPECT_DOUBLE_EQ(knob->GetValue(), 0.75);
}
