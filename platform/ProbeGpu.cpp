#include "platform/ProbeGpu.h"

#include <SDL.h>

#include <algorithm>

namespace plat {

namespace {

constexpr int kProbeSize = 100;
// Free memory in kilobytes: NVIDIA's one value, or the first of AMD's four for textures.
constexpr unsigned int kNvidiaAvailableMemory = 0x9049; // GL_GPU_MEMORY_INFO_CURRENT_AVAILABLE_VIDMEM_NVX
constexpr unsigned int kAtiTextureFreeMemory = 0x87FC;  // GL_TEXTURE_FREE_MEMORY_ATI

} // namespace

ProbeGpu::~ProbeGpu()
{
    gpu_.reset();
    if (renderer_)
        SDL_DestroyRenderer(renderer_);
    if (window_)
        SDL_DestroyWindow(window_);
    if (videoStarted_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool ProbeGpu::Fail(const char* step)
{
    error_ = std::string(step) + ": " + SDL_GetError();
    return false;
}

bool ProbeGpu::Open()
{
    if (gpu_)
        return true;
    if (!videoStarted_) {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            return Fail("SDL_InitSubSystem");
        videoStarted_ = true;
    }
    window_ = SDL_CreateWindow("", SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, kProbeSize, kProbeSize,
                               SDL_WINDOW_HIDDEN);
    if (!window_)
        return Fail("SDL_CreateWindow");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (!renderer_)
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer_)
        return Fail("SDL_CreateRenderer");
    gpu_ = std::make_unique<SdlGpu>(renderer_);
    return true;
}

std::optional<uint64_t> ProbeGpu::FreeVideoMemory()
{
    // The renderer's OpenGL context is the current one once it has drawn.
    if (!renderer_ || SDL_RenderFlush(renderer_) != 0 || !SDL_GL_GetCurrentContext())
        return std::nullopt;
    using GetIntegers = void (*)(unsigned int, int*);
    auto getIntegers = reinterpret_cast<GetIntegers>(SDL_GL_GetProcAddress("glGetIntegerv"));
    if (!getIntegers)
        return std::nullopt;
    int kilobytes[4] = {};
    if (SDL_GL_ExtensionSupported("GL_NVX_gpu_memory_info"))
        getIntegers(kNvidiaAvailableMemory, kilobytes);
    else if (SDL_GL_ExtensionSupported("GL_ATI_meminfo"))
        getIntegers(kAtiTextureFreeMemory, kilobytes);
    else
        return std::nullopt;
    return uint64_t(std::max(kilobytes[0], 0)) * 1024;
}

uint64_t ProbeGpu::DesktopBytes() const
{
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) != 0)
        return 0;
    return uint64_t(mode.w) * uint64_t(mode.h) * uint64_t(SDL_BYTESPERPIXEL(mode.format));
}

} // namespace plat
