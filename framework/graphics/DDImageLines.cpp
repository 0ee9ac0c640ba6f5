// Sloped and anti-aliased lines on surfaces, and the coverage span fill. Pixels that the walks
// put outside the surface are left out.
#include "framework/graphics/LineWalk.h"
#include "framework/graphics/SurfaceBlitting.h"

#include <algorithm>
#include <type_traits>

namespace Nubra {

using namespace SurfaceBlit;

namespace {

// Replaces each pixel d of the line's walk by f(d).
template <typename F>
void LinePixels(const LockedSurface& target, double x1, double y1, double x2, double y2, F f)
{
    WithPixelType(target.Format(), [&](auto pixel) {
        using Pixel = decltype(pixel);
        WalkLine(x1, y1, x2, y2, true, [&](int x, int y) {
            if (target.Contains(x, y)) {
                Pixel* p = target.At<Pixel>(x, y);
                *p = Pixel(f(uint32_t(*p)));
            }
        });
    });
}

// d moved towards c by w / 256 channel by channel, floored: Σ ((d & m)(256 - w) + (c & m) w) >> 8 & m.
uint32_t MixFields(const Channels& channels, uint32_t d, uint32_t c, uint32_t w)
{
    return channels.Sum(0, 0, 0, [d, c, w](const Channel& ch, uint32_t) {
        return (((d & ch.mask) * (256 - w) + (c & ch.mask) * w) >> 8) & ch.mask;
    });
}

// The anti-aliased line's blend of the placed colour c over d by the weight w.
template <typename L> uint32_t MixAA(const Channels& channels, uint32_t d, uint32_t c, uint32_t w)
{
    if constexpr (std::is_same_v<L, Bits32>)
        return ((((d & 0xFF00FF) * (256 - w) + (c & 0xFF00FF) * w) >> 8) & 0xFF00FF)
               | ((((d & 0xFF00) * (256 - w) + (c & 0xFF00) * w) >> 8) & 0xFF00);
    else if constexpr (kSpread<L>)
        return L::Scale(c, w) + L::Scale(d, 256 - w);
    else
        return MixFields(channels, d, c, w);
}

} // namespace

void DDImage::NormalDrawLine(double startX, double startY, double endX, double endY, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Readable() || !LineUsable(startX, startY, endX, endY))
        return;
    const Channels channels(target.Format(), *display);
    const Color c = ClampedColor(color);
    const uint32_t a = uint32_t(c.alpha);
    if (a == 255) {
        const uint32_t value = channels.Sum(c, [](const Channel& ch, uint32_t v) {
            return ((v * ch.mask + (ch.mask >> 1)) >> 8) & ch.mask;
        });
        LinePixels(target, startX, startY, endX, endY, [value](uint32_t) { return value; });
        return;
    }
    const uint32_t source = channels.Sum(c, [a](const Channel& ch, uint32_t v) {
        return ((((v * a + 128) >> 8) * ch.mask + (ch.mask >> 1)) >> 8) & ch.mask;
    });
    LinePixels(target, startX, startY, endX, endY, [&channels, source, a](uint32_t d) {
        return source + channels.Sum(0, 0, 0, [d, a](const Channel& ch, uint32_t) {
                   return (((d & ch.mask) * (256 - a) + (ch.mask >> 1)) >> 8) & ch.mask;
               });
    });
}

void DDImage::AdditiveDrawLine(double startX, double startY, double endX, double endY, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Readable() || !LineUsable(startX, startY, endX, endY))
        return;
    const Channels channels(target.Format(), *display);
    const Channels::Amounts add = channels.AddAmounts(ClampedColor(color));
    LinePixels(target, startX, startY, endX, endY, [&](uint32_t d) { return channels.AddFields(d, add); });
}

// Drawn on write-only surfaces too.
void DDImage::NormalDrawLineAA(double startX, double startY, double endX, double endY, const Color& color)
{
    LockedSurface target(*this);
    if (!target.Usable() || !LineUsable(startX, startY, endX, endY))
        return;
    const Channels channels(target.Format(), *display);
    const Color c = ClampedColor(color);
    const uint32_t placed = channels.Placed(c), a = uint32_t(c.alpha);
    const int rowLength = target.RowLength(), lastRow = target.Height() - 1;
    WithLayout(target.Format(), [&](auto layout) {
        using L = decltype(layout);
        using Pixel = typename L::Pixel;
        auto plot = [&](int x, int y, uint32_t w) {
            if (!target.Contains(x, y))
                return;
            if (a < 255)
                w = ((a + 1) * w) >> 8;
            Pixel* p = target.At<Pixel>(x, y);
            *p = Pixel(MixAA<L>(channels, *p, placed, w));
        };
        WalkLineAA(startX, startY, endX, endY, plot,
                   [&](int x, int y, bool rowWalk) { return rowWalk ? x < rowLength - 1 : y < lastRow; });
    });
}

// An additive anti-aliased line is not drawn on surfaces.
void DDImage::AdditiveDrawLineAA(double, double, double, double, const Color&) {}

// Drawn on write-only surfaces too; the draw mode is not consulted.
void DDImage::FillScanLinesWithCoverageOnSurface(const Span* spans, int count, const Color& color,
                                                 const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                                 int coverHeight)
{
    if (!spans || !coverage || count <= 0)
        return;
    LockedSurface target(*this);
    if (!target.Usable())
        return;
    const Channels channels(target.Format(), *display);
    const Color c = ClampedColor(color);
    const uint32_t placed = channels.Placed(c), colorAlpha = uint32_t(c.alpha);
    // Only pixels that have both a place on the surface and a coverage byte.
    const Rect covered = Rect(coverX, coverY, coverWidth, coverHeight).Intersection(target.Bounds());
    WithPixelType(target.Format(), [&](auto pixel) {
        using Pixel = decltype(pixel);
        for (int k = 0; k < count; ++k) {
            const Span& span = spans[k];
            if (span.y < covered.y || span.y >= covered.y + covered.height)
                continue;
            const int left = std::max(span.x, covered.x);
            const int right = int(std::min<int64_t>(int64_t(span.x) + span.width, covered.x + covered.width));
            const uint8_t* cover = coverage + size_t(span.y - coverY) * size_t(coverWidth);
            Pixel* row = target.Row<Pixel>(span.y);
            for (int x = left; x < right; ++x) {
                const uint32_t a = ((uint32_t(cover[x - coverX]) + 1) * colorAlpha) >> 8;
                row[x] = Pixel(MixFields(channels, row[x], placed, a));
            }
        }
    });
}

} // namespace Nubra
