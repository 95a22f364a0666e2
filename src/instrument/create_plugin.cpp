// The instrument behind the module's entry point, with its editor attached.
#include <memory>

#include "editor/graphics/platform_graphics.h"
#include "editor/layout/dunerow_editor.h"
#include "instrument/dunerow.h"

IPluginVst* CreatePlugin(vst2::HostCallback host) {
    auto synth = std::make_unique<Dunerow>(host);
    auto editor = CreatePlatformGraphics(synth.get(), dunerow_editor::kWidth, dunerow_editor::kHeight,
                                         dunerow_editor::kFramesPerSecond);
    BuildDunerowEditor(*synth, *editor);
    synth->AttachEditor(std::move(editor));
    // The curves, read-outs and controls start from the instrument's values.
    synth->RefreshEditorDisplays();
    return synth.release();
}
