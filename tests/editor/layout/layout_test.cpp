// The instrument's editor as built for a real Dunerow: every control with its
// class, parameter, rectangle, bitmap, text and style, written out below
// panel by panel; the two page lists and the tabs that switch them; which
// control each parameter is bound to; the read-outs; the image list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <typeinfo>
#include <vector>

#include "editor/controls/bitmap_control.h"
#include "editor/controls/fader_control.h"
#include "editor/controls/knob_control.h"
#include "editor/controls/switch_control.h"
#include "editor/controls/text_control.h"
#include "editor/custom/editor_pages.h"
#include "editor/custom/kv_buttons.h"
#include "editor/custom/kv_caption_control.h"
#include "editor/custom/kv_curve.h"
#include "editor/custom/kv_file_selector.h"
#include "editor/custom/kv_live_texts.h"
#include "editor/custom/kv_mode_switch.h"
#include "editor/custom/kv_preset_menu.h"
#include "editor/custom/kv_tab_button.h"
#include "editor/graphics/bitmap_cache.h"
#include "editor/graphics/graphics_headless.h"
#include "editor/layout/dunerow_editor.h"
#include "editor/layout/editor_bitmaps.h"
#include "editor/layout/editor_state.h"
#include "instrument/dunerow.h"
#include "instrument/parameter_table.h"

namespace {

// ---------------------------------------------------------------- the images

struct Image {
    int id;
    const char* file;  // below resources/img/korvane/
    int width;
    int height;
    int frames;
};

constexpr Image kImages[] = {
    {111, "Dunerow_GUI_background_Free.png", 1030, 800, 1},
    {112, "Controls_Background_920x730_FREE.png", 920, 730, 1},
    {201, "switches/KV_on_off_20px.png", 20, 40, 2},
    {1001, "knobs/KV_Pitch_Knob_40px.png", 40, 5120, 128},
    {1002, "knobs/KV_Disto_Knob_40px.png", 40, 5120, 128},
    {1003, "knobs/KV_Osc_Pitch_Tune_Knob_30px.png", 30, 3840, 128},
    {1004, "knobs/KV_Osc_Pitch_Tune_Knob_30px.png", 30, 3840, 128},
    {1005, "knobs/KV_Filter_Knob_40px.png", 40, 5120, 128},
    {1006, "knobs/KV_Resonance_Knob_40px.png", 40, 5120, 128},
    {1007, "knobs/KV_Osc_Pan_Knob_30px.png", 30, 3840, 128},
    {1008, "knobs/KV_Osc_Saturation_Knob_30px.png", 30, 3840, 128},
    {1009, "knobs/KV_Osc_Volume_Knob_30px.png", 30, 3840, 128},
    {1010, "knobs/KV_LFO_Knob_30px.png", 30, 3840, 128},
    {1011, "knobs/KV_ADSR_Volume_Knob_30px.png", 30, 3840, 128},
    {1012, "knobs/KV_ADSR_Filter_Knob_30px.png", 30, 3840, 128},
    {1013, "knobs/KV_Unison_Knob_40px.png", 40, 5120, 128},
    {1014, "knobs/KV_Unison_Knob_2_states_40px.png", 40, 80, 2},
    {1017, "knobs/KV_Fm_Modulation_Knob_40px.png", 40, 5120, 128},
    {1018, "knobs/KV_ModFx_Knob_30px.png", 30, 3840, 128},
    {1019, "knobs/KV_ModFx_Amt_Knob_30px.png", 30, 3840, 128},
    {1020, "knobs/KV_Disto_BitCrash_30px.png", 30, 3840, 128},
    {1021, "knobs/KV_Disto_SmpRate_30px.png", 30, 3840, 128},
    {1022, "knobs/KV_Disto_Gate_30px.png", 30, 3840, 128},
    {1032, "knobs/KV_EQ_High_Knob_35px.png", 35, 4480, 128},
    {1033, "knobs/KV_EQ_Mid_Knob_35px.png", 35, 4480, 128},
    {1034, "knobs/KV_EQ_Low_Knob_35px.png", 35, 4480, 128},
    {1035, "knobs/KV_DumpExp_Knob_35px.png", 35, 4480, 128},
    {1036, "knobs/KV_Volume_Knob_50px.png", 50, 6400, 128},
    {1037, "knobs/KV_Dry_Wet_Knob_35px.png", 35, 4480, 128},
    {1038, "knobs/KV_Pan_Knob_35px.png", 35, 4480, 128},
    {1039, "knobs/KV_Saturation_Knob_35px.png", 35, 4480, 128},
    {1040, "knobs/KV_Global_Tune_Knob_50px.png", 50, 6400, 128},
    {1041, "knobs/KV_Bass-Layer_Knob_40px.png", 40, 5120, 128},
    {1042, "knobs/KV_Click_Knob_40px.png", 40, 5120, 128},
    {1043, "knobs/KV_ModFx_Waveform_Knob_30px.png", 30, 150, 5},
    {1044, "knobs/KV_Filter_InputDrive_Knob_30px.png", 30, 3840, 128},
    {1045, "knobs/KV_Filter_Transition_Knob_30px.png", 30, 90, 3},
    {1046, "knobs/KV_DynShaper_Width_35px.png", 35, 4480, 128},
    {1048, "knobs/KV_DynShaper_Type_3_states_40px.png", 40, 120, 3},
    {1101, "displays/Waveform_Display_80x35_osc1.png", 94, 49, 1},
    {1102, "displays/Waveform_Display_80x35_osc2.png", 94, 49, 1},
    {1103, "displays/Waveform_Display_80x35_osc3.png", 94, 49, 1},
    {1104, "displays/Pitch_Display_150x50.png", 170, 70, 1},
    {1105, "displays/Volume_Envelope_120x45.png", 140, 65, 1},
    {1106, "displays/Filter_Envelope_120x45.png", 140, 65, 1},
    {1107, "displays/preset_display_185x20.png", 185, 20, 1},
    {1108, "displays/disto_display_110x38.png", 110, 38, 1},
    {1109, "displays/Distortion_Curve_Display_111x93.png", 127, 109, 1},
    {1110, "displays/Dump-Expand_Display_31x20.png", 50, 40, 1},
    {1111, "displays/info_display_700x30_FREE.png", 700, 50, 1},
    {1113, "displays/EQ_Frequency_Display_217x20.png", 217, 20, 1},
    {1201, "switches/Prev_WF_up_20px.png", 20, 40, 2},
    {1202, "switches/Next_WF_down_20px.png", 20, 40, 2},
    {1203, "switches/mode_on_off_48px_40px.png", 48, 40, 2},
    {1204, "switches/Prev_up_18px.png", 18, 36, 2},
    {1205, "switches/Next_down_18px.png", 18, 36, 2},
    {1206, "switches/Prev_left_20px.png", 20, 40, 2},
    {1207, "switches/Next_right_20px.png", 20, 40, 2},
    {1208, "switches/disto_mode_on_off_48px_40px.png", 48, 40, 2},
    {1209, "switches/loud_on_off_48px_40px.png", 48, 40, 2},
    {1301, "buttons/invert_button_48x40.png", 48, 40, 2},
    {1302, "buttons/filter_button_48x40.png", 48, 40, 2},
    {1303, "buttons/solo_button_48x40.png", 48, 40, 2},
    {1304, "buttons/sync_button_48x40.png", 48, 40, 2},
    {1305, "buttons/kick_mode_button_60x60.png", 60, 60, 2},
    {1306, "buttons/invert_button_48x40.png", 48, 40, 2},
    {1307, "buttons/load_on_off_48x40.png", 48, 40, 2},
    {1308, "buttons/save_on_off_48x40.png", 48, 40, 2},
    {1309, "buttons/limit_on_off_60x60.png", 60, 60, 2},
    {1310, "buttons/reset_on_off_48x40.png", 48, 40, 2},
    {1311, "buttons/aa_button_5states_60x150.png", 60, 150, 5},
    {1312, "buttons/bypass_fx_button_84x60.png", 84, 60, 2},
    {1313, "buttons/tab_about_85x50.png", 85, 50, 2},
    {1314, "buttons/tab_synth_85x50.png", 85, 50, 2},
    {1315, "buttons/invert_filter_envelope_80x40.png", 80, 40, 2},
    {1317, "buttons/play_on_off_48x40.png", 48, 40, 2},
    {1401, "slider_handle_14px_14px.png", 14, 14, 1},
    {1402, "slider_background_82px_14px.png", 82, 14, 1},
    {1403, "slider_background_104px_14px.png", 104, 14, 1},
    {1405, "bass_kick_design_tool_FREE.png", 400, 40, 1},
    {2001, "Korvane_logo_txt_740x450.png", 740, 450, 1},
    {2002, "KV_Free_Text.png", 810, 102, 1},
    {2003, "KV_Team_Text.png", 300, 51, 1},
    {2004, "x64.png", 90, 30, 1},
    {2005, "VST_Logo.png", 125, 77, 1},
    {2008, "KV_URL_icon.png", 100, 100, 1},
    {2009, "FB_URL_icon.png", 100, 100, 1},
};

// Carried as resources but loaded by nothing, so they have no file name here.
constexpr int kUnloadedImageIds[] = {101,  102,  1015, 1016, 1023, 1024, 1025, 1026, 1027, 1028,
                                     1029, 1030, 1031, 1047, 1112, 1316, 1404, 2006, 2007};

const Image& ImageOf(int id) {
    for (const Image& image : kImages) {
        if (image.id == id) return image;
    }
    ADD_FAILURE() << "image " << id << " is not in the test's table";
    return kImages[0];
}

// A control placed at (x, y) covers one frame of its image.
RasterRect FrameAt(int x, int y, int id) {
    const Image& image = ImageOf(id);
    return {x, y, x + image.width, y + image.height / image.frames};
}

// ---------------------------------------------------------------- the styles

struct TextStyleLine {
    int size;
    RasterColor colour;  // a, r, g, b
    TextAlign align;
};

constexpr RasterColor kWhite{255, 255, 255, 255};

constexpr TextStyleLine kStyles[12] = {
    {13, kWhite, TextAlign::Centre},                // 1: labels, captions, program name, about captions
    {13, kWhite, TextAlign::Near},                  // 2: distortion type and interpolation
    {13, kWhite, TextAlign::Far},                   // 3: shaper mode
    {13, {255, 160, 225, 255}, TextAlign::Near},    // 4: oscillator 1 waveform (light blue)
    {13, {255, 160, 255, 255}, TextAlign::Near},    // 5: oscillator 2 waveform (cyan)
    {13, {255, 160, 255, 225}, TextAlign::Near},    // 6: oscillator 3 waveform (mint)
    {13, {255, 255, 255, 0}, TextAlign::Centre},    // 7: yellow
    {13, {255, 255, 127, 0}, TextAlign::Centre},    // 8: orange
    {13, {255, 255, 0, 0}, TextAlign::Centre},      // 9: red
    {13, kWhite, TextAlign::Near},                  // 10: host information
    {13, kWhite, TextAlign::Near},                  // 11: maximum level
    {15, kWhite, TextAlign::Centre},                // 12
};

bool IsStyle(const IText& text, int number) {
    if (number < 1 || number > 12) return false;
    const TextStyleLine& line = kStyles[number - 1];
    const IText defaults;
    return text.size == line.size && text.colour == line.colour && text.align == line.align && text.font == "Arial" &&
           text.style == FontStyle::Normal && text.entryBackground == defaults.entryBackground &&
           text.entryText == defaults.entryText;
}

std::string ColourText(RasterColor colour) {
    std::ostringstream out;
    out << int{colour.a} << ',' << int{colour.r} << ',' << int{colour.g} << ',' << int{colour.b};
    return out.str();
}

std::string StyleText(const IText& text) {
    const char* align = text.align == TextAlign::Near ? "left" : text.align == TextAlign::Far ? "right" : "centre";
    std::ostringstream out;
    out << "{" << text.font << " " << text.size << " " << ColourText(text.colour) << " " << align
        << (text.style == FontStyle::Normal ? " normal" : " styled") << " entry " << ColourText(text.entryBackground)
        << "/" << ColourText(text.entryText) << "}";
    return out.str();
}

// ---------------------------------------------------------------- the controls

enum class Kind {
    Bitmap,
    Switch,
    Knob,
    Fader,
    Text,
    Caption,
    KvCaption,
    MaxLevelText,
    HostInfoText,
    Curve,
    Curve2,
    ModeSwitch,
    Tab,
    PresetSwitch,
    PresetMenu,
    FileSelector,
    PlayButton,
    SyncButton,
    ResetButton,
    UrlButton,
    OtherContact,
    OtherSwitch,
    OtherKnob,
    OtherFileSelector,
    OtherText,
    Other,
};

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Bitmap: return "IBitmapControl";
    case Kind::Switch: return "ISwitchControl";
    case Kind::Knob: return "IKnobMultiControl";
    case Kind::Fader: return "IFaderControl";
    case Kind::Text: return "ITextControl";
    case Kind::Caption: return "ICaptionControl";
    case Kind::KvCaption: return "IKvCaptionControl";
    case Kind::MaxLevelText: return "IKvMaxLevelText";
    case Kind::HostInfoText: return "IKvHostInfoText";
    case Kind::Curve: return "IKvCurve";
    case Kind::Curve2: return "IKvCurve2";
    case Kind::ModeSwitch: return "IKvModeSwitch";
    case Kind::Tab: return "IKvTabButton";
    case Kind::PresetSwitch: return "IKvPresetSwitch";
    case Kind::PresetMenu: return "IKvPresetMenu";
    case Kind::FileSelector: return "IKvFileSelector";
    case Kind::PlayButton: return "IKvPlayButton";
    case Kind::SyncButton: return "IKvSyncButton";
    case Kind::ResetButton: return "IKvResetButton";
    case Kind::UrlButton: return "IKvUrlButton";
    case Kind::OtherContact: return "IContactControl";
    case Kind::OtherSwitch: return "ISwitchControl subclass";
    case Kind::OtherKnob: return "IKnobControl";
    case Kind::OtherFileSelector: return "IFileSelectorControl";
    case Kind::OtherText: return "ITextControl subclass";
    case Kind::Other: return "IControl";
    }
    return "?";
}

template <class T>
bool Is(const IControl& control) {
    return dynamic_cast<const T*>(&control) != nullptr;
}

// The most derived class we know of.
Kind KindOf(const IControl& c) {
    if (Is<IKvModeSwitch>(c)) return Kind::ModeSwitch;
    if (Is<IKvPresetSwitch>(c)) return Kind::PresetSwitch;
    if (Is<IKvSyncButton>(c)) return Kind::SyncButton;
    if (Is<IKvPlayButton>(c)) return Kind::PlayButton;
    if (Is<IKvResetButton>(c)) return Kind::ResetButton;
    if (Is<IKvUrlButton>(c)) return Kind::UrlButton;
    if (Is<IContactControl>(c)) return Kind::OtherContact;
    if (Is<IKvTabButton>(c)) return Kind::Tab;
    if (Is<ISwitchControl>(c)) return typeid(c) == typeid(ISwitchControl) ? Kind::Switch : Kind::OtherSwitch;
    if (Is<IBitmapControl>(c)) return typeid(c) == typeid(IBitmapControl) ? Kind::Bitmap : Kind::Other;
    if (Is<IKnobMultiControl>(c)) return typeid(c) == typeid(IKnobMultiControl) ? Kind::Knob : Kind::OtherKnob;
    if (Is<IKnobControl>(c)) return Kind::OtherKnob;
    if (Is<IFaderControl>(c)) return typeid(c) == typeid(IFaderControl) ? Kind::Fader : Kind::Other;
    if (Is<IKvCaptionControl>(c)) return Kind::KvCaption;
    if (Is<ICaptionControl>(c)) return Kind::Caption;
    if (Is<IKvMaxLevelText>(c)) return Kind::MaxLevelText;
    if (Is<IKvHostInfoText>(c)) return Kind::HostInfoText;
    if (Is<ITextControl>(c)) return typeid(c) == typeid(ITextControl) ? Kind::Text : Kind::OtherText;
    if (Is<IKvCurve>(c)) return Kind::Curve;
    if (Is<IKvCurve2>(c)) return Kind::Curve2;
    if (Is<IKvFileSelector>(c)) return Kind::FileSelector;
    if (Is<IFileSelectorControl>(c)) return Kind::OtherFileSelector;
    if (Is<IKvPresetMenu>(c)) return Kind::PresetMenu;
    return Kind::Other;
}

// Where a control is built, in the order the editor builds them.
enum class Section {
    Frame,  // window and controls backgrounds, the tabs
    PitchEnvelope,
    Oscillator1,
    Oscillator2,
    Oscillator3,
    VolumeEnvelope,
    FilterEnvelope,
    Unison,
    Fm,
    Transpose,
    BassLayer,
    GlobalFilter,
    ModulationEffects,
    DistortionAndShaper,
    Equaliser,
    Output,
    ProgramBar,
    InfoBar,
    Title,
    Badge,
    About,
};
constexpr int kSectionCount = static_cast<int>(Section::About) + 1;

const char* SectionName(Section section) {
    constexpr const char* kNames[kSectionCount] = {
        "frame",         "pitch envelope", "oscillator 1",       "oscillator 2",          "oscillator 3",
        "volume envelope", "filter envelope", "unison",          "FM",                    "transpose",
        "bass layer",    "global filter",  "modulation effects", "distortion and shaper", "equaliser",
        "output",        "program bar",    "info bar",           "title",                 "64-bit badge",
        "about page",
    };
    return kNames[static_cast<int>(section)];
}

// One control as the tables describe it.
struct Row {
    Section section = Section::Frame;
    Kind kind = Kind::Other;
    int param = -1;
    RasterRect rect{};
    int image = 0;  // bitmap (a fader's handle); 0 for none
    std::string text{};
    int style = 0;  // 1..12 for text-bearing controls
    bool unitLabel = false;
    int mode = IKvCaptionControl::kPlain;
    double scale = 1.0;
    double offset = 0.0;
    std::string suffix{};
    int points = 0;
    double halfHeight = 0.0;  // 0: not fixed by the layout
    int target = -1;
    int positions = 0;
    bool backward = false;
    bool wraps = false;
    int page = -1;
    double value = 0.0;  // tabs
    int length = 0;      // faders
    FileAction action = FileAction::Open;
    std::string url{};
    std::optional<Readout> readout{};
};

// ---- row builders, one per kind of table line

Row Picture(Section s, int x, int y, int image) {
    Row row{.section = s, .kind = Kind::Bitmap, .rect = FrameAt(x, y, image), .image = image};
    return row;
}
Row Switch(Section s, int param, int x, int y, int image) {
    return {.section = s, .kind = Kind::Switch, .param = param, .rect = FrameAt(x, y, image), .image = image};
}
Row Knob(Section s, int param, int x, int y, int image) {
    return {.section = s, .kind = Kind::Knob, .param = param, .rect = FrameAt(x, y, image), .image = image};
}
// Handle 1401 is 14 pixels high.
Row Fader(Section s, int param, int x, int y, int length) {
    return {.section = s, .kind = Kind::Fader, .param = param, .rect = {x, y, x + length, y + 14}, .image = 1401,
            .length = length};
}
Row Label(Section s, std::string text, RasterRect rect) {
    return {.section = s, .kind = Kind::Text, .rect = rect, .text = std::move(text), .style = 1};
}
Row ReadoutText(Section s, Readout readout, std::string text, RasterRect rect, int style = 1) {
    return {.section = s, .kind = Kind::Text, .rect = rect, .text = std::move(text), .style = style, .readout = readout};
}
Row Caption(Section s, int param, RasterRect rect, bool unitLabel) {
    return {.section = s, .kind = Kind::Caption, .param = param, .rect = rect, .style = 1, .unitLabel = unitLabel};
}
Row KvCaption(Section s, int param, RasterRect rect, int mode, double scale = 1.0, double offset = 0.0,
              std::string suffix = {}) {
    return {.section = s, .kind = Kind::KvCaption, .param = param, .rect = rect, .style = 1, .mode = mode,
            .scale = scale, .offset = offset, .suffix = std::move(suffix)};
}
Row Curve(Section s, RasterRect rect, int points, double halfHeight = 0.0) {
    return {.section = s, .kind = Kind::Curve, .rect = rect, .points = points, .halfHeight = halfHeight};
}
Row Curve2(Section s, RasterRect rect, int points) {
    return {.section = s, .kind = Kind::Curve2, .rect = rect, .points = points};
}
Row Stepper(Section s, int target, int x, int y, int image, int positions, bool backward, bool wraps) {
    return {.section = s, .kind = Kind::ModeSwitch, .rect = FrameAt(x, y, image), .image = image, .target = target,
            .positions = positions, .backward = backward, .wraps = wraps};
}
Row Button(Section s, Kind kind, int x, int y, int image) {
    return {.section = s, .kind = kind, .rect = FrameAt(x, y, image), .image = image};
}

constexpr bool kForward = false;
constexpr bool kBackward = true;
constexpr bool kWrap = true;
constexpr bool kNoWrap = false;
constexpr bool kWithUnit = true;
constexpr bool kNoUnit = false;

void Append(std::vector<Row>& rows, std::initializer_list<Row> more) { rows.insert(rows.end(), more); }

void FrameRows(std::vector<Row>& rows) {
    const Section s = Section::Frame;
    // Index 0 covers the whole 1030 x 800 editor; the controls background
    // is centred: (1030 - 920) / 2 = 55.
    Append(rows, {Picture(s, 0, 0, 111), Picture(s, 55, 35, 112)});
    Row synthTab{.section = s, .kind = Kind::Tab, .rect = {430, 762, 515, 787}, .image = 1314, .page = 0,
                 .value = 1.0};
    Row aboutTab{.section = s, .kind = Kind::Tab, .rect = {515, 762, 600, 787}, .image = 1313, .page = 1,
                 .value = 0.0};
    Append(rows, {synthTab, aboutTab});
}

void PitchEnvelopeRows(std::vector<Row>& rows) {
    const Section s = Section::PitchEnvelope;
    using namespace param;
    Append(rows, {
        Switch(s, PitchOnOff, 491, 56, 201),
        Picture(s, 501, 68, 1104),
        Curve(s, {513, 80, 659, 126}, 146),
        Knob(s, PitchAmount, 491, 139, 1001),
        Knob(s, PitchDuration, 541, 139, 1001),
        Knob(s, PitchPower, 591, 139, 1001),
        Knob(s, PitchDown, 641, 139, 1001),
        Label(s, "Amount", {481, 130, 541, 146}),
        Label(s, "Duration", {531, 130, 591, 146}),
        Label(s, "Power", {581, 130, 641, 146}),
        Label(s, "Down", {631, 130, 691, 146}),
        Caption(s, PitchAmount, {481, 176, 541, 192}, kNoUnit),
        Caption(s, PitchDuration, {531, 176, 591, 192}, kNoUnit),
        Caption(s, PitchPower, {581, 176, 641, 192}, kNoUnit),
        Caption(s, PitchDown, {631, 176, 691, 192}, kNoUnit),
    });
}

// Oscillator 2 and 3: moved down 145 and 290 pixels, parameters +15 and +30,
// except the filter-envelope inversion which has its own three parameters.
void OscillatorRows(std::vector<Row>& rows, int oscillator) {
    const auto s = static_cast<Section>(static_cast<int>(Section::Oscillator1) + oscillator);
    const int dy = 145 * oscillator;
    const int dp = 15 * oscillator;
    const int invertFilterEnvelope[3] = {param::Osc1InvertFilEnv, param::Osc2InvertFilEnv, param::Osc3InvertFilEnv};
    const char* waveformName[3] = {"waveform1", "waveform2", "waveform3"};
    const Readout waveformReadout[3] = {Readout::WaveformName1, Readout::WaveformName2, Readout::WaveformName3};
    auto at = [dy](int l, int t, int r, int b) { return RasterRect{l, t + dy, r, b + dy}; };
    using namespace param;
    Append(rows, {
        Switch(s, Osc1OnOff + dp, 81, 56 + dy, 201),
        Picture(s, 84, 75 + dy, 1101 + oscillator),
        Curve(s, at(92, 86, 170, 115), 78),
        ReadoutText(s, waveformReadout[oscillator], waveformName[oscillator], at(91, 119, 191, 135), 4 + oscillator),
        Stepper(s, OscWaveform1 + dp, 176, 81 + dy, 1201, 36, kBackward, kNoWrap),
        Stepper(s, OscWaveform1 + dp, 176, 100 + dy, 1202, 36, kForward, kNoWrap),
        Switch(s, OscInvertWaveform1 + dp, 196, 81 + dy, 1301),
        Knob(s, OscPitch1 + dp, 91, 146 + dy, 1003),
        Knob(s, OscFreq1 + dp, 141, 146 + dy, 1004),
        Knob(s, OscModFrequency1 + dp, 206, 146 + dy, 1010),
        Label(s, "Pitch", at(76, 132, 136, 148)),
        Label(s, "Tune", at(126, 132, 186, 148)),
        Label(s, "LFO freq.", at(191, 132, 251, 148)),
        KvCaption(s, OscPitch1 + dp, at(76, 176, 136, 192), 2),
        KvCaption(s, OscFreq1 + dp, at(126, 176, 186, 192), 3),
        KvCaption(s, OscModFrequency1 + dp, at(191, 176, 251, 192), 5, 20.0, 0.0, "Hz"),
        Knob(s, OscFilterCutoff1 + dp, 251, 96 + dy, 1005),
        Knob(s, OscFilterResonance1 + dp, 306, 96 + dy, 1006),
        Label(s, "Cutoff", at(241, 81, 301, 97)),
        Label(s, "Resonance", at(296, 81, 356, 97)),
        Caption(s, OscFilterCutoff1 + dp, at(241, 136, 301, 152), kNoUnit),
        Caption(s, OscFilterResonance1 + dp, at(296, 136, 356, 152), kNoUnit),
        Picture(s, 256, 151 + dy, 1402),
        Fader(s, OscFilterType1 + dp, 256, 151 + dy, 82),  // the track's width
        Switch(s, invertFilterEnvelope[oscillator], 257, 166 + dy, 1315),
        Knob(s, OscRingModAmount1 + dp, 356, 81 + dy, 1010),
        Knob(s, OscFreqModAmount1 + dp, 396, 81 + dy, 1010),
        Knob(s, OscFiltModAmount1 + dp, 436, 81 + dy, 1010),
        Label(s, "Ampl.", at(341, 68, 401, 84)),
        Label(s, "Freq.", at(381, 68, 441, 84)),
        Label(s, "Filter", at(421, 68, 481, 84)),
        Caption(s, OscRingModAmount1 + dp, at(341, 111, 401, 127), kNoUnit),
        Caption(s, OscFreqModAmount1 + dp, at(381, 111, 441, 127), kNoUnit),
        Caption(s, OscFiltModAmount1 + dp, at(421, 111, 481, 127), kNoUnit),
        Knob(s, OscPan1 + dp, 356, 146 + dy, 1007),
        Knob(s, OscSat1 + dp, 396, 146 + dy, 1008),
        Knob(s, OscVolume1 + dp, 436, 146 + dy, 1009),
        Label(s, "Pan", at(341, 133, 401, 149)),
        Label(s, "Sat", at(381, 133, 441, 149)),
        Label(s, "Vol", at(421, 133, 481, 149)),
        KvCaption(s, OscPan1 + dp, at(341, 176, 401, 192), 4),
        KvCaption(s, OscSat1 + dp, at(381, 176, 441, 192), 1),
        KvCaption(s, OscVolume1 + dp, at(421, 176, 481, 192), 0),
    });
}

// The filter envelope is the volume envelope moved right by 205 pixels.
void EnvelopeRows(std::vector<Row>& rows, bool filter) {
    const Section s = filter ? Section::FilterEnvelope : Section::VolumeEnvelope;
    const int dx = filter ? 205 : 0;
    const int attack = filter ? param::FilterAttack : param::EnvAttack;
    const int decay = filter ? param::FilterDecay : param::EnvDecay;
    const int sustain = filter ? param::FilterSustain : param::EnvSustain;
    const int release = filter ? param::FilterRelease : param::EnvRelease;
    const int duration = filter ? param::FilterDuration : param::EnvDuration;
    const int display = filter ? 1106 : 1105;
    const int knob = filter ? 1012 : 1011;
    const Readout attackTime = filter ? Readout::FilterAttackTime : Readout::AttackTime;
    const Readout decayTime = filter ? Readout::FilterDecayTime : Readout::DecayTime;
    const Readout releaseTime = filter ? Readout::FilterReleaseTime : Readout::ReleaseTime;
    auto at = [dx](int l, int t, int r, int b) { return RasterRect{l + dx, t, r + dx, b}; };
    Append(rows, {
        Picture(s, 79 + dx, 505, display),
        Curve(s, at(91, 519, 207, 559), 116, 40.0),
        Knob(s, attack, 90 + dx, 583, knob),
        Knob(s, decay, 136 + dx, 583, knob),
        Knob(s, sustain, 182 + dx, 583, knob),
        Knob(s, release, 228 + dx, 583, knob),
        Knob(s, duration, 228 + dx, 519, knob),
        Label(s, "Attack", at(75, 570, 135, 586)),
        Label(s, "Decay", at(121, 570, 181, 586)),
        Label(s, "Sustain", at(167, 570, 227, 586)),
        Label(s, "Release", at(213, 570, 273, 586)),
        Label(s, "Duration", at(213, 506, 273, 522)),
        ReadoutText(s, attackTime, "0.0 s", at(75, 613, 135, 629)),
        ReadoutText(s, decayTime, "0.0 s", at(121, 613, 181, 629)),
        ReadoutText(s, releaseTime, "0.0 s", at(213, 613, 273, 629)),
        KvCaption(s, sustain, at(167, 613, 227, 629), 1),
        KvCaption(s, duration, at(213, 549, 273, 565), 5, 5.0, 0.0, "s"),
    });
}

void UnisonFmTransposeAndBassLayerRows(std::vector<Row>& rows) {
    using namespace param;
    const Section unison = Section::Unison;
    Append(rows, {
        Knob(unison, UnisonVoices, 633, 554, 1014),
        Knob(unison, UnisonDetune, 683, 554, 1013),
        Label(unison, "Unison\nVoices", {623, 524, 683, 540}),
        Label(unison, "Unison\nDetune", {673, 524, 733, 540}),
        ReadoutText(unison, Readout::UnisonVoices, "voices", {623, 594, 683, 610}),
        Caption(unison, UnisonDetune, {673, 594, 733, 610}, kWithUnit),
    });
    const Section fm = Section::Fm;
    Append(rows, {
        Knob(fm, FmAmount, 586, 554, 1017),
        Label(fm, "FM\ncarrier", {576, 524, 636, 540}),
        Caption(fm, FmAmount, {576, 594, 636, 610}, kWithUnit),
    });
    const Section transpose = Section::Transpose;
    Append(rows, {
        Knob(transpose, GlobalTranspose, 506, 618, 1040),
        Label(transpose, "Global Transpose", {486, 601, 576, 617}),
        Label(transpose, "Note Base Freq.", {486, 668, 576, 684}),
        ReadoutText(transpose, Readout::NoteFrequency, "0.0 Hz (-)", {486, 683, 576, 699}),
    });
    const Section bass = Section::BassLayer;
    Append(rows, {
        Knob(bass, BassLayerClick, 586, 643, 1042),
        Knob(bass, BassLayerAmount, 636, 643, 1041),
        Label(bass, "Click", {576, 628, 636, 644}),
        Label(bass, "Bass-Layer", {626, 628, 686, 644}),
        Caption(bass, BassLayerClick, {576, 683, 636, 699}, kWithUnit),
        KvCaption(bass, BassLayerAmount, {626, 683, 686, 699}, 0),
        Switch(bass, BassLayerToFilter, 691, 654, 1302),
        Switch(bass, BassLayerSolo, 691, 675, 1303),
    });
}

void GlobalFilterRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::GlobalFilter;
    Append(rows, {
        Switch(s, FilterOnOff, 491, 201, 201),
        Knob(s, FilterInputDrive, 504, 243, 1044),
        Knob(s, FilterCutoff, 554, 233, 1005),
        Knob(s, FilterResonance, 609, 233, 1006),
        Knob(s, FilterTransition, 669, 243, 1045),
        Label(s, "In-Drive", {489, 228, 549, 244}),
        Label(s, "Cutoff", {544, 220, 604, 236}),
        Label(s, "Resonance", {599, 220, 659, 236}),
        Label(s, "Transition", {654, 228, 714, 244}),
        Caption(s, FilterInputDrive, {489, 273, 549, 289}, kWithUnit),
        ReadoutText(s, Readout::FilterCutoff, "cutoff", {544, 273, 604, 289}),
        Caption(s, FilterResonance, {599, 273, 659, 289}, kWithUnit),
        ReadoutText(s, Readout::FilterTransition, "transition", {654, 273, 714, 289}),
        Stepper(s, FilterMode1, 494, 289, 1203, 4, kForward, kWrap),
        Stepper(s, FilterMode2, 659, 289, 1203, 4, kForward, kWrap),
        ReadoutText(s, Readout::FilterMode1, "fmode1", {488, 313, 548, 329}),
        ReadoutText(s, Readout::FilterMode2, "fmode2", {653, 313, 713, 329}),
        Picture(s, 549, 292, 1403),
        Fader(s, FilterType, 549, 292, 104),
        ReadoutText(s, Readout::FilterType, "type fader", {549, 313, 653, 329}),
    });
}

void ModulationEffectsRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::ModulationEffects;
    Row sync = Button(s, Kind::SyncButton, 813, 301, 1304);
    sync.value = 1.0;  // the multiplier it starts with
    Append(rows, {
        Switch(s, ModulationOnOff, 728, 201, 201),
        Knob(s, RingModulationFrequency, 733, 233, 1018),
        Knob(s, RingModulationWaveForm, 783, 233, 1043),
        Knob(s, RingModulationAmount, 753, 291, 1019),
        sync,
        Label(s, "Rate", {718, 220, 778, 236}),
        Label(s, "Waveform", {768, 220, 828, 236}),
        Label(s, "Amount", {738, 278, 798, 294}),
        KvCaption(s, RingModulationFrequency, {718, 263, 778, 279}, 6, 4000.0, 0.0, "Hz"),
        ReadoutText(s, Readout::RingWaveform, "ring form", {768, 263, 828, 279}),
        Caption(s, RingModulationAmount, {738, 321, 798, 337}, kWithUnit),
        Knob(s, PhaserRate, 868, 233, 1018),
        Knob(s, PhaserFeedback, 918, 233, 1018),
        Knob(s, PhaserDepth, 888, 291, 1019),
        Label(s, "Rate", {853, 220, 913, 236}),
        Label(s, "Feedb.", {903, 220, 963, 236}),
        Label(s, "Amount", {873, 278, 933, 294}),
        KvCaption(s, PhaserRate, {853, 263, 913, 279}, 5, 10.0, 0.0, "Hz"),
        Caption(s, PhaserFeedback, {903, 263, 963, 279}, kWithUnit),
        Caption(s, PhaserDepth, {873, 321, 933, 337}, kWithUnit),
    });
}

void DistortionAndShaperRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::DistortionAndShaper;
    Append(rows, {
        Switch(s, DistortionOnOff, 491, 347, 201),
        Picture(s, 484, 364, 1108),
        Curve2(s, {490, 371, 588, 396}, 98),
        ReadoutText(s, Readout::DistortionType, "distortion", {489, 401, 589, 417}, 2),
        Stepper(s, DistortionType, 592, 365, 1204, 36, kBackward, kNoWrap),
        Stepper(s, DistortionType, 592, 382, 1205, 36, kForward, kNoWrap),
        Stepper(s, DistortionInterpMode, 621, 365, 1208, 5, kForward, kWrap),
        Switch(s, DistortionLoudness, 621, 386, 1209),
        Picture(s, 672, 361, 1109),
        Curve2(s, {681, 371, 789, 460}, 108),
        Label(s, "Distortion Curve", {681, 465, 789, 481}),
        Label(s, "Amount", {615, 409, 675, 425}),
        Label(s, "BitCrash", {478, 420, 538, 436}),
        Label(s, "SmpRate", {522, 420, 582, 436}),
        Label(s, "Gate", {566, 420, 626, 436}),
        ReadoutText(s, Readout::Interpolation, "interpolation", {686, 369, 786, 385}, 2),
        Knob(s, Distortion, 625, 424, 1002),
        Caption(s, Distortion, {615, 464, 675, 480}, kWithUnit),
        Knob(s, Quantization, 493, 434, 1020),
        Knob(s, SampleRate, 537, 434, 1021),
        Knob(s, Gate, 581, 434, 1022),
        ReadoutText(s, Readout::Bits, "64 bit", {478, 464, 538, 480}),
        ReadoutText(s, Readout::ReducedRate, "44100 Hz", {522, 464, 582, 480}),
        ReadoutText(s, Readout::Gate, "-oo dB", {566, 464, 626, 480}),
        Stepper(s, DynShaperMode, 802, 365, 1208, 4, kForward, kWrap),
        ReadoutText(s, Readout::ShaperMode, "shaper mode", {686, 448, 786, 464}, 3),
        Switch(s, DynShaperInvert, 802, 386, 1306),
        Knob(s, DynShaper, 806, 424, 1046),
        Label(s, "Amount", {796, 409, 856, 425}),
        Caption(s, DynShaper, {796, 464, 856, 480}, kWithUnit),
        Knob(s, DynShaperType, 864, 424, 1048),
        Label(s, "Shape", {854, 409, 914, 425}),
        ReadoutText(s, Readout::ShaperShape, "shape", {854, 464, 914, 480}),
    });
}

void EqualiserRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::Equaliser;
    Append(rows, {
        Picture(s, 740, 591, 1113),
        Knob(s, BassAmount, 751, 558, 1034),
        Knob(s, MidAmount, 801, 558, 1033),
        Knob(s, HighAmount, 851, 558, 1032),
        Knob(s, DumpExpand, 908, 558, 1035),
        Label(s, "Bass", {738, 544, 798, 560}),
        Label(s, "Mid", {788, 544, 848, 560}),
        Label(s, "High", {838, 544, 898, 560}),
        Label(s, "Dump/Exp.", {895, 544, 955, 560}),
        ReadoutText(s, Readout::BassGain, "0.0 dB", {738, 594, 798, 610}),
        ReadoutText(s, Readout::MidGain, "0.0 dB", {788, 594, 848, 610}),
        ReadoutText(s, Readout::HighGain, "0.0 dB", {838, 594, 898, 610}),
        ReadoutText(s, Readout::DumpExpand, "freq.", {895, 594, 955, 610}),
    });
}

void OutputRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::Output;
    Append(rows, {
        Switch(s, BypassFX, 873, 483, 1312),
        Knob(s, Pan, 750, 648, 1038),
        Knob(s, Saturation, 800, 648, 1039),
        Knob(s, DryWet, 850, 648, 1037),
        Knob(s, Volume, 900, 640, 1036),
        Label(s, "Pan", {737, 634, 797, 650}),
        Label(s, "Sat", {787, 634, 847, 650}),
        Label(s, "Dry/Wet", {837, 634, 897, 650}),
        Label(s, "Volume", {895, 623, 955, 639}),
        KvCaption(s, Pan, {737, 683, 797, 699}, 4),
        KvCaption(s, Saturation, {787, 683, 847, 699}, 1),
        KvCaption(s, DryWet, {837, 683, 897, 699}, 1),
        KvCaption(s, Volume, {895, 690, 955, 706}, 0),
    });
}

void ProgramBarRows(std::vector<Row>& rows) {
    const Section s = Section::ProgramBar;
    Row previous = Button(s, Kind::PresetSwitch, 483, 488, 1206);
    previous.backward = true;
    Row next = Button(s, Kind::PresetSwitch, 682, 488, 1207);
    Row load = Button(s, Kind::FileSelector, 707, 488, 1307);
    load.action = FileAction::Open;
    Row save = Button(s, Kind::FileSelector, 755, 488, 1308);
    save.action = FileAction::Save;
    Append(rows, {
        Picture(s, 500, 488, 1107),
        previous,
        Row{.section = s, .kind = Kind::PresetMenu, .rect = {500, 492, 682, 508}, .style = 1},
        next,
        load,
        save,
        Button(s, Kind::PlayButton, 803, 488, 1317),
    });
}

void InfoBarRows(std::vector<Row>& rows) {
    using namespace param;
    const Section s = Section::InfoBar;
    Append(rows, {
        Picture(s, 165, 700, 1111),  // centred: 515 - 700 / 2
        Row{.section = s, .kind = Kind::HostInfoText, .rect = {185, 717, 445, 733}, .text = "", .style = 10},
        Row{.section = s, .kind = Kind::MaxLevelText, .rect = {696, 717, 816, 733}, .text = "MAX LEVEL: -oo dB",
            .style = 11},
        Switch(s, KickTransposeMode, 501, 709, 1305),
        Switch(s, LimitOutput, 566, 709, 1309),
        Button(s, Kind::ResetButton, 631, 714, 1310),
    });
}

void TitleBadgeAndAboutRows(std::vector<Row>& rows) {
    rows.push_back(Picture(Section::Title, 80, 627, 1405));
    rows.push_back(Picture(Section::Badge, 70, 757, 2004));
    const Section s = Section::About;
    Row web = Button(s, Kind::UrlButton, 760, 650, 2008);
    web.url = std::string(dunerow_editor::kWebSiteUrl);
    Row social = Button(s, Kind::UrlButton, 850, 643, 2009);
    social.url = std::string(dunerow_editor::kSocialUrl);
    // Each centred on x = 515: 145 + 740 / 2, 110 + 810 / 2, 365 + 300 / 2, 453 + 125 / 2.
    Append(rows, {
        Picture(s, 145, 35, 2001),
        Picture(s, 110, 490, 2002),
        Picture(s, 365, 600, 2003),
        Picture(s, 453, 660, 2005),
        web,
        social,
        Label(s, std::string(dunerow_editor::kWebSiteCaption), {760, 645, 860, 661}),
        // Our own words: the caption names no other company's service.
        Label(s, "Follow us!", {850, 645, 950, 661}),
    });
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> all;
        FrameRows(all);
        PitchEnvelopeRows(all);
        for (int oscillator = 0; oscillator < 3; ++oscillator) OscillatorRows(all, oscillator);
        EnvelopeRows(all, false);
        EnvelopeRows(all, true);
        UnisonFmTransposeAndBassLayerRows(all);
        GlobalFilterRows(all);
        ModulationEffectsRows(all);
        DistortionAndShaperRows(all);
        EqualiserRows(all);
        OutputRows(all);
        ProgramBarRows(all);
        InfoBarRows(all);
        TitleBadgeAndAboutRows(all);
        return all;
    }();
    return rows;
}

// ---------------------------------------------------------------- reading a control back

// What a control shows of itself, in the terms of a row.
Row ReadBack(const IControl& c) {
    Row seen;
    seen.kind = KindOf(c);
    seen.param = c.ParamIndex();
    seen.rect = c.GetRect();
    seen.value = c.GetValue();
    if (const auto* bitmap = dynamic_cast<const IBitmapControl*>(&c)) seen.image = bitmap->GetBitmap().id;
    if (const auto* knob = dynamic_cast<const IKnobMultiControl*>(&c)) seen.image = knob->GetBitmap().id;
    if (const auto* fader = dynamic_cast<const IFaderControl*>(&c)) {
        seen.image = fader->GetHandle().id;
        seen.length = fader->Length();
    }
    if (const auto* text = dynamic_cast<const ITextControl*>(&c)) seen.text = text->GetString();
    if (const auto* caption = dynamic_cast<const ICaptionControl*>(&c)) seen.unitLabel = caption->ShowsLabel();
    if (const auto* kv = dynamic_cast<const IKvCaptionControl*>(&c)) {
        seen.mode = kv->Mode();
        seen.scale = kv->Scale();
        seen.offset = kv->Offset();
        seen.suffix = kv->Suffix();
    }
    if (const auto* curve = dynamic_cast<const IKvCurve*>(&c)) {
        seen.points = curve->Points();
        seen.halfHeight = curve->HalfHeight();
    }
    if (const auto* curve2 = dynamic_cast<const IKvCurve2*>(&c)) seen.points = curve2->Points();
    if (const auto* stepper = dynamic_cast<const IKvModeSwitch*>(&c)) {
        seen.target = stepper->TargetParam();
        seen.positions = stepper->Positions();
        seen.backward = stepper->GetDirection() == IKvModeSwitch::Direction::Backward;
        seen.wraps = stepper->Wraps();
    }
    if (const auto* tab = dynamic_cast<const IKvTabButton*>(&c)) seen.page = tab->GetPage();
    if (const auto* preset = dynamic_cast<const IKvPresetSwitch*>(&c)) {
        seen.backward = preset->GetDirection() == IKvPresetSwitch::Direction::Backward;
    }
    if (const auto* sync = dynamic_cast<const IKvSyncButton*>(&c)) seen.value = sync->Multiplier();
    if (const auto* file = dynamic_cast<const IFileSelectorControl*>(&c)) seen.action = file->Action();
    if (const auto* url = dynamic_cast<const IKvUrlButton*>(&c)) seen.url = url->Url();
    return seen;
}

std::string ParamText(int index) {
    if (index < 0) return "none";
    if (index >= kParameterCount) return std::to_string(index) + " (out of range)";
    return std::to_string(index) + " " + std::string(kParameterTable[static_cast<std::size_t>(index)].identifier);
}

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) out += ch == '\n' ? std::string("\\n") : std::string(1, ch);
    return out + "\"";
}

bool HasStyle(Kind kind) {
    return kind == Kind::Text || kind == Kind::Caption || kind == Kind::KvCaption || kind == Kind::MaxLevelText ||
           kind == Kind::HostInfoText || kind == Kind::PresetMenu;
}

// One line per control in the terms of `format` (the row it should match):
// the expected line is Describe(row, row, std), the seen one
// Describe(ReadBack(control), row, control's style).
std::string Describe(const Row& r, const Row& format, const IText* style) {
    std::ostringstream out;
    out << KindName(r.kind) << " param " << ParamText(r.param) << " (" << r.rect.left << "," << r.rect.top << ")-("
        << r.rect.right << "," << r.rect.bottom << ")";
    switch (format.kind) {
    case Kind::Bitmap:
    case Kind::Switch:
    case Kind::Knob:
    case Kind::ModeSwitch:
    case Kind::PresetSwitch:
    case Kind::PlayButton:
    case Kind::SyncButton:
    case Kind::ResetButton:
    case Kind::UrlButton:
    case Kind::Tab: out << " bitmap " << r.image; break;
    case Kind::Fader: out << " handle " << r.image << " length " << r.length; break;
    default: break;
    }
    if (HasStyle(format.kind)) {
        if (style == nullptr) {
            out << " style " << format.style;
        } else if (IsStyle(*style, format.style)) {
            out << " style " << format.style;
        } else {
            out << " style " << StyleText(*style);
        }
    }
    switch (format.kind) {
    case Kind::Text:
    case Kind::MaxLevelText:
    case Kind::HostInfoText: out << " text " << Quoted(r.text); break;
    case Kind::Caption: out << (r.unitLabel ? " with unit label" : " without unit label"); break;
    case Kind::KvCaption:
        out << " mode " << r.mode << " scale " << r.scale << " offset " << r.offset << " suffix " << Quoted(r.suffix)
            << (r.unitLabel ? " with unit label" : " without unit label");
        break;
    case Kind::Curve:
        out << " points " << r.points;
        if (format.halfHeight > 0.0) out << " half height " << r.halfHeight;
        break;
    case Kind::Curve2: out << " points " << r.points; break;
    case Kind::ModeSwitch:
        out << " target " << ParamText(r.target) << " positions " << r.positions
            << (r.backward ? " backward" : " forward") << (r.wraps ? " wrapping" : " not wrapping");
        break;
    case Kind::Tab: out << " page " << r.page << " value " << r.value; break;
    case Kind::PresetSwitch: out << (r.backward ? " backward" : " forward"); break;
    case Kind::SyncButton: out << " multiplier " << r.value; break;
    case Kind::FileSelector: out << (r.action == FileAction::Open ? " load" : " save"); break;
    case Kind::UrlButton: out << " url " << r.url; break;
    default: break;
    }
    return out.str();
}

std::string Expected(const Row& row) { return Describe(row, row, nullptr); }
std::string Seen(const IControl& control, const Row& format) {
    return Describe(ReadBack(control), format, &control.GetText());
}

// Rows and controls are paired by class, parameter and top-left corner;
// everything else is then compared.
bool SameKey(const Row& row, const IControl& control) {
    return row.kind == KindOf(control) && row.param == control.ParamIndex() && row.rect.left == control.GetRect().left &&
           row.rect.top == control.GetRect().top;
}

// ---------------------------------------------------------------- the host

std::vector<int32_t>& HostCalls() {
    static std::vector<int32_t> calls;
    return calls;
}

intptr_t RecordingHost(vst2::AEffect* /*effect*/, int32_t opcode, int32_t /*index*/, intptr_t /*value*/,
                       void* /*ptr*/, float /*opt*/) {
    HostCalls().push_back(opcode);
    return 0;
}

int EditCallsToHost() {
    int count = 0;
    for (int32_t opcode : HostCalls()) {
        count += opcode == vst2::audioMasterAutomate || opcode == vst2::audioMasterBeginEdit ||
                         opcode == vst2::audioMasterEndEdit
                     ? 1
                     : 0;
    }
    return count;
}

// ---------------------------------------------------------------- the fixture

class DunerowLayout : public ::testing::Test {
protected:
    DunerowLayout() : synth_(std::make_unique<Dunerow>(&RecordingHost)) {
        auto graphics = std::make_unique<IGraphicsHeadless>(synth_.get(), 1030, 800);
        graphics_ = graphics.get();
        state_ = &BuildDunerowEditor(*synth_, *graphics_);
        synth_->AttachEditor(std::move(graphics));
        HostCalls().clear();
    }

    IGraphicsHeadless& Graphics() { return *graphics_; }
    DunerowEditorState& State() { return *state_; }
    Dunerow& Synth() { return *synth_; }
    int Count() const { return graphics_->ControlCount(); }
    IControl& Control(int index) const { return *graphics_->GetControl(index); }

    // The controls with the row's class, parameter and corner.
    std::vector<int> Candidates(const Row& row) const {
        std::vector<int> found;
        for (int i = 0; i < Count(); ++i) {
            if (SameKey(row, Control(i))) found.push_back(i);
        }
        return found;
    }

    // The control a row stands for; -1 when there is not exactly one.
    int IndexOf(const Row& row) const {
        const std::vector<int> found = Candidates(row);
        return found.size() == 1 ? found.front() : -1;
    }

    int IndexOfControl(const IControl* control) const {
        for (int i = 0; i < Count(); ++i) {
            if (&Control(i) == control) return i;
        }
        return -1;
    }

    // Every row of a section is there exactly once and looks as the table says.
    void CheckSection(Section section) {
        int rowsChecked = 0;
        for (const Row& row : Rows()) {
            if (row.section != section) continue;
            ++rowsChecked;
            const std::vector<int> found = Candidates(row);
            if (found.empty()) {
                std::string near;
                for (int i = 0; i < Count(); ++i) {
                    const IControl& c = Control(i);
                    const bool sameParam = row.param >= 0 && c.ParamIndex() == row.param;
                    const bool sameCorner = c.GetRect().left == row.rect.left && c.GetRect().top == row.rect.top;
                    if (sameParam || sameCorner) {
                        const Row own = ReadBack(c);
                        near += "\n    [" + std::to_string(i) + "] " + Describe(own, own, &c.GetText());
                    }
                }
                ADD_FAILURE() << SectionName(section) << ": missing\n  " << Expected(row)
                              << "\n  controls with its parameter or corner:" << near;
                continue;
            }
            EXPECT_EQ(found.size(), 1u) << SectionName(section) << ": more than one\n  " << Expected(row);
            for (int index : found) {
                EXPECT_EQ(Seen(Control(index), row), Expected(row)) << SectionName(section) << ", control " << index;
            }
        }
        EXPECT_GT(rowsChecked, 0);
    }

    std::unique_ptr<Dunerow> synth_;
    IGraphicsHeadless* graphics_ = nullptr;
    DunerowEditorState* state_ = nullptr;
};

}  // namespace

// ---------------------------------------------------------------- the test's own tables

TEST(DunerowLayoutTables, NoTwoRowsShareClassParameterAndCorner) {
    const std::vector<Row>& rows = Rows();
    for (std::size_t a = 0; a < rows.size(); ++a) {
        for (std::size_t b = a + 1; b < rows.size(); ++b) {
            const bool same = rows[a].kind == rows[b].kind && rows[a].param == rows[b].param &&
                              rows[a].rect.left == rows[b].rect.left && rows[a].rect.top == rows[b].rect.top;
            EXPECT_FALSE(same) << Expected(rows[a]);
        }
    }
}

// ---------------------------------------------------------------- 1: every control

TEST_F(DunerowLayout, TheTwelveTextStylesAreArialInTheirSizesColoursAndAlignments) {
    for (int number = 1; number <= 12; ++number) {
        EXPECT_TRUE(IsStyle(State().Style(number), number))
            << "style " << number << " is " << StyleText(State().Style(number));
    }
}

TEST_F(DunerowLayout, FrameHasTheBackgroundsAndTheTwoTabs) { CheckSection(Section::Frame); }
TEST_F(DunerowLayout, PitchEnvelopePanelIsAsTabled) { CheckSection(Section::PitchEnvelope); }
TEST_F(DunerowLayout, OscillatorOnePanelIsAsTabled) { CheckSection(Section::Oscillator1); }
TEST_F(DunerowLayout, OscillatorTwoPanelIsOscillatorOneMovedDownAndOn) { CheckSection(Section::Oscillator2); }
TEST_F(DunerowLayout, OscillatorThreePanelIsOscillatorOneMovedDownTwiceAndOn) { CheckSection(Section::Oscillator3); }
TEST_F(DunerowLayout, VolumeEnvelopePanelIsAsTabled) { CheckSection(Section::VolumeEnvelope); }
TEST_F(DunerowLayout, FilterEnvelopePanelIsTheVolumeEnvelopeMovedRight) { CheckSection(Section::FilterEnvelope); }
TEST_F(DunerowLayout, UnisonPanelIsAsTabled) { CheckSection(Section::Unison); }
TEST_F(DunerowLayout, FmPanelIsAsTabled) { CheckSection(Section::Fm); }
TEST_F(DunerowLayout, TransposePanelIsAsTabled) { CheckSection(Section::Transpose); }
TEST_F(DunerowLayout, BassLayerPanelIsAsTabled) { CheckSection(Section::BassLayer); }
TEST_F(DunerowLayout, GlobalFilterPanelIsAsTabled) { CheckSection(Section::GlobalFilter); }
TEST_F(DunerowLayout, ModulationEffectsPanelIsAsTabled) { CheckSection(Section::ModulationEffects); }
TEST_F(DunerowLayout, DistortionAndShaperPanelIsAsTabled) { CheckSection(Section::DistortionAndShaper); }
TEST_F(DunerowLayout, EqualiserAndDumpExpandPanelIsAsTabled) { CheckSection(Section::Equaliser); }
TEST_F(DunerowLayout, OutputPanelIsAsTabled) { CheckSection(Section::Output); }
TEST_F(DunerowLayout, ProgramBarIsAsTabled) { CheckSection(Section::ProgramBar); }
TEST_F(DunerowLayout, InfoBarIsAsTabled) { CheckSection(Section::InfoBar); }
TEST_F(DunerowLayout, TitleAndBadgeAreAsTabled) {
    CheckSection(Section::Title);
    CheckSection(Section::Badge);
}
TEST_F(DunerowLayout, AboutPageIsAsTabled) { CheckSection(Section::About); }

TEST_F(DunerowLayout, EveryControlIsARowOfTheTables) {
    EXPECT_EQ(Count(), static_cast<int>(Rows().size()));
    for (int i = 0; i < Count(); ++i) {
        int rows = 0;
        for (const Row& row : Rows()) rows += SameKey(row, Control(i)) ? 1 : 0;
        if (rows == 0) {
            const Row own = ReadBack(Control(i));
            ADD_FAILURE() << "control " << i << " is in no table: " << Describe(own, own, &Control(i).GetText());
        }
    }
}

TEST_F(DunerowLayout, EveryPlacedImageHasTheTablesPixelSizeAndFrames) {
    std::set<int> checked;
    for (int i = 0; i < Count(); ++i) {
        const IControl& c = Control(i);
        const IBitmap* bitmap = nullptr;
        if (const auto* b = dynamic_cast<const IBitmapControl*>(&c)) bitmap = &b->GetBitmap();
        if (const auto* k = dynamic_cast<const IKnobMultiControl*>(&c)) bitmap = &k->GetBitmap();
        if (const auto* f = dynamic_cast<const IFaderControl*>(&c)) bitmap = &f->GetHandle();
        if (bitmap == nullptr) continue;
        const Image& image = ImageOf(bitmap->id);
        EXPECT_FALSE(bitmap->IsNull()) << "image " << image.id << " (" << image.file << ") did not load";
        EXPECT_EQ(bitmap->width, image.width) << "image " << image.id << " at control " << i;
        EXPECT_EQ(bitmap->height, image.height) << "image " << image.id << " at control " << i;
        EXPECT_EQ(bitmap->frames, image.frames) << "image " << image.id << " at control " << i;
        checked.insert(image.id);
    }
    // Every image of the table is placed but 1110 and 1311; the load and
    // save buttons (1307, 1308) keep their bitmap to themselves.
    std::set<int> expected;
    for (const Image& image : kImages) expected.insert(image.id);
    for (int id : {1110, 1311, 1307, 1308}) expected.erase(id);
    EXPECT_EQ(checked, expected);
}

TEST_F(DunerowLayout, TheTwoUnplacedImagesAreStillLoaded) {
    EXPECT_NE(BitmapCache::Shared().Find(1110), nullptr);
    EXPECT_NE(BitmapCache::Shared().Find(1311), nullptr);
}

TEST_F(DunerowLayout, PanelsAreBuiltInTheirOrderWithTheAboutPageLast) {
    // The frame comes first in a fixed order.
    const std::vector<Row>& rows = Rows();
    ASSERT_GE(Count(), 4);
    EXPECT_EQ(IndexOf(rows[0]), 0) << "window background";
    EXPECT_EQ(IndexOf(rows[1]), 1) << "controls background";
    EXPECT_EQ(IndexOf(rows[2]), 2) << "synth tab";
    EXPECT_EQ(IndexOf(rows[3]), 3) << "about tab";

    // No two panels interleave: each one's controls all come before the next one's.
    int first[kSectionCount];
    int last[kSectionCount];
    std::fill(std::begin(first), std::end(first), Count());
    std::fill(std::begin(last), std::end(last), -1);
    for (const Row& row : rows) {
        const int index = IndexOf(row);
        if (index < 0) continue;  // reported by the panel's own test
        const int s = static_cast<int>(row.section);
        first[s] = std::min(first[s], index);
        last[s] = std::max(last[s], index);
    }
    for (int s = 0; s + 1 < kSectionCount; ++s) {
        EXPECT_LT(first[s], first[s + 1]) << SectionName(static_cast<Section>(s)) << " starts after "
                                          << SectionName(static_cast<Section>(s + 1));
        EXPECT_LT(last[s], first[s + 1]) << SectionName(static_cast<Section>(s)) << " ends at " << last[s] << ", after "
                                         << SectionName(static_cast<Section>(s + 1)) << " starts at " << first[s + 1];
    }

    // The title, the badge, then the eight about controls close the list.
    EXPECT_EQ(first[static_cast<int>(Section::Title)], Count() - 10);
    EXPECT_EQ(first[static_cast<int>(Section::Badge)], Count() - 9);
    EXPECT_EQ(first[static_cast<int>(Section::About)], Count() - 8);
    EXPECT_EQ(last[static_cast<int>(Section::About)], Count() - 1);
}

// ---------------------------------------------------------------- 2: page lists

TEST_F(DunerowLayout, AboutListHoldsTheEightAboutControlsAndTheyStartHidden) {
    std::vector<int> expected;
    for (const Row& row : Rows()) {
        if (row.section == Section::About) expected.push_back(IndexOf(row));
    }
    ASSERT_EQ(expected.size(), 8u);
    std::sort(expected.begin(), expected.end());
    const std::vector<int>& about = State().Pages().Controls(EditorPages::kAbout);
    EXPECT_EQ(about, expected);
    for (int index : about) {
        ASSERT_GE(index, 0);
        ASSERT_LT(index, Count());
        EXPECT_TRUE(Control(index).IsHidden()) << "about control " << index;
    }
}

TEST_F(DunerowLayout, SynthListHoldsEveryOtherControlButTheWindowBackgroundBadgeAndTabs) {
    std::set<int> outside;  // the controls both pages show
    for (const Row& row : Rows()) {
        if (row.section == Section::About || row.section == Section::Badge || row.kind == Kind::Tab ||
            (row.section == Section::Frame && row.image == 111)) {
            outside.insert(IndexOf(row));
        }
    }
    ASSERT_EQ(outside.size(), 12u);  // 8 about, the window background, the badge and two tabs
    std::vector<int> expected;
    for (int i = 0; i < Count(); ++i) {
        if (outside.count(i) == 0) expected.push_back(i);
    }
    // Appended right after each is attached, so in list order.
    const std::vector<int>& synth = State().Pages().Controls(EditorPages::kSynth);
    EXPECT_EQ(synth, expected);
    const std::vector<int>& about = State().Pages().Controls(EditorPages::kAbout);
    for (int index : synth) {
        EXPECT_EQ(std::count(about.begin(), about.end(), index), 0) << "control " << index << " is on both pages";
    }
    for (int i = 0; i < Count(); ++i) {
        const bool isAbout = std::count(about.begin(), about.end(), i) > 0;
        EXPECT_EQ(Control(i).IsHidden(), isAbout) << "control " << i << " on the synth page as it opens";
    }
    EXPECT_EQ(State().Pages().Current(), EditorPages::kSynth);
}

// ---------------------------------------------------------------- 3: bindings

namespace {

bool IsKnobSwitchOrSlider(const IControl& c) {
    if (Is<IKnobMultiControl>(c) || Is<IFaderControl>(c)) return true;
    return Is<ISwitchControl>(c) && !Is<IContactControl>(c);
}

bool IsSteppedSelector(int index) {
    using namespace param;
    constexpr int kStepped[] = {OscWaveform1,         OscWaveform2,  OscWaveform3, DistortionType,
                                DistortionInterpMode, DynShaperMode, FilterMode1,  FilterMode2};
    return std::find(std::begin(kStepped), std::end(kStepped), index) != std::end(kStepped);
}

}  // namespace

TEST_F(DunerowLayout, EveryParameterButTheSteppedSelectorsHasExactlyOneKnobSwitchOrSlider) {
    const std::vector<int>& synth = State().Pages().Controls(EditorPages::kSynth);
    int bound = 0;
    for (int index = 0; index < kParameterCount; ++index) {
        if (IsSteppedSelector(index)) continue;
        ++bound;
        std::vector<int> binders;
        for (int i = 0; i < Count(); ++i) {
            if (Control(i).ParamIndex() == index && IsKnobSwitchOrSlider(Control(i))) binders.push_back(i);
        }
        EXPECT_EQ(binders.size(), 1u) << ParamText(index);
        for (int i : binders) {
            EXPECT_EQ(std::count(synth.begin(), synth.end(), i), 1) << ParamText(index) << " is bound off the synth page";
        }
    }
    EXPECT_EQ(bound, 101);  // 109 parameters less the eight stepped selectors
    for (int i = 0; i < Count(); ++i) {
        EXPECT_GE(Control(i).ParamIndex(), -1) << "control " << i;
        EXPECT_LT(Control(i).ParamIndex(), kParameterCount) << "control " << i;
    }
}

TEST_F(DunerowLayout, TheSteppedSelectorsAreBoundToNoControlButAreTargetsOfSteppers) {
    int selectors = 0;
    for (int index = 0; index < kParameterCount; ++index) {
        if (!IsSteppedSelector(index)) continue;
        ++selectors;
        int boundTo = 0;
        int steppers = 0;
        for (int i = 0; i < Count(); ++i) {
            boundTo += Control(i).ParamIndex() == index ? 1 : 0;
            const auto* stepper = dynamic_cast<const IKvModeSwitch*>(&Control(i));
            steppers += stepper != nullptr && stepper->TargetParam() == index ? 1 : 0;
        }
        EXPECT_EQ(boundTo, 0) << ParamText(index);
        EXPECT_GE(steppers, 1) << ParamText(index);
    }
    EXPECT_EQ(selectors, 8);
}

// ---------------------------------------------------------------- 4: pages in use

namespace {


// Centres of the two tabs: (430 + 85 / 2, 762 + 25 / 2) and (515 + 85 / 2, ...).
constexpr int kSynthTabX = 472;
constexpr int kAboutTabX = 557;
constexpr int kTabY = 774;

class DunerowPages : public DunerowLayout {
protected:
    DunerowPages() {
        Synth().RefreshEditorDisplays();  // every control takes its parameter's value, as on opening
        Graphics().OpenWindow(nullptr);
        HostCalls().clear();
    }

    std::vector<double> ParameterValues() const {
        std::vector<double> values;
        for (int i = 0; i < kParameterCount; ++i) values.push_back(synth_->GetParam(i)->GetNormalizedValue());
        return values;
    }
    std::vector<double> ControlValues() const {
        std::vector<double> values;
        for (int i = 0; i < Count(); ++i) values.push_back(Control(i).GetValue());
        return values;
    }
    IControl* Tab(int page) const {
        for (int i = 0; i < Count(); ++i) {
            const auto* tab = dynamic_cast<const IKvTabButton*>(&Control(i));
            if (tab != nullptr && tab->GetPage() == page) return &Control(i);
        }
        return nullptr;
    }
    void ExpectPageShown(EditorPages::Page page) {
        const std::vector<int>& synth = State().Pages().Controls(EditorPages::kSynth);
        const std::vector<int>& about = State().Pages().Controls(EditorPages::kAbout);
        for (int i : synth) EXPECT_EQ(Control(i).IsHidden(), page != EditorPages::kSynth) << "synth control " << i;
        for (int i : about) EXPECT_EQ(Control(i).IsHidden(), page != EditorPages::kAbout) << "about control " << i;
        for (int i = 0; i < Count(); ++i) {
            const bool listed = std::count(synth.begin(), synth.end(), i) + std::count(about.begin(), about.end(), i) > 0;
            if (!listed) {
                EXPECT_FALSE(Control(i).IsHidden()) << "control " << i << " shows on both pages";
            }
        }
        EXPECT_EQ(State().Pages().Current(), page);
        const IControl* synthTab = Tab(EditorPages::kSynth);
        const IControl* aboutTab = Tab(EditorPages::kAbout);
        ASSERT_TRUE(synthTab != nullptr && aboutTab != nullptr);
        EXPECT_EQ(synthTab->GetValue(), page == EditorPages::kSynth ? 1.0 : 0.0) << "synth tab";
        EXPECT_EQ(aboutTab->GetValue(), page == EditorPages::kAbout ? 1.0 : 0.0) << "about tab";
    }
};

}  // namespace

TEST_F(DunerowPages, TheEditorOpensOnTheSynthPageWithTheSynthTabPressed) { ExpectPageShown(EditorPages::kSynth); }

TEST_F(DunerowPages, TheAboutTabHidesTheSynthPageAndShowsTheAboutPage) {
    Graphics().Click(kAboutTabX, kTabY);
    ExpectPageShown(EditorPages::kAbout);
    EXPECT_EQ(EditCallsToHost(), 0) << "a tab is no parameter";
}

TEST_F(DunerowPages, OnTheAboutPageNoSynthControlTakesTheMouse) {
    Graphics().Click(kAboutTabX, kTabY);
    ASSERT_EQ(State().Pages().Current(), EditorPages::kAbout);
    const std::vector<double> parameters = ParameterValues();
    const std::vector<double> controls = ControlValues();
    HostCalls().clear();

    // The two web buttons open their pages when pressed; a press there is theirs, not a synth control's.
    std::vector<RasterRect> linkButtons;
    for (int i = 0; i < Count(); ++i) {
        if (Is<IKvUrlButton>(Control(i))) linkButtons.push_back(Control(i).GetRect());
    }
    ASSERT_EQ(linkButtons.size(), 2u);

    int pressed = 0;
    for (int i : State().Pages().Controls(EditorPages::kSynth)) {
        const RasterRect rect = Control(i).GetRect();
        const int x = (rect.left + rect.right) / 2;
        const int y = (rect.top + rect.bottom) / 2;
        const bool onLink = std::any_of(linkButtons.begin(), linkButtons.end(),
                                        [x, y](const RasterRect& link) { return link.Contains(x, y); });
        if (onLink) continue;
        Graphics().Drag(x, y, x, y - 30);  // a click that turns a knob too
        ++pressed;
    }
    EXPECT_GT(pressed, 200);

    EXPECT_EQ(ParameterValues(), parameters);
    EXPECT_EQ(ControlValues(), controls);
    EXPECT_EQ(EditCallsToHost(), 0);
    EXPECT_TRUE(Graphics().MenusShown().empty());
    EXPECT_TRUE(Graphics().FileDialogsShown().empty());
    EXPECT_TRUE(Graphics().UrlsOpened().empty());
    EXPECT_FALSE(Graphics().TextEntryIsOpen());
    EXPECT_EQ(State().Pages().Current(), EditorPages::kAbout);
}

TEST_F(DunerowPages, TheSynthTabBringsTheSynthPageBackAndItsKnobsWorkAgain) {
    Graphics().Click(kAboutTabX, kTabY);
    // The volume knob at (900, 640), 50 x 50; under the about page's social button there.
    const double volume = Synth().GetParam(param::Volume)->GetNormalizedValue();
    Graphics().Click(kSynthTabX, kTabY);
    ExpectPageShown(EditorPages::kSynth);
    HostCalls().clear();
    Graphics().Drag(910, 650, 910, 620);
    EXPECT_GT(Synth().GetParam(param::Volume)->GetNormalizedValue(), volume) << "dragged up, turned up";
    EXPECT_GT(EditCallsToHost(), 0) << "the host hears a visible knob";
}

// ---------------------------------------------------------------- 5: read-outs

TEST_F(DunerowLayout, EveryReadOutIsThePlainTextControlOfItsTableLine) {
    std::set<int> covered;
    for (const Row& row : Rows()) {
        if (!row.readout.has_value()) continue;
        const int slot = static_cast<int>(*row.readout);
        EXPECT_TRUE(covered.insert(slot).second) << "read-out " << slot << " twice in the test's tables";
        ITextControl* control = State().ReadoutControl(*row.readout);
        ASSERT_NE(control, nullptr) << "read-out " << slot << " " << Expected(row);
        EXPECT_EQ(IndexOfControl(control), IndexOf(row)) << "read-out " << slot << " is not " << Expected(row);
        EXPECT_EQ(Seen(*control, row), Expected(row)) << "read-out " << slot;
    }
    EXPECT_EQ(covered.size(), static_cast<std::size_t>(Readout::Count));
}

TEST_F(DunerowLayout, ReadOutsShowTheirInitialTexts) {
    struct Initial {
        Readout readout;
        const char* text;
    };
    const Initial initials[] = {
        {Readout::WaveformName1, "waveform1"}, {Readout::WaveformName2, "waveform2"},
        {Readout::WaveformName3, "waveform3"}, {Readout::FilterCutoff, "cutoff"},
        {Readout::Bits, "64 bit"},             {Readout::ReducedRate, "44100 Hz"},
        {Readout::Gate, "-oo dB"},             {Readout::BassGain, "0.0 dB"},
        {Readout::MidGain, "0.0 dB"},          {Readout::HighGain, "0.0 dB"},
        {Readout::DumpExpand, "freq."},        {Readout::UnisonVoices, "voices"},
        {Readout::NoteFrequency, "0.0 Hz (-)"}, {Readout::AttackTime, "0.0 s"},
        {Readout::DecayTime, "0.0 s"},         {Readout::ReleaseTime, "0.0 s"},
        {Readout::FilterAttackTime, "0.0 s"},  {Readout::FilterDecayTime, "0.0 s"},
        {Readout::FilterReleaseTime, "0.0 s"}, {Readout::RingWaveform, "ring form"},
        {Readout::DistortionType, "distortion"}, {Readout::Interpolation, "interpolation"},
        {Readout::ShaperShape, "shape"},       {Readout::ShaperMode, "shaper mode"},
        {Readout::FilterMode1, "fmode1"},      {Readout::FilterMode2, "fmode2"},
        {Readout::FilterType, "type fader"},   {Readout::FilterTransition, "transition"},
    };
    EXPECT_EQ(std::size(initials), static_cast<std::size_t>(Readout::Count));
    for (const Initial& initial : initials) {
        const ITextControl* control = State().ReadoutControl(initial.readout);
        ASSERT_NE(control, nullptr) << initial.text;
        EXPECT_EQ(control->GetString(), initial.text);
    }

    int maxLevel = 0;
    int hostInfo = 0;
    for (int i = 0; i < Count(); ++i) {
        if (const auto* text = dynamic_cast<const IKvMaxLevelText*>(&Control(i))) {
            ++maxLevel;
            EXPECT_EQ(text->GetString(), "MAX LEVEL: -oo dB");
        }
        if (const auto* text = dynamic_cast<const IKvHostInfoText*>(&Control(i))) {
            ++hostInfo;
            EXPECT_EQ(text->GetString(), "") << "empty until the first idle update";
        }
    }
    EXPECT_EQ(maxLevel, 1);
    EXPECT_EQ(hostInfo, 1);
}

// ---------------------------------------------------------------- 6: the image list

namespace {

// "id path" lines of the module's image list, comments and blank lines skipped.
std::map<int, std::string> ReadImageList(const char* path) {
    std::map<int, std::string> list;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        int id = 0;
        std::string file;
        if (fields >> id >> file) list[id] = file;
    }
    return list;
}

}  // namespace

TEST(DunerowImages, TheEditorsImageTableHoldsEveryTabledImageWithItsFileAndFrames) {
    for (const Image& image : kImages) {
        int found = 0;
        for (const editor_bitmaps::Entry& entry : editor_bitmaps::kEntries) {
            if (entry.id != image.id) continue;
            ++found;
            EXPECT_EQ(entry.file, image.file) << "image " << image.id;
            EXPECT_EQ(entry.frames, image.frames) << "image " << image.id;
        }
        EXPECT_EQ(found, 1) << "image " << image.id;
    }
    for (const editor_bitmaps::Entry& entry : editor_bitmaps::kEntries) {
        const bool tabled = std::any_of(std::begin(kImages), std::end(kImages),
                                        [&](const Image& image) { return image.id == entry.id; });
        const bool unloaded = std::find(std::begin(kUnloadedImageIds), std::end(kUnloadedImageIds), entry.id) !=
                              std::end(kUnloadedImageIds);
        EXPECT_TRUE(tabled || unloaded) << "image " << entry.id << " " << entry.file << " is in no table";
    }
}

TEST(DunerowImages, EveryImageOfTheEditorIsListedForEmbeddingUnderItsId) {
    const std::map<int, std::string> list = ReadImageList(DUNEROW_IMAGE_LIST);
    ASSERT_FALSE(list.empty()) << "cannot read " << DUNEROW_IMAGE_LIST;
    for (const editor_bitmaps::Entry& entry : editor_bitmaps::kEntries) {
        const auto listed = list.find(entry.id);
        if (listed == list.end()) {
            ADD_FAILURE() << "image " << entry.id << " (" << entry.file << ") is not listed";
            continue;
        }
        EXPECT_EQ(listed->second, "img/korvane/" + std::string(entry.file)) << "image " << entry.id;
    }
}
