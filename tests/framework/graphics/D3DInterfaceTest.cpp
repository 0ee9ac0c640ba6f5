#include "AcceleratedFixtures.h"

#include <algorithm>
#include <cmath>

namespace NubraTest {
namespace {

// The card is SDL's software renderer: its pixels are read back exactly.
struct SoftwareCard : ::testing::Test {
    std::unique_ptr<SoftwareRenderer> renderer;
    std::unique_ptr<plat::SdlGpu> gpu;
    std::unique_ptr<AcceleratedDisplay> screen;

    void Start(int width, int height)
    {
        renderer = std::make_unique<SoftwareRenderer>(width, height);
        ASSERT_NE(renderer->renderer, nullptr) << SDL_GetError();
        gpu = std::make_unique<plat::SdlGpu>(renderer->renderer);
        screen = std::make_unique<AcceleratedDisplay>(gpu.get(), width, height);
        ASSERT_EQ(screen->display->Init(nullptr, true), RESULT_OK) << screen->display->errorText;
    }
    ~SoftwareCard() override
    {
        screen.reset();
        gpu.reset();
    }
    uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const
    {
        return frame[size_t(y) * size_t(screen->d3d().width) + size_t(x)];
    }
};

TEST_F(SoftwareCard, AOneToOneBlitAtWholeCoordinatesReproducesTheTexels)
{
    Start(12, 6);
    const std::vector<uint32_t> texels = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF0F1E2D};
    auto image = screen->Picture(texels, 3);
    for (bool linear : {false, true}) {
        screen->d3d().FillRect(Rect(0, 0, 12, 6), Color(0, 0, 0), DRAWMODE_NORMAL);
        screen->d3d().Blt(image.get(), 5, 3, Rect(0, 0, 3, 2), Color::White, DRAWMODE_NORMAL, linear);
        const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= 5 && x < 8 && y >= 3 && y < 5;
                const uint32_t expected = inside ? texels[size_t((y - 3) * 3 + x - 5)] : 0xFF000000;
                EXPECT_EQ(At(frame, x, y), expected) << x << "," << y << " linear " << linear;
            }
        }
    }
}

TEST_F(SoftwareCard, NormalDrawsBlendAndAdditiveDrawsAddTheSourceTimesItsAlpha)
{
    Start(4, 1);
    screen->d3d().FillRect(Rect(0, 0, 4, 1), Color(0, 0, 255), DRAWMODE_NORMAL);
    auto half = screen->Picture({0x80FF0000, 0x80804000}, 2);
    screen->d3d().Blt(half.get(), 0, 0, Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL, false);
    screen->d3d().Blt(half.get(), 1, 0, Rect(1, 0, 1, 1), Color::White, DRAWMODE_ADDITIVE, false);
    screen->d3d().FillRect(Rect(2, 0, 1, 1), Color(255, 0, 0, 128), DRAWMODE_NORMAL);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    // The renderer rounds its own way; the stored alpha does not show on the screen.
    for (auto [x, expected] : {std::pair{0, 0xFF80007Fu}, {1, 0xFF4020FFu}, {2, 0xFF80007Fu}})
        EXPECT_TRUE(Near(At(frame, x, 0) | 0xFF000000, expected, 2)) << std::hex << At(frame, x, 0);
    EXPECT_EQ(At(frame, 3, 0), 0xFF0000FFu);
}

TEST_F(SoftwareCard, AFastStretchIsHardEdgedAndAMirroredOneStartsAtTheRight)
{
    Start(130, 36);
    auto checker = screen->Picture({0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF}, 2);
    screen->d3d().StretchBlt(checker.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), nullptr, Color::White,
                             DRAWMODE_NORMAL, true, false);
    std::vector<uint32_t> column0(64 * 32, 0xFF0000FF);
    for (int y = 0; y < 32; ++y)
        column0[size_t(y) * 64] = 0xFFFF0000;
    auto strip = screen->Picture(column0, 64);
    screen->d3d().StretchBlt(strip.get(), Rect(0, 4, 128, 32), Rect(0, 0, 64, 32), nullptr, Color::White,
                             DRAWMODE_NORMAL, true, true);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(At(frame, x, y), (x / 2 + y / 2) % 2 ? 0xFF000000u : 0xFFFFFFFFu) << x << "," << y;
    EXPECT_EQ(At(frame, 127, 20), 0xFFFF0000u);
    EXPECT_EQ(At(frame, 126, 20), 0xFFFF0000u);
    EXPECT_EQ(At(frame, 125, 20), 0xFF0000FFu);
    EXPECT_EQ(At(frame, 0, 20), 0xFF0000FFu);
    EXPECT_EQ(At(frame, 128, 20), 0xFF000000u);
}

TEST_F(SoftwareCard, ALineCoversItsEndPixel)
{
    Start(14, 2);
    screen->d3d().DrawLine(0, 0, 10, 0, Color(255, 255, 255), DRAWMODE_NORMAL);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    EXPECT_EQ(At(frame, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(frame, 10, 0), 0xFFFFFFFFu);
    EXPECT_EQ(At(frame, 11, 0), 0xFF000000u);
    EXPECT_EQ(At(frame, 5, 1), 0xFF000000u);
}

TEST_F(SoftwareCard, ThePresentShowsTheCardsFrame)
{
    Start(4, 2);
    screen->d3d().FillRect(Rect(1, 0, 2, 2), Color(0, 255, 0), DRAWMODE_NORMAL);
    ASSERT_TRUE(screen->display->Redraw()) << screen->display->errorText;
    const auto* shown = static_cast<const uint32_t*>(renderer->surface->pixels);
    EXPECT_EQ(shown[0] | 0xFF000000, 0xFF000000u);
    EXPECT_EQ(shown[1] | 0xFF000000, 0xFF00FF00u);
    EXPECT_EQ(shown[4 + 2] | 0xFF000000, 0xFF00FF00u);
}

// The card records: what each operation asks of it.
struct RecordedDraws : ::testing::Test {
    plat::RecordingGpu gpu;
    AcceleratedDisplay screen{&gpu, 64, 48};
    std::unique_ptr<MemoryImage> square = screen.Picture(std::vector<uint32_t>(16, 0xFFFFFFFF), 4);

    RecordedDraws()
    {
        EXPECT_EQ(screen.display->Init(nullptr, true), RESULT_OK) << screen.display->errorText;
        screen.app.registryKey = "Accel Tests\\Recorded";
    }
    // The corners of the last draw, in drawing order, without repeats.
    std::vector<std::pair<float, float>> Corners(size_t draw) const
    {
        std::vector<std::pair<float, float>> out;
        for (const plat::GpuVertex& v : gpu.draws.at(draw).corners)
            if (std::find(out.begin(), out.end(), std::make_pair(v.x, v.y)) == out.end())
                out.emplace_back(v.x, v.y);
        return out;
    }
    static std::pair<float, float> CornerAt(const plat::RecordingGpu::Draw& draw, float u, float v)
    {
        for (const plat::GpuVertex& corner : draw.corners)
            if (corner.u == u && corner.v == v)
                return {corner.x, corner.y};
        return {NAN, NAN};
    }
};

TEST_F(RecordedDraws, TheBlitVariantsPlaceTheImageThroughTheirMatrices)
{
    D3DInterface& d3d = screen.d3d();
    d3d.BltF(square.get(), 2.5f, 1, Rect(0, 0, 4, 4), nullptr, Color::White, DRAWMODE_NORMAL);
    d3d.BltMirror(square.get(), 10, 0, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, false);
    d3d.BltRotated(square.get(), 10, 10, nullptr, Color::White, DRAWMODE_NORMAL, M_PI / 2, 2, 2, Rect(0, 0, 4, 4));
    d3d.StretchBlt(square.get(), Rect(20, 0, 8, 2), Rect(0, 0, 4, 4), nullptr, Color::White, DRAWMODE_NORMAL, false,
                   false);
    ASSERT_EQ(gpu.draws.size(), 4u);
    EXPECT_EQ(CornerAt(gpu.draws[0], 0, 0), std::make_pair(2.5f, 1.0f));
    EXPECT_EQ(CornerAt(gpu.draws[0], 1, 1), std::make_pair(6.5f, 5.0f));
    EXPECT_EQ(CornerAt(gpu.draws[1], 0, 0), std::make_pair(14.0f, 0.0f)) << "mirrored: the left edge at the right";
    const auto rotated = CornerAt(gpu.draws[2], 0, 0);
    EXPECT_NEAR(rotated.first, 10, 1e-4);
    EXPECT_NEAR(rotated.second, 14, 1e-4);
    EXPECT_EQ(CornerAt(gpu.draws[3], 1, 1), std::make_pair(28.0f, 2.0f));
}

TEST_F(RecordedDraws, CornersOnOrPastTheClipsFarEdgesGoThroughTheClipper)
{
    const Rect clip(0, 0, 6, 6);
    screen.d3d().BltF(square.get(), 1, 1, Rect(0, 0, 4, 4), &clip, Color::White, DRAWMODE_NORMAL);
    screen.d3d().BltF(square.get(), 2, 2, Rect(0, 0, 4, 4), &clip, Color::White, DRAWMODE_NORMAL);
    const Rect inner(1, 1, 4, 4);
    screen.d3d().BltRotated(square.get(), 1, 1, &inner, Color::White, DRAWMODE_NORMAL, 0.7, 2, 2, Rect(0, 0, 4, 4));
    ASSERT_EQ(gpu.draws.size(), 3u);
    EXPECT_EQ(Corners(0).size(), 4u) << "wholly inside: the plain quad";
    // A corner at (6, 6) lies on the far edges: clipped, to the same square.
    EXPECT_EQ(Corners(1).size(), 4u);
    EXPECT_EQ(CornerAt(gpu.draws[1], 1, 1), std::make_pair(6.0f, 6.0f));
    EXPECT_GT(Corners(2).size(), 4u) << "a turned square cut by the clip";
    for (const auto& [x, y] : Corners(2)) {
        EXPECT_TRUE(x >= 1 && x <= 5 && y >= 1 && y <= 5) << x << "," << y;
    }
}

TEST_F(RecordedDraws, ATriangleOverTwoPiecesIsDrawnOncePerPieceCutToIt)
{
    auto wide = screen.Picture(std::vector<uint32_t>(190 * 4, 0xFFFFFFFF), 190);
    const TriVertex triangle[1][3] = {{{0, 0, 0, 0, 0}, {190, 0, 1, 0, 0}, {0, 4, 0, 1, 0}}};
    screen.d3d().BltTriangles(wide.get(), triangle, 1, Color::White, DRAWMODE_NORMAL, 0, 0, true);
    ASSERT_EQ(gpu.draws.size(), 2u);
    EXPECT_NE(gpu.draws[0].texture, gpu.draws[1].texture);
    for (const plat::RecordingGpu::Draw& draw : gpu.draws) {
        for (const plat::GpuVertex& v : draw.corners) {
            EXPECT_TRUE(v.u > -1e-5f && v.u < 1 + 1e-5f && v.v > -1e-5f && v.v < 1 + 1e-5f) << v.u << "," << v.v;
        }
    }
    // The seam: the first piece ends at texel 128, the second piece starts there.
    float seam = 1000;
    for (const plat::GpuVertex& v : gpu.draws[1].corners)
        seam = std::min(seam, v.x);
    EXPECT_NEAR(seam, 128.5f, 1e-3);
}

TEST_F(RecordedDraws, AMinimisedWindowDrawsNothing)
{
    screen.app.minimized = true;
    screen.d3d().Blt(square.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, false);
    screen.d3d().FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    EXPECT_TRUE(gpu.draws.empty());
}

TEST_F(RecordedDraws, AFailedStepIsRecordedAndTheNextPresentGoesBackToSoftware)
{
    gpu.failing = "DrawGeometry";
    screen.d3d().Blt(square.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, false);
    EXPECT_EQ(gD3DErrorText, "DrawPrimitive (Tri) 1: DrawGeometry: refused");
    uint32_t type = 0;
    uint8_t text[64] = {};
    uint32_t size = sizeof(text);
    ASSERT_TRUE(screen.app.RegistryRead("Test3D\\RuntimeError", &type, text, &size));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(text), size), gD3DErrorText);

    EXPECT_TRUE(screen.display->is3D);
    EXPECT_FALSE(screen.display->Redraw());
    EXPECT_FALSE(screen.display->is3D);
    EXPECT_EQ(gpu.presents, 0);
}

TEST_F(RecordedDraws, ALostDeviceEndsDrawingWithTheCard)
{
    gpu.pendingResets.device = true;
    screen.d3d().FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    EXPECT_TRUE(gpu.draws.empty());
    EXPECT_FALSE(screen.display->Redraw());
    EXPECT_FALSE(screen.display->is3D);
}

TEST_F(RecordedDraws, AFramePresentsTheCardsTargetIntoThePresentationRectangle)
{
    screen.d3d().FillRect(Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL);
    ASSERT_TRUE(screen.display->Redraw());
    EXPECT_EQ(gpu.calls.back(), "Present 1 0,0,64,48 0,0,64,48");
    EXPECT_FALSE(screen.d3d().inScene);
}

TEST_F(RecordedDraws, PointFilteringIsSetOnlyWhenAsked)
{
    screen.d3d().Blt(square.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, true);
    const auto& texture = static_cast<const plat::RecordingGpu::Texture&>(*square->d3dData->pieces[0].texture);
    EXPECT_TRUE(texture.linear);
    screen.d3d().Blt(square.get(), 0, 0, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, false);
    EXPECT_FALSE(texture.linear);
    EXPECT_FALSE(gLinearFilter);
}

TEST_F(RecordedDraws, WithATransformOnTheStackABlitIsTransformed)
{
    Matrix3 shift;
    shift.Translate(5, 0);
    screen.d3d().transformStack.push_back(shift);
    screen.d3d().Blt(square.get(), 1, 1, Rect(0, 0, 4, 4), Color::White, DRAWMODE_NORMAL, false);
    screen.d3d().transformStack.clear();
    ASSERT_EQ(gpu.draws.size(), 1u);
    EXPECT_EQ(CornerAt(gpu.draws[0], 0, 0), std::make_pair(6.0f, 1.0f));
    EXPECT_TRUE(gLinearFilter);
}

TEST_F(RecordedDraws, AMaskedDrawComposesTheMaskAndTheImageAwayFromTheFrame)
{
    auto mask = screen.Picture(std::vector<uint32_t>(4, 0x80FFFFFF), 2);
    Matrix3 place;
    place.Translate(3, 3);
    ImageMask through{mask.get(), Rect(0, 0, 2, 2), Rect(2, 2, 0, 0), place};
    gpu.calls.clear();
    screen.d3d().BltTransformed(square.get(), nullptr, Color::White, DRAWMODE_NORMAL, Rect(0, 0, 4, 4), place, false,
                                0, 0, false, &through);
    ASSERT_EQ(gpu.draws.size(), 2u);
    EXPECT_EQ(gpu.draws[0].blend, plat::GpuBlend::None);
    EXPECT_EQ(gpu.draws[1].blend, plat::GpuBlend::MultiplyDestAlpha);
    // The mask's 2 x 2 at (2, 2) of the image, moved with it by (3, 3).
    EXPECT_EQ(CornerAt(gpu.draws[1], 1, 1), std::make_pair(7.0f, 7.0f));
    EXPECT_EQ(CornerAt(gpu.draws[1], 0.5f, 0.5f), std::make_pair(5.0f, 5.0f)) << "the image's texture under it";
    EXPECT_EQ(gpu.draws[0].corners.front().x, gpu.draws[1].corners.front().x) << "the same polygon twice";
    EXPECT_EQ(gpu.calls.back(), "Copy 4 5,5,2,2 5,5,2,2");

    gpu.draws.clear();
    through.source = Rect(0, 0, 0, 2);
    screen.d3d().BltTransformed(square.get(), nullptr, Color::White, DRAWMODE_NORMAL, Rect(0, 0, 4, 4), place, false,
                                0, 0, false, &through);
    EXPECT_TRUE(gpu.draws.empty()) << "an empty mask covers nothing";
}

} // namespace
} // namespace NubraTest
