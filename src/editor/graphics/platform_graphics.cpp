#include "editor/graphics/platform_graphics.h"

#if defined(_WIN32)

#include "editor/graphics/win32/graphics_win.h"

std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond) {
    return std::make_unique<IGraphicsWin>(plugin, width, height, framesPerSecond);
}

#else

#include "editor/graphics/x11/graphics_x11.h"

std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond) {
    // Where no X display can be reached, opening the window fails and the
    // editor still draws and answers clicks without one.
    return std::make_unique<IGraphicsX11>(plugin, width, height, framesPerSecond);
}

#endif
