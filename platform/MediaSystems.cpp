#include "platform/MediaSystems.h"

#include <SDL.h>

#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>

namespace plat {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_TIMER;
// A closed terminal and the quit key of one end the run as SIGTERM does: in order, saving.
constexpr int kSignalsLikeTerminate[] = {SIGHUP, SIGQUIT};

bool IsSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// SDL would fall back on its invisible drivers, and the game would run where nobody sees it.
bool DisplayMissing() { return !IsSet("SDL_VIDEODRIVER") && !IsSet("DISPLAY") && !IsSet("WAYLAND_DISPLAY"); }

void Terminate(int) { ::kill(::getpid(), SIGTERM); }

} // namespace

bool MediaSystems::Start()
{
    if (started_)
        return true;
    if (DisplayMissing()) {
        error_ = "no display was found (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    // A closed window is its own message; a quit request then only comes from outside (signals).
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    // Counted per subsystem, so two owners in one process do not shut each other down.
    if (SDL_InitSubSystem(kSubsystems) != 0) {
        error_ = SDL_GetError();
        return false;
    }
    started_ = true;
    ForwardSignals();
    return true;
}

// Only where SDL has made SIGTERM a quit request, and only signals nobody else handles.
void MediaSystems::ForwardSignals()
{
    struct sigaction terminate {};
    if (sigaction(SIGTERM, nullptr, &terminate) != 0 || terminate.sa_handler == SIG_DFL
        || terminate.sa_handler == SIG_IGN)
        return;
    for (size_t i = 0; i < std::size(kSignalsLikeTerminate); ++i) {
        struct sigaction forward {};
        forward.sa_handler = Terminate;
        sigemptyset(&forward.sa_mask);
        struct sigaction& previous = previous_[i];
        if (sigaction(kSignalsLikeTerminate[i], nullptr, &previous) == 0 && previous.sa_handler == SIG_DFL)
            forwarded_[i] = sigaction(kSignalsLikeTerminate[i], &forward, nullptr) == 0;
    }
}

MediaSystems::~MediaSystems()
{
    for (size_t i = 0; i < std::size(kSignalsLikeTerminate); ++i)
        if (forwarded_[i])
            sigaction(kSignalsLikeTerminate[i], &previous_[i], nullptr);
    if (started_)
        SDL_QuitSubSystem(kSubsystems);
}

std::string VideoDriverName()
{
    const char* name = SDL_GetCurrentVideoDriver();
    return name ? name : "";
}

} // namespace plat
