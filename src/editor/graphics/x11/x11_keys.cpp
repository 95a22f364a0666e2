#include "editor/graphics/x11/x11_keys.h"

char32_t KeysymCharacter(KeySym keysym) {
    // Latin-1 key symbols are their characters.
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) return static_cast<char32_t>(keysym);
    // Unicode key symbols carry the code point below 0x01000000.
    if (keysym >= 0x01000100 && keysym <= 0x0110FFFF) return static_cast<char32_t>(keysym & 0x00FFFFFF);
    if (keysym >= XK_KP_0 && keysym <= XK_KP_9) return static_cast<char32_t>(U'0' + (keysym - XK_KP_0));
    switch (keysym) {
    case XK_KP_Space: return U' ';
    case XK_KP_Decimal: return U'.';
    case XK_KP_Add: return U'+';
    case XK_KP_Subtract: return U'-';
    case XK_KP_Multiply: return U'*';
    case XK_KP_Divide: return U'/';
    case XK_KP_Equal: return U'=';
    default: return 0;
    }
}

IKeyPress KeyPressOf(KeySym keysym) {
    IKeyPress key;
    switch (keysym) {
    case XK_Up:
    case XK_KP_Up: key.kind = IKeyPress::Kind::Up; return key;
    case XK_Down:
    case XK_KP_Down: key.kind = IKeyPress::Kind::Down; return key;
    case XK_Left:
    case XK_KP_Left: key.kind = IKeyPress::Kind::Left; return key;
    case XK_Right:
    case XK_KP_Right: key.kind = IKeyPress::Kind::Right; return key;
    default: break;
    }
    if (const char32_t character = KeysymCharacter(keysym); character != 0) {
        key.kind = IKeyPress::Kind::Character;
        key.character = character;
    }
    return key;
}

KeySym LookUpKeysym(XKeyEvent& event) {
    char text[16];
    KeySym keysym = NoSymbol;
    XLookupString(&event, text, sizeof text, &keysym, nullptr);
    return keysym;
}
