#include "platform/Window.h"

#include <SDL.h>

namespace plat {

Window::~Window() { Close(); }

bool Window::Open(const std::string& title, int width, int height)
{
    Close();
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                               SDL_WINDOW_HIDDEN);
    return window_ != nullptr;
}

void Window::Close()
{
    if (window_)
        SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void Window::Show()
{
    if (!window_)
        return;
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

void Window::Hide()
{
    if (window_)
        SDL_HideWindow(window_);
}

void Window::RestoreAndRaise()
{
    if (!window_)
        return;
    if (SDL_GetWindowFlags(window_) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(window_);
    SDL_RaiseWindow(window_);
}

int Window::RefreshRate() const
{
    SDL_DisplayMode mode;
    if (!window_ || SDL_GetWindowDisplayMode(window_, &mode) != 0)
        return 0;
    return mode.refresh_rate;
}

bool UsableDesktopSize(int* width, int* height)
{
    SDL_Rect bounds;
    if (SDL_GetDisplayUsableBounds(0, &bounds) != 0)
        return false;
    *width = bounds.w;
    *height = bounds.h;
    return true;
}

} // namespace plat
