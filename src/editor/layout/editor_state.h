// What the instrument's editor keeps beside its controls: the two page
// lists, the twelve text styles, and the read-outs it rewrites whenever the
// instrument publishes a new text.
#pragma once

#include <array>
#include <cstdint>

#include "editor/custom/editor_pages.h"
#include "editor/graphics/graphics.h"
#include "editor/graphics/itext.h"
#include "instrument/editor_readouts.h"

class Dunerow;
class ITextControl;

class DunerowEditorState : public IGraphicsTickListener {
public:
    static constexpr int kStyleCount = 12;

    DunerowEditorState(Dunerow& synth, IGraphics& graphics);

    EditorPages& Pages() { return pages_; }
    const EditorPages& Pages() const { return pages_; }
    // Text style 1..12.
    const IText& Style(int number) const { return styles_[static_cast<std::size_t>(number - 1)]; }

    // The text control that shows a read-out.
    void BindReadout(Readout readout, ITextControl* control);
    ITextControl* ReadoutControl(Readout readout) const { return readouts_[Slot(readout)]; }

    // Takes every read-out whose text the instrument changed.
    void OnTick(IGraphics& graphics) override;

private:
    static std::size_t Slot(Readout readout) { return static_cast<std::size_t>(readout); }

    Dunerow& synth_;
    EditorPages pages_;
    std::array<IText, kStyleCount> styles_;
    std::array<ITextControl*, static_cast<std::size_t>(Readout::Count)> readouts_{};
    std::array<std::uint32_t, static_cast<std::size_t>(Readout::Count)> versions_{};
};
