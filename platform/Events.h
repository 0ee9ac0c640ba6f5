#pragma once
#include <cstdint>
#include <vector>

union SDL_Event;

namespace plat {

// A message from the system to the application's window handling, already translated.
enum class MessageKind {
    Close,          // the window was asked to close, or the process to quit
    Move,           // first, second: the window's new position
    Size,           // first: kSizeRestored, kSizeMinimized or kSizeMaximized
    ActivateApp,    // first: 1 activated, 0 deactivated
    Paint,          // the window needs its picture again
    Timer,          // made by the application's pump once per update period
    SysColorChange, // the system's colours changed
    DisplayChange,  // a display was added, removed or changed
    DisplayLost,    // the renderer lost its textures or its device
    KeyDown,        // first: virtual key (see VirtualKeys.h)
    KeyUp,
    SysKeyDown,     // a key with Alt held
    SysKeyUp,
    Char,           // first: one UTF-16 unit
    SysChar,        // a character typed with Alt held
    MouseMove,      // mouse messages: first, second = x, y in the window
    LButtonDown,
    LButtonUp,
    LButtonDouble,
    RButtonDown,
    RButtonUp,
    RButtonDouble,
    MButtonDown,
    MButtonUp,
    MouseWheel,     // first: the distance, 120 per notch, positive away from the player
    MouseEnter,
    MouseLeave,
};

enum SizeKind : int32_t { kSizeRestored = 0, kSizeMinimized = 1, kSizeMaximized = 2 };

// A Close's first value: the process, not the window, was asked to quit (a signal).
inline constexpr int32_t kCloseProcessQuit = 1;

struct Message {
    MessageKind kind = MessageKind::Close;
    int32_t first = 0;
    int32_t second = 0;
};

inline bool IsKeyMessage(MessageKind kind) { return kind >= MessageKind::KeyDown && kind <= MessageKind::SysChar; }
inline bool IsMouseMessage(MessageKind kind)
{
    return kind >= MessageKind::MouseMove && kind <= MessageKind::MButtonUp;
}

// The messages an SDL event stands for, appended to out: keys as virtual keys (the Sys forms
// while Alt is held), text as UTF-16 units, and for Backspace, Tab, Enter and Escape also the
// character that text input never reports. A mouse button's second click of a pair is a double.
void TranslateEvent(const SDL_Event& event, std::vector<Message>& out);

// Where pending messages come from. Tests swap in a scripted one.
class IEventSource {
public:
    virtual ~IEventSource() = default;
    virtual bool Poll(Message& out) = 0; // false when nothing is pending
};

IEventSource& EventSource();
void SetEventSource(IEventSource* source); // null restores the SDL one

inline bool PollMessage(Message& out) { return EventSource().Poll(out); }

} // namespace plat
