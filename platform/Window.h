#pragma once
#include <string>

struct SDL_Window;

namespace plat {

struct WindowRect {
    int x = 0, y = 0, width = 0, height = 0;

    bool operator==(const WindowRect&) const = default;
};

// The window's frame around its client area, in pixels.
struct WindowBorders {
    int top = 0, left = 0, bottom = 0, right = 0;
};

// Where a window's client area of this size goes in the usable desktop: centred when either
// preferred coordinate is -1; else with its frame's top-left corner at the preferred place, moved
// so that the window with its frame stays margin pixels inside every edge (the top-left edges win
// when it cannot fit). The frame's corner is what a window manager places for a window it has not
// framed yet, so saving and restoring that corner keeps the window where it was.
WindowRect PlaceWindow(const WindowRect& usable, const WindowBorders& borders, int width, int height, int preferredX,
                       int preferredY, int margin = 4);

// Full screen covers the display the window is on without changing its mode. The window takes
// the display's place and size first: a window manager that ignores the full-screen state, or no
// manager at all, would leave the window at its own size while SDL reports the display's.
bool SetWindowFullScreen(SDL_Window* window, bool fullScreen);

// The program's main window. Created hidden; the application shows it when its loop starts.
// Switching between windowed and full screen keeps the same window: full screen covers the
// desktop without changing the display mode.
class Window {
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window (of this client size), or gives the existing one this title. The title
    // is UTF-8. False when the system refuses.
    bool Open(const std::string& title, int width, int height);
    void Close();
    bool IsOpen() const { return window_ != nullptr; }
    SDL_Window* Handle() const { return window_; } // for the display's renderer

    void SetFullScreen(bool fullScreen);
    bool IsFullScreen() const;
    // A window again after full screen: some desktops leave it at the size of the screen.
    void SetClientSize(int width, int height);
    void MoveTo(int x, int y); // the client area's top-left corner on the desktop
    WindowRect ClientRect() const;
    WindowRect FrameCorner() const; // the top-left corner of the frame; no size
    WindowBorders Borders() const; // zero until the window manager has framed the window

    // Shown with activate false, the window does not take the keyboard from another program.
    void Show(bool activate = true);
    void Hide();
    bool IsShown() const;
    bool IsMinimised() const;
    bool IsMaximised() const;
    bool HasInputFocus() const;
    // Brings the window back from the task bar and in front of the others.
    void RestoreAndRaise();

    // While captured, the mouse reports to this window even outside it.
    void CaptureMouse(bool capture);
    bool IsMouseCaptured() const { return captured_; }

    // The refresh rate of the display the window is on; 0 when unknown.
    int RefreshRate() const;

private:
    SDL_Window* window_ = nullptr;
    bool captured_ = false;
};

// The part of the desktop that windows may use (without panels and docks). False when unknown.
bool UsableDesktop(WindowRect* area);
bool UsableDesktopSize(int* width, int* height);

// Whether the system's screen saver and display power-saving may start while the game runs.
void AllowScreenSaver(bool allow);

} // namespace plat
