#include "instrument/editor_readouts.h"

#include <algorithm>

namespace {

constexpr bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0u) == 0x80u; }

// The text up to its first NUL and at most `limit` bytes, never ending
// inside a UTF-8 character (a broken sequence is cut at `limit`).
std::string_view Kept(std::string_view text, std::size_t limit) {
    text = text.substr(0, text.find('\0'));
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    // A character is at most four bytes: at most three continuation bytes to step back over.
    for (int step = 0; step < 3 && end > 0 && IsContinuationByte(text[end]); ++step) --end;
    if (IsContinuationByte(text[end])) end = limit;
    return text.substr(0, end);
}

}  // namespace

void EditorReadouts::Set(Readout readout, std::string_view text) {
    const auto at = static_cast<std::size_t>(readout);
    if (at >= slots_.size()) return;
    Slot& slot = slots_[at];
    const std::string_view kept = Kept(text, kTextSize);

    // One writer at a time (the plug-in mutex), so the slot holds a whole text here.
    const std::uint32_t sequence = slot.sequence.load(std::memory_order_relaxed);
    if (sequence != 0 && slot.length.load(std::memory_order_relaxed) == kept.size()) {
        bool same = true;
        for (std::size_t i = 0; same && i < kept.size(); ++i) same = slot.text[i].load(std::memory_order_relaxed) == kept[i];
        if (same) return;  // the editor has nothing to redraw
    }

    slot.sequence.store(sequence + 1, std::memory_order_relaxed);
    // Release stores: a reader that sees any new byte or length also sees the
    // odd counter written before it (the same ordering as a seqlock's fences,
    // in a form the thread sanitizer can check).
    for (std::size_t i = 0; i < kept.size(); ++i) slot.text[i].store(kept[i], std::memory_order_release);
    slot.length.store(static_cast<std::uint32_t>(kept.size()), std::memory_order_release);
    // 0 means "never written": skip it when the counter wraps.
    const std::uint32_t done = sequence + 2 == 0 ? 2 : sequence + 2;
    slot.sequence.store(done, std::memory_order_release);
}

std::uint32_t EditorReadouts::Get(Readout readout, std::span<char> out) const {
    const auto at = static_cast<std::size_t>(readout);
    if (at >= slots_.size() || out.size() < kTextSize + 1) return 0;
    const Slot& slot = slots_[at];
    const std::uint32_t before = slot.sequence.load(std::memory_order_acquire);
    if (before == 0 || (before & 1u) != 0) {
        out[0] = '\0';
        return 0;
    }
    // Acquire loads: the counter is checked again only after every byte was read.
    const std::size_t length = std::min<std::size_t>(slot.length.load(std::memory_order_acquire), kTextSize);
    for (std::size_t i = 0; i < length; ++i) out[i] = slot.text[i].load(std::memory_order_acquire);
    if (slot.sequence.load(std::memory_order_relaxed) != before) {
        out[0] = '\0';
        return 0;
    }
    out[length] = '\0';
    return before / 2;
}

std::uint32_t EditorReadouts::Version(Readout readout) const {
    const auto at = static_cast<std::size_t>(readout);
    if (at >= slots_.size()) return 0;
    // While a write is under way this is still the previous version.
    return slots_[at].sequence.load(std::memory_order_acquire) / 2;
}
