#include "note_list.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string>

#include "render_error.h"

namespace render {

namespace {

// The whole text as a number of type T, or nothing.
template <typename T>
std::optional<T> NumberOf(std::string_view text) {
    T value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end) return std::nullopt;
    return value;
}

[[noreturn]] void Fail(std::string_view text, const std::string& why) {
    throw RenderError("bad note '" + std::string(text) + "': " + why +
                      " (expected NOTE[@START][:LENGTH][/VELOCITY], e.g. C2@0.5:0.25/100)");
}

}  // namespace

std::optional<int> NoteNumberOfName(std::string_view name) {
    static constexpr int kPitchClasses[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (name.size() < 2) return std::nullopt;
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    if (letter < 'A' || letter > 'G') return std::nullopt;
    int note = kPitchClasses[letter - 'A'];
    std::size_t at = 1;
    if (name[at] == '#') {
        ++note;
        ++at;
    } else if (name[at] == 'b') {
        --note;
        ++at;
    }
    const std::optional<int> octave = NumberOf<int>(name.substr(at));
    if (!octave || *octave < -1 || *octave > 9) return std::nullopt;
    note += (*octave + 1) * 12;
    if (note < 0 || note > 127) return std::nullopt;
    return note;
}

PlayedNote ParseNote(std::string_view text) {
    PlayedNote played;
    const std::size_t noteEnd = std::min(text.find_first_of("@:/"), text.size());
    const std::string_view noteText = text.substr(0, noteEnd);
    if (noteText.empty()) Fail(text, "no note");
    if (std::isdigit(static_cast<unsigned char>(noteText[0]))) {
        const std::optional<int> number = NumberOf<int>(noteText);
        if (!number || *number < 0 || *number > 127) Fail(text, "note numbers run from 0 to 127");
        played.note = *number;
    } else {
        const std::optional<int> number = NoteNumberOfName(noteText);
        if (!number) Fail(text, "'" + std::string(noteText) + "' is no note name from C-1 to G9");
        played.note = *number;
    }

    // The optional fields follow in this order, each introduced by its mark.
    std::string_view rest = text.substr(noteEnd);
    const auto field = [&rest](char mark) -> std::optional<std::string_view> {
        if (rest.empty() || rest[0] != mark) return std::nullopt;
        const std::size_t end = std::min(rest.find_first_of("@:/", 1), rest.size());
        const std::string_view value = rest.substr(1, end - 1);
        rest = rest.substr(end);
        return value;
    };
    if (const auto start = field('@')) {
        const std::optional<double> value = NumberOf<double>(*start);
        if (!value || !std::isfinite(*value) || *value < 0.0) Fail(text, "the start must be a number of seconds, 0 or more");
        played.start = *value;
    }
    if (const auto length = field(':')) {
        const std::optional<double> value = NumberOf<double>(*length);
        if (!value || !std::isfinite(*value) || *value <= 0.0) Fail(text, "the length must be a number of seconds above 0");
        played.length = *value;
    }
    if (const auto velocity = field('/')) {
        const std::optional<int> value = NumberOf<int>(*velocity);
        if (!value || *value < 1 || *value > 127) Fail(text, "the velocity must be a whole number from 1 to 127");
        played.velocity = *value;
    }
    if (!rest.empty()) Fail(text, "unexpected '" + std::string(rest) + "'");
    return played;
}

MessageList MessagesOfNotes(const std::vector<PlayedNote>& notes) {
    MessageList messages;
    for (const PlayedNote& note : notes) {
        const auto key = static_cast<std::uint8_t>(note.note);
        messages.push_back({note.start, {0x90, key, static_cast<std::uint8_t>(note.velocity)}});
        messages.push_back({note.start + note.length, {0x80, key, 0}});
    }
    std::stable_sort(messages.begin(), messages.end(), [](const TimedMessage& a, const TimedMessage& b) {
        if (a.seconds != b.seconds) return a.seconds < b.seconds;
        return !a.IsNoteOn() && b.IsNoteOn();
    });
    return messages;
}

}  // namespace render
