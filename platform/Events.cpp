#include "platform/Events.h"

#include <SDL.h>

#include <deque>

#include "platform/Replaceable.h"
#include "platform/Utf8.h"
#include "platform/VirtualKeys.h"

namespace plat {
namespace {

// Alt makes the system forms of keys and characters; with Control also held it is taken for
// AltGr, and the key is an ordinary one.
bool AltOnly(uint16_t modifiers) { return (modifiers & KMOD_ALT) && !(modifiers & KMOD_CTRL); }

void TranslateKey(const SDL_KeyboardEvent& key, std::vector<Message>& out)
{
    int vk = VirtualKeyFor(key.keysym.sym, key.keysym.scancode);
    if (vk == kVkNone)
        return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool alt = AltOnly(key.keysym.mod) || (vk == kVkMenu && !(key.keysym.mod & KMOD_CTRL));
    if (down)
        out.push_back({alt ? MessageKind::SysKeyDown : MessageKind::KeyDown, vk, key.repeat});
    else
        out.push_back({alt ? MessageKind::SysKeyUp : MessageKind::KeyUp, vk, 0});
    if (char16_t character = down ? ControlCharacterFor(vk) : 0)
        out.push_back({alt ? MessageKind::SysChar : MessageKind::Char, character, 0});
}

void TranslateText(const char* text, bool alt, std::vector<Message>& out)
{
    const MessageKind kind = alt ? MessageKind::SysChar : MessageKind::Char;
    for (char32_t code : DecodeUtf8(text)) {
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back({kind, int32_t(0xD800 + (code >> 10)), 0});
            out.push_back({kind, int32_t(0xDC00 + (code & 0x3FF)), 0});
        } else {
            out.push_back({kind, int32_t(code), 0});
        }
    }
}

void TranslateButton(const SDL_MouseButtonEvent& button, std::vector<Message>& out)
{
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    // As on Windows: the second click of a quick pair is a double click, the third starts anew.
    const bool twice = down && button.clicks >= 2 && button.clicks % 2 == 0;
    MessageKind kind;
    switch (button.button) {
    case SDL_BUTTON_LEFT:
        kind = !down ? MessageKind::LButtonUp : twice ? MessageKind::LButtonDouble : MessageKind::LButtonDown;
        break;
    case SDL_BUTTON_RIGHT:
        kind = !down ? MessageKind::RButtonUp : twice ? MessageKind::RButtonDouble : MessageKind::RButtonDown;
        break;
    case SDL_BUTTON_MIDDLE: kind = down ? MessageKind::MButtonDown : MessageKind::MButtonUp; break;
    default: return;
    }
    out.push_back({kind, button.x, button.y});
}

void TranslateWindowEvent(const SDL_WindowEvent& window, std::vector<Message>& out)
{
    switch (window.event) {
    case SDL_WINDOWEVENT_CLOSE: out.push_back({MessageKind::Close}); break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back({MessageKind::ActivateApp, 1}); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back({MessageKind::ActivateApp, 0}); break;
    case SDL_WINDOWEVENT_MINIMIZED: out.push_back({MessageKind::Size, kSizeMinimized}); break;
    case SDL_WINDOWEVENT_MAXIMIZED: out.push_back({MessageKind::Size, kSizeMaximized}); break;
    case SDL_WINDOWEVENT_RESTORED: out.push_back({MessageKind::Size, kSizeRestored}); break;
    case SDL_WINDOWEVENT_MOVED: out.push_back({MessageKind::Move, window.data1, window.data2}); break;
    case SDL_WINDOWEVENT_EXPOSED: out.push_back({MessageKind::Paint}); break;
    case SDL_WINDOWEVENT_ENTER: out.push_back({MessageKind::MouseEnter}); break;
    case SDL_WINDOWEVENT_LEAVE: out.push_back({MessageKind::MouseLeave}); break;
    default: break;
    }
}

class SdlEventSource : public IEventSource {
public:
    bool Poll(Message& out) override
    {
        SDL_Event event;
        while (pending_.empty() && SDL_PollEvent(&event) == 1) {
            translated_.clear();
            TranslateEvent(event, translated_);
            pending_.insert(pending_.end(), translated_.begin(), translated_.end());
        }
        if (pending_.empty())
            return false;
        out = pending_.front();
        pending_.pop_front();
        return true;
    }

private:
    std::deque<Message> pending_;
    std::vector<Message> translated_;
};

IEventSource& SdlSource()
{
    static SdlEventSource source;
    return source;
}

constinit Replaceable<IEventSource> current(SdlSource);

} // namespace

void TranslateEvent(const SDL_Event& event, std::vector<Message>& out)
{
    switch (event.type) {
    case SDL_QUIT: out.push_back({MessageKind::Close, kCloseProcessQuit}); break;
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window, out); break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key, out); break;
    case SDL_TEXTINPUT: TranslateText(event.text.text, AltOnly(uint16_t(SDL_GetModState())), out); break;
    case SDL_MOUSEMOTION: out.push_back({MessageKind::MouseMove, event.motion.x, event.motion.y}); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(event.button, out); break;
    case SDL_MOUSEWHEEL: {
        int32_t notches = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        if (notches != 0)
            out.push_back({MessageKind::MouseWheel, notches * 120});
        break;
    }
    case SDL_DISPLAYEVENT: out.push_back({MessageKind::DisplayChange}); break;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET: out.push_back({MessageKind::DisplayLost}); break;
    default: break;
    }
}

IEventSource& EventSource() { return current.Get(); }

void SetEventSource(IEventSource* source) { current.Set(source); }

} // namespace plat
