#pragma once
// A display that draws with the card: through a recording Gpu, or through SDL's renderers (the
// software one on a surface, or a window's on a GL driver), with the frame read back.
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/TextureData.h"
#include "platform/Gpu.h"
#include "platform/Presenter.h"
#include "platform/RecordingGpu.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace NubraTest {

using namespace Nubra;

// A display of width x height whose card is `gpu`.
struct AcceleratedDisplay {
    NubraAppBase app;
    std::unique_ptr<DDInterface> display;

    AcceleratedDisplay(plat::Gpu* gpu, int width, int height)
    {
        app.width = width;
        app.height = height;
        app.test3D = app.autoEnable3D = false; // the card test has tests of its own
        display = std::make_unique<DDInterface>(&app);
        auto presenter = std::make_unique<plat::HeadlessPresenter>();
        presenter->gpu = gpu;
        display->UsePresenter(std::move(presenter));
    }
    ~AcceleratedDisplay() { display.reset(); } // its textures before the card

    D3DInterface& d3d() { return *display->d3dInterface; }

    // An image of the application made from 0xAARRGGBB pixels, `width` to a row.
    std::unique_ptr<MemoryImage> Picture(const std::vector<uint32_t>& pixels, int width)
    {
        auto image = std::make_unique<MemoryImage>(&app);
        image->SetBits(pixels.data(), width, int(pixels.size()) / width, true);
        return image;
    }
};

// A software renderer drawing onto a surface of its own; no window.
struct SoftwareRenderer {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;

    SoftwareRenderer(int width, int height)
    {
        surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        renderer = surface ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    }
    ~SoftwareRenderer()
    {
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (surface)
            SDL_FreeSurface(surface);
    }
};

// The frame's pixels (the card's target), row after row.
inline std::vector<uint32_t> ReadFrame(D3DInterface& d3d)
{
    std::vector<uint32_t> pixels(size_t(d3d.width) * size_t(d3d.height));
    d3d.Flush();
    d3d.gpu->SetTarget(d3d.renderTarget.get());
    EXPECT_TRUE(d3d.gpu->ReadPixels({0, 0, d3d.width, d3d.height}, pixels.data(), d3d.width * 4))
        << d3d.gpu->Error();
    return pixels;
}

// Each channel within `tolerance` of the expected one.
inline bool Near(uint32_t actual, uint32_t expected, int tolerance = 1)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int((actual >> shift) & 0xFF), e = int((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance)
            return false;
    }
    return true;
}

} // namespace NubraTest
