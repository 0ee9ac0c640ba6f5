#pragma once

namespace plat {

// The key numbers the framework and the game speak: Windows virtual-key codes. Letters and
// digits are their upper-case ASCII codes ('A' 65, '0' 48).
enum VirtualKey : int {
    kVkNone = 0,
    kVkBack = 8,
    kVkTab = 9,
    kVkReturn = 13,
    kVkShift = 16,
    kVkControl = 17,
    kVkMenu = 18, // Alt
    kVkPause = 19,
    kVkCapital = 20,
    kVkEscape = 27,
    kVkSpace = 32,
    kVkPrior = 33,
    kVkNext = 34,
    kVkEnd = 35,
    kVkHome = 36,
    kVkLeft = 37,
    kVkUp = 38,
    kVkRight = 39,
    kVkDown = 40,
    kVkSnapshot = 44,
    kVkInsert = 45,
    kVkDelete = 46,
    kVkLWin = 91,
    kVkRWin = 92,
    kVkApps = 93,
    kVkNumpad0 = 96,
    kVkMultiply = 106,
    kVkAdd = 107,
    kVkSubtract = 109,
    kVkDecimal = 110,
    kVkDivide = 111,
    kVkF1 = 112,
    kVkF4 = 115,
    kVkF24 = 135,
    kVkNumLock = 144,
    kVkScroll = 145,
    kVkOem1 = 186,      // ;:
    kVkOemPlus = 187,   // =+
    kVkOemComma = 188,  // ,<
    kVkOemMinus = 189,  // -_
    kVkOemPeriod = 190, // .>
    kVkOem2 = 191,      // /?
    kVkOem3 = 192,      // `~
    kVkOem4 = 219,      // [{
    kVkOem5 = 220,      // backslash |
    kVkOem6 = 221,      // ]}
    kVkOem7 = 222,      // '"
};

// The virtual key of an SDL key (SDL_Keycode, SDL_Scancode); kVkNone for keys the game has no
// number for. Letters and digits follow the keyboard layout, as Windows does; a layout without
// Latin letters falls back on the key's position.
int VirtualKeyFor(int sdlKeycode, int sdlScancode);

// The character Windows' message translation makes for a key that text input never reports
// (Backspace 8, Tab 9, Enter 13, Escape 27); 0 for any other key.
char16_t ControlCharacterFor(int virtualKey);

} // namespace plat
