#include "editor/custom/kv_file_selector.h"

#include <cctype>
#include <filesystem>
#include <string>

#include "editor/graphics/graphics.h"
#include "instrument/dunerow.h"

namespace {

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace

IKvFileSelector::IKvFileSelector(Dunerow* synth, int x, int y, const IBitmap& bitmap, FileAction action)
    : IFileSelectorControl(synth, x, y, -1, bitmap, action, {}, kExtensions), synth_(synth) {}

bool IKvFileSelector::IsProgramFile(std::string_view path) {
    // Only the file name decides: a folder called "kicks.fxp" holds text programs too.
    const std::size_t slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() < 4) return false;
    const std::string_view extension = name.substr(name.size() - 4);
    std::string lower;
    for (const char c : extension) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == ".fxp";
}

void IKvFileSelector::OnMouseDown(int x, int y, const IMouseMod& mod) {
    IFileSelectorControl::OnMouseDown(x, y, mod);
    if (synth_ == nullptr || !FileWasChosen() || file_.empty()) return;
    const std::filesystem::path path = PathFromUtf8(file_);
    const bool programFile = IsProgramFile(file_);
    if (action_ == FileAction::Save) {
        succeeded_ = programFile ? synth_->SaveProgramFile(path) : synth_->SaveProgramText(path);
        return;
    }
    succeeded_ = programFile ? synth_->LoadProgramFile(path) : synth_->LoadProgramText(path);
    // A program file load tells the host itself; a text load is told here.
    if (succeeded_ && !programFile) synth_->UpdateHostDisplay();
}

bool IKvFileSelector::Draw(IGraphics& graphics) {
    const bool pressed = state_ == State::Selecting && bitmap_.frames >= 2;
    return graphics.DrawBitmap(bitmap_, rect_, pressed ? 2 : 1, &blend_);
}
