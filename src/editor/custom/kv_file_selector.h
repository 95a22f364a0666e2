// The program bar's load and save buttons: a file dialog, then the program
// goes to or comes from a host program file (".fxp") or the instrument's
// own text form (any other name).
#pragma once

#include <string_view>

#include "editor/controls/file_selector_control.h"

class Dunerow;

class IKvFileSelector : public IFileSelectorControl {
public:
    static constexpr std::string_view kExtensions = "kv bgp fxp";

    IKvFileSelector(Dunerow* synth, int x, int y, const IBitmap& bitmap, FileAction action);

    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    // The button, pressed while its dialog is open.
    bool Draw(IGraphics& graphics) override;

    // Whether a path names a host program file: its file name ends in ".fxp" (any case).
    static bool IsProgramFile(std::string_view path);
    // Whether the last load or save succeeded.
    bool LastTransferSucceeded() const { return succeeded_; }

private:
    Dunerow* synth_;
    bool succeeded_ = false;
};
