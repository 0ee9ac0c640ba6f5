#include "platform/VirtualKeys.h"

#include <SDL.h>

namespace plat {
namespace {

struct KeyPair {
    SDL_Keycode sdl;
    int vk;
};

constexpr KeyPair kByKeycode[] = {
    {SDLK_BACKSPACE, kVkBack},     {SDLK_TAB, kVkTab},
    {SDLK_RETURN, kVkReturn},      {SDLK_KP_ENTER, kVkReturn},
    {SDLK_RETURN2, kVkReturn},     {SDLK_LSHIFT, kVkShift},
    {SDLK_RSHIFT, kVkShift},       {SDLK_LCTRL, kVkControl},
    {SDLK_RCTRL, kVkControl},      {SDLK_LALT, kVkMenu},
    {SDLK_RALT, kVkMenu},          {SDLK_PAUSE, kVkPause},
    {SDLK_CAPSLOCK, kVkCapital},   {SDLK_ESCAPE, kVkEscape},
    {SDLK_SPACE, kVkSpace},        {SDLK_PAGEUP, kVkPrior},
    {SDLK_PAGEDOWN, kVkNext},      {SDLK_END, kVkEnd},
    {SDLK_HOME, kVkHome},          {SDLK_LEFT, kVkLeft},
    {SDLK_UP, kVkUp},              {SDLK_RIGHT, kVkRight},
    {SDLK_DOWN, kVkDown},          {SDLK_PRINTSCREEN, kVkSnapshot},
    {SDLK_INSERT, kVkInsert},      {SDLK_DELETE, kVkDelete},
    {SDLK_LGUI, kVkLWin},          {SDLK_RGUI, kVkRWin},
    {SDLK_APPLICATION, kVkApps},   {SDLK_KP_MULTIPLY, kVkMultiply},
    {SDLK_KP_PLUS, kVkAdd},        {SDLK_KP_MINUS, kVkSubtract},
    {SDLK_KP_PERIOD, kVkDecimal},  {SDLK_KP_DECIMAL, kVkDecimal},
    {SDLK_KP_DIVIDE, kVkDivide},   {SDLK_NUMLOCKCLEAR, kVkNumLock},
    {SDLK_SCROLLLOCK, kVkScroll},
};

// Punctuation keys go by their place on the keyboard (named as on a US layout).
constexpr std::pair<SDL_Scancode, int> kByScancode[] = {
    {SDL_SCANCODE_SEMICOLON, kVkOem1},  {SDL_SCANCODE_EQUALS, kVkOemPlus},
    {SDL_SCANCODE_COMMA, kVkOemComma},  {SDL_SCANCODE_MINUS, kVkOemMinus},
    {SDL_SCANCODE_PERIOD, kVkOemPeriod}, {SDL_SCANCODE_SLASH, kVkOem2},
    {SDL_SCANCODE_GRAVE, kVkOem3},      {SDL_SCANCODE_LEFTBRACKET, kVkOem4},
    {SDL_SCANCODE_BACKSLASH, kVkOem5},  {SDL_SCANCODE_RIGHTBRACKET, kVkOem6},
    {SDL_SCANCODE_APOSTROPHE, kVkOem7}, {SDL_SCANCODE_NONUSBACKSLASH, kVkOem5},
};

int LetterOrDigit(SDL_Keycode keycode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return 'A' + (keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return '0' + (keycode - SDLK_0);
    return kVkNone;
}

int LetterOrDigitByPlace(SDL_Scancode scancode)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return 'A' + (scancode - SDL_SCANCODE_A);
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return '1' + (scancode - SDL_SCANCODE_1);
    if (scancode == SDL_SCANCODE_0)
        return '0';
    return kVkNone;
}

int NumpadOrFunctionKey(SDL_Keycode keycode)
{
    if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9)
        return kVkNumpad0 + 1 + (keycode - SDLK_KP_1);
    if (keycode == SDLK_KP_0)
        return kVkNumpad0;
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return kVkF1 + (keycode - SDLK_F1);
    if (keycode >= SDLK_F13 && keycode <= SDLK_F24)
        return kVkF1 + 12 + (keycode - SDLK_F13);
    return kVkNone;
}

} // namespace

int VirtualKeyFor(int sdlKeycode, int sdlScancode)
{
    const auto keycode = SDL_Keycode(sdlKeycode);
    const auto scancode = SDL_Scancode(sdlScancode);
    if (int vk = LetterOrDigit(keycode))
        return vk;
    if (int vk = NumpadOrFunctionKey(keycode))
        return vk;
    for (const KeyPair& pair : kByKeycode)
        if (pair.sdl == keycode)
            return pair.vk;
    for (const auto& [place, vk] : kByScancode)
        if (place == scancode)
            return vk;
    return LetterOrDigitByPlace(scancode);
}

char16_t ControlCharacterFor(int virtualKey)
{
    switch (virtualKey) {
    case kVkBack:
    case kVkTab:
    case kVkReturn:
    case kVkEscape: return char16_t(virtualKey);
    default: return 0;
    }
}

} // namespace plat
