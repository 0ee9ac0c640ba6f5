// A test card of every software drawing operation, written to "drawing-card.png" beside the test
// program so a person can see what the arithmetic the other tests pin looks like.
#include "DrawingFixtures.h"

#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace drawing;
using Nubra::Color;
using Nubra::Rect;

namespace {

// A 32 x 32 sprite: a disc with a soft edge over a diagonal colour ramp.
std::unique_ptr<MemoryImage> Sprite()
{
    Pixels pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double distance = std::hypot(x - 15.5, y - 15.5);
            const int alpha = std::clamp(int((15.5 - distance) * 96), 0, 255);
            pixels.push_back(uint32_t(alpha) << 24 | uint32_t(x * 8) << 16 | uint32_t(y * 8) << 8 | 0x60);
        }
    return ImageOf(pixels, 32);
}

std::unique_ptr<MemoryImage> DrawCard()
{
    auto card = Filled(256, 160, 0xFF303030);
    auto sprite = Sprite();
    // Row 1: translucent fills, lines in both modes, anti-aliased lines.
    card->FillRect(Rect(4, 4, 40, 40), Color(255, 100, 0, 128), 0);
    card->FillRect(Rect(24, 24, 40, 40), Color(0, 120, 255, 160), 0);
    for (int k = 0; k < 8; ++k) {
        card->DrawLine(72, 4 + k * 5, 112, 10 + k * 4, Color(255, 255, 0, 64 + k * 24), 0);
        card->DrawLine(120, 4 + k * 5, 160, 40 - k * 3, Color(40, 80, 200), 1);
        card->DrawLineAA(168, 4 + k * 5.3, 208, 44 - k * 2.1, Color::White, 0);
    }
    const uint8_t ramp[40] = {0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240, 255, 255, 255,
                              255, 255, 255, 255, 255, 240, 224, 208, 192, 176, 160, 144, 128, 112, 96, 80, 64, 48, 32,
                              16, 0};
    std::vector<uint8_t> coverage;
    std::vector<Nubra::Span> spans;
    for (int y = 0; y < 40; ++y) {
        coverage.insert(coverage.end(), ramp, ramp + 40);
        spans.push_back({4 + y, 212, 40});
    }
    card->FillScanLinesWithCoverage(spans.data(), 40, Color(0, 255, 128), 0, coverage.data(), 212, 4, 40, 40);
    // Row 2: the blit roads.
    const Rect all(0, 0, 32, 32);
    card->Blt(sprite.get(), 4, 56, all, Color::White, 0);
    card->Blt(sprite.get(), 40, 56, all, Color(255, 128, 64, 200), 0);
    card->Blt(sprite.get(), 76, 56, all, Color::White, 1);
    card->Blt(sprite.get(), 112, 56, all, Color(64, 64, 255), 1);
    card->BltF(sprite.get(), 148.5f, 56.25f, all, Rect(0, 0, 256, 160), Color::White, 0);
    card->BltRotated(sprite.get(), 190, 56, all, Rect(0, 0, 256, 160), Color::White, 0, 0.6, 16, 16);
    card->BltRotated(sprite.get(), 222, 56, all, Rect(0, 0, 256, 160), Color(255, 255, 255, 128), 1, -0.9, 16, 16);
    // Row 3: stretches, smooth and nearest, up and down.
    card->StretchBlt(sprite.get(), Rect(4, 96, 60, 60), all, Rect(0, 0, 256, 160), Color::White, 0, false);
    card->StretchBlt(sprite.get(), Rect(68, 96, 60, 60), all, Rect(0, 0, 256, 160), Color::White, 0, true);
    card->StretchBlt(sprite.get(), Rect(132, 112, 20, 20), all, Rect(0, 0, 256, 160), Color::White, 0, false);
    card->StretchBlt(sprite.get(), Rect(160, 96, 90, 60), all, Rect(170, 100, 70, 50), Color(200, 255, 200), 0, true);
    return card;
}

} // namespace

TEST(DrawingTestCard, IsWrittenForAPersonToLookAt)
{
    auto card = DrawCard();
    const std::string path = (std::filesystem::path(plat::ExeDir()) / "drawing-card.png").string();
    ASSERT_TRUE(WritePicture(*card, path)) << path;
    auto written = ImageLib::GetPNGImage(path);
    ASSERT_NE(written, nullptr);
    EXPECT_EQ(Pixels(written->GetBits(), written->GetBits() + written->PixelCount()), PixelsOf(*card));
    std::printf("test card: %s\n", path.c_str());
}
