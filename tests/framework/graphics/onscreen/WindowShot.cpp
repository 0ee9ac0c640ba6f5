#include "WindowShot.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

std::vector<uint32_t> WindowShot(SDL_Window* window, int width, int height)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return {};
    Display* display = info.info.x11.display;
    XSync(display, False);
    XImage* shot = XGetImage(display, info.info.x11.window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!shot)
        return {};
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(uint32_t(XGetPixel(shot, x, y)) & 0xFFFFFF);
    XDestroyImage(shot);
    return pixels;
}
