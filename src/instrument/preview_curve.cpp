#include "instrument/preview_curve.h"

#include <algorithm>

PreviewCurve::PreviewCurve(int points)
    : points_(std::max(points, 0)), values_(std::make_unique<std::atomic<double>[]>(static_cast<std::size_t>(points_))) {}

void PreviewCurve::Publish(std::span<const double> values) {
    const auto count = static_cast<std::size_t>(points_);
    // A short curve would leave stale points behind: keep the last whole one.
    if (values.size() < count) return;
    // One writer at a time (the plug-in mutex): the counter is even here.
    const std::uint32_t sequence = sequence_.load(std::memory_order_relaxed);
    sequence_.store(sequence + 1, std::memory_order_relaxed);
    // Each point is a release store, so a reader that sees any new point
    // also sees the odd counter written before it. (Ordering by per-point
    // release and acquire rather than fences keeps the thread sanitizer,
    // which does not model fences, able to check it.)
    for (std::size_t i = 0; i < count; ++i) values_[i].store(values[i], std::memory_order_release);
    // 0 means "never published": skip it when the counter wraps.
    const std::uint32_t done = sequence + 2 == 0 ? 2 : sequence + 2;
    sequence_.store(done, std::memory_order_release);
    changed_.store(true, std::memory_order_release);
}

bool PreviewCurve::Read(std::span<double> out) const {
    const auto count = static_cast<std::size_t>(points_);
    if (out.size() < count) return false;
    const std::uint32_t before = sequence_.load(std::memory_order_acquire);
    if (before == 0 || (before & 1u) != 0) return false;
    // Acquire loads: the counter is checked again only after every point was read.
    for (std::size_t i = 0; i < count; ++i) out[i] = values_[i].load(std::memory_order_acquire);
    return sequence_.load(std::memory_order_relaxed) == before;
}
