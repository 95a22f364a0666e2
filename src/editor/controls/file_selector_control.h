// A button that asks for a file to open or save; its value flips on each
// choice, so the plug-in can tell that something was chosen.
#pragma once

#include <string>
#include <string_view>

#include "editor/controls/control.h"
#include "editor/graphics/bitmap.h"
#include "editor/graphics/graphics.h"

class IFileSelectorControl : public IControl {
public:
    enum class State { None, Selecting, Done };

    // Placed at (x, y) with the size of one frame of `bitmap`; `extensions`
    // is space-separated ("kv bgp fxp").
    IFileSelectorControl(IPluginVst* plugin, int x, int y, int paramIndex, const IBitmap& bitmap, FileAction action,
                         std::string_view directory = {}, std::string_view extensions = {});

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // The bitmap, while the dialog is open.
    bool Draw(IGraphics& graphics) override;
    // Also true once after a dialog has finished.
    bool IsDirty() const override;

    const std::string& ChosenFile() const { return file_; }
    // Whether the last dialog ended with a file chosen (not cancelled).
    bool FileWasChosen() const { return chosen_; }
    const std::string& Directory() const { return directory_; }
    State GetState() const { return state_; }
    FileAction Action() const { return action_; }

protected:
    IBitmap bitmap_;
    std::string file_;
    std::string directory_;
    std::string extensions_;
    FileAction action_;
    bool chosen_ = false;
    mutable State state_ = State::None;
};
