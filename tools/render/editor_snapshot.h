// Draws the instrument's editor, as the program and any notes played left
// it, into a PNG file: through the built-in instrument and the editor's
// window-less graphics, so no display is needed.
#pragma once

#include <filesystem>
#include <string_view>

#include "plugin_host.h"

namespace render {

enum class EditorPage { Synth, About };

// The page of a --page value ("synth" or "about"); throws RenderError for another.
EditorPage EditorPageOf(std::string_view name);

// Draws the editor of the instrument `host` runs (which must be the
// built-in one) on `page` and writes it to `output`; throws RenderError
// when the instrument has no editor or the file cannot be written.
void WriteEditorSnapshot(PluginHost& host, EditorPage page, const std::filesystem::path& output);

}  // namespace render
