// A curve the instrument computes for one of the editor's displays. The
// instrument publishes it (always holding the plug-in mutex, on whichever
// thread applies a parameter or renders); the editor copies it on its own
// thread without any lock and redraws when it changed. Publishing never
// allocates and never waits.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

class PreviewCurve {
public:
    explicit PreviewCurve(int points);

    PreviewCurve(const PreviewCurve&) = delete;
    PreviewCurve& operator=(const PreviewCurve&) = delete;

    int Points() const { return points_; }

    // Replaces the curve (the first Points() values of `values`) and raises the changed flag.
    void Publish(std::span<const double> values);
    // Copies the latest complete curve into `out` (Points() values); false,
    // and `out` unspecified, while nothing was published yet or a publish
    // was under way (the editor tries again on its next tick).
    bool Read(std::span<double> out) const;
    // Whether the curve changed since the last call; clears the flag.
    bool TakeChanged() { return changed_.exchange(false, std::memory_order_acq_rel); }
    // Raises the changed flag again (after a Read that found a publish under way).
    void MarkChanged() { changed_.store(true, std::memory_order_release); }
    bool HasData() const { return sequence_.load(std::memory_order_acquire) >= 2; }

private:
    int points_;
    std::unique_ptr<std::atomic<double>[]> values_;
    // Odd while a publish is under way; 0 before the first.
    std::atomic<std::uint32_t> sequence_{0};
    std::atomic<bool> changed_{false};
};
