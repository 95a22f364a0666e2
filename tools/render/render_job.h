// The render loop: plays timed messages through the module block by block
// and writes what it hears until the sound has died away.
//
// The render runs on after the last message until the output has stayed
// below the silence threshold for the tail time (or the maximum length is
// reached). The file ends at the last message or the last audible frame,
// whichever comes later: trailing silence is not written.
#pragma once

#include <atomic>
#include <functional>

#include "audio_writer.h"
#include "plugin_host.h"
#include "timed_message.h"

namespace render {

inline constexpr double kDefaultSilenceThreshold = 3.1622776601683795e-05;  // -90 dBFS

struct RenderSettings {
    double sampleRate = 44100.0;
    int blockSize = 512;
    double tailSeconds = 1.0;
    double maximumSeconds = 30.0;
    double silenceThreshold = kDefaultSilenceThreshold;
    const std::atomic<bool>* interrupted = nullptr;  // checked once a block
};

struct RenderReport {
    long long framesWritten = 0;
    long long framesRendered = 0;
    double peak = 0.0;              // largest magnitude written
    long long samplesAboveFullScale = 0;
    bool cutAtMaximum = false;      // the maximum length ended notes or sound
    double pluginCpuSeconds = 0.0;  // CPU time spent inside the module's process calls
};

// Called with the estimated fraction done, 0..1.
using ProgressFunction = std::function<void(double)>;

// Renders into `writer` (not committed here). The host must be started
// with the settings' rate and block size. Throws RenderError when
// interrupted or when writing fails.
RenderReport Render(PluginHost& host, const MessageList& messages, const RenderSettings& settings, AudioFileWriter& writer,
                    const ProgressFunction& progress);

}  // namespace render
