#include "layout.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "catalogue.h"

namespace artwork {

namespace {

constexpr int kTextLineHeight = 13;  // the editor's text styles: 13-pixel cells

class PageBuilder {
public:
    explicit PageBuilder(Page& page) : page_(page) {}

    void Bitmap(int id, int x, int y) { page_.bitmaps.push_back({id, x, y}); }
    void Text(int left, int top, int right, int bottom, std::string_view text, Align align = Align::Centre) {
        page_.texts.push_back({{left, top, right, bottom}, text, align});
    }
    void Curve(int left, int top, int right, int bottom) { page_.curves.push_back({left, top, right, bottom}); }

private:
    Page& page_;
};

void Oscillator(PageBuilder& add, int index) {
    const int dy = 145 * index;
    static constexpr std::string_view kNames[] = {"waveform1", "waveform2", "waveform3"};
    add.Bitmap(201, 81, 56 + dy);
    add.Bitmap(1101 + index, 84, 75 + dy);
    add.Curve(92, 86 + dy, 170, 115 + dy);
    add.Text(91, 119 + dy, 191, 135 + dy, kNames[index], Align::Left);
    add.Bitmap(1201, 176, 81 + dy);
    add.Bitmap(1202, 176, 100 + dy);
    add.Bitmap(1301, 196, 81 + dy);
    add.Bitmap(1003, 91, 146 + dy);
    add.Bitmap(1004, 141, 146 + dy);
    add.Bitmap(1010, 206, 146 + dy);
    add.Text(76, 132 + dy, 136, 148 + dy, "Pitch");
    add.Text(126, 132 + dy, 186, 148 + dy, "Tune");
    add.Text(191, 132 + dy, 251, 148 + dy, "LFO freq.");
    add.Text(76, 176 + dy, 136, 192 + dy, "0 st");
    add.Text(126, 176 + dy, 186, 192 + dy, "0 ct");
    add.Text(191, 176 + dy, 251, 192 + dy, "2.00 Hz");
    add.Bitmap(1005, 251, 96 + dy);
    add.Bitmap(1006, 306, 96 + dy);
    add.Text(241, 81 + dy, 301, 97 + dy, "Cutoff");
    add.Text(296, 81 + dy, 356, 97 + dy, "Resonance");
    add.Text(241, 136 + dy, 301, 152 + dy, "100 %");
    add.Text(296, 136 + dy, 356, 152 + dy, "0 %");
    add.Bitmap(1402, 256, 151 + dy);
    add.Bitmap(1401, 256, 151 + dy);
    add.Bitmap(1315, 257, 166 + dy);
    add.Bitmap(1010, 356, 81 + dy);
    add.Bitmap(1010, 396, 81 + dy);
    add.Bitmap(1010, 436, 81 + dy);
    add.Text(341, 68 + dy, 401, 84 + dy, "Ampl.");
    add.Text(381, 68 + dy, 441, 84 + dy, "Freq.");
    add.Text(421, 68 + dy, 481, 84 + dy, "Filter");
    add.Text(341, 111 + dy, 401, 127 + dy, "0 %");
    add.Text(381, 111 + dy, 441, 127 + dy, "0 %");
    add.Text(421, 111 + dy, 481, 127 + dy, "0 %");
    add.Bitmap(1007, 356, 146 + dy);
    add.Bitmap(1008, 396, 146 + dy);
    add.Bitmap(1009, 436, 146 + dy);
    add.Text(341, 133 + dy, 401, 149 + dy, "Pan");
    add.Text(381, 133 + dy, 441, 149 + dy, "Sat");
    add.Text(421, 133 + dy, 481, 149 + dy, "Vol");
    add.Text(341, 176 + dy, 401, 192 + dy, "C");
    add.Text(381, 176 + dy, 441, 192 + dy, "0 %");
    add.Text(421, 176 + dy, 481, 192 + dy, "-6.0 dB");
}

void PitchEnvelope(PageBuilder& add) {
    add.Bitmap(201, 491, 56);
    add.Bitmap(1104, 501, 68);
    add.Curve(513, 80, 659, 126);
    static constexpr std::string_view kLabels[] = {"Amount", "Duration", "Power", "Down"};
    static constexpr std::string_view kValues[] = {"35 %", "0.25 s", "50 %", "0 %"};
    for (int knob = 0; knob < 4; ++knob) {
        const int x = 491 + 50 * knob;
        add.Bitmap(1001, x, 139);
        add.Text(x - 10, 130, x + 50, 146, kLabels[knob]);
        add.Text(x - 10, 176, x + 50, 192, kValues[knob]);
    }
}

void Envelope(PageBuilder& add, bool filter) {
    const int dx = filter ? 205 : 0;
    const int knob = filter ? 1012 : 1011;
    add.Bitmap(filter ? 1106 : 1105, 79 + dx, 505);
    add.Curve(91 + dx, 519, 207 + dx, 559);
    add.Bitmap(knob, 90 + dx, 583);
    add.Bitmap(knob, 136 + dx, 583);
    add.Bitmap(knob, 182 + dx, 583);
    add.Bitmap(knob, 228 + dx, 583);
    add.Bitmap(knob, 228 + dx, 519);
    add.Text(75 + dx, 570, 135 + dx, 586, "Attack");
    add.Text(121 + dx, 570, 181 + dx, 586, "Decay");
    add.Text(167 + dx, 570, 227 + dx, 586, "Sustain");
    add.Text(213 + dx, 570, 273 + dx, 586, "Release");
    add.Text(213 + dx, 506, 273 + dx, 522, "Duration");
    add.Text(75 + dx, 613, 135 + dx, 629, "0.0 s");
    add.Text(121 + dx, 613, 181 + dx, 629, "0.0 s");
    add.Text(213 + dx, 613, 273 + dx, 629, "0.0 s");
    add.Text(167 + dx, 613, 227 + dx, 629, "100 %");
    add.Text(213 + dx, 549, 273 + dx, 565, "0.50 s");
}

void UnisonFmTransposeBassLayer(PageBuilder& add) {
    add.Bitmap(1014, 633, 554);
    add.Bitmap(1013, 683, 554);
    add.Text(623, 524, 683, 540, "Unison\nVoices");
    add.Text(673, 524, 733, 540, "Unison\nDetune");
    add.Text(623, 594, 683, 610, "voices");
    add.Text(673, 594, 733, 610, "0 %");
    add.Bitmap(1017, 586, 554);
    add.Text(576, 524, 636, 540, "FM\ncarrier");
    add.Text(576, 594, 636, 610, "0 %");
    add.Bitmap(1040, 506, 618);
    add.Text(486, 601, 576, 617, "Global Transpose");
    add.Text(486, 668, 576, 684, "Note Base Freq.");
    add.Text(486, 683, 576, 699, "0.0 Hz (-)");
    add.Bitmap(1042, 586, 643);
    add.Bitmap(1041, 636, 643);
    add.Text(576, 628, 636, 644, "Click");
    add.Text(626, 628, 686, 644, "Bass-Layer");
    add.Text(576, 683, 636, 699, "0 %");
    add.Text(626, 683, 686, 699, "-oo dB");
    add.Bitmap(1302, 691, 654);
    add.Bitmap(1303, 691, 675);
}

void GlobalFilter(PageBuilder& add) {
    add.Bitmap(201, 491, 201);
    add.Bitmap(1044, 504, 243);
    add.Bitmap(1005, 554, 233);
    add.Bitmap(1006, 609, 233);
    add.Bitmap(1045, 669, 243);
    add.Text(489, 228, 549, 244, "In-Drive");
    add.Text(544, 220, 604, 236, "Cutoff");
    add.Text(599, 220, 659, 236, "Resonance");
    add.Text(654, 228, 714, 244, "Transition");
    add.Text(489, 273, 549, 289, "0 %");
    add.Text(544, 273, 604, 289, "cutoff");
    add.Text(599, 273, 659, 289, "0 %");
    add.Text(654, 273, 714, 289, "transition");
    add.Bitmap(1203, 494, 289);
    add.Bitmap(1203, 659, 289);
    add.Text(488, 313, 548, 329, "fmode1");
    add.Text(653, 313, 713, 329, "fmode2");
    add.Bitmap(1403, 549, 292);
    add.Bitmap(1401, 549, 292);
    add.Text(549, 313, 653, 329, "type fader");
}

void ModulationEffects(PageBuilder& add) {
    add.Bitmap(201, 728, 201);
    add.Bitmap(1018, 733, 233);
    add.Bitmap(1043, 783, 233);
    add.Bitmap(1019, 753, 291);
    add.Bitmap(1304, 813, 301);
    add.Text(718, 220, 778, 236, "Rate");
    add.Text(768, 220, 828, 236, "Waveform");
    add.Text(738, 278, 798, 294, "Amount");
    add.Text(718, 263, 778, 279, "440 Hz");
    add.Text(768, 263, 828, 279, "ring form");
    add.Text(738, 321, 798, 337, "0 %");
    add.Bitmap(1018, 868, 233);
    add.Bitmap(1018, 918, 233);
    add.Bitmap(1019, 888, 291);
    add.Text(853, 220, 913, 236, "Rate");
    add.Text(903, 220, 963, 236, "Feedb.");
    add.Text(873, 278, 933, 294, "Amount");
    add.Text(853, 263, 913, 279, "1.0 Hz");
    add.Text(903, 263, 963, 279, "0 %");
    add.Text(873, 321, 933, 337, "0 %");
}

void DistortionAndShaper(PageBuilder& add) {
    add.Bitmap(201, 491, 347);
    add.Bitmap(1108, 484, 364);
    add.Curve(490, 371, 588, 396);
    add.Text(489, 401, 589, 417, "distortion", Align::Left);
    add.Bitmap(1204, 592, 365);
    add.Bitmap(1205, 592, 382);
    add.Bitmap(1208, 621, 365);
    add.Bitmap(1209, 621, 386);
    add.Bitmap(1109, 672, 361);
    add.Curve(681, 371, 789, 460);
    add.Text(681, 465, 789, 481, "Distortion Curve");
    add.Text(615, 409, 675, 425, "Amount");
    add.Text(478, 420, 538, 436, "BitCrash");
    add.Text(522, 420, 582, 436, "SmpRate");
    add.Text(566, 420, 626, 436, "Gate");
    add.Text(686, 369, 786, 385, "interpolation", Align::Left);
    add.Bitmap(1002, 625, 424);
    add.Text(615, 464, 675, 480, "0 %");
    add.Bitmap(1020, 493, 434);
    add.Bitmap(1021, 537, 434);
    add.Bitmap(1022, 581, 434);
    add.Text(478, 464, 538, 480, "64 bit");
    add.Text(522, 464, 582, 480, "44100 Hz");
    add.Text(566, 464, 626, 480, "-oo dB");
    add.Bitmap(1208, 802, 365);
    add.Text(686, 448, 786, 464, "shaper mode", Align::Right);
    add.Bitmap(1306, 802, 386);
    add.Bitmap(1046, 806, 424);
    add.Text(796, 409, 856, 425, "Amount");
    add.Text(796, 464, 856, 480, "0 %");
    add.Bitmap(1048, 864, 424);
    add.Text(854, 409, 914, 425, "Shape");
    add.Text(854, 464, 914, 480, "shape");
}

void EqualiserAndOutput(PageBuilder& add) {
    add.Bitmap(1113, 740, 591);
    add.Bitmap(1034, 751, 558);
    add.Bitmap(1033, 801, 558);
    add.Bitmap(1032, 851, 558);
    add.Bitmap(1035, 908, 558);
    add.Text(738, 544, 798, 560, "Bass");
    add.Text(788, 544, 848, 560, "Mid");
    add.Text(838, 544, 898, 560, "High");
    add.Text(895, 544, 955, 560, "Dump/Exp.");
    add.Text(738, 594, 798, 610, "0.0 dB");
    add.Text(788, 594, 848, 610, "0.0 dB");
    add.Text(838, 594, 898, 610, "0.0 dB");
    add.Text(895, 594, 955, 610, "freq.");

    add.Bitmap(1312, 873, 483);
    add.Bitmap(1038, 750, 648);
    add.Bitmap(1039, 800, 648);
    add.Bitmap(1037, 850, 648);
    add.Bitmap(1036, 900, 640);
    add.Text(737, 634, 797, 650, "Pan");
    add.Text(787, 634, 847, 650, "Sat");
    add.Text(837, 634, 897, 650, "Dry/Wet");
    add.Text(895, 623, 955, 639, "Volume");
    add.Text(737, 683, 797, 699, "C");
    add.Text(787, 683, 847, 699, "0 %");
    add.Text(837, 683, 897, 699, "100 %");
    add.Text(895, 690, 955, 706, "-6.0 dB");
}

void ProgramAndInfoBars(PageBuilder& add) {
    add.Bitmap(1107, 500, 488);
    add.Bitmap(1206, 483, 488);
    add.Text(500, 492, 682, 508, "Deep Sub Kick");
    add.Bitmap(1207, 682, 488);
    add.Bitmap(1307, 707, 488);
    add.Bitmap(1308, 755, 488);
    add.Bitmap(1317, 803, 488);

    add.Bitmap(1111, 165, 700);
    add.Text(185, 717, 445, 733, "Host: 120.00 BPM, 44100 Hz", Align::Left);
    add.Text(696, 717, 816, 733, "MAX LEVEL: -oo dB", Align::Left);
    add.Bitmap(1305, 501, 709);
    add.Bitmap(1309, 566, 709);
    add.Bitmap(1310, 631, 714);
}

}  // namespace

Page SynthPage() {
    Page page;
    PageBuilder add(page);
    add.Bitmap(111, 0, 0);
    add.Bitmap(112, kControlsLeft, kControlsTop);
    add.Bitmap(1314, 430, 762);
    add.Bitmap(1313, 515, 762);
    PitchEnvelope(add);
    for (int index = 0; index < 3; ++index) Oscillator(add, index);
    Envelope(add, false);
    Envelope(add, true);
    UnisonFmTransposeBassLayer(add);
    GlobalFilter(add);
    ModulationEffects(add);
    DistortionAndShaper(add);
    EqualiserAndOutput(add);
    ProgramAndInfoBars(add);
    add.Bitmap(1405, 80, 627);
    add.Bitmap(2004, 70, 757);
    return page;
}

Page AboutPage() {
    Page page;
    PageBuilder add(page);
    add.Bitmap(111, 0, 0);
    add.Bitmap(1314, 430, 762);
    add.Bitmap(1313, 515, 762);
    add.Bitmap(2004, 70, 757);
    add.Bitmap(2001, 145, 35);
    add.Bitmap(2002, 110, 490);
    add.Bitmap(2003, 365, 600);
    add.Bitmap(2005, 453, 660);
    add.Bitmap(2008, 760, 650);
    add.Bitmap(2009, 850, 643);
    add.Text(760, 645, 860, 661, "korvane.example");
    add.Text(850, 645, 950, 661, "Like us on FB!");
    return page;
}

ImageSize SizeOf(int id) {
    for (const ImageEntry& entry : Catalogue()) {
        if (entry.id == id) return {entry.width, entry.height / entry.frames, entry.frames};
    }
    throw std::runtime_error("no image " + std::to_string(id));
}

std::vector<Rect> OccupiedRects() {
    const Page page = SynthPage();
    std::vector<Rect> rects;
    for (const PlacedBitmap& bitmap : page.bitmaps) {
        if (bitmap.id == 111 || bitmap.id == 112) continue;
        const ImageSize size = SizeOf(bitmap.id);
        rects.push_back({bitmap.x, bitmap.y, bitmap.x + size.width, bitmap.y + size.frameHeight});
    }
    for (const PlacedText& text : page.texts) {
        const int lines = 1 + static_cast<int>(std::count(text.text.begin(), text.text.end(), '\n'));
        Rect rect = text.rect;
        rect.bottom = std::max(rect.bottom, rect.top + lines * kTextLineHeight);
        rects.push_back(rect);
    }
    rects.insert(rects.end(), page.curves.begin(), page.curves.end());
    return rects;
}

}  // namespace artwork
