#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>

namespace plat {

WindowRect PlaceWindow(const WindowRect& usable, const WindowBorders& borders, int width, int height, int preferredX,
                       int preferredY, int margin)
{
    const int outerWidth = width + borders.left + borders.right;
    const int outerHeight = height + borders.top + borders.bottom;
    if (preferredX == -1 || preferredY == -1)
        return {usable.x + (usable.width - outerWidth) / 2 + borders.left,
                usable.y + (usable.height - outerHeight) / 2 + borders.top, width, height};
    auto keepInside = [margin](int outer, int outerSize, int areaStart, int areaSize, int frontBorder) {
        outer = std::min(outer, areaStart + areaSize - margin - outerSize);
        outer = std::max(outer, areaStart + margin);
        return outer + frontBorder;
    };
    return {keepInside(preferredX, outerWidth, usable.x, usable.width, borders.left),
            keepInside(preferredY, outerHeight, usable.y, usable.height, borders.top), width, height};
}

bool SetWindowFullScreen(SDL_Window* window, bool fullScreen)
{
    SDL_Rect display;
    const bool alreadyFullScreen = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    if (fullScreen && !alreadyFullScreen
        && SDL_GetDisplayBounds(std::max(SDL_GetWindowDisplayIndex(window), 0), &display) == 0) {
        SDL_SetWindowPosition(window, display.x, display.y);
        SDL_SetWindowSize(window, display.w, display.h);
    }
    return SDL_SetWindowFullscreen(window, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) == 0;
}

Window::~Window() { Close(); }

bool Window::Open(const std::string& title, int width, int height)
{
    if (window_) {
        SDL_SetWindowTitle(window_, title.c_str());
        return true;
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_HIDDEN);
    return window_ != nullptr;
}

void Window::Close()
{
    CaptureMouse(false);
    if (window_)
        SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void Window::SetFullScreen(bool fullScreen)
{
    if (window_ && fullScreen != IsFullScreen())
        SetWindowFullScreen(window_, fullScreen);
}

bool Window::IsFullScreen() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0; }

void Window::SetClientSize(int width, int height)
{
    if (window_)
        SDL_SetWindowSize(window_, width, height);
}

void Window::MoveTo(int x, int y)
{
    if (window_)
        SDL_SetWindowPosition(window_, x, y);
}

WindowRect Window::ClientRect() const
{
    WindowRect rect;
    if (window_) {
        SDL_GetWindowPosition(window_, &rect.x, &rect.y);
        SDL_GetWindowSize(window_, &rect.width, &rect.height);
    }
    return rect;
}

WindowRect Window::FrameCorner() const
{
    WindowRect client = ClientRect();
    WindowBorders borders = Borders();
    return {client.x - borders.left, client.y - borders.top, 0, 0};
}

WindowBorders Window::Borders() const
{
    WindowBorders borders;
    if (!window_ || SDL_GetWindowBordersSize(window_, &borders.top, &borders.left, &borders.bottom, &borders.right) != 0)
        return {};
    return borders;
}

void Window::Show(bool activate)
{
    if (!window_)
        return;
    SDL_ShowWindow(window_);
    if (activate)
        SDL_RaiseWindow(window_);
}

void Window::Hide()
{
    CaptureMouse(false);
    if (window_)
        SDL_HideWindow(window_);
}

bool Window::IsShown() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_SHOWN) != 0; }

bool Window::IsMinimised() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED) != 0; }

bool Window::IsMaximised() const { return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_MAXIMIZED) != 0; }

bool Window::HasInputFocus() const
{
    return window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void Window::RestoreAndRaise()
{
    if (!window_)
        return;
    if (IsMinimised())
        SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
}

void Window::CaptureMouse(bool capture)
{
    if (capture == captured_)
        return;
    captured_ = capture;
    // Not every video driver can capture; the game works without it.
    SDL_CaptureMouse(capture ? SDL_TRUE : SDL_FALSE);
}

int Window::RefreshRate() const
{
    SDL_DisplayMode mode;
    if (!window_ || SDL_GetWindowDisplayMode(window_, &mode) != 0)
        return 0;
    return mode.refresh_rate;
}

bool UsableDesktop(WindowRect* area)
{
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0)
        return false;
    *area = {bounds.x, bounds.y, bounds.w, bounds.h};
    return true;
}

bool UsableDesktopSize(int* width, int* height)
{
    WindowRect area;
    if (!UsableDesktop(&area))
        return false;
    *width = area.width;
    *height = area.height;
    return true;
}

void AllowScreenSaver(bool allow)
{
    if (allow)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

} // namespace plat
