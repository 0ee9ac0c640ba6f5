#include "AcceleratedFixtures.h"

#include <cstring>
#include <thread>

namespace NubraTest {
namespace {

// The limits a device with a 2048 maximum gives, restored after each test.
struct TextureLimitsTest : ::testing::Test {
    TextureLimits saved = gTextureLimits;
    TextureLimitsTest()
    {
        gTextureLimits = {1, 1, 2048, 2048, 65536, kTextureA8R8G8B8 | kTextureA4R4G4B4 | kTextureR5G6B5};
    }
    ~TextureLimitsTest() override { gTextureLimits = saved; }

    static std::pair<int, int> Best(int width, int height, bool remainder = false, uint32_t flags = 0)
    {
        D3DInterface::GetBestTextureDimensions(width, height, remainder, true, flags);
        return {width, height};
    }
};

TEST_F(TextureLimitsTest, PieceSizesWasteAtMost64TexelsOrSplitIntoPowersOfTwo)
{
    const std::pair<int, int> table[] = {{0, 1},      {3, 4},      {65, 128},   {190, 128},  {192, 256},
                                         {300, 256},  {384, 256},  {400, 128},  {600, 64},   {700, 128},
                                         {800, 256},  {1000, 1024}, {1100, 64}, {2000, 2048}};
    for (auto [length, size] : table)
        EXPECT_EQ(Best(length, length), std::make_pair(size, size)) << length;
    EXPECT_EQ(Best(3000, 5000), std::make_pair(2048, 2048)) << "the maximum caps";
    EXPECT_EQ(Best(62, 62, true), std::make_pair(64, 64)) << "a remainder rounds up";
    EXPECT_EQ(Best(300, 300, false, TextureFlag_RoundUpPieces), std::make_pair(512, 512));
    EXPECT_EQ(D3DInterface::RoundToPowerOfTwo(-3), 1);
    EXPECT_FALSE(D3DInterface::IsPowerOfTwo(0));
    EXPECT_TRUE(D3DInterface::IsPowerOfTwo(1024));
}

TEST_F(TextureLimitsTest, TheAspectRuleDoublesTheShortSide)
{
    gTextureLimits.maxAspect = 2;
    EXPECT_EQ(Best(256, 16), std::make_pair(256, 128));
    EXPECT_EQ(Best(16, 256), std::make_pair(128, 256));
    // A device that reports no limits: every side 64, square.
    gTextureLimits = TextureLimits();
    EXPECT_EQ(Best(1000, 10), std::make_pair(64, 64));
}

struct Layout {
    int width, height;
    uint32_t flags;
    int columns, rows;
    std::vector<std::pair<int, int>> pieces; // row-major
};

TEST_F(TextureLimitsTest, ImagesAreCutIntoAGridOfPieces)
{
    const Layout layouts[] = {
        {1024, 768, 0, 1, 2, {{1024, 512}, {1024, 256}}},
        {190, 10, 0, 2, 1, {{128, 16}, {64, 16}}},
        {1000, 10, TextureFlag_FixedPieces64, 16, 1, {}},
        {0, 5, 0, 0, 0, {}},
    };
    for (const Layout& layout : layouts) {
        TextureData data;
        data.CreateTextures(layout.width, layout.height, layout.flags);
        EXPECT_EQ(data.columns, layout.columns) << layout.width;
        EXPECT_EQ(data.rows, layout.rows) << layout.width;
        for (size_t i = 0; i < layout.pieces.size(); ++i)
            EXPECT_EQ(std::make_pair(data.pieces[i].width, data.pieces[i].height), layout.pieces[i]) << layout.width;
        if (layout.flags & TextureFlag_FixedPieces64) {
            for (const TexturePiece& piece : data.pieces) {
                EXPECT_EQ(std::make_pair(piece.width, piece.height), std::make_pair(64, 64));
            }
        }
    }
}

// A display drawing through the recording card.
struct RecordedTextures : ::testing::Test {
    plat::RecordingGpu gpu;
    AcceleratedDisplay screen{&gpu, 64, 48};
    TextureLimits saved = gTextureLimits;

    RecordedTextures() { EXPECT_EQ(screen.display->Init(nullptr, true), RESULT_OK) << screen.display->errorText; }
    ~RecordedTextures() override { gTextureLimits = saved; }

    const plat::RecordingGpu::Texture& Texture(const MemoryImage& image, int piece = 0)
    {
        return static_cast<const plat::RecordingGpu::Texture&>(*image.d3dData->pieces[size_t(piece)].texture);
    }
    static uint32_t Texel32(const plat::RecordingGpu::Texture& texture, int x, int y)
    {
        uint32_t texel = 0;
        std::memcpy(&texel, &texture.texels[(size_t(y) * size_t(texture.width) + size_t(x)) * 4], 4);
        return texel;
    }
    static uint16_t Texel16(const plat::RecordingGpu::Texture& texture, int x, int y)
    {
        uint16_t texel = 0;
        std::memcpy(&texel, &texture.texels[(size_t(y) * size_t(texture.width) + size_t(x)) * 2], 2);
        return texel;
    }
};

TEST_F(RecordedTextures, TheFormatFollowsTheImagesAlphaAndFlags)
{
    struct Case {
        const char* what;
        uint32_t pixel;
        uint32_t flags;
        int32_t supported;
        int32_t format;
    };
    const int32_t all = kTextureA8R8G8B8 | kTextureA4R4G4B4 | kTextureR5G6B5;
    const Case cases[] = {
        {"opaque, 565 allowed", 0xFF102030, 0, all, kTextureR5G6B5},
        {"opaque, default flags", 0xFF102030, MemoryImage::TextureFlag_No565, all, kTextureA8R8G8B8},
        {"a transparent pixel", 0x00102030, 0, all, kTextureA8R8G8B8},
        {"prefers 4444", 0x80102030, TextureFlag_Prefer4444, all, kTextureA4R4G4B4},
        {"no 8888 offered", 0x80102030, 0, kTextureA4R4G4B4, kTextureA4R4G4B4},
    };
    for (const Case& c : cases) {
        gTextureLimits.supportedFormats = c.supported;
        auto image = screen.Picture({0xFF000000, c.pixel}, 2);
        image->d3dFlags = c.flags;
        ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get())) << c.what;
        EXPECT_EQ(image->d3dData->format, c.format) << c.what;
    }
}

TEST_F(RecordedTextures, TexelsAreConvertedAndPaddedWithTheLastColumnAndRow)
{
    auto image = screen.Picture({0xFF112233, 0x80FFEEDD, 0xFF000000, 0x12345678, 0xFFFFFFFF, 0x00ABCDEF}, 3);
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    const auto& texture = Texture(*image);
    ASSERT_EQ(std::make_pair(texture.width, texture.height), std::make_pair(4, 2));
    EXPECT_EQ(Texel32(texture, 1, 0), 0x80FFEEDDu);
    EXPECT_EQ(Texel32(texture, 3, 0), 0xFF000000u) << "the padding column repeats the last";
    EXPECT_EQ(Texel32(texture, 3, 1), 0x00ABCDEFu);

    auto odd = screen.Picture({0x80FFEEDD, 0xFF112233, 0xFF445566}, 1);
    odd->d3dFlags = TextureFlag_Prefer4444;
    ASSERT_TRUE(screen.d3d().CreateImageTexture(odd.get()));
    const auto& small = Texture(*odd);
    ASSERT_EQ(small.height, 4);
    EXPECT_EQ(Texel16(small, 0, 0), 0x8FEDu);
    EXPECT_EQ(Texel16(small, 0, 3), 0xF456u) << "the padding row repeats the last";

    auto opaque = screen.Picture({0xFFFF8040}, 1);
    opaque->d3dFlags = 0;
    ASSERT_TRUE(screen.d3d().CreateImageTexture(opaque.get()));
    EXPECT_EQ(Texel16(Texture(*opaque), 0, 0), uint16_t(0xF800 | (0x80 >> 2) << 5 | 0x40 >> 3));
}

TEST_F(RecordedTextures, AChangedImageIsUploadedAgainIntoTheSameTextures)
{
    std::vector<uint32_t> pixels(190 * 10, 0xFF336699);
    auto image = screen.Picture(pixels, 190);
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    ASSERT_EQ(image->d3dData->pieces.size(), 2u);
    const int made = gpu.texturesMade;
    EXPECT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    EXPECT_EQ(Texture(*image).uploads, 1) << "nothing changed, nothing uploaded";

    image->GetBits()[0] = 0xFF000000;
    image->BitsChanged();
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    EXPECT_EQ(gpu.texturesMade, made);
    EXPECT_EQ(Texture(*image).uploads, 2);
    EXPECT_EQ(Texel32(Texture(*image), 0, 0), 0xFF000000u);

    image->Create(20, 20);
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    EXPECT_EQ(gpu.texturesMade, made + 1) << "a new size makes new pieces";
    EXPECT_EQ(gpu.texturesAlive, 1 + 1) << "the old ones are gone (the frame's target is the other)";
}

TEST_F(RecordedTextures, PartsOfTheSourceAreFoundInTheirPieces)
{
    std::vector<uint32_t> pixels(190 * 4, 0xFF000000);
    auto image = screen.Picture(pixels, 190);
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    int width = 100, height = 4;
    float left, top, right, bottom;
    EXPECT_EQ(image->d3dData->GetTexture(100, 0, width, height, left, top, right, bottom),
              image->d3dData->pieces[0].texture.get());
    EXPECT_EQ(std::make_pair(width, height), std::make_pair(28, 4)) << "cut at the piece's edge";
    EXPECT_FLOAT_EQ(left, 100.0f / 128.0f);
    EXPECT_FLOAT_EQ(right, 1.0f);
    width = 62;
    EXPECT_EQ(image->d3dData->GetTexture(128, 0, width, height, left, top, right, bottom),
              image->d3dData->pieces[1].texture.get());
    EXPECT_EQ(width, 62);
    EXPECT_FLOAT_EQ(right, 62.0f / 64.0f);
    EXPECT_FLOAT_EQ(bottom, 1.0f);
}

TEST_F(RecordedTextures, AnEmptyImageHasNoPiecesAndDrawsNothing)
{
    MemoryImage empty(&screen.app);
    EXPECT_FALSE(screen.d3d().CreateImageTexture(&empty));
    EXPECT_TRUE(empty.d3dData->pieces.empty());
    gpu.draws.clear();
    screen.d3d().Blt(&empty, 0, 0, Rect(0, 0, 4, 4), Color::White, 0, false);
    EXPECT_TRUE(gpu.draws.empty());
}

TEST_F(RecordedTextures, ImagesLeaveTheSetWhenDeletedOrWhenTheCardCleansUp)
{
    auto kept = screen.Picture({0xFF000000}, 1);
    {
        MemoryImage alone; // no host tells of its end
        alone.Create(1, 1);
        ASSERT_TRUE(screen.d3d().CreateImageTexture(&alone));
        ASSERT_TRUE(screen.d3d().CreateImageTexture(kept.get()));
        EXPECT_EQ(screen.d3d().imageSet.size(), 2u);
    }
    EXPECT_EQ(screen.d3d().imageSet.size(), 1u);
    screen.display->Cleanup();
    EXPECT_EQ(kept->d3dData, nullptr);
    EXPECT_EQ(gpu.texturesAlive, 0);
}

TEST_F(RecordedTextures, TexturesOfImagesEndingOnAnotherThreadGoAtTheNextDraw)
{
    auto image = screen.Picture({0xFF000000}, 1);
    ASSERT_TRUE(screen.d3d().CreateImageTexture(image.get()));
    const int alive = gpu.texturesAlive;
    std::thread([&image] { image.reset(); }).join();
    EXPECT_EQ(gpu.texturesAlive, alive) << "the renderer is not touched off its thread";
    EXPECT_TRUE(screen.d3d().imageSet.empty());
    screen.d3d().FillRect(Rect(0, 0, 1, 1), Color::White, DRAWMODE_NORMAL);
    EXPECT_EQ(gpu.texturesAlive, alive - 1);
}

} // namespace
} // namespace NubraTest
