#include "editor/graphics/platform_graphics.h"

#if defined(_WIN32)

#include "editor/graphics/win32/graphics_win.h"

std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond) {
    return std::make_unique<IGraphicsWin>(plugin, width, height, framesPerSecond);
}

#else

#include "editor/graphics/graphics_headless.h"

std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond) {
    // No X11 window yet: the editor draws and answers clicks, but a host
    // asking to open its window is told there is none.
    auto graphics = std::make_unique<IGraphicsHeadless>(plugin, width, height, framesPerSecond);
    graphics->SetWindowSystemAvailable(false);
    return graphics;
}

#endif
