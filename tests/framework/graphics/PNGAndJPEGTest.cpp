#include "ImageFixtures.h"

#include "framework/graphics/ImageLib.h"

#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

using namespace fixtures;

namespace {

class CodecTest : public ImageReaderTest {
protected:
    using Writer = bool (*)(const std::string&, const ImageLib::Image&);

    // Written to a file, read back through the archive; null when either step fails.
    ImageLib::ImagePtr RoundTrip(Writer writer, Reader reader, const Picture& picture)
    {
        if (!writer(folder.Path("round-trip"), *ImageFrom(picture)))
            return nullptr;
        return Read(reader, folder.Read("round-trip"));
    }

    TempFolder folder;
};

// ---- PNG ----

using PNGTest = CodecTest;

TEST_F(PNGTest, WhatIsWrittenReadsBackIdentically)
{
    Picture picture = Gradient(37, 11);
    ImageLib::ImagePtr image = RoundTrip(ImageLib::WritePNGImage, ImageLib::GetPNGImage, picture);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 37);
    EXPECT_EQ(PictureOf(*image).pixels, picture.pixels);
}

TEST_F(PNGTest, EveryKindOfFileBecomesARGB)
{
    // Two pixels a file, in the file's own layout.
    struct Case {
        const char* what;
        PNGSpec spec;
        Bytes row;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"grey", {PNG_COLOR_TYPE_GRAY}, {0x00, 0xC8}, {0xFF000000, 0xFFC8C8C8}},
        {"grey 2-bit", {PNG_COLOR_TYPE_GRAY, 2}, {0b01110000}, {0xFF555555, 0xFFFFFFFF}},
        {"grey and alpha", {PNG_COLOR_TYPE_GRAY_ALPHA}, {0x10, 0x80, 0x20, 0xFF}, {0x80101010, 0xFF202020}},
        {"RGB", {PNG_COLOR_TYPE_RGB}, {1, 2, 3, 4, 5, 6}, {0xFF010203, 0xFF040506}},
        {"palette with transparency",
         {PNG_COLOR_TYPE_PALETTE, 8, false, {0xAABBCC, 0x112233}, {0x40}},
         {0, 1},
         {0x40AABBCC, 0xFF112233}},
        {"16-bit RGBA",
         {PNG_COLOR_TYPE_RGB_ALPHA, 16},
         {0x12, 0x99, 0x34, 0x99, 0x56, 0x99, 0x78, 0x99, 0xAB, 0, 0xCD, 0, 0xEF, 0, 0xFF, 0xFF},
         {0x78123456, 0xFFABCDEF}},
        {"16-bit grey", {PNG_COLOR_TYPE_GRAY, 16}, {0x7F, 0xFF, 0x01, 0x00}, {0xFF7F7F7F, 0xFF010101}},
    };
    for (const Case& c : cases) {
        ImageLib::ImagePtr image = Read(ImageLib::GetPNGImage, MakePNG(2, 1, {c.row}, c.spec));
        ASSERT_NE(image, nullptr) << c.what;
        EXPECT_EQ(PictureOf(*image).pixels, c.expected) << c.what;
    }
}

TEST_F(PNGTest, InterlacedFilesComeOutInPictureOrder)
{
    Picture picture = Gradient(13, 9);
    std::vector<Bytes> rows;
    for (int y = 0; y < picture.height; ++y) {
        Bytes row;
        for (int x = 0; x < picture.width; ++x) {
            uint32_t pixel = picture.pixels[size_t(y * picture.width + x)];
            for (int shift : {16, 8, 0, 24})
                row.push_back(uint8_t(pixel >> shift));
        }
        rows.push_back(row);
    }
    ImageLib::ImagePtr image = Read(ImageLib::GetPNGImage, MakePNG(13, 9, rows, {PNG_COLOR_TYPE_RGB_ALPHA, 8, true}));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PictureOf(*image).pixels, picture.pixels);
}

TEST_F(PNGTest, DamagedFilesFailCleanly)
{
    ASSERT_TRUE(ImageLib::WritePNGImage(folder.Path("out.png"), *ImageFrom(Gradient(64, 64))));
    Bytes good = folder.Read("out.png");
    Bytes flipped = good;
    flipped[good.size() / 2] ^= 0x55;
    ExpectRefused(ImageLib::GetPNGImage, {
        {"cut in the pixel data", Bytes(good.begin(), good.begin() + long(good.size() / 2))},
        {"cut in the header", Bytes(good.begin(), good.begin() + 20)},
        {"a damaged byte", flipped},
        {"not a PNG", Bytes(300, 0x5A)},
        {"empty", {}},
    });
    EXPECT_EQ(ImageLib::GetPNGImage(folder.Path("missing.png")), nullptr);
}

// ---- JPEG ----

using JPEGTest = CodecTest;

TEST_F(JPEGTest, AQuality80RoundTripKeepsTheSizeAndStaysClose)
{
    Picture picture = Gradient(48, 40);
    ImageLib::ImagePtr image = RoundTrip(ImageLib::WriteJPEGImage, ImageLib::GetJPEGImage, picture);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->GetWidth(), 48);
    ASSERT_EQ(image->GetHeight(), 40);
    Picture read = PictureOf(*image);
    long total = 0;
    for (size_t i = 0; i < read.pixels.size(); ++i) {
        EXPECT_EQ(read.pixels[i] >> 24, 0xFFu);
        for (int shift : {0, 8, 16}) {
            int difference = std::abs(int(read.pixels[i] >> shift & 0xFF) - int(picture.pixels[i] >> shift & 0xFF));
            EXPECT_LE(difference, 24) << "pixel " << i;
            total += difference;
        }
    }
    EXPECT_LT(double(total) / double(read.pixels.size() * 3), 3.0);
}

TEST_F(JPEGTest, GreyFilesGiveEqualChannels)
{
    Bytes samples(16 * 8);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = uint8_t(i % 16 < 8 ? 0x30 : 0xD0);
    ImageLib::ImagePtr image = Read(ImageLib::GetJPEGImage, MakeJPEG(16, 8, 1, samples, 100));
    ASSERT_NE(image, nullptr);
    for (uint32_t pixel : PictureOf(*image).pixels) {
        uint32_t grey = pixel & 0xFF;
        EXPECT_EQ(pixel, 0xFF000000 | grey << 16 | grey << 8 | grey);
        EXPECT_TRUE(std::abs(int(grey) - 0x30) <= 2 || std::abs(int(grey) - 0xD0) <= 2) << grey;
    }
}

TEST_F(JPEGTest, ATruncatedFileStillGivesAPicture)
{
    Bytes samples(64 * 64 * 3);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = uint8_t(i * 2654435761u >> 13); // noise, so the scan data outweigh the tables
    Bytes file = MakeJPEG(64, 64, 3, samples);
    file.resize(file.size() * 2 / 3);
    ImageLib::ImagePtr image = Read(ImageLib::GetJPEGImage, file);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 64);
    EXPECT_EQ(image->GetHeight(), 64);
}

TEST_F(JPEGTest, UnreadableFilesGiveNothing)
{
    Bytes good = MakeJPEG(8, 8, 3, Bytes(8 * 8 * 3, 0x40));
    ExpectRefused(ImageLib::GetJPEGImage, {
        {"garbage", Bytes(500, 0xA7)},
        {"empty", {}},
        {"cut in the header", Bytes(good.begin(), good.begin() + 30)},
    });
}

TEST_F(JPEGTest, AYCCKFileMatchesImageMagicksOwnDecode)
{
    ImageLib::ImagePtr image = Read(ImageLib::GetJPEGImage, ReadTestImage("ycck.jpg"));
    ImageLib::ImagePtr reference = Read(ImageLib::GetPNGImage, ReadTestImage("ycck.reference.png"));
    ASSERT_NE(image, nullptr);
    ASSERT_NE(reference, nullptr);
    EXPECT_LE(LargestChannelDifference(PictureOf(*image), PictureOf(*reference)), 1);
}

// Colours put into inks, stored as CMYK or YCCK, with Adobe's marker (inverted inks) or without.
TEST_F(JPEGTest, InkFilesComeBackAsTheirColours)
{
    const int width = 16, height = 8;
    Picture colours = Gradient(width, height);
    for (uint32_t& pixel : colours.pixels)
        pixel |= 0xFF000000;
    auto inksOf = [&](bool inverted) {
        Bytes samples;
        for (uint32_t pixel : colours.pixels) {
            int r = pixel >> 16 & 0xFF, g = pixel >> 8 & 0xFF, b = pixel & 0xFF;
            int through = std::max({r, g, b});
            for (int amount : {255 - r * 255 / std::max(through, 1), 255 - g * 255 / std::max(through, 1),
                               255 - b * 255 / std::max(through, 1), 255 - through})
                samples.push_back(uint8_t(inverted ? 255 - amount : amount));
        }
        return samples;
    };
    struct Case {
        const char* what;
        JPEGInks inks;
    };
    for (const Case& c : {Case{"Adobe CMYK", {false, true}}, Case{"Adobe YCCK", {true, true}}, Case{"plain CMYK", {false, false}}}) {
        Bytes file = MakeJPEG(width, height, 4, inksOf(c.inks.adobeMarker), 100, c.inks);
        ImageLib::ImagePtr image = Read(ImageLib::GetJPEGImage, file);
        ASSERT_NE(image, nullptr) << c.what;
        EXPECT_LE(LargestChannelDifference(PictureOf(*image), colours), 6) << c.what;
    }
}

// ---- writers ----

TEST_F(CodecTest, WritersResolveDataNamesAndReportFailure)
{
    std::filesystem::create_directories(folder.Path("Dump"));
    ImageLib::ImagePtr image = ImageFrom(Gradient(4, 4));
    EXPECT_TRUE(ImageLib::WritePNGImage(folder.Path("dump\\a.png"), *image));
    EXPECT_TRUE(ImageLib::WriteJPEGImage(folder.Path("dump\\b.jpg"), *image));
    EXPECT_FALSE(folder.Read("Dump/a.png").empty());
    EXPECT_FALSE(folder.Read("Dump/b.jpg").empty());

    EXPECT_FALSE(ImageLib::WritePNGImage(folder.Path("no/such/folder/a.png"), *image));
    EXPECT_FALSE(ImageLib::WriteJPEGImage(folder.Path("no/such/folder/b.jpg"), *image));
}

} // namespace
