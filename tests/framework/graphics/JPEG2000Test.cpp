#include "ImageFixtures.h"

#include "framework/graphics/ImageLib.h"

#include <gtest/gtest.h>

#include <string>

using namespace fixtures;

namespace {

class JPEG2000Test : public ImageReaderTest {
protected:
    void SetUp() override { ImageLib::InitJPEG2000(); }
    void TearDown() override { ImageLib::CloseJPEG2000(); }

    static std::vector<int> Plane(int seed)
    {
        std::vector<int> plane;
        for (int i = 0; i < kWidth * kHeight; ++i)
            plane.push_back((i * seed + seed) % 256);
        return plane;
    }

    static constexpr int kWidth = 12;
    static constexpr int kHeight = 7;
};

TEST_F(JPEG2000Test, CodestreamsAndJP2FilesDecodeExactly)
{
    std::vector<std::vector<int>> rgb = {Plane(3), Plane(5), Plane(11)};
    std::vector<uint32_t> expected;
    for (size_t i = 0; i < rgb[0].size(); ++i)
        expected.push_back(0xFF000000 | uint32_t(rgb[0][i]) << 16 | uint32_t(rgb[1][i]) << 8 | uint32_t(rgb[2][i]));
    for (bool jp2 : {false, true}) {
        ImageLib::ImagePtr image = Read(ImageLib::GetJPEG2000Image, MakeJPEG2000(kWidth, kHeight, rgb, jp2));
        ASSERT_NE(image, nullptr) << "jp2: " << jp2;
        EXPECT_EQ(image->GetWidth(), kWidth);
        EXPECT_EQ(PictureOf(*image).pixels, expected) << "jp2: " << jp2;
    }
}

TEST_F(JPEG2000Test, GreyWithAlpha)
{
    std::vector<std::vector<int>> planes = {Plane(7), Plane(13)};
    ImageLib::ImagePtr image = Read(ImageLib::GetJPEG2000Image, MakeJPEG2000(kWidth, kHeight, planes, true));
    ASSERT_NE(image, nullptr);
    uint32_t grey = uint32_t(planes[0][5]);
    EXPECT_EQ(image->GetBits()[5], uint32_t(planes[1][5]) << 24 | grey << 16 | grey << 8 | grey);
}

// Subsampled, YCC, L*a*b*, CMYK and five-component files, against the codec's own decoder with
// its upsampling and its conversions to RGB.
TEST_F(JPEG2000Test, LayoutsMatchTheCodecsOwnDecode)
{
    struct Layout {
        const char* file;
        int tolerance;
        bool opaque; // the reference takes a fourth component as alpha where nothing names one
    };
    for (const Layout& layout : {Layout{"ycc420.jp2", 1, false}, Layout{"ycc422-offset.j2k", 1, false},
                                 Layout{"sycc.jp2", 1, false}, Layout{"esycc.jp2", 1, false},
                                 Layout{"lab.jp2", 1, false}, Layout{"cmyk.jp2", 1, false},
                                 Layout{"five.jp2", 0, true}}) {
        ImageLib::ImagePtr image = Read(ImageLib::GetJPEG2000Image, ReadTestImage(layout.file));
        ASSERT_NE(image, nullptr) << layout.file;
        std::string stem(layout.file, std::string(layout.file).rfind('.'));
        ImageLib::ImagePtr reference = Read(ImageLib::GetPNGImage, ReadTestImage(stem + ".reference.png"));
        ASSERT_NE(reference, nullptr) << layout.file;
        Picture ours = PictureOf(*image);
        EXPECT_LE(LargestChannelDifference(ours, PictureOf(*reference), layout.opaque ? 0xFFFFFF : 0xFFFFFFFF),
                  layout.tolerance)
            << layout.file;
        if (layout.opaque) {
            for (uint32_t pixel : ours.pixels)
                ASSERT_EQ(pixel >> 24, 0xFFu) << layout.file;
        }
    }
}

TEST_F(JPEG2000Test, BeyondFourComponentsTheChannelDefinitionsNameTheAlpha)
{
    std::vector<std::vector<int>> planes = {Plane(3), Plane(5), Plane(11), Plane(2), Plane(13)};
    ImageLib::ImagePtr image = Read(ImageLib::GetJPEG2000Image, MakeJPEG2000(kWidth, kHeight, planes, true, 4));
    ASSERT_NE(image, nullptr);
    std::vector<uint32_t> expected;
    for (size_t i = 0; i < planes[0].size(); ++i)
        expected.push_back(uint32_t(planes[4][i]) << 24 | uint32_t(planes[0][i]) << 16 | uint32_t(planes[1][i]) << 8 |
                           uint32_t(planes[2][i]));
    EXPECT_EQ(PictureOf(*image).pixels, expected);
}

TEST_F(JPEG2000Test, ReadsOnlyWhileTheCodecIsOpenAndThroughTheNameLookup)
{
    archive.Add("art/sky.jp2", MakeJPEG2000(kWidth, kHeight, {Plane(3)}, true));
    EXPECT_NE(ImageLib::GetImage("art/sky", false), nullptr);
    ImageLib::CloseJPEG2000();
    EXPECT_EQ(ImageLib::GetImage("art/sky", false), nullptr);
}

TEST_F(JPEG2000Test, DamagedFilesFailCleanly)
{
    Bytes good = MakeJPEG2000(kWidth, kHeight, {Plane(3), Plane(5), Plane(11)}, false);
    ExpectRefused(ImageLib::GetJPEG2000Image, {{"signature only", Bytes(good.begin(), good.begin() + 4)},
                                               {"cut in the header", Bytes(good.begin(), good.begin() + 40)},
                                               {"garbage", Bytes(400, 0x33)}});
    for (size_t length = 0; length < good.size(); length += 7)
        Read(ImageLib::GetJPEG2000Image, Bytes(good.begin(), good.begin() + long(length)));
}

} // namespace
