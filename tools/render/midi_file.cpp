#include "midi_file.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "render_error.h"

namespace render {

namespace {

constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500000;  // 120 beats per minute

struct NoteEvent {
    std::uint64_t tick;
    std::array<std::uint8_t, 3> bytes;
};

struct TempoChange {
    std::uint64_t tick;
    std::uint32_t microsecondsPerQuarter;
};

// Reads big-endian numbers and variable-length quantities from a byte
// range, failing instead of reading past its end.
class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, const std::string& where) : bytes_(bytes), where_(where) {}

    bool AtEnd() const { return position_ >= bytes_.size(); }
    std::size_t Remaining() const { return bytes_.size() - position_; }

    std::uint8_t Byte() {
        Need(1);
        return bytes_[position_++];
    }
    std::uint32_t BigEndian(int count) {
        Need(static_cast<std::size_t>(count));
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) value = (value << 8) | bytes_[position_++];
        return value;
    }
    // At most four bytes, as the file format allows.
    std::uint32_t VariableLength() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t byte = Byte();
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) return value;
        }
        Fail("a variable-length number runs over four bytes");
    }
    std::span<const std::uint8_t> Take(std::size_t count) {
        Need(count);
        const auto part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }
    std::uint8_t DataByte() {
        const std::uint8_t byte = Byte();
        if (byte & 0x80) Fail("a data byte has its top bit set");
        return byte;
    }

    [[noreturn]] void Fail(const std::string& why) const { throw RenderError(where_ + why); }

private:
    void Need(std::size_t count) const {
        if (count > Remaining()) Fail("the data ends early");
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
    std::string where_;
};

void ReadTrack(Reader& track, std::vector<NoteEvent>& notes, std::vector<TempoChange>& tempi) {
    std::uint64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!track.AtEnd()) {
        tick += track.VariableLength();
        const std::uint8_t lead = track.Byte();
        std::uint8_t status = lead;
        if (lead < 0x80) {
            // Running status: the byte read is the first data byte of another event like the last.
            if (runningStatus == 0) track.Fail("a data byte comes where an event should start");
            status = runningStatus;
        }
        if (status < 0xF0) {
            runningStatus = status;
            std::array<std::uint8_t, 3> bytes{status, 0, 0};
            const int kind = status & 0xF0;
            const int dataBytes = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
            for (int i = 0; i < dataBytes; ++i) {
                bytes[static_cast<std::size_t>(i + 1)] = i == 0 && lead < 0x80 ? lead : track.DataByte();
            }
            if (kind == 0x90 && bytes[2] == 0) bytes[0] = static_cast<std::uint8_t>(0x80 | (status & 0x0F));
            if (kind == 0x80 || kind == 0x90) notes.push_back({tick, bytes});
            continue;
        }
        // System exclusive and meta events end any running status.
        runningStatus = 0;
        if (status == 0xF0 || status == 0xF7) {
            track.Take(track.VariableLength());
        } else if (status == 0xFF) {
            const std::uint8_t type = track.DataByte();
            const std::span<const std::uint8_t> data = track.Take(track.VariableLength());
            if (type == 0x2F) return;  // end of track
            if (type == 0x51) {
                if (data.size() != 3) track.Fail("a tempo event does not hold three bytes");
                const std::uint32_t tempo = (static_cast<std::uint32_t>(data[0]) << 16) | (static_cast<std::uint32_t>(data[1]) << 8) | data[2];
                if (tempo == 0) track.Fail("a tempo event sets zero microseconds per beat");
                tempi.push_back({tick, tempo});
            }
        } else {
            track.Fail("status byte " + std::to_string(status) + " cannot appear in a MIDI file");
        }
    }
}

}  // namespace

MessageList ParseMidiFile(std::span<const std::uint8_t> bytes, const std::string& name) {
    const std::string where = "cannot read MIDI file '" + name + "': ";
    Reader file(bytes, where);
    if (bytes.size() < 14 || file.BigEndian(4) != 0x4D546864) throw RenderError(where + "not a Standard MIDI File");  // "MThd"
    const std::uint32_t headerLength = file.BigEndian(4);
    if (headerLength < 6) file.Fail("the header is too short");
    Reader header(file.Take(headerLength), where);
    const std::uint32_t format = header.BigEndian(2);
    const std::uint32_t declaredTracks = header.BigEndian(2);
    const std::uint32_t division = header.BigEndian(2);
    if (format == 2) file.Fail("type 2 files (independent patterns) cannot be played, only types 0 and 1");
    if (format > 2) file.Fail("unknown file type " + std::to_string(format));
    if (division == 0) file.Fail("the time division is zero");

    // Seconds per tick: fixed for SMPTE timing, else from the tempo map.
    double secondsPerSmpteTick = 0.0;
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<int>(static_cast<std::int8_t>(division >> 8));
        const int ticksPerFrame = static_cast<int>(division & 0xFF);
        if (framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 && framesPerSecond != 30) {
            file.Fail("unknown SMPTE frame rate");
        }
        if (ticksPerFrame == 0) file.Fail("zero ticks per SMPTE frame");
        const double rate = framesPerSecond == 29 ? 30000.0 / 1001.0 : framesPerSecond;
        secondsPerSmpteTick = 1.0 / (rate * ticksPerFrame);
    }

    std::vector<NoteEvent> notes;
    std::vector<TempoChange> tempi;
    std::uint32_t tracks = 0;
    while (!file.AtEnd() && tracks < declaredTracks) {
        const std::uint32_t type = file.BigEndian(4);
        const std::uint32_t length = file.BigEndian(4);
        if (length > file.Remaining()) file.Fail("track " + std::to_string(tracks + 1) + " ends before its declared length");
        Reader chunk(file.Take(length), where + "track " + std::to_string(tracks + 1) + ": ");
        if (type != 0x4D54726B) continue;  // "MTrk"; other chunks are skipped
        ReadTrack(chunk, notes, tempi);
        ++tracks;
    }
    if (tracks < declaredTracks) file.Fail("the header declares " + std::to_string(declaredTracks) + " tracks, the file holds " + std::to_string(tracks));

    // Events of all tracks merged in tick order; at equal ticks the earlier track first.
    std::stable_sort(notes.begin(), notes.end(), [](const NoteEvent& a, const NoteEvent& b) { return a.tick < b.tick; });
    std::stable_sort(tempi.begin(), tempi.end(), [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });

    MessageList messages;
    messages.reserve(notes.size());
    std::size_t nextTempo = 0;
    std::uint64_t segmentTick = 0;
    double segmentSeconds = 0.0;
    double secondsPerTick = static_cast<double>(kDefaultMicrosecondsPerQuarter) * 1e-6 / division;
    for (const NoteEvent& note : notes) {
        double seconds = 0.0;
        if (secondsPerSmpteTick > 0.0) {
            seconds = static_cast<double>(note.tick) * secondsPerSmpteTick;
        } else {
            while (nextTempo < tempi.size() && tempi[nextTempo].tick <= note.tick) {
                segmentSeconds += static_cast<double>(tempi[nextTempo].tick - segmentTick) * secondsPerTick;
                segmentTick = tempi[nextTempo].tick;
                secondsPerTick = static_cast<double>(tempi[nextTempo].microsecondsPerQuarter) * 1e-6 / division;
                ++nextTempo;
            }
            seconds = segmentSeconds + static_cast<double>(note.tick - segmentTick) * secondsPerTick;
        }
        messages.push_back({seconds, note.bytes});
    }
    return messages;
}

MessageList ReadMidiFile(const std::filesystem::path& path) {
    const std::string where = "cannot read MIDI file '" + path.string() + "': ";
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) throw RenderError(where + error.message());
    if (size > kMaximumMidiFileSize) throw RenderError(where + "too large for a MIDI file");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::ifstream file(path, std::ios::binary);
    if (!file || !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
        throw RenderError(where + "the file cannot be opened or read");
    }
    return ParseMidiFile(bytes, path.string());
}

}  // namespace render
