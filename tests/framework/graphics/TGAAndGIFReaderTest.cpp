#include "ImageFixtures.h"

#include "framework/graphics/ImageLib.h"

#include <gtest/gtest.h>

#include <random>

using namespace fixtures;

namespace {

using TGAReaderTest = ImageReaderTest;

TEST_F(TGAReaderTest, ReadsTopLeftThirtyTwoBitPixelsAsTheyAre)
{
    Picture picture = Gradient(5, 3);
    ImageLib::ImagePtr image = Read(ImageLib::GetTGAImage, MakeTGA(picture));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, picture.pixels);
}

TEST_F(TGAReaderTest, SkipsTheIdFieldAndColourMap)
{
    Picture picture = Gradient(4, 2);
    ImageLib::ImagePtr image = Read(ImageLib::GetTGAImage, MakeTGA(picture, {.id = "made by hand", .colourMapEntries = 3}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, picture.pixels);
}

// What follows the pixels (a footer, padding, anything) is never read.
TEST_F(TGAReaderTest, ReadsNoFurtherThanThePixels)
{
    Picture picture = Gradient(20, 3);
    Bytes file = MakeTGA(picture, {.id = "id"});
    size_t needed = file.size();
    file.resize(needed + (1 << 20), 0x5A);
    ImageLib::ImagePtr image = Read(ImageLib::GetTGAImage, file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, picture.pixels);
    EXPECT_LE(archive.BytesRead(), needed);
}

TEST_F(TGAReaderTest, RefusesWhatItCannotRead)
{
    Picture picture = Gradient(4, 2);
    Bytes truncated = MakeTGA(picture);
    truncated.pop_back();
    ExpectRefused(ImageLib::GetTGAImage, {
        {"24-bit", MakeTGA(picture, {.pixelDepth = 24})},
        {"bottom-left origin", MakeTGA(picture, {.descriptor = 0x08})},
        {"run-length coded", MakeTGA(picture, {.imageType = 10})},
        {"colour-mapped", MakeTGA(picture, {.imageType = 1})},
        {"zero width", MakeTGA({0, 2, {}})},
        {"pixels cut short", truncated},
        {"header cut short", Bytes(truncated.begin(), truncated.begin() + 17)},
        {"empty", {}},
    });
    EXPECT_EQ(ImageLib::GetTGAImage("missing.tga"), nullptr);
}

class GIFReaderTest : public ImageReaderTest {
protected:
    static std::vector<uint32_t> Expected(const std::vector<uint8_t>& indices, const std::vector<uint32_t>& colours)
    {
        std::vector<uint32_t> pixels;
        for (uint8_t index : indices)
            pixels.push_back(index < colours.size() ? 0xFF000000 | colours[index] : 0xFF000000);
        return pixels;
    }

    static std::vector<uint8_t> RandomIndices(size_t count, int colours)
    {
        std::mt19937 random(7);
        std::vector<uint8_t> indices(count);
        for (uint8_t& index : indices)
            index = uint8_t(random() % unsigned(colours));
        return indices;
    }

    const std::vector<uint32_t> colours{0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFF00FF, 0x808080};
};

TEST_F(GIFReaderTest, DecodesPixelsThroughTheColourTable)
{
    std::vector<uint8_t> indices = {0, 1, 2, 3, 3, 3, 3, 3, 3, 4, 5, 6, 7, 7, 7, 1, 2, 1, 2, 1, 2, 1, 2, 1};
    ImageLib::ImagePtr image = Read(ImageLib::GetGIFImage, MakeGIF(6, 4, indices, {.globalColours = colours, .minCodeSize = 3}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 6);
    EXPECT_EQ(image->GetHeight(), 4);
    EXPECT_EQ(PictureOf(*image).pixels, Expected(indices, colours));
}

TEST_F(GIFReaderTest, TheTransparentIndexBecomesTransparentBlack)
{
    std::vector<uint8_t> indices = {5, 1, 5, 2, 5, 5};
    ImageLib::ImagePtr image =
        Read(ImageLib::GetGIFImage, MakeGIF(3, 2, indices, {.globalColours = colours, .transparentIndex = 5, .extras = true}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, std::vector<uint32_t>({0, 0xFFFF0000, 0, 0xFF00FF00, 0, 0}));
}

TEST_F(GIFReaderTest, ALocalColourTableReplacesTheGlobalOne)
{
    std::vector<uint32_t> local = {0x111111, 0x222222};
    ImageLib::ImagePtr image = Read(ImageLib::GetGIFImage, MakeGIF(2, 1, {1, 0}, {.globalColours = colours, .localColours = local}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, std::vector<uint32_t>({0xFF222222, 0xFF111111}));
}

TEST_F(GIFReaderTest, InterlacedRowsLandInPictureOrder)
{
    for (int height : {8, 5, 1}) {
        std::vector<uint8_t> indices;
        for (int y = 0; y < height; ++y)
            indices.insert(indices.end(), 3, uint8_t(y));
        ImageLib::ImagePtr image = Read(ImageLib::GetGIFImage, MakeGIF(3, height, indices, {.globalColours = colours, .interlaced = true}));
        ASSERT_NE(image, nullptr) << height;
        EXPECT_EQ(PictureOf(*image).pixels, Expected(indices, colours)) << height;
    }
}

TEST_F(GIFReaderTest, LongStreamsFillTheCodeTableWithOrWithoutAClear)
{
    std::vector<uint32_t> grey;
    for (uint32_t i = 0; i < 256; ++i)
        grey.push_back(i * 0x010101);
    for (bool clearWhenFull : {true, false}) {
        std::vector<uint8_t> indices = RandomIndices(160 * 160, 256);
        ImageLib::ImagePtr image =
            Read(ImageLib::GetGIFImage, MakeGIF(160, 160, indices, {.globalColours = grey, .clearWhenFull = clearWhenFull}));
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PictureOf(*image).pixels, Expected(indices, grey)) << "clear when full: " << clearWhenFull;
    }
    // Few colours make long strings, so the table fills from repeats (codes for what was just added).
    std::vector<uint8_t> indices = RandomIndices(300 * 200, 2);
    ImageLib::ImagePtr image =
        Read(ImageLib::GetGIFImage, MakeGIF(300, 200, indices, {.globalColours = grey, .clearWhenFull = false, .minCodeSize = 2}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, Expected(indices, grey));
}

TEST_F(GIFReaderTest, ATruncatedStreamKeepsWhatWasDecodedAndLeavesTheRestClear)
{
    std::vector<uint8_t> indices = RandomIndices(40 * 40, 8);
    Bytes file = MakeGIF(40, 40, indices, {.globalColours = colours, .minCodeSize = 3});
    file.resize(file.size() / 2);
    ImageLib::ImagePtr image = Read(ImageLib::GetGIFImage, file);
    ASSERT_NE(image, nullptr);
    Picture picture = PictureOf(*image);
    std::vector<uint32_t> expected = Expected(indices, colours);
    EXPECT_EQ(std::vector<uint32_t>(picture.pixels.begin(), picture.pixels.begin() + 100),
              std::vector<uint32_t>(expected.begin(), expected.begin() + 100));
    EXPECT_EQ(picture.pixels.back(), 0u);
}

TEST_F(GIFReaderTest, RefusesFilesWithoutAUsableImage)
{
    Bytes good = MakeGIF(2, 2, {0, 1, 1, 0}, {.globalColours = colours});
    Bytes trailerFirst(good.begin(), good.begin() + 13 + 24);
    trailerFirst.push_back(0x3B);
    Bytes badCodeSize = good;
    badCodeSize[13 + 24 + 10] = 12;
    Bytes gigantic = good;
    for (size_t at : {13 + 24 + 5, 13 + 24 + 6, 13 + 24 + 7, 13 + 24 + 8})
        gigantic[at] = 0xFF; // 65535 x 65535
    ExpectRefused(ImageLib::GetGIFImage, {
        {"other signature", MakeGIF(2, 2, {0, 1, 1, 0}, {.signature = "GIF88a", .globalColours = colours})},
        {"zero width", MakeGIF(0, 2, {}, {.globalColours = colours})},
        {"trailer before any image", trailerFirst},
        {"code size above 8", badCodeSize},
        {"beyond the size limits", gigantic},
        {"cut in the header", Bytes(good.begin(), good.begin() + 10)},
        {"cut in the colour table", Bytes(good.begin(), good.begin() + 20)},
    });
    // GIF87a files load too.
    EXPECT_NE(Read(ImageLib::GetGIFImage, MakeGIF(2, 2, {0, 1, 1, 0}, {.signature = "GIF87a", .globalColours = colours})), nullptr);
}

// Only the first image is decoded, so the frames after it are never read.
TEST_F(GIFReaderTest, ReadingStopsAfterTheFirstImage)
{
    std::vector<uint8_t> indices = RandomIndices(30 * 20, 8);
    Bytes file = MakeGIF(30, 20, indices, {.globalColours = colours, .minCodeSize = 3});
    size_t firstImageEnds = file.size() - 1; // before the trailer
    Bytes frame(file.begin() + 13 + 24, file.end() - 1);
    file.pop_back();
    while (file.size() < (size_t(1) << 20))
        file.insert(file.end(), frame.begin(), frame.end());
    file.push_back(0x3B);
    ImageLib::ImagePtr image = Read(ImageLib::GetGIFImage, file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, Expected(indices, colours));
    EXPECT_LT(archive.BytesRead(), firstImageEnds + 64 * 1024);
}

TEST_F(GIFReaderTest, EveryPrefixOfAFileFailsCleanly)
{
    Bytes file = MakeGIF(9, 9, RandomIndices(81, 8), {.globalColours = colours, .transparentIndex = 2, .interlaced = true, .extras = true});
    for (size_t length = 0; length < file.size(); ++length)
        Read(ImageLib::GetGIFImage, Bytes(file.begin(), file.begin() + long(length)));
}

} // namespace
