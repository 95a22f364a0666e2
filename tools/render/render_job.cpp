#include "render_job.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <vector>

#include "render_error.h"

namespace render {

namespace {

struct FramedMessage {
    long long frame;
    TimedMessage message;
};

// Messages at frame positions in playing order. Messages at the same frame
// keep the order they came in, as a host sends them: the instrument, not
// the renderer, decides what a note-on before a note-off of one key means.
std::vector<FramedMessage> FramesOf(const MessageList& messages, double sampleRate) {
    std::vector<FramedMessage> framed;
    framed.reserve(messages.size());
    for (const TimedMessage& message : messages) {
        // Anything beyond a day's frames lies past every maximum length anyway.
        const double frame = std::clamp(message.seconds * sampleRate, 0.0, 86400.0 * sampleRate);
        framed.push_back({std::llround(frame), message});
    }
    std::stable_sort(framed.begin(), framed.end(), [](const FramedMessage& a, const FramedMessage& b) { return a.frame < b.frame; });
    return framed;
}

double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

}  // namespace

RenderReport Render(PluginHost& host, const MessageList& messages, const RenderSettings& settings, AudioFileWriter& writer,
                    const ProgressFunction& progress) {
    const std::vector<FramedMessage> framed = FramesOf(messages, settings.sampleRate);
    const int block = settings.blockSize;
    const long long maximumFrames = std::llround(settings.maximumSeconds * settings.sampleRate);
    const long long tailFrames = std::llround(settings.tailSeconds * settings.sampleRate);
    const long long lastMessageFrame = framed.empty() ? 0 : framed.back().frame;
    const double expectedFrames = static_cast<double>(std::min(maximumFrames, lastMessageFrame + tailFrames));

    RenderReport report;
    std::vector<double> left(static_cast<std::size_t>(block));
    std::vector<double> right(static_cast<std::size_t>(block));
    std::vector<double> pending;  // interleaved frames rendered but not yet known to belong in the file
    std::vector<BlockMessage> blockMessages;
    std::size_t next = 0;
    long long position = 0;
    long long lastAudible = -1;

    // Writes the pending frames up to `end`, the first frame not yet known to be kept.
    const auto flushTo = [&](long long end) {
        const long long count = end - report.framesWritten;
        if (count <= 0) return;
        const auto samples = static_cast<std::size_t>(count * 2);
        for (std::size_t i = 0; i < samples; ++i) {
            const double magnitude = std::fabs(pending[i]);
            report.peak = std::max(report.peak, magnitude);
            if (magnitude > 1.0) ++report.samplesAboveFullScale;
        }
        writer.Write(pending.data(), count);
        pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(samples));
        report.framesWritten = end;
    };

    for (;;) {
        if (settings.interrupted != nullptr && settings.interrupted->load()) throw RenderError("interrupted");

        blockMessages.clear();
        while (next < framed.size() && framed[next].frame < position + block) {
            BlockMessage message;
            message.frame = static_cast<int>(framed[next].frame - position);
            std::copy(framed[next].message.bytes.begin(), framed[next].message.bytes.end(), message.bytes);
            blockMessages.push_back(message);
            ++next;
        }
        const double before = ProcessCpuSeconds();
        host.Process(blockMessages, left.data(), right.data());
        report.pluginCpuSeconds += ProcessCpuSeconds() - before;

        for (int i = 0; i < block; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (std::fabs(left[at]) >= settings.silenceThreshold || std::fabs(right[at]) >= settings.silenceThreshold) {
                lastAudible = position + i;
            }
            pending.push_back(left[at]);
            pending.push_back(right[at]);
        }
        position += block;
        report.framesRendered = position;

        const long long soundEnd = std::max(lastAudible + 1, std::min(lastMessageFrame, position));
        flushTo(std::min(soundEnd, maximumFrames));
        if (progress && expectedFrames > 0.0) progress(std::min(0.99, static_cast<double>(position) / expectedFrames));

        const long long quietFrames = position - std::max(lastAudible + 1, lastMessageFrame);
        if (position >= lastMessageFrame && quietFrames >= tailFrames) break;
        if (position >= maximumFrames) {
            report.cutAtMaximum = true;
            break;
        }
    }
    return report;
}

}  // namespace render
