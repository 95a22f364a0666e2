// The buttons and modifier keys held during a mouse event.
#pragma once

struct IMouseMod {
    bool left = false;
    bool right = false;
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// Keys a control may take, as the graphics object numbers them.
enum IKey : int {
    kKeySpace = 0,
    kKeyUp = 1,
    kKeyDown = 2,
    kKeyLeft = 3,
    kKeyRight = 4,
    kKeyDigit0 = 5,   // '0' .. '9' are 5 .. 14
    kKeyLetterA = 15,  // 'A' .. 'Z' are 15 .. 40
    kKeyNone = -1,
};
