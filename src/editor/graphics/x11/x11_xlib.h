// Xlib for the X11 window layer. Xlib defines macros with common names
// (None, Bool, Status, True, False, Success, Always) that would rewrite
// identifiers in the editor's own headers, so every header of the editor
// these files use is read first and Xlib's last; the files of this folder
// include this header before anything else of the project's.
#pragma once

#include "editor/graphics/graphics.h"
#include "editor/graphics/itext.h"
#include "editor/graphics/popup_menu.h"
#include "editor/raster/raster_bitmap.h"
#include "editor/raster/raster_ops.h"
#include "editor/raster/raster_types.h"
#include "editor/text/font_cache.h"
#include "editor/text/raster_font.h"
#include "editor/text/text_layout.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
