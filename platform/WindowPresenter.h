#pragma once
#include "platform/Gpu.h"
#include "platform/Presenter.h"

#include <memory>

struct SDL_Window;
struct SDL_Texture;

namespace plat {

// Presents through one renderer of the game's window (on the graphics card when there is one,
// else in software) and one streaming texture in the frame's format, scaled into the display.
class WindowPresenter : public Presenter {
public:
    explicit WindowPresenter(SDL_Window* window);
    ~WindowPresenter() override;
    WindowPresenter(const WindowPresenter&) = delete;
    WindowPresenter& operator=(const WindowPresenter&) = delete;

    bool Desktop(DesktopMode* out) override;
    int RefreshRate() override;
    bool SetClientSize(int width, int height) override;
    bool SetFullScreen(bool on) override;
    bool Start(int width, int height, const PixelFormat& format, int displayWidth, int displayHeight) override;
    void Stop() override;
    void SetVSync(bool on) override;
    void PreferAcceleration(bool on) override { accelerated_ = on; }
    bool Present(Surface& frame, const PixelRect& from, const PixelRect& to) override;
    const std::string& Error() const override { return error_; }
    SDL_Renderer* Renderer() override { return renderer_; }
    Gpu* GetGpu() override { return gpu_.get(); } // only on an accelerated renderer

private:
    bool Fail(const char* step);
    bool CreateRenderer();

    SDL_Window* window_;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    std::unique_ptr<SdlGpu> gpu_;
    int displayWidth_ = 0;
    int displayHeight_ = 0;
    bool vsync_ = false;
    bool accelerated_ = true;
    std::string error_;
};

} // namespace plat
