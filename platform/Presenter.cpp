#include "platform/Presenter.h"

#include <algorithm>

namespace plat {

PixelRect FitToOutput(const PixelRect& rect, int displayWidth, int displayHeight, int outputWidth, int outputHeight)
{
    const double scale = std::min(double(outputWidth) / std::max(displayWidth, 1),
                                  double(outputHeight) / std::max(displayHeight, 1));
    const double left = (outputWidth - displayWidth * scale) / 2.0;
    const double top = (outputHeight - displayHeight * scale) / 2.0;
    return {int(left + rect.x * scale), int(top + rect.y * scale), int(rect.width * scale), int(rect.height * scale)};
}

HeadlessPresenter::HeadlessPresenter() { desktop = {1024, 768, PixelFormat::XRGB8888(), 60}; }

bool HeadlessPresenter::Desktop(DesktopMode* out)
{
    *out = desktop;
    return true;
}

bool HeadlessPresenter::SetClientSize(int width, int height)
{
    clientWidth = width;
    clientHeight = height;
    return true;
}

bool HeadlessPresenter::SetFullScreen(bool on)
{
    if (on && failFullScreen) {
        error_ = "SDL_SetWindowFullscreen: refused";
        return false;
    }
    fullScreen = on;
    return true;
}

bool HeadlessPresenter::Start(int, int, const PixelFormat& format, int displayWidth, int displayHeight)
{
    if (failStart) {
        error_ = "SDL_CreateRenderer: no renderer";
        return false;
    }
    started = true;
    format_ = format;
    displayWidth_ = displayWidth;
    displayHeight_ = displayHeight;
    shown_.reset();
    return true;
}

void HeadlessPresenter::Stop()
{
    started = false;
    shown_.reset();
}

bool HeadlessPresenter::Present(Surface& frame, const PixelRect& from, const PixelRect& to)
{
    if (!started) {
        error_ = "SDL_RenderPresent: not started";
        return false;
    }
    auto display = std::make_unique<Surface>(displayWidth_, displayHeight_, format_);
    if (!display->Blt(to, frame, from, false)) {
        error_ = "SDL_RenderCopy: the frame does not fit the display";
        return false;
    }
    shown_ = std::move(display);
    lastFrom = from;
    lastTo = to;
    ++presents;
    return true;
}

uint32_t HeadlessPresenter::ShownPixel(int x, int y) const { return shown_ ? shown_->PixelAt(x, y) : 0; }

} // namespace plat
