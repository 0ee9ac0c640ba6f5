#include "ImageFixtures.h"

#include "framework/graphics/ImageLib.h"

#include <gtest/gtest.h>

#include <thread>

using namespace fixtures;
using ImageLib::GetImage;
using Names = std::vector<std::string>;

namespace {

class GetImageTest : public ::testing::Test {
protected:
    void SetUp() override { ImageLib::InitJPEG2000(); }
    void TearDown() override
    {
        ImageLib::CloseJPEG2000();
        ImageLib::SetAlphaImageLookup(true);
        ImageLib::SetAlphaOnlyColor(0xFFFFFF);
    }

    static Names WithExtensions(const std::string& base)
    {
        Names names;
        for (const char* extension : {".tga", ".jpg", ".png", ".gif", ".j2k", ".jp2"})
            names.push_back(base + extension);
        return names;
    }

    MemoryArchive archive;
};

TEST_F(GetImageTest, TriesTheFormatsTheNameAllows)
{
    struct Case {
        std::string name;
        Names opens;
    } cases[] = {
        {"ui/button", WithExtensions("ui/button")},
        {"ui/button.PNG", {"ui/button.png"}},
        {"ui/button.Jp2", {"ui/button.jp2"}},
        {"old.set/button", WithExtensions("old.set/button")},
        {"old.set\\button", WithExtensions("old.set\\button")},
        {"ui/button.bmp", {}},
    };
    for (const Case& c : cases) {
        archive.ClearOpens();
        EXPECT_EQ(GetImage(c.name, false), nullptr) << c.name;
        EXPECT_EQ(archive.Opens(), c.opens) << c.name;
    }
}

TEST_F(GetImageTest, TheFirstFormatFoundEndsTheSearch)
{
    archive.Add("ui/button.png", MakeTGA(Gradient(2, 2))); // not a PNG: read as one, it fails
    archive.Add("ui/button.gif", MakeGIF(1, 1, {0}, {.globalColours = {0x123456}}));
    archive.Add("ui/button.jp2", MakeTGA(Gradient(2, 2)));
    ImageLib::ImagePtr image = GetImage("ui/button", false);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetBits()[0], 0xFF123456u);
    EXPECT_EQ(archive.Opens(), Names({"ui/button.tga", "ui/button.jpg", "ui/button.png", "ui/button.gif"}));
}

TEST_F(GetImageTest, LooksForTheAlphaCompanionUnderBothNamesOnlyWhenAsked)
{
    // The second form, "name_", has an extension no format matches unless the name is bare.
    GetImage("ui/button.png", true);
    EXPECT_EQ(archive.Opens(), Names({"ui/button.png", "ui/_button.png"}));

    archive.ClearOpens();
    GetImage("a\\b/c", true);
    Names expected = WithExtensions("a\\b/c");
    for (const Names& more : {WithExtensions("a\\b/_c"), WithExtensions("a\\b/c_")})
        expected.insert(expected.end(), more.begin(), more.end());
    EXPECT_EQ(archive.Opens(), expected);

    archive.ClearOpens();
    ImageLib::SetAlphaImageLookup(false);
    GetImage("ui/button.png", true);
    EXPECT_EQ(archive.Opens(), Names({"ui/button.png"}));
}

TEST_F(GetImageTest, TheCompanionsBlueByteBecomesTheAlpha)
{
    archive.Add("ui/button.tga", MakeTGA({2, 1, {0xFF102030, 0x80405060}}));
    archive.Add("ui/_button.tga", MakeTGA({2, 1, {0xFF0000AB, 0x00FFFF07}}));
    Picture merged = PictureOf(*GetImage("ui/button.tga", true));
    EXPECT_EQ(merged.pixels, std::vector<uint32_t>({0xAB102030, 0x07405060}));

    ImageLib::SetAlphaImageLookup(false);
    EXPECT_EQ(PictureOf(*GetImage("ui/button.tga", true)).pixels, std::vector<uint32_t>({0xFF102030, 0x80405060}));
}

TEST_F(GetImageTest, ABareNameAlsoFindsTheTrailingUnderscoreCompanion)
{
    archive.Add("ui/button.tga", MakeTGA({1, 1, {0xFF102030}}));
    archive.Add("ui/button_.tga", MakeTGA({1, 1, {0xFF000042}}));
    EXPECT_EQ(GetImage("ui/button", true)->GetBits()[0], 0x42102030u);
}

TEST_F(GetImageTest, ACompanionOfAnotherSizeIsIgnored)
{
    archive.Add("ui/button.tga", MakeTGA({1, 1, {0x80102030}}));
    archive.Add("ui/_button.tga", MakeTGA({2, 1, {0xFF000000, 0xFF000000}}));
    ImageLib::ImagePtr image = GetImage("ui/button.tga", true);
    EXPECT_EQ(PictureOf(*image).pixels, std::vector<uint32_t>({0x80102030}));
}

TEST_F(GetImageTest, AnAlphaPictureAloneGivesTheAlphaOnlyColour)
{
    archive.Add("ui/_glow.tga", MakeTGA({2, 1, {0xFF0000FF, 0xFF123410}}));
    EXPECT_EQ(PictureOf(*GetImage("ui/glow.tga", true)).pixels, std::vector<uint32_t>({0xFFFFFFFF, 0x10FFFFFF}));

    ImageLib::SetAlphaOnlyColor(0x12345678);
    EXPECT_EQ(PictureOf(*GetImage("ui/glow.tga", true)).pixels, std::vector<uint32_t>({0xFF345678, 0x10345678}));
    EXPECT_EQ(GetImage("ui/glow.tga", false), nullptr);
}

TEST_F(GetImageTest, AScopedAlphaOnlyColourHoldsForItsOwnThreadOnly)
{
    archive.Add("ui/_glow.tga", MakeTGA({1, 1, {0xFF000080}}));
    auto pixel = [] { return PictureOf(*GetImage("ui/glow.tga", true)).pixels[0]; };
    {
        ImageLib::ScopedAlphaOnlyColor red(0xFF0000);
        {
            ImageLib::ScopedAlphaOnlyColor blue(0x0000FF);
            EXPECT_EQ(pixel(), 0x800000FFu);
        }
        EXPECT_EQ(pixel(), 0x80FF0000u);
        uint32_t seenElsewhere = 0;
        std::thread([&] { seenElsewhere = pixel(); }).join();
        EXPECT_EQ(seenElsewhere, 0x80FFFFFFu);
    }
    EXPECT_EQ(pixel(), 0x80FFFFFFu);
}

TEST(ImageLimits, RefuseEmptyAndGiganticPictures)
{
    EXPECT_NE(ImageLib::Image::Create(1, 1), nullptr);
    EXPECT_NE(ImageLib::Image::Create(ImageLib::kMaxImageSide, 1), nullptr);
    EXPECT_EQ(ImageLib::Image::Create(0, 5), nullptr);
    EXPECT_EQ(ImageLib::Image::Create(5, -1), nullptr);
    EXPECT_EQ(ImageLib::Image::Create(ImageLib::kMaxImageSide + 1, 1), nullptr);
    EXPECT_EQ(ImageLib::Image::Create(ImageLib::kMaxImageSide, ImageLib::kMaxImageSide), nullptr);
}

} // namespace
