// The rotated blit of the memory image: destination pixels mapped back into the source in
// 16.16 steps and sampled bilinearly, the weights scaled by each texel's alpha.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/Texels.h"
#include "framework/graphics/TransformedBlits.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace Nubra {

namespace {

enum class RotatedBlend { Normal, NormalTinted, Additive, AdditiveTinted };

// What a call's colour contributes to each member's blend.
struct RotatedColor {
    uint32_t alpha;                 // scales the weights of the tinted normal member
    uint32_t plusR, plusG, plusB;   // colour + 1, the tinted normal member's factors
    uint32_t kR, kG, kB;            // colour x alpha / 255, the tinted additive member's factors

    explicit RotatedColor(const Color& c)
        : alpha(uint32_t(c.alpha)), plusR(uint32_t(c.red) + 1), plusG(uint32_t(c.green) + 1),
          plusB(uint32_t(c.blue) + 1), kR(uint32_t(c.red * c.alpha / 255)), kG(uint32_t(c.green * c.alpha / 255)),
          kB(uint32_t(c.blue * c.alpha / 255))
    {
    }
};

// The source colour (s_R, s_G, s_B) with total weight t over d: written as is when nearly
// opaque, else blended with d's alpha taking part.
uint32_t NormalRotatedPixel(uint32_t d, uint32_t t, uint32_t sR, uint32_t sG, uint32_t sB)
{
    if (t > 250)
        return PackARGB(255, sR, sG, sB);
    const uint32_t da = AlphaOf(d);
    const uint32_t keep = 256 - t;
    const uint32_t out = 256 - (((256 - da) * keep) >> 8);
    auto channel = [&](uint32_t dc, uint32_t sc) { return ((((dc * da) >> 8) * keep + 256 * sc) / out) & 255; };
    return PackARGB(out - 1, channel(RedOf(d), sR), channel(GreenOf(d), sG), channel(BlueOf(d), sB));
}

// Draws count destination pixels from dest, sampling at (u, v) relative to the texel at
// origin and stepping by (du, dv); every sample's four texels lie inside the source rectangle.
template <RotatedBlend Kind, typename Texels>
void DrawRotatedSpan(uint32_t* dest, int64_t count, const Texels& texels, size_t origin, size_t stride, int64_t u,
                     int64_t v, int64_t du, int64_t dv, const RotatedColor& color)
{
    for (int64_t k = 0; k < count; ++k, u += du, v += dv) {
        BilinearSample sample(texels, origin + size_t(v >> 16) * stride + size_t(u >> 16), stride);
        if (sample.Clear())
            continue;
        sample.Weigh(u, v);
        if constexpr (Kind == RotatedBlend::NormalTinted)
            sample.Scale(color.alpha);
        const SampleSums sums = sample.Sums();
        const uint32_t total = sums.total;
        if (total == 0)
            continue;
        const uint32_t sumR = sums.red, sumG = sums.green, sumB = sums.blue;
        uint32_t& d = dest[k];
        if constexpr (Kind == RotatedBlend::Normal) {
            d = NormalRotatedPixel(d, total, sumR >> 8, sumG >> 8, sumB >> 8);
        } else if constexpr (Kind == RotatedBlend::NormalTinted) {
            d = NormalRotatedPixel(d, total, ((sumR * color.plusR) >> 16) & 255,
                                   (((sumG >> 8) * color.plusG) >> 8) & 255, (((sumB >> 8) * color.plusB) >> 8) & 255);
        } else if constexpr (Kind == RotatedBlend::Additive) {
            d = AddSaturated(d, sumR >> 8, sumG >> 8, sumB >> 8);
        } else {
            d = AddSaturated(d, ((sumR >> 8) * color.kR) >> 8, (sumG * color.kG) >> 16, (sumB * color.kB) >> 16);
        }
    }
}

} // namespace

void MemoryImage::BltRotated(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, double angle, float centerX, float centerY)
{
    if (!image)
        return;
    image->drawn = true;
    const RotatedBlit blit{x, y, srcRect, angle, centerX, centerY};
    const DRect box = blit.Box(clipRect, Bounds());
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!(box.width > 0) || !(box.height > 0) || !source || !blit.SourceInside(source->width, source->height))
        return;

    const Color c = ClampedColor(color);
    const bool tinted = c != Color::White;
    const RotatedColor rotatedColor(c);
    const size_t stride = size_t(source->width);
    const size_t origin = size_t(srcRect.y) * stride + size_t(srcRect.x);
    uint32_t* pixels = GetBits();

    WithTexels(*source, [&](const auto& texels) {
        blit.ForEachRun(box, [&](int destX, int destY, int64_t count, int64_t u, int64_t v, int64_t du, int64_t dv) {
            uint32_t* dest = pixels + size_t(destY) * size_t(width) + size_t(destX);
            auto draw = [&](auto kind) {
                DrawRotatedSpan<decltype(kind)::value>(dest, count, texels, origin, stride, u, v, du, dv,
                                                       rotatedColor);
            };
            if (drawMode == DRAWMODE_NORMAL)
                tinted ? draw(std::integral_constant<RotatedBlend, RotatedBlend::NormalTinted>())
                       : draw(std::integral_constant<RotatedBlend, RotatedBlend::Normal>());
            else
                tinted ? draw(std::integral_constant<RotatedBlend, RotatedBlend::AdditiveTinted>())
                       : draw(std::integral_constant<RotatedBlend, RotatedBlend::Additive>());
        });
    });
    BitsChanged();
}

} // namespace Nubra
