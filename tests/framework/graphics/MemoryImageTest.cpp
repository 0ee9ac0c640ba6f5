#include "TestDoubles.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace NubraTest;

namespace {

struct Format {
    const char* name;
    int bits;
    uint32_t red, green, blue;
};
const Format kARGB8888{"8888", 32, 0xFF0000, 0xFF00, 0xFF};
const Format kRGB565{"565", 16, 0xF800, 0x07E0, 0x001F};

struct MemoryImageTest : ::testing::Test {
    FakeImageHost app;
    NativeDisplay display;

    void UseFormat(const Format& format) { display.SetPixelFormat(format.bits, format.red, format.green, format.blue); }

    // An image of one row per call, or of `rows` rows of the given pixels.
    std::unique_ptr<MemoryImage> Make(const std::vector<uint32_t>& pixels, int width, bool commit = true)
    {
        auto image = std::make_unique<MemoryImage>(&app);
        image->SetBits(pixels.data(), width, int(pixels.size()) / width, commit);
        return image;
    }

    static std::vector<uint32_t> Pixels(MemoryImage& image)
    {
        uint32_t* bits = image.GetBits();
        return std::vector<uint32_t>(bits, bits + image.GetWidth() * image.GetHeight());
    }

    static std::vector<int> Runs(const uint8_t* runs, size_t count) { return std::vector<int>(runs, runs + count); }
};

} // namespace

TEST_F(MemoryImageTest, ImagesRegisterWithTheirApplicationForTheirLifetime)
{
    {
        MemoryImage image(&app);
        MemoryImage copy(image);
        EXPECT_EQ(app.images, (std::set<MemoryImage*>{&image, &copy}));
    }
    EXPECT_TRUE(app.images.empty());

    SetImageHost(&app);
    {
        MemoryImage fromTheApplication;
        EXPECT_EQ(fromTheApplication.app, &app);
        EXPECT_EQ(app.images.size(), 1u);
    }
    SetImageHost(nullptr);

    MemoryImage alone(nullptr); // works without an application
    alone.Create(2, 1);
    alone.PurgeBits();
    EXPECT_EQ(Pixels(alone), (std::vector<uint32_t>{0, 0}));
}

TEST_F(MemoryImageTest, BitsCarryTheGuardWordAndChangesDropTheCaches)
{
    UseFormat(kARGB8888);
    auto image = Make({0xFF000000, 0x80FFFFFF, 0x00000000}, 3);
    EXPECT_EQ(image->bits[3], MemoryImage::kGuardWord);
    ASSERT_NE(image->GetNativeAlphaData(&display), nullptr);
    ASSERT_NE(image->GetRLAlphaData(), nullptr);
    ASSERT_NE(image->GetRLAdditiveData(&display), nullptr);

    uint32_t count = image->bitsChangedCount;
    image->BitsChanged();
    EXPECT_EQ(image->bitsChangedCount, count + 1);
    EXPECT_EQ(image->nativeAlphaData, nullptr);
    EXPECT_EQ(image->rlAlphaData, nullptr);
    EXPECT_EQ(image->rlAdditiveData, nullptr);

    uint32_t* own = image->GetBits();
    image->SetBits(own, 1, 1, true); // its own pixels: nothing happens
    EXPECT_EQ(image->GetWidth(), 3);

    image->Clear();
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0, 0, 0}));
    EXPECT_EQ(image->bits[3], MemoryImage::kGuardWord);

    image->Create(2, 2);
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>(4, 0)));
    EXPECT_EQ(image->bits[4], MemoryImage::kGuardWord);
}

TEST_F(MemoryImageTest, PalettisingNumbersColoursInOrderOfAppearance)
{
    const uint32_t a = 0xFF112233, b = 0x80445566;
    auto image = Make({a, b, b, a}, 2);
    ASSERT_TRUE(image->Palletize());
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_TRUE(image->palettizeRequested);
    EXPECT_EQ(image->colorTable[0], a);
    EXPECT_EQ(image->colorTable[1], b);
    EXPECT_EQ(Runs(image->colorIndices.get(), 4), (std::vector<int>{0, 1, 1, 0}));
    EXPECT_TRUE(image->Palletize()); // already palettised

    UseFormat(kARGB8888);
    ASSERT_NE(image->GetNativeAlphaData(&display), nullptr); // the palette's 256 native words
    EXPECT_EQ(image->nativeAlphaData[0], a);

    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{a, b, b, a}));
    EXPECT_EQ(image->colorTable, nullptr);
    EXPECT_EQ(image->colorIndices, nullptr);
    EXPECT_EQ(image->nativeAlphaData, nullptr);
}

TEST_F(MemoryImageTest, PalettisingFailsAbove256ColoursAndKeepsTheBits)
{
    std::vector<uint32_t> colors(257);
    std::iota(colors.begin(), colors.end(), 0xFF000000u);
    auto image = Make(colors, 257);
    image->palettizeRequested = true;
    EXPECT_FALSE(image->Palletize());
    EXPECT_FALSE(image->palettizeRequested);
    EXPECT_EQ(image->colorTable, nullptr);
    EXPECT_EQ(image->colorIndices, nullptr);
    EXPECT_EQ(Pixels(*image), colors);

    colors.pop_back(); // exactly 256 fit
    auto fits = Make(colors, 256);
    EXPECT_TRUE(fits->Palletize());
    EXPECT_EQ(fits->colorTable[255], 0xFF0000FFu);

    MemoryImage empty(&app);
    EXPECT_FALSE(empty.Palletize());
}

TEST_F(MemoryImageTest, CreateDropsAStalePalette)
{
    auto image = Make({0xFF123456, 0xFF654321}, 2);
    ASSERT_TRUE(image->Palletize());
    image->Create(2, 1);
    EXPECT_EQ(image->colorTable, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0, 0}));
}

TEST_F(MemoryImageTest, NativeDataIsPremultipliedInTheDisplayFormatWithTheAlphaOnTop)
{
    struct Row {
        const Format* format;
        uint32_t pixel, native, back;
    } rows[] = {
        {&kARGB8888, 0x80FF8040, 0x80804020, 0x80FE7F3F}, // lossy through the premultiplication
        {&kARGB8888, 0xFF102030, 0xFF102030, 0xFF102030},
        {&kARGB8888, 0x00FFFFFF, 0x00000000, 0x00000000},
        {&kRGB565, 0x80FF8040, 0x80008204, 0x80F87C38},
        {&kRGB565, 0xFF102030, 0xFF001106, 0xFF102030},
        {&kRGB565, 0x00FFFFFF, 0x00000000, 0x00000000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(StrFormat("%s %08x", row.format->name, row.pixel));
        UseFormat(*row.format);
        app.display = &display;
        auto image = Make({row.pixel}, 1);
        EXPECT_EQ(image->GetNativeAlphaData(&display)[0], row.native);

        image->PurgeBits(); // the picture now lives in the native data only
        EXPECT_EQ(image->bits, nullptr);
        EXPECT_EQ(Pixels(*image), std::vector<uint32_t>{row.back});
        EXPECT_NE(image->nativeAlphaData, nullptr); // rebuilding the bits keeps it
    }
}

TEST_F(MemoryImageTest, RunLengthsCountToTheEndOfEachRunWithinARow)
{
    UseFormat(kARGB8888);
    auto alphaRow = Make({0x00000000, 0x00FFFFFF, 0xFF000000, 0x80000000, 0x80FFFFFF}, 5);
    EXPECT_EQ(Runs(alphaRow->GetRLAlphaData(), 5), (std::vector<int>{2, 1, 1, 2, 1}));

    auto longRun = Make(std::vector<uint32_t>(300, 0xFF000000), 300);
    std::vector<int> expected(46, 255);
    for (int n = 254; n >= 1; --n)
        expected.push_back(n);
    EXPECT_EQ(Runs(longRun->GetRLAlphaData(), 300), expected);

    auto column = Make(std::vector<uint32_t>(4, 0xFF000000), 1);
    EXPECT_EQ(Runs(column->GetRLAlphaData(), 4), (std::vector<int>{1, 1, 1, 1}));

    auto twoRows = Make({0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000}, 2); // runs stop at the row's end
    EXPECT_EQ(Runs(twoRows->GetRLAlphaData(), 4), (std::vector<int>{2, 1, 2, 1}));

    // Additive runs class black (whatever the alpha) against the rest.
    auto additive = Make({0xFF000000, 0x00FFFFFF, 0x80FFFFFF, 0xFF010000}, 4);
    EXPECT_EQ(Runs(additive->GetRLAdditiveData(&display), 4), (std::vector<int>{2, 1, 2, 1}));

    ASSERT_TRUE(additive->Palletize()); // read through the palette as well
    additive->BitsChanged();
    EXPECT_EQ(Runs(additive->GetRLAdditiveData(&display), 4), (std::vector<int>{2, 1, 2, 1}));
    EXPECT_EQ(Runs(additive->GetRLAlphaData(), 4), (std::vector<int>{1, 1, 1, 1}));
}

TEST_F(MemoryImageTest, AlphaFlagsFollowThePixelsOnlyAfterAChangeAndNeverWhenForced)
{
    MemoryImage image(&app);
    image.Create(2, 2); // no bits and no table
    image.CommitBits();
    EXPECT_TRUE(image.hasTrans);
    EXPECT_FALSE(image.hasAlpha);

    std::vector<uint32_t> opaque(4, 0xFF000000);
    image.SetBits(opaque.data(), 2, 2, true);
    EXPECT_FALSE(image.hasTrans);
    EXPECT_FALSE(image.hasAlpha);

    image.GetBits()[0] = 0x80000000;
    image.GetBits()[1] = 0x00000000;
    image.CommitBits(); // not stale: the flags stay
    EXPECT_FALSE(image.hasAlpha);
    image.BitsChanged();
    image.CommitBits();
    EXPECT_TRUE(image.hasAlpha);
    EXPECT_TRUE(image.hasTrans);

    ASSERT_TRUE(image.Palletize()); // the colour table alone still tells
    image.BitsChanged();
    image.CommitBits();
    EXPECT_TRUE(image.hasAlpha);

    image.SetImageMode(false, false);
    image.SetBits(opaque.data(), 2, 2, true);
    image.GetBits()[0] = 0x80000000;
    image.BitsChanged();
    image.CommitBits();
    EXPECT_FALSE(image.hasAlpha);
    EXPECT_FALSE(image.hasTrans);
}

TEST_F(MemoryImageTest, PurgingKeepsTheBitsWhenAccelerated)
{
    app.accelerated = true;
    auto image = Make({0xFF000000, 0xFF0000FF}, 2);
    image->d3dData = new TextureData();
    image->PurgeBits();
    EXPECT_TRUE(image->purgeRequested);
    // Textures cannot be read back, so the bits stay the picture.
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF000000, 0xFF0000FF}));
    image->Delete3DBuffers();
    EXPECT_EQ(image->d3dData, nullptr);
}

TEST_F(MemoryImageTest, LoadOptionsPalettiseBeforePurging)
{
    UseFormat(kARGB8888);
    app.display = &display;
    auto image = Make({0xFF000000, 0x80FFFFFF}, 2);
    image->palettizeRequested = true;
    image->purgeRequested = true;
    image->ApplyLoadOptions();
    EXPECT_EQ(image->bits, nullptr);
    EXPECT_NE(image->colorTable, nullptr); // kept while there are no textures
    EXPECT_EQ(image->nativeAlphaData[1], 0x80808080u);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF000000, 0x80FFFFFF}));
}

TEST_F(MemoryImageTest, DroppingSoftwareBuffersRebuildsThePurgedBitsFirst)
{
    UseFormat(kARGB8888);
    app.display = &display;
    auto image = Make({0xFF102030, 0x00000000}, 2);
    image->PurgeBits();
    image->GetRLAlphaData();
    image->DeleteNativeData();
    EXPECT_EQ(image->nativeAlphaData, nullptr);
    EXPECT_NE(image->rlAlphaData, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF102030, 0x00000000}));

    image->PurgeBits();
    image->GetRLAdditiveData(&display);
    image->DeleteDerivedBuffers();
    EXPECT_EQ(image->nativeAlphaData, nullptr);
    EXPECT_EQ(image->rlAlphaData, nullptr);
    EXPECT_EQ(image->rlAdditiveData, nullptr);
    EXPECT_EQ(Pixels(*image), (std::vector<uint32_t>{0xFF102030, 0x00000000}));
}

TEST_F(MemoryImageTest, ACopyTakesEveryFormAndTheFlagsButNoTextures)
{
    UseFormat(kARGB8888);
    auto source = Make({0xFF000000, 0x80FFFFFF, 0x80FFFFFF, 0x00000000}, 2);
    source->SetImageMode(true, false);
    source->SetOptionFlag(true);
    source->numCols = 2;
    source->animInfo = std::make_unique<AnimInfo>();
    source->animInfo->frameDelay = 9;
    source->filePath = "images/a.png";
    ASSERT_TRUE(source->Palletize());
    source->GetRLAlphaData();
    source->GetNativeAlphaData(&display);
    source->d3dData = new TextureData();

    MemoryImage copy(*source);
    EXPECT_TRUE(copy.forcedMode);
    EXPECT_TRUE(copy.hasTrans);
    EXPECT_FALSE(copy.hasAlpha);
    EXPECT_TRUE(copy.optionFlag);
    EXPECT_TRUE(copy.palettizeRequested);
    EXPECT_EQ(copy.bitsChangedCount, source->bitsChangedCount);
    EXPECT_EQ(copy.d3dData, nullptr);
    EXPECT_EQ(copy.numCols, 2);
    EXPECT_EQ(copy.animInfo->frameDelay, 9);
    EXPECT_NE(copy.animInfo.get(), source->animInfo.get());
    EXPECT_TRUE(copy.filePath.empty());
    EXPECT_EQ(Runs(copy.colorIndices.get(), 4), Runs(source->colorIndices.get(), 4));
    EXPECT_EQ(Runs(copy.rlAlphaData.get(), 4), Runs(source->rlAlphaData.get(), 4));
    EXPECT_EQ(copy.nativeAlphaData[1], source->nativeAlphaData[1]);
    EXPECT_EQ(Pixels(copy), Pixels(*source));
}

TEST_F(MemoryImageTest, ACopyOfAPurgedImageGetsBitsAndLeavesTheSourcePurged)
{
    UseFormat(kARGB8888);
    app.display = &display;
    auto source = Make({0xFF102030, 0xFF405060}, 2);
    source->PurgeBits();

    MemoryImage copy(*source);
    EXPECT_EQ(source->bits, nullptr);
    ASSERT_NE(copy.bits, nullptr);
    EXPECT_EQ(copy.bits[0], 0xFF102030u);
    EXPECT_EQ(copy.bits[2], MemoryImage::kGuardWord);
}
