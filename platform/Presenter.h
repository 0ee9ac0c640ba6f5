#pragma once
#include "platform/Surface.h"

#include <memory>
#include <string>

struct SDL_Renderer;

namespace plat {

class Gpu;

// The desktop the game's window lives on.
struct DesktopMode {
    int width = 0;
    int height = 0;
    PixelFormat format; // bitsPerPixel counts the bytes of a pixel: 24-bit colour in 32 bits is 32
    int refreshRate = 0; // Hz; 0 when unknown
};

// Where a rectangle of a display of displayWidth x displayHeight lands on an output of another
// size: the display is scaled to fit, keeping its shape, and centred.
PixelRect FitToOutput(const PixelRect& rect, int displayWidth, int displayHeight, int outputWidth, int outputHeight);

// Shows finished frames on the display: in a window, or full screen on the desktop (the desktop
// keeps its mode; the frame is scaled). Display coordinates are those of the window's client
// area, or of a full-screen display whose size Start gives; a full-screen display of another
// shape than the desktop's is fitted in, centred.
class Presenter {
public:
    virtual ~Presenter() = default;

    virtual bool Desktop(DesktopMode* out) = 0;
    // The refresh rate of the display the window is on; 0 when unknown.
    virtual int RefreshRate() = 0;
    // Makes the client area width x height, keeping its centre where it was (not left of or
    // above the desktop's corner).
    virtual bool SetClientSize(int width, int height) = 0;
    virtual bool SetFullScreen(bool on) = 0;
    // Prepares to show frames of width x height in `format` on a display of displayWidth x
    // displayHeight. False, with Error() naming the failed step, when that cannot be.
    virtual bool Start(int width, int height, const PixelFormat& format, int displayWidth, int displayHeight) = 0;
    virtual void Stop() = 0;
    virtual void SetVSync(bool on) = 0;
    // Whether the next Start presents through the graphics card; without it no context of the
    // card is made at all. On by default.
    virtual void PreferAcceleration(bool on) = 0;
    // Shows `from` of the frame in `to` of the display, black elsewhere. The frame is locked
    // while it is read.
    virtual bool Present(Surface& frame, const PixelRect& from, const PixelRect& to) = 0;
    // "step: reason" of the last failure.
    virtual const std::string& Error() const = 0;
    // The renderer frames go through, for drawing with the graphics card; null without one.
    virtual SDL_Renderer* Renderer() { return nullptr; }
    // The same renderer for the accelerated drawing path, from Start to Stop; null without one.
    virtual Gpu* GetGpu() { return nullptr; }
};

// A presenter with no window: the presented display stays in memory. Its desktop is whatever
// a test sets.
class HeadlessPresenter : public Presenter {
public:
    HeadlessPresenter();

    bool Desktop(DesktopMode* out) override;
    int RefreshRate() override { return desktop.refreshRate; }
    bool SetClientSize(int width, int height) override;
    bool SetFullScreen(bool on) override;
    bool Start(int width, int height, const PixelFormat& format, int displayWidth, int displayHeight) override;
    void Stop() override;
    void SetVSync(bool on) override { vsync = on; }
    void PreferAcceleration(bool on) override { accelerated = on; }
    bool Present(Surface& frame, const PixelRect& from, const PixelRect& to) override;
    const std::string& Error() const override { return error_; }
    Gpu* GetGpu() override { return gpu; }

    // The last presented display (null before the first present after Start).
    const Surface* Shown() const { return shown_.get(); }
    // A pixel of the last presented display; 0 outside it.
    uint32_t ShownPixel(int x, int y) const;

    DesktopMode desktop; // 1024 x 768, XRGB8888, 60 Hz
    bool fullScreen = false;
    int clientWidth = 0;
    int clientHeight = 0;
    bool vsync = false;
    bool accelerated = true;
    bool started = false;
    int presents = 0;
    PixelRect lastFrom;
    PixelRect lastTo;
    bool failStart = false; // Start fails, as when the system has no renderer
    bool failFullScreen = false;
    Gpu* gpu = nullptr; // what a test draws with the card through; not owned

private:
    int displayWidth_ = 0;
    int displayHeight_ = 0;
    PixelFormat format_;
    std::unique_ptr<Surface> shown_;
    std::string error_;
};

} // namespace plat
