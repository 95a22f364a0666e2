#include "instrument/midi_queue.h"

#include <algorithm>

bool MidiQueue::Add(const MidiMessage& message) {
    if (back_ == messages_.size()) {
        if (front_ > 0) {
            std::copy(messages_.begin() + static_cast<std::ptrdiff_t>(front_),
                      messages_.begin() + static_cast<std::ptrdiff_t>(back_), messages_.begin());
            back_ -= front_;
            front_ = 0;
        } else {
            const std::size_t grown = (messages_.size() / kGrowthStep + 1) * kGrowthStep;
            if (grown > kMaximumCapacity) return false;
            messages_.resize(grown);
        }
    }

    std::size_t insertAt = back_;
    if (!Empty() && message.frameOffset < messages_[back_ - 1].frameOffset) {
        insertAt = front_;
        for (std::size_t i = back_; i > front_; --i) {
            if (messages_[i - 1].frameOffset <= message.frameOffset) {
                insertAt = i;
                break;
            }
        }
        std::copy_backward(messages_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                           messages_.begin() + static_cast<std::ptrdiff_t>(back_),
                           messages_.begin() + static_cast<std::ptrdiff_t>(back_ + 1));
    }
    messages_[insertAt] = message;
    ++back_;
    return true;
}

void MidiQueue::Flush(int frames) {
    std::copy(messages_.begin() + static_cast<std::ptrdiff_t>(front_),
              messages_.begin() + static_cast<std::ptrdiff_t>(back_), messages_.begin());
    back_ -= front_;
    front_ = 0;
    for (std::size_t i = 0; i < back_; ++i) messages_[i].frameOffset -= frames;
}

void MidiQueue::Remove(std::size_t i) {
    if (i >= Size()) return;
    const auto at = messages_.begin() + static_cast<std::ptrdiff_t>(front_ + i);
    std::copy(at + 1, messages_.begin() + static_cast<std::ptrdiff_t>(back_), at);
    --back_;
}
