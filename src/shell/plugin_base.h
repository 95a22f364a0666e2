// The core every plug-in class builds on: the recursive plug-in mutex that
// serialises all host calls, the parameter list, and the host's sample rate
// and block size.
#pragma once

#include <mutex>
#include <vector>

#include "shell/plugin_param.h"

class IPluginBase {
public:
    explicit IPluginBase(int parameterCount);
    virtual ~IPluginBase() = default;

    IPluginBase(const IPluginBase&) = delete;
    IPluginBase& operator=(const IPluginBase&) = delete;

    // The parameter at `index`, or nullptr outside 0..count-1.
    PluginParam* GetParam(int index);
    const PluginParam* GetParam(int index) const;
    int ParameterCount() const { return static_cast<int>(parameters_.size()); }

    double GetSampleRate() const { return sampleRate_; }
    int GetBlockSize() const { return blockSize_; }
    void SetSampleRate(double sampleRate) { sampleRate_ = sampleRate; }
    void SetBlockSize(int blockSize) { blockSize_ = blockSize; }

    // Takes the plug-in mutex; a thread that holds it may take it again.
    void Lock() { mutex_.lock(); }
    void Unlock() { mutex_.unlock(); }
    // Scope guard for the plug-in mutex.
    [[nodiscard]] std::unique_lock<std::recursive_mutex> ScopedLock() {
        return std::unique_lock<std::recursive_mutex>(mutex_);
    }

    // Reacts to a new sample rate or block size: sizes every buffer.
    virtual void OnReset() {}
    // Pushes the current value of parameter `index` into the engine.
    virtual void ApplyParameter(int /*index*/) {}

private:
    std::recursive_mutex mutex_;
    std::vector<PluginParam> parameters_;
    double sampleRate_ = 44100.0;
    int blockSize_ = 0;
};
