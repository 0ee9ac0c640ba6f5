#pragma once
// A display driver with a headless presenter, for the driver and surface-image tests.
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/DDInterface.h"
#include "framework/util/StringUtils.h"
#include "platform/Presenter.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace NubraTest {

using namespace Nubra;

// Records what reaches the graphics card's road; its Init succeeds.
struct RecordingD3D : D3DInterface {
    std::vector<std::string> calls;

    bool Init(DDInterface*) override
    {
        gD3DErrorText.clear();
        return true;
    }
    void Blt(Image*, float x, float y, const Rect& src, const Color& color, int mode, bool linear) override
    {
        calls.push_back(StrFormat("Blt %g,%g %d,%d,%d,%d %08x %d %d", x, y, src.x, src.y, src.width, src.height,
                                  color.ToInt(), mode, linear));
    }
    void FillRect(const Rect& r, const Color& color, int mode) override
    {
        calls.push_back(StrFormat("FillRect %d,%d,%d,%d %08x %d", r.x, r.y, r.width, r.height, color.ToInt(), mode));
    }
    void DrawLine(double x1, double y1, double x2, double y2, const Color&, int mode) override
    {
        calls.push_back(StrFormat("DrawLine %g,%g %g,%g %d", x1, y1, x2, y2, mode));
    }
};

struct DisplayTest : ::testing::Test {
    NubraAppBase app;
    plat::HeadlessPresenter* headless = nullptr;
    std::unique_ptr<DDInterface> display;

    DisplayTest()
    {
        display = std::make_unique<DDInterface>(&app);
        auto presenter = std::make_unique<plat::HeadlessPresenter>();
        headless = presenter.get();
        display->UsePresenter(std::move(presenter));
        display->is3D = false;
        app.test3D = app.autoEnable3D = false; // the card test has tests of its own
    }
    ~DisplayTest() override { display.reset(); } // its images before the application

    // A software display of the given desktop format, in a window.
    void Start(const plat::PixelFormat& format = plat::PixelFormat::XRGB8888())
    {
        headless->desktop.format = format;
        ASSERT_EQ(display->Init(nullptr, true), RESULT_OK) << display->errorText;
    }

    // An image of the display made from 0xAARRGGBB pixels, `width` to a row.
    std::unique_ptr<DDImage> Picture(const std::vector<uint32_t>& pixels, int width)
    {
        auto image = std::make_unique<DDImage>(display.get());
        image->SetBits(pixels.data(), width, int(pixels.size()) / width, true);
        return image;
    }

    // The surface's pixels row after row, as stored.
    static std::vector<uint32_t> SurfacePixels(const plat::Surface& surface)
    {
        std::vector<uint32_t> out;
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x)
                out.push_back(surface.PixelAt(x, y));
        return out;
    }
};

} // namespace NubraTest
