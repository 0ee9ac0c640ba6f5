// The stretched and mirrored blits onto a surface-backed image: the smooth stretch through a
// temporary memory image, the surface-to-surface stretch, and the nearest-pixel stretch that
// blends the source's display-format words straight into the locked surface.
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/SurfaceAccess.h"
#include "framework/graphics/Texels.h"
#include "framework/graphics/TransformedBlits.h"

#include <algorithm>
#include <vector>

namespace Nubra {

namespace {

// The source index a nearest stretch reads for each of `count` destination pixels: the one under
// the pixel's top-left corner, stepping 16.16 from `start` over `length` source pixels. Indices
// off the image are held to its edge.
std::vector<int> NearestIndices(double start, double length, int count, int size)
{
    const int64_t step = ToFixed(length / count);
    int64_t position = ToFixed(start);
    std::vector<int> indices(static_cast<size_t>(count));
    for (int& index : indices) {
        index = int(std::clamp<int64_t>(position >> 16, 0, size - 1));
        position += step;
    }
    return indices;
}

// d's channels times dw / 256, each floored in its own place.
struct MaskScale {
    const Channels& channels;

    uint32_t operator()(uint32_t d, uint32_t dw) const
    {
        auto part = [&](const Channel& c) { return (((d & c.mask) * dw) >> 8) & c.mask; };
        return part(channels.red) + part(channels.green) + part(channels.blue);
    }
};

// The same for 8-bit channels at 0xFF00FF and 0xFF00 (either order): two at once.
struct PairScale {
    uint32_t operator()(uint32_t d, uint32_t dw) const
    {
        return ((((d & 0xFF00FF) * dw) >> 8) & 0xFF00FF) + ((((d & 0xFF00) * dw) >> 8) & 0xFF00);
    }
};

// The blends of a premultiplied source word s over the surface pixel d. A 16-bit surface keeps
// the low half of what they give.
template <typename Scale> struct NormalWhite {
    Scale scale;

    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        const uint32_t a = s >> 24;
        if (a == 255)
            return s; // d x 1 / 256 is 0 in channels of at most 8 bits
        return a == 0 ? d : scale(d, 256 - a) + s;
    }
};

// Per channel, the colour's component times its alpha / 255.
struct ColorFactors {
    uint32_t alpha, kR, kG, kB;

    explicit ColorFactors(const Color& c)
        : alpha(uint32_t(c.alpha)), kR(uint32_t(c.red * c.alpha / 255)), kG(uint32_t(c.green * c.alpha / 255)),
          kB(uint32_t(c.blue * c.alpha / 255))
    {
    }
};

struct NormalTinted {
    const Channels& channels;
    ColorFactors k;

    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        const uint32_t a = (s >> 24) * k.alpha / 255;
        if (a == 0)
            return d;
        const uint32_t dw = 256 - a;
        auto part = [&](const Channel& c, uint32_t kc) {
            return (((d & c.mask) * dw + (s & c.mask) * kc) >> 8) & c.mask;
        };
        return part(channels.red, k.kR) + part(channels.green, k.kG) + part(channels.blue, k.kB);
    }
};

uint32_t SaturatedField(const Channel& c, uint32_t index) { return (*c.saturation)[index] << c.shift; }

struct AdditiveWhite {
    const Channels& channels;

    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        if (s == 0)
            return d;
        auto field = [&](const Channel& c) { return SaturatedField(c, ((d & c.mask) + (s & c.mask)) >> c.shift); };
        return field(channels.red) | field(channels.green) | field(channels.blue);
    }
};

struct AdditiveTinted {
    const Channels& channels;
    ColorFactors k;

    uint32_t operator()(uint32_t s, uint32_t d) const
    {
        if (s == 0)
            return d;
        auto field = [&](const Channel& c, uint32_t kc) {
            return SaturatedField(c, ((((s & c.mask) >> c.shift) * kc) >> 8) + ((d & c.mask) >> c.shift));
        };
        return field(channels.red, k.kR) | field(channels.green, k.kG) | field(channels.blue, k.kB);
    }
};

// Calls draw(blend) with the member for the draw mode and the colour.
template <typename Draw>
void WithStretchBlend(const Channels& channels, const plat::PixelFormat& format, const Color& color, int drawMode,
                      Draw&& draw)
{
    const bool white = color == Color::White;
    if (drawMode != DRAWMODE_NORMAL) {
        if (white)
            draw(AdditiveWhite{channels});
        else
            draw(AdditiveTinted{channels, ColorFactors(color)});
    } else if (!white) {
        draw(NormalTinted{channels, ColorFactors(color)});
    } else if (format.bitsPerPixel == 32 && format.greenMask == 0xFF00 && (format.redMask | format.blueMask) == 0xFF00FF) {
        draw(NormalWhite<PairScale>{PairScale()});
    } else {
        draw(NormalWhite<MaskScale>{MaskScale{channels}});
    }
}

// Each destination row of `dest` reads the source row of `rows` at the columns of `columns`;
// mirrored rows are written from their right end leftward.
template <typename Pixel, typename Texels, typename Blend>
void DrawStretchedRows(const LockedSurface& target, const Rect& dest, const Texels& texels, size_t stride,
                       const std::vector<int>& columns, const std::vector<int>& rows, bool mirrored,
                       const Blend& blend)
{
    const ptrdiff_t first = mirrored ? dest.width - 1 : 0, step = mirrored ? -1 : 1;
    for (int j = 0; j < dest.height; ++j) {
        Pixel* out = target.Row<Pixel>(dest.y + j) + dest.x;
        const size_t row = size_t(rows[size_t(j)]) * stride;
        for (int i = 0; i < dest.width; ++i) {
            Pixel& d = out[first + i * step];
            d = Pixel(blend(texels[row + size_t(columns[size_t(i)])], d));
        }
    }
}

// Marks the source drawn and commits the target's bits; true when the card took the stretch.
bool StretchedOnCard(DDImage& target, Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                     const Color& color, int drawMode, bool fastStretch, bool mirror)
{
    image->drawn = true;
    target.CommitBits();
    if (!target.Check3D())
        return false;
    target.display->d3dInterface->StretchBlt(image, destRect, srcRect, &clipRect, color, drawMode, fastStretch, mirror);
    return true;
}

} // namespace

void DDImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                         const Color& color, int drawMode, bool fastStretch)
{
    if (!image || StretchedOnCard(*this, image, destRect, srcRect, clipRect, color, drawMode, fastStretch, false))
        return;
    // The smooth stretch blends in memory whatever has alpha, and a picture that cannot go on a
    // surface is drawn in memory rather than lost.
    const bool smoothInMemory = drawToBits || hasAlpha || hasTrans || !display || display->is3D;
    if (fastStretch ? !GetSurface() : smoothInMemory) {
        MemoryImage::StretchBlt(image, destRect, srcRect, clipRect, color, drawMode, fastStretch);
        return;
    }
    const StretchArea area = StretchAreaOf(destRect, srcRect, clipRect.Intersection(Rect(0, 0, width, height)), false);
    if (area.Empty())
        return;
    if (!fastStretch) {
        SmoothStretchThroughMemory(image, area, color, drawMode);
        return;
    }
    auto* surfaceSource = dynamic_cast<DDImage*>(image);
    if (surfaceSource && color == Color::White && drawMode == DRAWMODE_NORMAL) {
        surfaceSource->CommitBits();
        if (!surfaceSource->hasAlpha && surfaceSource->GetSurface()) {
            const DRect& box = area.box;
            const plat::PixelRect from{int(box.x), int(box.y), int(box.x + box.width) - int(box.x),
                                       int(box.y + box.height) - int(box.y)};
            if (BltFromSurface(surfaceSource, {area.dest.x, area.dest.y, area.dest.width, area.dest.height}, from))
                DeleteExtraBuffers();
            return;
        }
    }
    DrawStretched(image, area, color, drawMode, false);
}

// Filtered into a memory image first; the colour and the draw mode apply when that is blitted.
void DDImage::SmoothStretchThroughMemory(Image* image, const StretchArea& area, const Color& color, int drawMode)
{
    MemoryImage stretched(app);
    stretched.Create(area.dest.width, area.dest.height);
    const Rect whole(0, 0, area.dest.width, area.dest.height);
    stretched.SmoothStretchBlt(image, whole, area.box, color, drawMode);
    Blt(&stretched, area.dest.x, area.dest.y, whole, color, drawMode);
    DeleteExtraBuffers();
}

void DDImage::DrawStretched(Image* image, const StretchArea& area, const Color& color, int drawMode, bool mirrored)
{
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source) {
        DeleteExtraBuffers();
        return;
    }
    if (source->width <= 0 || source->height <= 0)
        return;
    source->CommitBits();
    const uint32_t* native = source->GetNativeAlphaData(display);
    const Rect& dest = area.dest;
    const std::vector<int> columns = NearestIndices(area.box.x, area.box.width, dest.width, source->width);
    const std::vector<int> rows = NearestIndices(area.box.y, area.box.height, dest.height, source->height);
    {
        LockedSurface target(*this);
        if (!target.Locked())
            return;
        if (native && target.Usable()) {
            const Channels channels(surfaceDesc.format, *display);
            WithNativeTexels(*source, native, [&](const auto& texels) {
                WithStretchBlend(channels, surfaceDesc.format, ClampedColor(color), drawMode, [&](const auto& blend) {
                    const size_t stride = size_t(source->width);
                    if (target.Is16())
                        DrawStretchedRows<uint16_t>(target, dest, texels, stride, columns, rows, mirrored, blend);
                    else
                        DrawStretchedRows<uint32_t>(target, dest, texels, stride, columns, rows, mirrored, blend);
                });
            });
        }
    }
    DeleteExtraBuffers(); // the surface now holds the only picture
}

void DDImage::StretchBltMirror(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                               const Color& color, int drawMode, bool fastStretch)
{
    if (!image || StretchedOnCard(*this, image, destRect, srcRect, clipRect, color, drawMode, fastStretch, true))
        return;
    const StretchArea area = StretchAreaOf(destRect, srcRect, clipRect.Intersection(Rect(0, 0, width, height)), true);
    if (!area.Empty())
        DrawStretched(image, area, color, drawMode, true);
}

void DDImage::BltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (!image)
        return;
    CommitBits();
    if (Check3D()) {
        display->d3dInterface->BltMirror(image, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    // A picture that cannot go on a surface keeps its memory copy.
    if (!GetSurface())
        return;
    if (drawMode == DRAWMODE_NORMAL)
        NormalBltMirror(image, x, y, srcRect, color);
    else if (drawMode == DRAWMODE_ADDITIVE)
        AdditiveBltMirror(image, x, y, srcRect, color);
    DeleteExtraBuffers();
}

} // namespace Nubra
