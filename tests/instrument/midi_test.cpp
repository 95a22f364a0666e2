#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "instrument/midi_queue.h"
#include "instrument/note_name.h"
#include "instrument/note_receiver.h"

namespace {

MidiMessage NoteOn(int offset, int note, int velocity = 100) {
    return {offset, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity)};
}
MidiMessage NoteOff(int offset, int note) { return {offset, 0x80, static_cast<uint8_t>(note), 0}; }

std::vector<int> Offsets(const MidiQueue& queue) {
    std::vector<int> offsets;
    for (std::size_t i = 0; i < queue.Size(); ++i) offsets.push_back(queue.At(i).frameOffset);
    return offsets;
}

struct Event {
    bool on;
    int note;
    int velocity;
    int frame;
    bool operator==(const Event&) const = default;
};

class NoteReceiverTest : public ::testing::Test {
protected:
    void SetUp() override {
        receiver.noteOn.Connect([this](int note, int velocity, int frame) { events.push_back({true, note, velocity, frame}); });
        receiver.noteOff.Connect([this](int note, int velocity, int frame) { events.push_back({false, note, velocity, frame}); });
    }
    void RunBlock(int frames) {
        for (int i = 0; i < frames; ++i) receiver.AdvanceFrame();
        receiver.Flush(frames);
    }

    NoteReceiver receiver;
    std::vector<Event> events;
};

}  // namespace

TEST(MidiQueue, KeepsMessagesInOffsetOrderAndArrivalOrderForTies) {
    MidiQueue queue;
    queue.Add(NoteOn(10, 1));
    queue.Add(NoteOn(5, 2));
    queue.Add(NoteOn(10, 3));
    queue.Add(NoteOn(0, 4));
    queue.Add(NoteOn(5, 5));
    EXPECT_EQ(Offsets(queue), (std::vector<int>{0, 5, 5, 10, 10}));
    std::vector<int> notes;
    for (std::size_t i = 0; i < queue.Size(); ++i) notes.push_back(queue.At(i).data1);
    EXPECT_EQ(notes, (std::vector<int>{4, 2, 5, 1, 3}));
}

TEST(MidiQueue, FlushDropsConsumedMessagesAndShiftsTheRest) {
    MidiQueue queue;
    queue.Add(NoteOn(3, 1));
    queue.Add(NoteOn(70, 2));
    queue.Add(NoteOn(130, 3));
    queue.PopFront();
    queue.Flush(64);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{6, 66}));
    queue.Flush(0);
    EXPECT_EQ(Offsets(queue), (std::vector<int>{6, 66})) << "an empty block leaves the offsets";
}

TEST(MidiQueue, GrowsByStepsAndDropsBeyondItsLimit) {
    MidiQueue queue;
    EXPECT_EQ(queue.Capacity(), 1024u);
    for (int i = 0; i < 1025; ++i) ASSERT_TRUE(queue.Add(NoteOn(i, 60)));
    EXPECT_EQ(queue.Capacity(), 2048u);

    std::size_t accepted = queue.Size();
    while (queue.Add(NoteOn(5000, 60))) ++accepted;
    EXPECT_EQ(accepted, MidiQueue::kMaximumCapacity);
    EXPECT_EQ(queue.Capacity(), MidiQueue::kMaximumCapacity);
}

TEST(MidiQueue, ReusesConsumedRoomBeforeGrowing) {
    MidiQueue queue;
    for (int i = 0; i < 1024; ++i) queue.Add(NoteOn(i, 60));
    for (int i = 0; i < 10; ++i) queue.PopFront();
    EXPECT_TRUE(queue.Add(NoteOn(2000, 61)));
    EXPECT_EQ(queue.Capacity(), 1024u);
    EXPECT_EQ(queue.Size(), 1015u);
    EXPECT_EQ(queue.At(0).frameOffset, 10);
    EXPECT_EQ(queue.At(1014).data1, 61);
}

TEST_F(NoteReceiverTest, EmitsEachNoteAtItsFrame) {
    receiver.Queue(NoteOn(3, 60, 90));
    receiver.Queue(NoteOff(7, 60));
    RunBlock(16);
    EXPECT_EQ(events, (std::vector<Event>{{true, 60, 90, 3}, {false, 60, 0, 7}}));
    EXPECT_EQ(receiver.KeysDown(), 0);
}

TEST_F(NoteReceiverTest, MessagesBeyondTheBlockWaitForTheirBlock) {
    receiver.Queue(NoteOn(20, 64));
    RunBlock(16);
    EXPECT_TRUE(events.empty());
    RunBlock(16);
    EXPECT_EQ(events, (std::vector<Event>{{true, 64, 100, 4}}));
}

TEST_F(NoteReceiverTest, AKeyAlreadyDownIsNotStartedAgain) {
    receiver.Queue(NoteOn(0, 60));
    receiver.Queue(NoteOn(1, 60));
    receiver.Queue(NoteOff(2, 61));  // never down: ignored
    RunBlock(4);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(receiver.KeysDown(), 1);
    EXPECT_TRUE(receiver.IsKeyDown(60));
}

TEST_F(NoteReceiverTest, VelocityZeroNoteOnActsAsNoteOff) {
    receiver.Queue(NoteOn(0, 60));
    receiver.Queue(NoteOn(5, 60, 0));
    RunBlock(8);
    EXPECT_EQ(events, (std::vector<Event>{{true, 60, 100, 0}, {false, 60, 0, 5}}));
    EXPECT_FALSE(receiver.IsKeyDown(60));
}

TEST_F(NoteReceiverTest, OnAndOffAtTheSameOffsetKeepArrivalOrder) {
    receiver.Queue(NoteOn(4, 60));
    receiver.Queue(NoteOff(4, 60));
    RunBlock(8);
    EXPECT_EQ(events, (std::vector<Event>{{true, 60, 100, 4}, {false, 60, 0, 4}}));
}

TEST_F(NoteReceiverTest, IgnoresOtherMessagesAndInvalidDataBytes) {
    receiver.Queue({0, 0xB0, 7, 100});   // controller
    receiver.Queue({0, 0xE0, 0, 64});    // pitch bend
    receiver.Queue({0, 0x90, 200, 100}); // note above 127
    receiver.Queue({0, 0x90, 60, 128});  // velocity above 127
    EXPECT_EQ(receiver.Queue().Size(), 0u);
    RunBlock(4);
    EXPECT_TRUE(events.empty());
}

TEST_F(NoteReceiverTest, OffsetsBeforeTheBlockPlayAtItsFirstFrame) {
    receiver.Queue(NoteOn(-1000, 60));
    receiver.Queue(NoteOn(std::numeric_limits<int32_t>::min(), 61));
    RunBlock(4);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].frame, 0);
    EXPECT_EQ(events[1].frame, 0);
}

TEST_F(NoteReceiverTest, AnEmptyBlockHandlesNothing) {
    receiver.Queue(NoteOn(0, 60));
    receiver.Flush(0);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(receiver.Queue().Size(), 1u);
    RunBlock(1);
    EXPECT_EQ(events.size(), 1u);
}

TEST(NoteName, NamesPitchClassAndOctave) {
    auto name = [](int note) {
        char buffer[8];
        FormatNoteName(note, buffer);
        return std::string(buffer);
    };
    EXPECT_EQ(name(48), "C4");
    EXPECT_EQ(name(69), "A5");
    EXPECT_EQ(name(0), "C0");
    EXPECT_EQ(name(61), "C#5");
    EXPECT_EQ(name(127), "G10");
    EXPECT_EQ(name(128), "");
    EXPECT_EQ(name(-1), "");
}
