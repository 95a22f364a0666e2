// The graphics object of the window system this module runs under.
#pragma once

#include <memory>

#include "editor/graphics/graphics.h"

// A graphics object for `plugin` of the given size whose windows open in
// this platform's hosts; one that answers no window where no window system
// is built in.
std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond);
