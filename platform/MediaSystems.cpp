#include "platform/MediaSystems.h"

#include <SDL.h>

namespace plat {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_TIMER;

} // namespace

bool MediaSystems::Start()
{
    if (started_)
        return true;
    // Counted per subsystem, so two owners in one process do not shut each other down.
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    started_ = true;
    return true;
}

MediaSystems::~MediaSystems()
{
    if (started_)
        SDL_QuitSubSystem(kSubsystems);
}

} // namespace plat
