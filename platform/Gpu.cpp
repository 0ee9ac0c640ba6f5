#include "platform/Gpu.h"

#include "platform/Presenter.h"

#include <SDL.h>

#include <algorithm>
#include <cstddef>

namespace plat {

namespace {

class SdlTexture : public GpuTexture {
public:
    SdlTexture(SDL_Texture* texture, int width, int height, GpuFormat format, bool target)
        : GpuTexture(width, height, format, target), handle(texture)
    {
    }
    ~SdlTexture() override { SDL_DestroyTexture(handle); }

    SDL_Texture* const handle;
};

SDL_Texture* Handle(GpuTexture& texture) { return static_cast<SdlTexture&>(texture).handle; }

Uint32 SdlFormat(GpuFormat format)
{
    switch (format) {
    case GpuFormat::ARGB4444:
        return SDL_PIXELFORMAT_ARGB4444;
    case GpuFormat::RGB565:
        return SDL_PIXELFORMAT_RGB565;
    case GpuFormat::ARGB8888:
        break;
    }
    return SDL_PIXELFORMAT_ARGB8888;
}

SDL_BlendMode SdlBlend(GpuBlend blend)
{
    switch (blend) {
    case GpuBlend::None:
        return SDL_BLENDMODE_NONE;
    case GpuBlend::Add:
        return SDL_BLENDMODE_ADD;
    case GpuBlend::MultiplyDestAlpha:
        return SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ZERO, SDL_BLENDOPERATION_ADD,
                                          SDL_BLENDFACTOR_DST_ALPHA, SDL_BLENDFACTOR_ZERO, SDL_BLENDOPERATION_ADD);
    case GpuBlend::Sum:
        return SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                          SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
    case GpuBlend::Blend:
        break;
    }
    return SDL_BLENDMODE_BLEND;
}

SDL_Rect ToSDL(const PixelRect& r) { return SDL_Rect{r.x, r.y, r.width, r.height}; }

int WatchResets(void* gpu, SDL_Event* event)
{
    if (event->type == SDL_RENDER_TARGETS_RESET || event->type == SDL_RENDER_DEVICE_RESET)
        static_cast<SdlGpu*>(gpu)->NoteReset(event->type == SDL_RENDER_DEVICE_RESET);
    return 1;
}

} // namespace

SdlGpu::SdlGpu(SDL_Renderer* renderer) : renderer_(renderer) { SDL_AddEventWatch(WatchResets, this); }

SdlGpu::~SdlGpu() { SDL_DelEventWatch(WatchResets, this); }

bool SdlGpu::Fail(const char* step)
{
    error_ = std::string(step) + ": " + SDL_GetError();
    return false;
}

void SdlGpu::NoteReset(bool device)
{
    (device ? deviceReset_ : targetsReset_).store(true, std::memory_order_release);
}

GpuResets SdlGpu::TakeResets()
{
    GpuResets resets;
    resets.targets = targetsReset_.exchange(false, std::memory_order_acq_rel);
    resets.device = deviceReset_.exchange(false, std::memory_order_acq_rel);
    return resets;
}

GpuInfo SdlGpu::Info()
{
    GpuInfo info;
    SDL_RendererInfo sdl;
    if (SDL_GetRendererInfo(renderer_, &sdl) != 0) {
        Fail("SDL_GetRendererInfo");
        return info;
    }
    info.name = sdl.name ? sdl.name : "";
    info.accelerated = (sdl.flags & SDL_RENDERER_ACCELERATED) != 0;
    info.targetTextures = (sdl.flags & SDL_RENDERER_TARGETTEXTURE) != 0;
    info.maxTextureWidth = sdl.max_texture_width;
    info.maxTextureHeight = sdl.max_texture_height;
    for (GpuFormat format : {GpuFormat::ARGB8888, GpuFormat::ARGB4444, GpuFormat::RGB565}) {
        const Uint32* first = sdl.texture_formats;
        const Uint32* end = first + sdl.num_texture_formats;
        if (std::find(first, end, SdlFormat(format)) != end)
            info.nativeFormats.push_back(format);
    }
    return info;
}

std::string SdlGpu::DriverString(GpuString which)
{
    SDL_RendererInfo sdl;
    if (SDL_GetRendererInfo(renderer_, &sdl) != 0 || !sdl.name)
        return "";
    const std::string name = sdl.name;
    if (name != "opengl" && name != "opengles2")
        return name;
    using GetString = const unsigned char* (*)(unsigned int);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    constexpr unsigned int kVendor = 0x1F00, kRenderer = 0x1F01, kVersion = 0x1F02;
    const unsigned int id = which == GpuString::Vendor ? kVendor : which == GpuString::Renderer ? kRenderer : kVersion;
    const unsigned char* text = getString ? getString(id) : nullptr;
    return text ? reinterpret_cast<const char*>(text) : name;
}

std::unique_ptr<GpuTexture> SdlGpu::CreateTexture(GpuFormat format, int width, int height)
{
    SDL_Texture* texture = SDL_CreateTexture(renderer_, SdlFormat(format), SDL_TEXTUREACCESS_STATIC, width, height);
    if (!texture) {
        Fail("SDL_CreateTexture");
        return nullptr;
    }
    return std::make_unique<SdlTexture>(texture, width, height, format, false);
}

std::unique_ptr<GpuTexture> SdlGpu::CreateTarget(int width, int height)
{
    SDL_Texture* texture =
        SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height);
    if (!texture) {
        Fail("SDL_CreateTexture");
        return nullptr;
    }
    auto made = std::make_unique<SdlTexture>(texture, width, height, GpuFormat::ARGB8888, true);
    SDL_Texture* previous = SDL_GetRenderTarget(renderer_);
    const bool cleared = SetTarget(made.get()) && Clear(0);
    SDL_SetRenderTarget(renderer_, previous);
    return cleared ? std::move(made) : nullptr;
}

bool SdlGpu::Upload(GpuTexture& texture, const void* pixels, int pitch)
{
    return Check(SDL_UpdateTexture(Handle(texture), nullptr, pixels, pitch), "SDL_UpdateTexture");
}

bool SdlGpu::SetLinear(GpuTexture& texture, bool linear)
{
    const SDL_ScaleMode wanted = linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest;
    SDL_ScaleMode current = SDL_ScaleModeNearest;
    if (SDL_GetTextureScaleMode(Handle(texture), &current) == 0 && current == wanted)
        return true;
    // The renderer reads a texture's filter when it runs its queue: draws already queued keep
    // theirs only if they run first.
    return Check(SDL_RenderFlush(renderer_), "SDL_RenderFlush")
           && Check(SDL_SetTextureScaleMode(Handle(texture), wanted), "SDL_SetTextureScaleMode");
}

bool SdlGpu::SupportsBlend(GpuBlend blend)
{
    int& known = blendSupport_[int(blend)];
    if (known == 0) {
        // A renderer refuses a mode it cannot draw when a texture is given it.
        SDL_Texture* probe = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
        known = probe && SDL_SetTextureBlendMode(probe, SdlBlend(blend)) == 0 ? 1 : -1;
        if (probe)
            SDL_DestroyTexture(probe);
    }
    return known > 0;
}

bool SdlGpu::SetTarget(GpuTexture* target)
{
    return Check(SDL_SetRenderTarget(renderer_, target ? Handle(*target) : nullptr), "SDL_SetRenderTarget");
}

bool SdlGpu::SetViewport(const PixelRect& rect)
{
    const SDL_Rect viewport = ToSDL(rect);
    return Check(SDL_RenderSetViewport(renderer_, &viewport), "SDL_RenderSetViewport");
}

bool SdlGpu::Clear(uint32_t argb)
{
    return Check(SDL_SetRenderDrawColor(renderer_, Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24)),
                 "SDL_SetRenderDrawColor")
           && Check(SDL_RenderClear(renderer_), "SDL_RenderClear");
}

bool SdlGpu::ApplyBlend(GpuTexture* texture, GpuBlend blend)
{
    if (texture)
        return Check(SDL_SetTextureBlendMode(Handle(*texture), SdlBlend(blend)), "SDL_SetTextureBlendMode");
    return Check(SDL_SetRenderDrawBlendMode(renderer_, SdlBlend(blend)), "SDL_SetRenderDrawBlendMode");
}

bool SdlGpu::DrawGeometry(GpuTexture* texture, const GpuVertex* vertices, int vertexCount, const int* indices,
                          int indexCount, GpuBlend blend)
{
    static_assert(sizeof(GpuVertex) == sizeof(SDL_Vertex));
    static_assert(offsetof(GpuVertex, r) == offsetof(SDL_Vertex, color));
    static_assert(offsetof(GpuVertex, u) == offsetof(SDL_Vertex, tex_coord));
    if (!ApplyBlend(texture, blend))
        return false;
    return Check(SDL_RenderGeometry(renderer_, texture ? Handle(*texture) : nullptr,
                                    reinterpret_cast<const SDL_Vertex*>(vertices), vertexCount, indices, indexCount),
                 "SDL_RenderGeometry");
}

bool SdlGpu::DrawLines(const GpuPoint* points, int count, uint32_t argb, GpuBlend blend)
{
    static_assert(sizeof(GpuPoint) == sizeof(SDL_FPoint));
    return ApplyBlend(nullptr, blend)
           && Check(SDL_SetRenderDrawColor(renderer_, Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb),
                                           Uint8(argb >> 24)),
                    "SDL_SetRenderDrawColor")
           && Check(SDL_RenderDrawLinesF(renderer_, reinterpret_cast<const SDL_FPoint*>(points), count),
                    "SDL_RenderDrawLinesF");
}

bool SdlGpu::Copy(GpuTexture& texture, const PixelRect& from, const PixelRect& to, GpuBlend blend)
{
    const SDL_Rect source = ToSDL(from), target = ToSDL(to);
    return ApplyBlend(&texture, blend)
           && Check(SDL_RenderCopy(renderer_, Handle(texture), &source, &target), "SDL_RenderCopy");
}

bool SdlGpu::ReadPixels(const PixelRect& rect, uint32_t* argb, int pitch)
{
    const SDL_Rect area = ToSDL(rect);
    return Check(SDL_RenderReadPixels(renderer_, &area, SDL_PIXELFORMAT_ARGB8888, argb, pitch),
                 "SDL_RenderReadPixels");
}

bool SdlGpu::Flush() { return Check(SDL_RenderFlush(renderer_), "SDL_RenderFlush"); }

bool SdlGpu::Present(GpuTexture& frame, const PixelRect& from, const PixelRect& to, int displayWidth,
                     int displayHeight)
{
    if (!SetTarget(nullptr))
        return false;
    int outputWidth = displayWidth, outputHeight = displayHeight;
    SDL_GetRendererOutputSize(renderer_, &outputWidth, &outputHeight);
    const PixelRect shown = FitToOutput(to, displayWidth, displayHeight, outputWidth, outputHeight);
    if (!Clear(0xFF000000) || !Copy(frame, from, shown, GpuBlend::None))
        return false;
    SDL_RenderPresent(renderer_);
    return true;
}

} // namespace plat
