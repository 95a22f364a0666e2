#include "editor/graphics/platform_graphics.h"

#include "editor/graphics/graphics_headless.h"

std::unique_ptr<IGraphics> CreatePlatformGraphics(IPluginVst* plugin, int width, int height, int framesPerSecond) {
    // No window system yet: the editor draws and answers clicks, but a host
    // asking to open its window is told there is none.
    auto graphics = std::make_unique<IGraphicsHeadless>(plugin, width, height, framesPerSecond);
    graphics->SetWindowSystemAvailable(false);
    return graphics;
}
