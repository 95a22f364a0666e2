// Pending MIDI messages of the current and later blocks, kept in order of
// their frame offsets; messages with equal offsets keep their arrival order.
#pragma once

#include <cstddef>
#include <vector>

#include "shell/midi_message.h"

class MidiQueue {
public:
    static constexpr std::size_t kGrowthStep = 1024;
    // Beyond this many pending messages new ones are dropped: a flood of
    // events must not grow memory without bound.
    static constexpr std::size_t kMaximumCapacity = 64 * kGrowthStep;

    // The storage for the largest queue is reserved at once: growing within
    // it on the audio thread then never reaches the allocator.
    MidiQueue() {
        messages_.reserve(kMaximumCapacity);
        messages_.resize(kGrowthStep);
    }

    // Inserts in offset order. Returns false when the message was dropped.
    bool Add(const MidiMessage& message);
    bool Empty() const { return front_ == back_; }
    std::size_t Size() const { return back_ - front_; }
    const MidiMessage& Front() const { return messages_[front_]; }
    void PopFront() { ++front_; }
    // The pending message at position `i` from the front.
    const MidiMessage& At(std::size_t i) const { return messages_[front_ + i]; }
    // Takes out the pending message at position `i` from the front.
    void Remove(std::size_t i);
    // Forgets every pending message.
    void Clear() { front_ = back_ = 0; }
    // Ends a block of `frames` frames: compacts the queue and makes the
    // offsets of the remaining messages relative to the next block.
    void Flush(int frames);
    std::size_t Capacity() const { return messages_.size(); }

private:
    std::vector<MidiMessage> messages_;
    std::size_t front_ = 0;
    std::size_t back_ = 0;
};
