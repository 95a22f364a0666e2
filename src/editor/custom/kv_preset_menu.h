// The program bar's name field: shows the current program's name; the left
// button opens the menu of all programs, the right one renames the program.
#pragma once

#include <string>
#include <string_view>

#include "editor/controls/control.h"

class Dunerow;

class IKvPresetMenu : public IControl {
public:
    // Characters the rename entry accepts; the program keeps at most kNameLength - 1.
    static constexpr int kEntryLength = 253;

    IKvPresetMenu(IPluginVst* plugin, const RasterRect& rect, RasterColor background, const IText* style = nullptr);

    // The background, then the program's name.
    bool Draw(IGraphics& graphics) override;
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // A typed name becomes the current program's name.
    void TextFromTextEntry(std::string_view text) override;
    // Redraws when the host changed the program or its name.
    void OnEditorIdle() override;

    // The current program's name, copied under the plug-in's lock.
    std::string CurrentName() const;
    const std::string& ShownName() const { return shownName_; }

private:
    Dunerow* synth_;  // null when the plug-in is not the instrument
    RasterColor background_;
    std::string shownName_;
};
