#pragma once
// Tests of a real window live in folders named "onscreen" and run on a virtual X display
// (xvfb-run); where there is none, they run without one and skip.
#include <cstdlib>
#include <string_view>

inline bool OnVirtualDisplay()
{
    const char* video = std::getenv("SDL_VIDEODRIVER");
    return video && std::string_view(video) == "x11";
}
