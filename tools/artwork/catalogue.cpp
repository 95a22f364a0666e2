#include "catalogue.h"

#include "about_page.h"
#include "backgrounds.h"
#include "buttons.h"
#include "displays.h"
#include "knobs.h"
#include "palette.h"

namespace artwork {

namespace {

using namespace palette;

ImageEntry Knob(int id, std::string_view path, int size, Colour accent, bool bipolar = false) {
    return {id, path, size, size * kKnobFrames, kKnobFrames, false,
            [=](Canvas& image) { DrawKnob(image, {size, accent, bipolar}); }};
}

ImageEntry Selector(int id, std::string_view path, int size, Colour accent, int positions, double sweep) {
    return {id, path, size, size * positions, positions, false,
            [=](Canvas& image) { DrawSelectorKnob(image, {size, accent, false}, positions, sweep); }};
}

ImageEntry Button(int id, std::string_view path, int width, int frameHeight, std::string_view caption) {
    return {id, path, width, frameHeight * 2, 2, false,
            [=](Canvas& image) { DrawCaptionButton(image, caption, width, frameHeight); }};
}

ImageEntry ArrowKey(int id, std::string_view path, int size, Arrow arrow) {
    return {id, path, size, size * 2, 2, false, [=](Canvas& image) { DrawArrowButton(image, arrow, size); }};
}

ImageEntry Display(int id, std::string_view path, int width, int height, DisplayLook look) {
    return {id, path, width, height, 1, false, [=](Canvas& image) { DrawDisplay(image, look); }};
}

// A display whose curve area is the rectangle (left, top)-(right, bottom)
// of the layout, the display itself placed at (x, y).
DisplayLook CurveGrid(Colour tint, int x, int y, int left, int top, int right, int bottom, int columns, int rows) {
    DisplayLook look;
    look.tint = tint;
    look.gridLeft = left - x;
    look.gridTop = top - y;
    look.gridRight = right - x;
    look.gridBottom = bottom - y;
    look.columns = columns;
    look.rows = rows;
    return look;
}

DisplayLook Plain(Colour tint, std::vector<double> dividers = {}) {
    DisplayLook look;
    look.tint = tint;
    look.dividers = std::move(dividers);
    return look;
}

ImageEntry Single(int id, std::string_view path, int width, int height, void (*draw)(Canvas&),
                  bool opaque = false) {
    return {id, path, width, height, 1, opaque, draw};
}

std::vector<ImageEntry> Build() {
    return {
        Single(111, "Dunerow_GUI_background_Free.png", 1030, 800, DrawWindowBackground, true),
        Single(112, "Controls_Background_920x730_FREE.png", 920, 730, DrawControlsBackground, true),
        {201, "switches/KV_on_off_20px.png", 20, 40, 2, false, [](Canvas& image) { DrawLampSwitch(image, 20); }},

        Knob(1001, "knobs/KV_Pitch_Knob_40px.png", 40, kPitch),
        Knob(1002, "knobs/KV_Disto_Knob_40px.png", 40, kDistortion),
        Knob(1003, "knobs/KV_Osc_Pitch_Tune_Knob_30px.png", 30, kPitch, true),
        Knob(1004, "knobs/KV_Osc_Pitch_Tune_Knob_30px.png", 30, kPitch, true),
        Knob(1005, "knobs/KV_Filter_Knob_40px.png", 40, kFilter),
        Knob(1006, "knobs/KV_Resonance_Knob_40px.png", 40, kFilter),
        Knob(1007, "knobs/KV_Osc_Pan_Knob_30px.png", 30, kOscillator, true),
        Knob(1008, "knobs/KV_Osc_Saturation_Knob_30px.png", 30, kOscillator),
        Knob(1009, "knobs/KV_Osc_Volume_Knob_30px.png", 30, kOscillator),
        Knob(1010, "knobs/KV_LFO_Knob_30px.png", 30, kLfo),
        Knob(1011, "knobs/KV_ADSR_Volume_Knob_30px.png", 30, kVolumeEnvelope),
        Knob(1012, "knobs/KV_ADSR_Filter_Knob_30px.png", 30, kFilterEnvelope),
        Knob(1013, "knobs/KV_Unison_Knob_40px.png", 40, kUnison),
        Selector(1014, "knobs/KV_Unison_Knob_2_states_40px.png", 40, kUnison, 2, 120.0),
        Knob(1017, "knobs/KV_Fm_Modulation_Knob_40px.png", 40, kUnison),
        Knob(1018, "knobs/KV_ModFx_Knob_30px.png", 30, kModulation),
        Knob(1019, "knobs/KV_ModFx_Amt_Knob_30px.png", 30, kModulation),
        Knob(1020, "knobs/KV_Disto_BitCrash_30px.png", 30, kDistortion),
        Knob(1021, "knobs/KV_Disto_SmpRate_30px.png", 30, kDistortion),
        Knob(1022, "knobs/KV_Disto_Gate_30px.png", 30, kDistortion),
        Knob(1032, "knobs/KV_EQ_High_Knob_35px.png", 35, kEqualiser, true),
        Knob(1033, "knobs/KV_EQ_Mid_Knob_35px.png", 35, kEqualiser, true),
        Knob(1034, "knobs/KV_EQ_Low_Knob_35px.png", 35, kEqualiser, true),
        Knob(1035, "knobs/KV_DumpExp_Knob_35px.png", 35, kEqualiser, true),
        Knob(1036, "knobs/KV_Volume_Knob_50px.png", 50, kOutput),
        Knob(1037, "knobs/KV_Dry_Wet_Knob_35px.png", 35, kOutput),
        Knob(1038, "knobs/KV_Pan_Knob_35px.png", 35, kOutput, true),
        Knob(1039, "knobs/KV_Saturation_Knob_35px.png", 35, kOutput),
        Knob(1040, "knobs/KV_Global_Tune_Knob_50px.png", 50, kPitch, true),
        Knob(1041, "knobs/KV_Bass-Layer_Knob_40px.png", 40, kBassLayer),
        Knob(1042, "knobs/KV_Click_Knob_40px.png", 40, kBassLayer),
        Selector(1043, "knobs/KV_ModFx_Waveform_Knob_30px.png", 30, kModulation, 5, 240.0),
        Knob(1044, "knobs/KV_Filter_InputDrive_Knob_30px.png", 30, kFilter),
        Selector(1045, "knobs/KV_Filter_Transition_Knob_30px.png", 30, kFilter, 3, 180.0),
        Knob(1046, "knobs/KV_DynShaper_Width_35px.png", 35, kShaper),
        Selector(1048, "knobs/KV_DynShaper_Type_3_states_40px.png", 40, kShaper, 3, 180.0),

        Display(1101, "displays/Waveform_Display_80x35_osc1.png", 94, 49,
                CurveGrid(kOscillator1, 84, 75, 92, 86, 170, 115, 8, 4)),
        Display(1102, "displays/Waveform_Display_80x35_osc2.png", 94, 49,
                CurveGrid(kOscillator2, 84, 75, 92, 86, 170, 115, 8, 4)),
        Display(1103, "displays/Waveform_Display_80x35_osc3.png", 94, 49,
                CurveGrid(kOscillator3, 84, 75, 92, 86, 170, 115, 8, 4)),
        Display(1104, "displays/Pitch_Display_150x50.png", 170, 70,
                CurveGrid(kPitch, 501, 68, 513, 80, 659, 126, 10, 4)),
        Display(1105, "displays/Volume_Envelope_120x45.png", 140, 65,
                CurveGrid(kVolumeEnvelope, 79, 505, 91, 519, 207, 559, 8, 4)),
        Display(1106, "displays/Filter_Envelope_120x45.png", 140, 65,
                CurveGrid(kFilterEnvelope, 284, 505, 296, 519, 412, 559, 8, 4)),
        Display(1107, "displays/preset_display_185x20.png", 185, 20, Plain(kOutput)),
        Display(1108, "displays/disto_display_110x38.png", 110, 38,
                CurveGrid(kDistortion, 484, 364, 490, 371, 588, 396, 8, 2)),
        Display(1109, "displays/Distortion_Curve_Display_111x93.png", 127, 109,
                CurveGrid(kShaper, 672, 361, 681, 371, 789, 460, 6, 6)),
        Display(1110, "displays/Dump-Expand_Display_31x20.png", 50, 40, CurveGrid(kEqualiser, 0, 0, 4, 4, 46, 36, 4, 2)),
        Display(1111, "displays/info_display_700x30_FREE.png", 700, 50, Plain(kOutput, {326.0, 524.0})),
        // Dividers halfway between the centres of the four read-outs on the strip.
        Display(1113, "displays/EQ_Frequency_Display_217x20.png", 217, 20, Plain(kEqualiser, {53.0, 103.0, 156.0})),

        ArrowKey(1201, "switches/Prev_WF_up_20px.png", 20, Arrow::Up),
        ArrowKey(1202, "switches/Next_WF_down_20px.png", 20, Arrow::Down),
        Button(1203, "switches/mode_on_off_48px_40px.png", 48, 20, "MODE"),
        ArrowKey(1204, "switches/Prev_up_18px.png", 18, Arrow::Up),
        ArrowKey(1205, "switches/Next_down_18px.png", 18, Arrow::Down),
        ArrowKey(1206, "switches/Prev_left_20px.png", 20, Arrow::Left),
        ArrowKey(1207, "switches/Next_right_20px.png", 20, Arrow::Right),
        Button(1208, "switches/disto_mode_on_off_48px_40px.png", 48, 20, "MODE"),
        Button(1209, "switches/loud_on_off_48px_40px.png", 48, 20, "LOUD"),

        Button(1301, "buttons/invert_button_48x40.png", 48, 20, "INVERT"),
        Button(1302, "buttons/filter_button_48x40.png", 48, 20, "FILTER"),
        Button(1303, "buttons/solo_button_48x40.png", 48, 20, "SOLO"),
        Button(1304, "buttons/sync_button_48x40.png", 48, 20, "SYNC"),
        Button(1305, "buttons/kick_mode_button_60x60.png", 60, 30, "KICK\nMODE"),
        Button(1306, "buttons/invert_button_48x40.png", 48, 20, "INVERT"),
        Button(1307, "buttons/load_on_off_48x40.png", 48, 20, "LOAD"),
        Button(1308, "buttons/save_on_off_48x40.png", 48, 20, "SAVE"),
        Button(1309, "buttons/limit_on_off_60x60.png", 60, 30, "LIMIT"),
        Button(1310, "buttons/reset_on_off_48x40.png", 48, 20, "RESET"),
        {1311, "buttons/aa_button_5states_60x150.png", 60, 150, 5, false,
         [](Canvas& image) { DrawStateButton(image, {"AA OFF", "AA 2X", "AA 4X", "AA 8X", "AA 16X"}, 60, 30); }},
        Button(1312, "buttons/bypass_fx_button_84x60.png", 84, 30, "BYPASS FX"),
        {1313, "buttons/tab_about_85x50.png", 85, 50, 2, false, [](Canvas& image) { DrawTab(image, "ABOUT", 85, 25); }},
        {1314, "buttons/tab_synth_85x50.png", 85, 50, 2, false, [](Canvas& image) { DrawTab(image, "SYNTH", 85, 25); }},
        Button(1315, "buttons/invert_filter_envelope_80x40.png", 80, 20, "INVERT F.ENV"),
        Button(1317, "buttons/play_on_off_48x40.png", 48, 20, "PLAY"),

        Single(1401, "slider_handle_14px_14px.png", 14, 14, DrawSliderHandle),
        Single(1402, "slider_background_82px_14px.png", 82, 14, DrawSliderTrack),
        Single(1403, "slider_background_104px_14px.png", 104, 14, DrawSliderTrack),
        Single(1405, "bass_kick_design_tool_FREE.png", 400, 40, DrawTitle),

        Single(2001, "Korvane_logo_txt_740x450.png", 740, 450, DrawMakerLogo),
        Single(2002, "KV_Free_Text.png", 810, 102, DrawEditionText),
        Single(2003, "KV_Team_Text.png", 300, 51, DrawTeamText),
        Single(2004, "x64.png", 90, 30, DrawBitBadge),
        Single(2005, "VST_Logo.png", 125, 77, DrawFormatBadge),
        Single(2008, "KV_URL_icon.png", 100, 100, DrawWebIcon),
        Single(2009, "FB_URL_icon.png", 100, 100, DrawSocialIcon),
    };
}

}  // namespace

const std::vector<ImageEntry>& Catalogue() {
    static const std::vector<ImageEntry> kEntries = Build();
    return kEntries;
}

}  // namespace artwork
