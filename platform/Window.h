#pragma once
#include <string>

struct SDL_Window;

namespace plat {

// The program's main window. Created hidden; the application shows it when its loop starts.
class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Replaces any window this object had. The title is UTF-8. False when the system refuses.
    bool Open(const std::string& title, int width, int height);
    void Close();
    bool IsOpen() const { return window_ != nullptr; }

    void Show();
    void Hide();
    // Brings the window back from the task bar and in front of the others.
    void RestoreAndRaise();

    // The refresh rate of the display the window is on; 0 when unknown.
    int RefreshRate() const;

private:
    SDL_Window* window_ = nullptr;
};

// The part of the desktop that windows may use (without panels and docks). False when unknown.
bool UsableDesktopSize(int* width, int* height);

} // namespace plat
