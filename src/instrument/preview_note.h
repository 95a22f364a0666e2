// The editor's play button hands a preview note to the audio thread: the
// note and whether to stop it only or to stop and restart it.
#pragma once

#include <atomic>

class PreviewNote {
public:
    enum Mode : int { kNone = 0, kStop = 1, kRestart = 2 };

    // Called by the editor thread.
    void Request(int note, Mode mode) {
        mode_.store(mode, std::memory_order_relaxed);
        note_.store(note, std::memory_order_release);
    }

    // Called at the start of a block; returns false when nothing is pending.
    bool Take(int& note, Mode& mode) {
        note = note_.exchange(0, std::memory_order_acq_rel);
        if (note <= 0) return false;
        mode = static_cast<Mode>(mode_.load(std::memory_order_relaxed));
        return true;
    }

private:
    std::atomic<int> note_{0};
    std::atomic<int> mode_{kNone};
};
