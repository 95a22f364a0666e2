// X key symbols in the editor's terms.
#pragma once

#include "editor/graphics/x11/x11_xlib.h"

// The character a key symbol types, 0 for keys that type none (arrows,
// function keys, Return, BackSpace...).
char32_t KeysymCharacter(KeySym keysym);

// The key press the graphics object dispatches: arrows, characters, other.
IKeyPress KeyPressOf(KeySym keysym);

// The key symbol and character of a key event, modifiers applied.
KeySym LookUpKeysym(XKeyEvent& event);
