#include "editor/layout/editor_state.h"

#include "editor/controls/text_control.h"
#include "instrument/dunerow.h"

namespace {

constexpr RasterColor kWhite{255, 255, 255, 255};

IText ArialStyle(int size, RasterColor colour, TextAlign align) {
    IText style;
    style.size = size;
    style.colour = colour;
    style.font = "Arial";
    style.style = FontStyle::Normal;
    style.align = align;
    return style;
}

}  // namespace

DunerowEditorState::DunerowEditorState(Dunerow& synth, IGraphics& graphics)
    : synth_(synth),
      pages_(graphics),
      styles_{
          ArialStyle(13, kWhite, TextAlign::Centre),                // 1: labels, captions, the program name
          ArialStyle(13, kWhite, TextAlign::Near),                  // 2: distortion type and interpolation
          ArialStyle(13, kWhite, TextAlign::Far),                   // 3: shaper mode
          ArialStyle(13, {255, 160, 225, 255}, TextAlign::Near),    // 4: oscillator 1 waveform, light blue
          ArialStyle(13, {255, 160, 255, 255}, TextAlign::Near),    // 5: oscillator 2 waveform, cyan
          ArialStyle(13, {255, 160, 255, 225}, TextAlign::Near),    // 6: oscillator 3 waveform, mint
          ArialStyle(13, {255, 255, 255, 0}, TextAlign::Centre),    // 7: yellow
          ArialStyle(13, {255, 255, 127, 0}, TextAlign::Centre),    // 8: orange
          ArialStyle(13, {255, 255, 0, 0}, TextAlign::Centre),      // 9: red
          ArialStyle(13, kWhite, TextAlign::Near),                  // 10: host information
          ArialStyle(13, kWhite, TextAlign::Near),                  // 11: maximum level
          ArialStyle(15, kWhite, TextAlign::Centre),                // 12
      } {}

void DunerowEditorState::BindReadout(Readout readout, ITextControl* control) { readouts_[Slot(readout)] = control; }

void DunerowEditorState::OnTick(IGraphics& /*graphics*/) {
    const EditorReadouts& texts = synth_.Readouts();
    char text[EditorReadouts::kTextSize + 1];
    for (std::size_t slot = 0; slot < readouts_.size(); ++slot) {
        ITextControl* control = readouts_[slot];
        if (control == nullptr) continue;
        const auto readout = static_cast<Readout>(slot);
        const std::uint32_t version = texts.Version(readout);
        if (version == 0 || version == versions_[slot]) continue;
        const std::uint32_t read = texts.Get(readout, text);
        if (read == 0) continue;  // being rewritten: next tick
        control->SetTextFromPlugin(text);
        versions_[slot] = read;
    }
}
