// Unscaled blits of one memory image onto another: normal (copy, colourised, composited) and
// additive, both walking the source by its run-length alpha data.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/Texels.h"

#include <algorithm>

namespace Nubra {

namespace {

// The part of a blit that lies on both images.
struct BlitArea {
    int srcX, srcY, destX, destY, width, height;
};

// The source rectangle cut to the source, then its place cut to the destination, each cut
// moving the other; false when nothing is left.
bool ClipBlit(const Image& source, const Image& dest, int x, int y, const Rect& srcRect, BlitArea& out)
{
    Rect src = srcRect.Intersection(Rect(0, 0, source.width, source.height));
    int placedX = x + (src.x - srcRect.x), placedY = y + (src.y - srcRect.y);
    Rect placed = Rect(placedX, placedY, src.width, src.height).Intersection(Rect(0, 0, dest.width, dest.height));
    out = {src.x + placed.x - placedX, src.y + placed.y - placedY, placed.x, placed.y, placed.width, placed.height};
    return placed.width > 0 && placed.height > 0;
}

// Calls onRun(alpha, dest, sourceIndex, count) for each run of source pixels of one alpha class
// (0, 255, other), cut to the blit's rows; alpha is the run's first pixel's.
template <typename Texels, typename OnRun>
void ForEachAlphaRun(MemoryImage& dest, const MemoryImage& source, const Texels& texels, const uint8_t* runs,
                     const BlitArea& area, OnRun onRun)
{
    uint32_t* destPixels = dest.GetBits();
    for (int j = 0; j < area.height; ++j) {
        size_t srcRow = size_t(area.srcY + j) * size_t(source.width) + size_t(area.srcX);
        uint32_t* destRow = destPixels + size_t(area.destY + j) * size_t(dest.width) + size_t(area.destX);
        for (int i = 0; i < area.width;) {
            size_t at = srcRow + size_t(i);
            int count = std::min<int>(runs[at], area.width - i);
            onRun(AlphaOf(texels[at]), destRow + i, at, count);
            i += count;
        }
    }
}

// Opaque destination, white: opaque runs copied, transparent runs skipped, partial pixels mixed
// by their alpha into an opaque result.
template <typename Texels>
void CopyBlendBlt(MemoryImage& dest, MemoryImage& source, const Texels& texels, const uint8_t* runs,
                  const BlitArea& area)
{
    ForEachAlphaRun(dest, source, texels, runs, area, [&](uint32_t alpha, uint32_t* d, size_t at, int count) {
        if (alpha == 255) {
            texels.CopyTo(d, at, size_t(count));
        } else if (alpha != 0) {
            for (int k = 0; k < count; ++k) {
                uint32_t s = texels[at + size_t(k)];
                d[k] = 0xFF000000 | MixRGBSplitBlue(d[k], s, AlphaOf(s));
            }
        }
    });
}

template <typename Texels>
void CompositeBlt(MemoryImage& dest, MemoryImage& source, const Texels& texels, const uint8_t* runs,
                  const BlitArea& area)
{
    ForEachAlphaRun(dest, source, texels, runs, area, [&](uint32_t alpha, uint32_t* d, size_t at, int count) {
        if (alpha == 0)
            return;
        for (int k = 0; k < count; ++k) {
            uint32_t s = texels[at + size_t(k)];
            d[k] = CompositeOnto<BlueRounding::Split>(d[k], s, AlphaOf(s));
        }
    });
}

template <typename Texels>
void ColorizedBlt(MemoryImage& dest, MemoryImage& source, const Texels& texels, const uint8_t* runs,
                  const BlitArea& area, const Tint& tint)
{
    if (tint.a == 0)
        return;
    ForEachAlphaRun(dest, source, texels, runs, area, [&](uint32_t alpha, uint32_t* d, size_t at, int count) {
        if (alpha == 0)
            return;
        for (int k = 0; k < count; ++k) {
            uint32_t s = texels[at + size_t(k)];
            if (uint32_t sa = tint.AlphaOf(s))
                d[k] = CompositeOnto<BlueRounding::Split>(d[k], tint.Apply(s), sa);
        }
    });
}

// Each channel plus the source's, tinted by the colour's factors when it is not white and
// weighted by the source alpha when the source has partial alpha. Pixels of alpha 0 add
// nothing, so a keyed source's hidden colours stay hidden.
template <typename Texels>
void AdditiveBlt(MemoryImage& dest, MemoryImage& source, const Texels& texels, const uint8_t* runs,
                 const BlitArea& area, const Color& color, bool weightByAlpha)
{
    const bool tinted = color != Color::White;
    auto factor = [&color](int ch) { return uint32_t(ch * color.alpha / 255); };
    const uint32_t fR = factor(color.red), fG = factor(color.green), fB = factor(color.blue);
    ForEachAlphaRun(dest, source, texels, runs, area, [&](uint32_t alpha, uint32_t* d, size_t at, int count) {
        if (alpha == 0)
            return;
        for (int k = 0; k < count; ++k) {
            uint32_t s = texels[at + size_t(k)];
            uint32_t r = RedOf(s), g = GreenOf(s), b = BlueOf(s);
            if (tinted) {
                r = r * fR / 256;
                g = g * fG / 256;
                b = b * fB / 256;
            }
            if (weightByAlpha) {
                uint32_t sa = AlphaOf(s);
                r = r * sa / 256;
                g = g * sa / 256;
                b = b * sa / 256;
            }
            d[k] = AddSaturated(d[k], r, g, b);
        }
    });
}

} // namespace

void MemoryImage::Blt(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (!image)
        return;
    image->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(image);
    BlitArea area;
    if (!source || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE) ||
        !ClipBlit(*source, *this, x, y, srcRect, area))
        return;
    const Color c = ClampedColor(color);
    // Read before the run-length data brings the source's alpha flags up to date.
    const bool sourceHasAlpha = source->hasAlpha;
    const uint8_t* runs = source->GetRLAlphaData();
    WithTexels(*source, [&](const auto& texels) {
        if (drawMode == DRAWMODE_ADDITIVE)
            AdditiveBlt(*this, *source, texels, runs, area, c, sourceHasAlpha);
        else if (c != Color::White)
            ColorizedBlt(*this, *source, texels, runs, area, Tint(c));
        else if (!hasTrans && !hasAlpha) // the flags as they stand, even when stale
            CopyBlendBlt(*this, *source, texels, runs, area);
        else
            CompositeBlt(*this, *source, texels, runs, area);
    });
    BitsChanged();
}

void MemoryImage::BltF(Image* image, float x, float y, const Rect& srcRect, const Rect& clipRect, const Color& color,
                       int drawMode)
{
    if (!image)
        return;
    image->drawn = true;
    BltRotated(image, x, y, srcRect, clipRect, color, drawMode, 0.0, 0.0f, 0.0f);
}

} // namespace Nubra
