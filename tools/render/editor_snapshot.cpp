#include "editor_snapshot.h"

#include "editor/graphics/graphics.h"
#include "editor/graphics/png_writer.h"
#include "render_error.h"
#include "shell/plugin_vst.h"

namespace render {

namespace {

// Enough redraw ticks for every posted value and read-out to arrive and for
// the texts that refresh on idle to do so twice.
constexpr int kSettleTicks = 12;

}  // namespace

EditorPage EditorPageOf(std::string_view name) {
    if (name == "synth") return EditorPage::Synth;
    if (name == "about") return EditorPage::About;
    throw RenderError("--page must be synth or about, not '" + std::string(name) + "'");
}

void WriteEditorSnapshot(PluginHost& host, EditorPage page, const std::filesystem::path& output) {
    IPluginVst* plugin = IPluginVst::FromEffect(host.Effect());
    auto* graphics = plugin != nullptr ? dynamic_cast<IGraphics*>(plugin->Editor()) : nullptr;
    if (graphics == nullptr) throw RenderError("the instrument has no editor to draw");
    for (int tick = 0; tick < kSettleTicks; ++tick) graphics->OnTimerTick();
    if (page == EditorPage::About) {
        // Clicked as a user would: the about tab sits at (515, 762), 85 x 25.
        const IMouseMod left{.left = true};
        graphics->OnMouseDown(557, 774, left);
        graphics->OnMouseUp(557, 774, left);
        for (int tick = 0; tick < kSettleTicks; ++tick) graphics->OnTimerTick();
    }
    graphics->Paint({0, 0, graphics->Width(), graphics->Height()});
    if (!WritePngFile(graphics->Surface(), output)) {
        throw RenderError("cannot write '" + output.string() + "'");
    }
}

}  // namespace render
