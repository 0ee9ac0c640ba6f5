#include "platform/Events.h"

#include <SDL.h>

#include <atomic>

namespace plat {
namespace {

bool Translate(const SDL_Event& event, Message& out)
{
    switch (event.type) {
    case SDL_QUIT: out = {MessageKind::Close}; return true;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            out = {MessageKind::Close};
            return true;
        }
        return false;
    default: return false;
    }
}

class SdlEventSource : public IEventSource {
public:
    bool Poll(Message& out) override
    {
        SDL_Event event;
        while (SDL_PollEvent(&event) == 1)
            if (Translate(event, out))
                return true;
        return false;
    }
};

SdlEventSource sdlSource;
std::atomic<IEventSource*> current{nullptr};

} // namespace

IEventSource& EventSource()
{
    IEventSource* source = current.load(std::memory_order_acquire);
    return source ? *source : sdlSource;
}

void SetEventSource(IEventSource* source) { current.store(source, std::memory_order_release); }

} // namespace plat
