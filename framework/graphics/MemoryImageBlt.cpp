// Unscaled blits of one memory image onto another: normal (copy, colourised, composited) and
// additive, both walking the source by its run-length alpha data.
#include "framework/graphics/BlendRows.h"
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

// Walks the blit's rows by the source's runs of one alpha class (0, 255, other), cut to the
// rows: transparent runs are skipped, opaque runs copied when the road copies them, and every
// other run handed to the road as one span of source pixels.
template <typename Texels, typename Road>
void ForEachAlphaRun(uint32_t* destPixels, int destWidth, const MemoryImage& source, const Texels& texels,
                     const uint8_t* runs, const BlitArea& area, const Road& road)
{
    uint32_t scratch[255]; // a run is at most 255 pixels
    for (int j = 0; j < area.height; ++j) {
        size_t srcRow = size_t(area.srcY + j) * size_t(source.width) + size_t(area.srcX);
        uint32_t* destRow = destPixels + size_t(area.destY + j) * size_t(destWidth) + size_t(area.destX);
        for (int i = 0; i < area.width;) {
            const size_t at = srcRow + size_t(i);
            const int count = std::min<int>(runs[at], area.width - i);
            const uint32_t alpha = AlphaOf(texels[at]);
            if (alpha == 255 && road.copiesOpaqueRuns)
                texels.CopyTo(destRow + i, at, size_t(count));
            else if (alpha != 0)
                road(destRow + i, texels.Span(at, size_t(count), scratch), count);
            i += count;
        }
    }
}

// Each road is what it does to a run of visible source pixels. Transparent runs leave every
// road's pixels as they are (the additive road included, so a keyed source's hidden colours
// stay hidden).
struct CopyBlendRoad { // opaque destination, white: opaque runs copied, partial pixels mixed in
    static constexpr bool copiesOpaqueRuns = true;
    void operator()(uint32_t* d, const uint32_t* s, int count) const { MixRowOpaque(d, s, count); }
};

struct CompositeRoad {
    static constexpr bool copiesOpaqueRuns = false;
    void operator()(uint32_t* d, const uint32_t* s, int count) const { CompositeRow(d, s, count); }
};

struct ColorizedRoad {
    static constexpr bool copiesOpaqueRuns = false;
    Tint tint;
    void operator()(uint32_t* d, const uint32_t* s, int count) const { CompositeTintedRow(d, s, count, tint); }
};

struct AdditiveRoad {
    static constexpr bool copiesOpaqueRuns = false;
    AddFactors factors;
    void operator()(uint32_t* d, const uint32_t* s, int count) const { AddRow(d, s, count, factors); }
};

// The colour's factors (c x alpha / 255) when it is not white; the source alpha weighs in
// only when the source has partial alpha.
AddFactors AdditiveFactors(const Color& color, bool weightByAlpha)
{
    AddFactors factors;
    factors.tinted = color != Color::White;
    factors.weighted = weightByAlpha;
    factors.r = uint32_t(color.red * color.alpha / 255);
    factors.g = uint32_t(color.green * color.alpha / 255);
    factors.b = uint32_t(color.blue * color.alpha / 255);
    return factors;
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
    // Taken first: a palettised image drawn onto itself is expanded now, not under the walk.
    uint32_t* pixels = GetBits();
    const uint8_t* runs = source->GetRLAlphaData();
    WithTexels(*source, [&](const auto& texels) {
        auto walk = [&](const auto& road) { ForEachAlphaRun(pixels, width, *source, texels, runs, area, road); };
        if (drawMode == DRAWMODE_ADDITIVE)
            walk(AdditiveRoad{AdditiveFactors(c, sourceHasAlpha)});
        else if (c != Color::White)
            walk(ColorizedRoad{Tint(c)});
        else if (!hasTrans && !hasAlpha) // the flags as they stand, even when stale
            walk(CopyBlendRoad{});
        else
            walk(CompositeRoad{});
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
