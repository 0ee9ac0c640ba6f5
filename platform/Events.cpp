#include "platform/Events.h"

#include <SDL.h>

#include "platform/Replaceable.h"

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

IEventSource& SdlSource()
{
    static SdlEventSource source;
    return source;
}

constinit Replaceable<IEventSource> current(SdlSource);

} // namespace

IEventSource& EventSource() { return current.Get(); }

void SetEventSource(IEventSource* source) { current.Set(source); }

} // namespace plat
