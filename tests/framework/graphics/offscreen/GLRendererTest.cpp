// Drawing with the graphics card through a GL renderer of a hidden window: the blend modes the
// software renderer refuses, and the masked draw built on them.
#include "framework/graphics/AcceleratedFixtures.h"

#include <memory>

namespace NubraTest {
namespace {

struct GLCard : ::testing::Test {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<plat::SdlGpu> gpu;
    std::unique_ptr<AcceleratedDisplay> screen;

    void SetUp() override
    {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            GTEST_SKIP() << "no video: " << SDL_GetError();
        window = SDL_CreateWindow("card", 0, 0, 64, 64, SDL_WINDOW_HIDDEN);
        renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        if (!renderer)
            GTEST_SKIP() << "no GL context: " << SDL_GetError();
        gpu = std::make_unique<plat::SdlGpu>(renderer);
    }
    void TearDown() override
    {
        screen.reset();
        gpu.reset();
        if (renderer)
            SDL_DestroyRenderer(renderer);
        if (window)
            SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    void Start(int width, int height)
    {
        screen = std::make_unique<AcceleratedDisplay>(gpu.get(), width, height);
        ASSERT_EQ(screen->display->Init(nullptr, true), RESULT_OK) << screen->display->errorText;
    }
    uint32_t At(const std::vector<uint32_t>& frame, int x, int y) const
    {
        return frame[size_t(y) * size_t(screen->d3d().width) + size_t(x)] & 0xFFFFFF;
    }
    // The mask's matrix follows the image's, both placed at (4, 4).
    void DrawMasked(MemoryImage& image, MemoryImage& mask, const Rect& maskSource, int drawMode)
    {
        Matrix3 place;
        place.Translate(4, 4);
        ImageMask through{&mask, maskSource, Rect(2, 2, 0, 0), place};
        screen->d3d().BltTransformed(&image, nullptr, Color::White, drawMode, Rect(0, 0, image.width, image.height),
                                     place, false, 0, 0, false, &through);
    }
};

TEST_F(GLCard, TheDriverNamesItselfAndTakesCustomBlends)
{
    const plat::GpuInfo info = gpu->Info();
    EXPECT_TRUE(info.targetTextures);
    EXPECT_TRUE(gpu->SupportsBlend(plat::GpuBlend::MultiplyDestAlpha));
    if (info.name == "opengl" || info.name == "opengles2") {
        EXPECT_FALSE(gpu->DriverString(plat::GpuString::Renderer).empty());
        EXPECT_NE(gpu->DriverString(plat::GpuString::Vendor), info.name);
    }
}

TEST_F(GLCard, AOneToOneBlitAtWholeCoordinatesReproducesTheTexelsEvenFilteredLinearly)
{
    Start(12, 6);
    const std::vector<uint32_t> texels = {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0, 0xFF0F1E2D};
    auto image = screen->Picture(texels, 3);
    screen->d3d().Blt(image.get(), 5, 3, Rect(0, 0, 3, 2), Color::White, DRAWMODE_NORMAL, true);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 12; ++x) {
            const bool inside = x >= 5 && x < 8 && y >= 3 && y < 5;
            EXPECT_EQ(At(frame, x, y), inside ? texels[size_t((y - 3) * 3 + x - 5)] & 0xFFFFFF : 0u) << x << "," << y;
        }
    }
}

TEST_F(GLCard, ALineCoversItsEndPixel)
{
    Start(14, 2);
    screen->d3d().DrawLine(0, 0, 10, 0, Color(255, 255, 255), DRAWMODE_NORMAL);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    EXPECT_EQ(At(frame, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(At(frame, 10, 0), 0xFFFFFFu);
    EXPECT_EQ(At(frame, 11, 0), 0u);
    EXPECT_EQ(At(frame, 5, 1), 0u);
}

TEST_F(GLCard, AFastStretchIsHardEdgedAndASmoothOneFiltersLinearly)
{
    Start(8, 4);
    auto checker = screen->Picture({0xFFFFFFFF, 0xFF000000, 0xFF000000, 0xFFFFFFFF}, 2);
    screen->d3d().StretchBlt(checker.get(), Rect(0, 0, 4, 4), Rect(0, 0, 2, 2), nullptr, Color::White,
                             DRAWMODE_NORMAL, true, false);
    screen->d3d().StretchBlt(checker.get(), Rect(4, 0, 4, 4), Rect(0, 0, 2, 2), nullptr, Color::White,
                             DRAWMODE_NORMAL, false, false);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(At(frame, x, 1), x < 2 ? 0xFFFFFFu : 0u) << x;
    // Linear filtering mixes the two texels at the seam of the smooth copy.
    const uint32_t seam = At(frame, 5, 1) & 0xFF;
    EXPECT_GT(seam, 0x20u);
    EXPECT_LT(seam, 0xE0u);
}

TEST_F(GLCard, AMaskThatDoesNotTurnWithAMirroredImageKeepsItsOwnSides)
{
    Start(16, 16);
    auto image = screen->Picture(std::vector<uint32_t>(64, 0xFFFF0000), 8);
    std::vector<uint32_t> maskTexels(16);
    for (int i = 0; i < 16; ++i)
        maskTexels[size_t(i)] = i % 4 < 2 ? 0xFFFFFFFF : 0x00FFFFFF;
    auto mask = screen->Picture(maskTexels, 4);
    Matrix3 mirrored;
    mirrored.Translate(-8, 0);
    mirrored.Scale(-1, 1);
    mirrored.Translate(4, 4);
    Matrix3 placed;
    placed.Translate(4, 4);
    ImageMask through{mask.get(), Rect(0, 0, 4, 4), Rect(2, 2, 0, 0), placed};
    screen->d3d().BltTransformed(image.get(), nullptr, Color::White, DRAWMODE_NORMAL, Rect(0, 0, 8, 8), mirrored,
                                 false, 0, 0, false, &through);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    // The mask lies at (6, 6)-(10, 10), its opaque half on the left.
    EXPECT_EQ(At(frame, 7, 7), 0xFF0000u);
    EXPECT_EQ(At(frame, 6, 9), 0xFF0000u);
    for (auto [x, y] : {std::pair{9, 7}, {5, 5}, {11, 7}, {7, 11}, {7, 5}})
        EXPECT_EQ(At(frame, x, y), 0u) << x << "," << y;
}

TEST_F(GLCard, AMaskedDrawShowsTheImageOnlyWhereTheMaskCoversItTimesItsAlpha)
{
    Start(16, 16);
    auto image = screen->Picture(std::vector<uint32_t>(64, 0xFFFF0000), 8);
    // Left half opaque, right half half transparent.
    std::vector<uint32_t> maskTexels(16);
    for (int i = 0; i < 16; ++i)
        maskTexels[size_t(i)] = i % 4 < 2 ? 0xFFFFFFFF : 0x80FFFFFF;
    auto mask = screen->Picture(maskTexels, 4);
    DrawMasked(*image, *mask, Rect(0, 0, 4, 4), DRAWMODE_NORMAL);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    // The image covers (4, 4)-(12, 12); the mask (6, 6)-(10, 10).
    EXPECT_EQ(At(frame, 7, 7), 0xFF0000u);
    EXPECT_TRUE(Near(At(frame, 9, 9), 0x800000, 2)) << std::hex << At(frame, 9, 9);
    for (auto [x, y] : {std::pair{5, 5}, {11, 11}, {7, 11}, {10, 7}, {6, 5}})
        EXPECT_EQ(At(frame, x, y), 0u) << x << "," << y;
}

TEST_F(GLCard, AnAdditiveMaskedDrawAddsAndAnEmptyMaskDrawsNothing)
{
    Start(16, 16);
    screen->d3d().FillRect(Rect(0, 0, 16, 16), Color(0, 0, 255), DRAWMODE_NORMAL);
    auto image = screen->Picture(std::vector<uint32_t>(64, 0xFFFF0000), 8);
    auto mask = screen->Picture(std::vector<uint32_t>(16, 0xFFFFFFFF), 4);
    DrawMasked(*image, *mask, Rect(0, 0, 4, 4), DRAWMODE_ADDITIVE);
    DrawMasked(*image, *mask, Rect(0, 0, 0, 4), DRAWMODE_NORMAL);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    EXPECT_EQ(At(frame, 7, 7), 0xFF00FFu);
    EXPECT_EQ(At(frame, 5, 5), 0x0000FFu);
}

TEST_F(GLCard, EachPieceOfAMaskedImageIsDrawnOnceUpToItsOwnEdge)
{
    Start(200, 8);
    std::vector<uint32_t> texels(190 * 4);
    for (size_t i = 0; i < texels.size(); ++i)
        texels[i] = i % 190 < 128 ? 0xFFFF0000 : 0xFF0000FF;
    auto image = screen->Picture(texels, 190);
    auto mask = screen->Picture(std::vector<uint32_t>(190 * 4, 0x80FFFFFF), 190);
    Matrix3 none;
    ImageMask through{mask.get(), Rect(0, 0, 190, 4), Rect(0, 0, 0, 0), none};
    screen->d3d().BltTransformed(image.get(), nullptr, Color::White, DRAWMODE_NORMAL, Rect(0, 0, 190, 4), none,
                                 false, 0, 0, false, &through);
    const std::vector<uint32_t> frame = ReadFrame(screen->d3d());
    EXPECT_TRUE(Near(At(frame, 127, 1), 0x800000, 2)) << std::hex << At(frame, 127, 1);
    EXPECT_TRUE(Near(At(frame, 128, 1), 0x000080, 2)) << std::hex << At(frame, 128, 1) << ": blended once";
    EXPECT_TRUE(Near(At(frame, 189, 1), 0x000080, 2)) << std::hex << At(frame, 189, 1);
    EXPECT_EQ(At(frame, 190, 1), 0u);
}

} // namespace
} // namespace NubraTest
