// The output's peak levels since the last reset. The audio thread writes
// them, the editor reads them and asks for resets.
#pragma once

#include <algorithm>
#include <atomic>
#include <cmath>

class PeakMeter {
public:
    // Takes in one block's peaks; a pending reset clears the levels after the block was measured.
    void Update(double blockLeft, double blockRight) {
        left_.store(std::max(left_.load(std::memory_order_relaxed), blockLeft), std::memory_order_relaxed);
        right_.store(std::max(right_.load(std::memory_order_relaxed), blockRight), std::memory_order_relaxed);
        if (resetRequested_.exchange(false, std::memory_order_acq_rel)) {
            left_.store(0.0, std::memory_order_relaxed);
            right_.store(0.0, std::memory_order_relaxed);
        }
    }
    void RequestReset() { resetRequested_.store(true, std::memory_order_release); }
    bool IsResetRequested() const { return resetRequested_.load(std::memory_order_acquire); }

    double Left() const { return left_.load(std::memory_order_relaxed); }
    double Right() const { return right_.load(std::memory_order_relaxed); }
    double Peak() const { return std::max(Left(), Right()); }

private:
    std::atomic<double> left_{0.0};
    std::atomic<double> right_{0.0};
    std::atomic<bool> resetRequested_{false};
};
