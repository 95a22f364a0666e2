// The instrument's editor: a 1030 x 800 window with a synth page and an
// about page, every parameter on a knob, switch or slider, read-outs and
// curves fed by the instrument while it runs.
#pragma once

#include <memory>
#include <string_view>

#include "editor/graphics/graphics.h"
#include "editor/layout/editor_state.h"

class Dunerow;

namespace dunerow_editor {

inline constexpr int kWidth = 1030;
inline constexpr int kHeight = 800;
inline constexpr int kFramesPerSecond = 25;

// The maker's web site (shown as the caption under its button) and social page.
inline constexpr std::string_view kWebSiteUrl = "https://korvane.example/";
inline constexpr std::string_view kWebSiteFallbackUrl = "http://korvane.example/";
inline constexpr std::string_view kWebSiteCaption = "korvane.example";
inline constexpr std::string_view kSocialUrl = "https://social.korvane.example/dunerow";
inline constexpr std::string_view kSocialFallbackUrl = "http://social.korvane.example/dunerow";
inline constexpr std::string_view kSocialCaption = "Follow us!";

}  // namespace dunerow_editor

// Builds both pages into `graphics` (which must be empty) and hands it the
// state it keeps; returns that state. The editor opens on the synth page.
DunerowEditorState& BuildDunerowEditor(Dunerow& synth, IGraphics& graphics);
