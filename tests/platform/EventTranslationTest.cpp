// SDL's events as the window handling sees them: virtual keys, the characters Windows would
// have made, mouse buttons with their double clicks, and the window's own news.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstring>

#include "platform/Events.h"
#include "platform/VirtualKeys.h"

namespace {

using plat::Message;
using plat::MessageKind;

std::vector<Message> Translate(const SDL_Event& event)
{
    std::vector<Message> out;
    plat::TranslateEvent(event, out);
    return out;
}

SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
    event.key.keysym.sym = sym;
    event.key.keysym.scancode = scancode;
    event.key.keysym.mod = mod;
    return event;
}

SDL_Event Button(Uint32 type, Uint8 button, Uint8 clicks, int x = 10, int y = 20)
{
    SDL_Event event{};
    event.type = type;
    event.button.type = type;
    event.button.button = button;
    event.button.clicks = clicks;
    event.button.x = x;
    event.button.y = y;
    return event;
}

SDL_Event WindowEvent(SDL_WindowEventID id, int data1 = 0, int data2 = 0)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = Uint8(id);
    event.window.data1 = data1;
    event.window.data2 = data2;
    return event;
}

SDL_Event Text(const char* utf8)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof(event.text.text) - 1);
    return event;
}

bool Same(const std::vector<Message>& a, const std::vector<Message>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].kind != b[i].kind || a[i].first != b[i].first || a[i].second != b[i].second)
            return false;
    return true;
}

TEST(EventTranslation, KeysBecomeWindowsVirtualKeys)
{
    struct Case {
        SDL_Keycode sym;
        SDL_Scancode scancode;
        int vk;
    };
    for (const Case& c : {
             Case{SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 27},  Case{SDLK_TAB, SDL_SCANCODE_TAB, 9},
             Case{SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},  Case{SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
             Case{SDLK_LCTRL, SDL_SCANCODE_LCTRL, 17},    Case{SDLK_RCTRL, SDL_SCANCODE_RCTRL, 17},
             Case{SDLK_LALT, SDL_SCANCODE_LALT, 18},      Case{SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
             Case{SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13}, Case{SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 8},
             Case{SDLK_F1, SDL_SCANCODE_F1, 112},         Case{SDLK_F12, SDL_SCANCODE_F12, 123},
             Case{SDLK_a, SDL_SCANCODE_A, 65},            Case{SDLK_z, SDL_SCANCODE_Z, 90},
             Case{SDLK_0, SDL_SCANCODE_0, 48},            Case{SDLK_9, SDL_SCANCODE_9, 57},
             Case{SDLK_LEFT, SDL_SCANCODE_LEFT, 37},      Case{SDLK_UP, SDL_SCANCODE_UP, 38},
             Case{SDLK_RIGHT, SDL_SCANCODE_RIGHT, 39},    Case{SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
             Case{SDLK_SPACE, SDL_SCANCODE_SPACE, 32},    Case{SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
             Case{SDLK_KP_5, SDL_SCANCODE_KP_5, 101},     Case{SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
             Case{SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
             Case{SDLK_q, SDL_SCANCODE_A, 'Q'},           // a French layout: the letter, not the place
             Case{0x0444, SDL_SCANCODE_A, 'A'},           // a Cyrillic layout: the place
             Case{SDLK_MUTE, SDL_SCANCODE_MUTE, 0},
         }) {
        EXPECT_EQ(plat::VirtualKeyFor(c.sym, c.scancode), c.vk) << SDL_GetKeyName(c.sym);
    }
}

TEST(EventTranslation, KeysThatTextInputNeverReportsAlsoMakeTheirCharacter)
{
    struct Case {
        SDL_Event event;
        std::vector<Message> expected;
    };
    const Case cases[] = {
        {Key(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE), {{MessageKind::KeyDown, 8}, {MessageKind::Char, 8}}},
        {Key(SDL_KEYDOWN, SDLK_TAB, SDL_SCANCODE_TAB, KMOD_LCTRL), {{MessageKind::KeyDown, 9}, {MessageKind::Char, 9}}},
        {Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN), {{MessageKind::KeyDown, 13}, {MessageKind::Char, 13}}},
        {Key(SDL_KEYDOWN, SDLK_ESCAPE, SDL_SCANCODE_ESCAPE), {{MessageKind::KeyDown, 27}, {MessageKind::Char, 27}}},
        {Key(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A), {{MessageKind::KeyDown, 65}}},
        {Key(SDL_KEYUP, SDLK_RETURN, SDL_SCANCODE_RETURN), {{MessageKind::KeyUp, 13}}},
        // Alt makes the system forms; AltGr (Control with Alt) does not.
        {Key(SDL_KEYDOWN, SDLK_RETURN, SDL_SCANCODE_RETURN, KMOD_LALT),
         {{MessageKind::SysKeyDown, 13}, {MessageKind::SysChar, 13}}},
        {Key(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT), {{MessageKind::SysKeyDown, 18}}},
        {Key(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT), {{MessageKind::SysKeyUp, 18}}},
        {Key(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT | KMOD_LCTRL), {{MessageKind::KeyDown, 'Q'}}},
        {Text("a\xc3\xa9"), {{MessageKind::Char, 'a'}, {MessageKind::Char, 0xE9}}},
        {Text("\xf0\x9f\x98\x80"), {{MessageKind::Char, 0xD83D}, {MessageKind::Char, 0xDE00}}},
    };
    for (const Case& c : cases) {
        std::vector<Message> got = Translate(c.event);
        EXPECT_TRUE(Same(got, c.expected)) << "event " << (&c - cases) << " gave " << got.size() << " messages";
    }
}

TEST(EventTranslation, MouseButtonsWheelAndWindowNews)
{
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    SDL_Event flipped = wheel;
    flipped.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_Event reset{};
    reset.type = SDL_RENDER_DEVICE_RESET;

    struct Case {
        SDL_Event event;
        std::vector<Message> expected;
    };
    const Case cases[] = {
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 1), {{MessageKind::LButtonDown, 10, 20}}},
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 2), {{MessageKind::LButtonDouble, 10, 20}}},
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 3), {{MessageKind::LButtonDown, 10, 20}}},
        {Button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 2), {{MessageKind::LButtonUp, 10, 20}}},
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 2, -3, 7), {{MessageKind::RButtonDouble, -3, 7}}},
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_MIDDLE, 2), {{MessageKind::MButtonDown, 10, 20}}},
        {Button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 1), {}},
        {wheel, {{MessageKind::MouseWheel, 240}}},
        {flipped, {{MessageKind::MouseWheel, -240}}},
        {quit, {{MessageKind::Close, plat::kCloseProcessQuit}}},
        {reset, {{MessageKind::DisplayLost}}},
        {WindowEvent(SDL_WINDOWEVENT_CLOSE), {{MessageKind::Close}}},
        {WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST), {{MessageKind::ActivateApp, 0}}},
        {WindowEvent(SDL_WINDOWEVENT_MINIMIZED), {{MessageKind::Size, plat::kSizeMinimized}}},
        {WindowEvent(SDL_WINDOWEVENT_MOVED, 30, 40), {{MessageKind::Move, 30, 40}}},
        {WindowEvent(SDL_WINDOWEVENT_LEAVE), {{MessageKind::MouseLeave}}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(Same(Translate(c.event), c.expected)) << "event " << (&c - cases);
}

} // namespace
