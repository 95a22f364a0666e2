// The about page's images and the badges: the maker's word mark, the
// edition and team texts, the 64-bit and plug-in format badges, and the two
// link icons. All ours: no one else's logo or trade mark.
#pragma once

#include "canvas.h"

namespace artwork {

// The maker's emblem centred on (x, y), `radius` to the middle of its ring:
// a knob's lit arc around a K. Engraved, it is drawn in quiet greys.
void DrawEmblem(cairo_t* cr, double x, double y, double radius, bool engraved);
void DrawMakerLogo(Canvas& image);
void DrawEditionText(Canvas& image);
void DrawTeamText(Canvas& image);
void DrawBitBadge(Canvas& image);
void DrawFormatBadge(Canvas& image);
void DrawWebIcon(Canvas& image);
void DrawSocialIcon(Canvas& image);

}  // namespace artwork
