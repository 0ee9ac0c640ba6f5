#include "platform/WindowPresenter.h"
#include "platform/Window.h"

#include <SDL.h>

#include <algorithm>

namespace plat {

namespace {

SDL_Rect ToSDL(const PixelRect& r) { return SDL_Rect{r.x, r.y, r.width, r.height}; }

} // namespace

WindowPresenter::WindowPresenter(SDL_Window* window) : window_(window) {}

WindowPresenter::~WindowPresenter() { Stop(); }

bool WindowPresenter::Fail(const char* step)
{
    error_ = std::string(step) + ": " + SDL_GetError();
    return false;
}

bool WindowPresenter::Desktop(DesktopMode* out)
{
    int index = SDL_GetWindowDisplayIndex(window_);
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(std::max(index, 0), &mode) != 0)
        return Fail("SDL_GetDesktopDisplayMode");
    int bpp = 0;
    Uint32 red = 0, green = 0, blue = 0, alpha = 0;
    SDL_PixelFormatEnumToMasks(mode.format, &bpp, &red, &green, &blue, &alpha);
    out->width = mode.w;
    out->height = mode.h;
    // A 24-bit colour desktop keeps its pixels in 32 bits.
    out->format = {int(SDL_BYTESPERPIXEL(mode.format)) * 8, red, green, blue};
    out->refreshRate = mode.refresh_rate;
    return true;
}

int WindowPresenter::RefreshRate()
{
    SDL_DisplayMode mode;
    if (SDL_GetWindowDisplayMode(window_, &mode) != 0)
        return 0;
    return mode.refresh_rate;
}

bool WindowPresenter::SetClientSize(int width, int height)
{
    int oldWidth = 0, oldHeight = 0, x = 0, y = 0;
    SDL_GetWindowSize(window_, &oldWidth, &oldHeight);
    SDL_GetWindowPosition(window_, &x, &y);
    SDL_SetWindowSize(window_, width, height);
    SDL_SetWindowPosition(window_, std::max(0, x - (width - oldWidth) / 2), std::max(0, y - (height - oldHeight) / 2));
    return true;
}

bool WindowPresenter::SetFullScreen(bool on)
{
    if (!SetWindowFullScreen(window_, on))
        return Fail("SDL_SetWindowFullscreen");
    return true;
}

bool WindowPresenter::CreateRenderer()
{
    const Uint32 vsync = vsync_ ? SDL_RENDERER_PRESENTVSYNC : 0;
    if (accelerated_)
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | vsync);
    if (!renderer_) {
        // SDL would back the window's surface with a renderer on the card, which brings the
        // card's context and threads back; the window system's own buffer is what we want.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | vsync);
    }
    return renderer_ != nullptr;
}

bool WindowPresenter::Start(int width, int height, const PixelFormat& format, int displayWidth, int displayHeight)
{
    Stop();
    displayWidth_ = displayWidth;
    displayHeight_ = displayHeight;
    if (!CreateRenderer())
        return Fail("SDL_CreateRenderer");
    Uint32 pixelFormat =
        SDL_MasksToPixelFormatEnum(format.bitsPerPixel, format.redMask, format.greenMask, format.blueMask, 0);
    texture_ = SDL_CreateTexture(renderer_, pixelFormat, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!texture_) {
        Fail("SDL_CreateTexture");
        Stop();
        return false;
    }
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeLinear);
    // Drawing with the card is for a renderer on the card; a software one draws no faster than
    // the game's own software drawing.
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_ACCELERATED))
        gpu_ = std::make_unique<SdlGpu>(renderer_);
    return true;
}

void WindowPresenter::Stop()
{
    gpu_.reset();
    if (texture_)
        SDL_DestroyTexture(texture_);
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
}

void WindowPresenter::SetVSync(bool on)
{
    vsync_ = on;
    if (renderer_)
        SDL_RenderSetVSync(renderer_, on ? 1 : 0);
}

bool WindowPresenter::Present(Surface& frame, const PixelRect& from, const PixelRect& to)
{
    if (!texture_) {
        error_ = "SDL_RenderPresent: no renderer";
        return false;
    }
    SurfaceLock lock;
    if (!frame.Lock(&lock)) {
        error_ = "SDL_UpdateTexture: the frame cannot be read";
        return false;
    }
    const SDL_Rect source = ToSDL(from);
    const uint8_t* first = lock.pixels + size_t(from.y) * size_t(lock.pitch) + size_t(from.x) * lock.format.BytesPerPixel();
    const bool uploaded = SDL_UpdateTexture(texture_, &source, first, lock.pitch) == 0;
    frame.Unlock();
    if (!uploaded)
        return Fail("SDL_UpdateTexture");

    // Display coordinates to the renderer's output, which may be larger (full screen, or a
    // window on a scaled desktop), keeping the display's shape.
    int outputWidth = displayWidth_, outputHeight = displayHeight_;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    const SDL_Rect target = ToSDL(FitToOutput(to, displayWidth_, displayHeight_, outputWidth, outputHeight));

    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    if (SDL_RenderClear(renderer_) != 0)
        return Fail("SDL_RenderClear");
    if (SDL_RenderCopy(renderer_, texture_, &source, &target) != 0)
        return Fail("SDL_RenderCopy");
    SDL_RenderPresent(renderer_);
    return true;
}

} // namespace plat
