#include "WindowShot.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

bool X11Window(SDL_Window* window, Display** display, Window* handle)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return false;
    *display = info.info.x11.display;
    *handle = info.info.x11.window;
    XSync(*display, False);
    return true;
}

} // namespace

std::vector<uint32_t> WindowShot(SDL_Window* window, int width, int height)
{
    Display* display = nullptr;
    Window handle = 0;
    if (!X11Window(window, &display, &handle))
        return {};
    XImage* shot = XGetImage(display, handle, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!shot)
        return {};
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(uint32_t(XGetPixel(shot, x, y)) & 0xFFFFFF);
    XDestroyImage(shot);
    return pixels;
}

ServerGeometry WindowGeometry(SDL_Window* window)
{
    Display* display = nullptr;
    Window handle = 0;
    XWindowAttributes attributes;
    if (!X11Window(window, &display, &handle) || !XGetWindowAttributes(display, handle, &attributes))
        return {};
    ServerGeometry geometry{0, 0, attributes.width, attributes.height};
    Window child = 0;
    XTranslateCoordinates(display, handle, attributes.root, 0, 0, &geometry.x, &geometry.y, &child);
    return geometry;
}

void ServerClick(SDL_Window* window, int x, int y)
{
    Display* display = nullptr;
    Window handle = 0;
    if (!X11Window(window, &display, &handle))
        return;
    // SDL takes a button's place from the pointer's last motion, not from the button event.
    XWarpPointer(display, None, handle, 0, 0, 0, 0, x, y);
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.display = display;
        event.xbutton.window = handle;
        event.xbutton.root = DefaultRootWindow(display);
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.button = Button1;
        event.xbutton.same_screen = True;
        XSendEvent(display, handle, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XFlush(display);
}
