// Momentary buttons that act on the instrument rather than on a parameter:
// program steps, ring sync, the preview note, the level reset and web links.
// Each shows its pressed frame while held.
#pragma once

#include <string>
#include <string_view>

#include "editor/controls/switch_control.h"

class Dunerow;

// Steps to the next or previous program; ten with the right button.
class IKvPresetSwitch : public IContactControl {
public:
    enum class Direction { Forward, Backward };

    IKvPresetSwitch(Dunerow* synth, int x, int y, const IBitmap& bitmap, Direction direction);
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    Direction GetDirection() const { return direction_; }

private:
    Dunerow* synth_;
    Direction direction_;
};

// Tunes the ring modulator to the last note times 1, 2, 4 ... 32, the
// multiplier doubling with each press and starting again after 32.
class IKvSyncButton : public IContactControl {
public:
    static constexpr double kLargestMultiplier = 32.0;

    IKvSyncButton(Dunerow* synth, int x, int y, const IBitmap& bitmap);
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    double Multiplier() const { return multiplier_; }

private:
    Dunerow* synth_;
    double multiplier_ = 1.0;
};

// Plays a preview note: the left button restarts it, the right one stops it.
class IKvPlayButton : public IContactControl {
public:
    static constexpr int kPreviewNote = 48;

    IKvPlayButton(Dunerow* synth, int x, int y, const IBitmap& bitmap);
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;

private:
    Dunerow* synth_;
};

// Clears the held maximum level after the next block.
class IKvResetButton : public IContactControl {
public:
    IKvResetButton(Dunerow* synth, int x, int y, const IBitmap& bitmap);
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;

private:
    Dunerow* synth_;
};

// Opens a web address, or its fallback form when the first cannot be opened.
class IKvUrlButton : public IContactControl {
public:
    IKvUrlButton(IPluginVst* plugin, int x, int y, const IBitmap& bitmap, std::string_view url,
                 std::string_view fallbackUrl = {});
    void OnMouseDown(int x, int y, const IMouseMod& mod) override;
    const std::string& Url() const { return url_; }
    const std::string& FallbackUrl() const { return fallbackUrl_; }

private:
    std::string url_;
    std::string fallbackUrl_;
};
