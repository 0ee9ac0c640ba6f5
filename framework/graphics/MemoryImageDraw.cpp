// Fills, lines and coverage spans of the memory image.
#include "framework/graphics/LineWalk.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Nubra {

namespace {

int Trunc(double v) { return int(v); }

} // namespace

void MemoryImage::FillRect(const Rect& rect, const Color& color, int)
{
    Rect area = rect.Intersection(Bounds());
    if (area.width <= 0 || area.height <= 0)
        return;
    Color c = ClampedColor(color);
    uint32_t packed = c.ToInt();
    uint32_t alpha = uint32_t(c.alpha);
    uint32_t* pixels = GetBits();
    for (int y = area.y; y < area.y + area.height; ++y) {
        uint32_t* row = pixels + size_t(y) * size_t(width) + size_t(area.x);
        if (alpha == 255) {
            std::fill_n(row, area.width, packed);
        } else if (alpha != 0) {
            for (int i = 0; i < area.width; ++i)
                row[i] = CompositeOnto<BlueRounding::Once>(row[i], packed, alpha);
        }
    }
    BitsChanged();
}

void MemoryImage::ClearRect(const Rect& rect)
{
    Rect area = rect.Intersection(Bounds());
    if (area.width <= 0 || area.height <= 0)
        return;
    uint32_t* pixels = GetBits();
    for (int y = area.y; y < area.y + area.height; ++y)
        std::fill_n(pixels + size_t(y) * size_t(width) + size_t(area.x), area.width, 0u);
    BitsChanged();
}

namespace {

// A line along one axis as the rectangle of the pixels it covers; false for a sloped line.
bool AxisLineRect(double x1, double y1, double x2, double y2, Rect& out)
{
    if (y1 == y2) {
        int left = Trunc(std::min(x1, x2));
        out = Rect(left, Trunc(y1), Trunc(std::max(x1, x2)) - left + 1, 1);
        return true;
    }
    if (x1 == x2) {
        int top = Trunc(std::min(y1, y2));
        out = Rect(Trunc(x1), top, 1, Trunc(std::max(y1, y2)) - top + 1);
        return true;
    }
    return false;
}

} // namespace

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!LineUsable(x1, y1, x2, y2))
        return;
    Rect axisLine;
    if (AxisLineRect(x1, y1, x2, y2, axisLine)) {
        FillRect(axisLine, color, drawMode);
    } else if (drawMode == DRAWMODE_NORMAL) {
        NormalDrawLine(x1, y1, x2, y2, color);
    } else if (drawMode == DRAWMODE_ADDITIVE) {
        AdditiveDrawLine(x1, y1, x2, y2, color);
    } else {
        BitsChanged();
    }
}

void MemoryImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!LineUsable(x1, y1, x2, y2))
        return;
    Rect axisLine;
    if (AxisLineRect(x1, y1, x2, y2, axisLine))
        FillRect(axisLine, color, drawMode);
    else if (drawMode == DRAWMODE_NORMAL)
        NormalDrawLineAA(x1, y1, x2, y2, color);
    else
        BitsChanged();
}

void MemoryImage::NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LineUsable(x1, y1, x2, y2))
        return;
    Color c = ClampedColor(color);
    uint32_t a = uint32_t(c.alpha);
    uint32_t* pixels = GetBits();
    auto at = [&](int x, int y) -> uint32_t* {
        return x >= 0 && x < width && y >= 0 && y < height ? pixels + size_t(y) * size_t(width) + size_t(x)
                                                            : nullptr;
    };
    if (a == 255) {
        auto opaque = [](int ch) { return (uint32_t(ch) * 255 + 127) / 256; };
        uint32_t packed = PackARGB(255, opaque(c.red), opaque(c.green), opaque(c.blue));
        WalkLine(x1, y1, x2, y2, true, [&](int x, int y) {
            if (uint32_t* p = at(x, y))
                *p = packed;
        });
    } else {
        // The colour's share of each channel, rounded as the translucent line rounds it.
        auto share = [a](int ch) { return ((uint32_t(ch) * a + 128) / 256 * 255 + 127) / 256; };
        uint32_t addR = share(c.red), addG = share(c.green), addB = share(c.blue);
        auto keep = [a](uint32_t ch) { return (ch * (256 - a) + 127) / 256; };
        WalkLine(x1, y1, x2, y2, true, [&](int x, int y) {
            if (uint32_t* p = at(x, y))
                *p = PackARGB(255, keep(RedOf(*p)) + addR, keep(GreenOf(*p)) + addG, keep(BlueOf(*p)) + addB);
        });
    }
    BitsChanged();
}

void MemoryImage::AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LineUsable(x1, y1, x2, y2))
        return;
    Color c = ClampedColor(color);
    auto weighted = [&c](int ch) { return uint32_t(ch * c.alpha / 255); };
    uint32_t kR = weighted(c.red), kG = weighted(c.green), kB = weighted(c.blue);
    uint32_t* pixels = GetBits();
    WalkLine(x1, y1, x2, y2, false, [&](int x, int y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
            p = AddSaturated(p, kR, kG, kB) | 0xFF000000;
        }
    });
    BitsChanged();
}

void MemoryImage::NormalDrawLineAA(double x1, double y1, double x2, double y2, const Color& color)
{
    if (!LineUsable(x1, y1, x2, y2))
        return;
    uint32_t packed = ClampedColor(color).ToInt();
    uint32_t colorAlpha = AlphaOf(packed);
    uint32_t* pixels = GetBits();
    // A share h of the colour: alpha (h x (A + 1)) >> 8, composited. The second pixel of a pair
    // may fall off the image's edge; it is then left out.
    auto draw = [&](int x, int y, uint32_t share) {
        uint32_t alpha = (share * (colorAlpha + 1)) >> 8;
        if (alpha == 0 || x < 0 || x >= width || y < 0 || y >= height)
            return;
        uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
        p = CompositeOnto<BlueRounding::Once>(p, packed, alpha);
    };
    WalkLineAA(x1, y1, x2, y2, draw, [](int, int, bool) { return true; });
    BitsChanged();
}

void MemoryImage::FillScanLinesWithCoverage(const Span* spans, int count, const Color& color, int,
                                            const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                            int coverHeight)
{
    if (!spans || !coverage || count <= 0)
        return;
    Color c = ClampedColor(color);
    uint32_t packed = c.ToInt();
    uint32_t* pixels = GetBits();
    const Rect covered = Rect(coverX, coverY, coverWidth, coverHeight).Intersection(Bounds());
    for (int k = 0; k < count; ++k) {
        const Span& span = spans[k];
        if (span.y < covered.y || span.y >= covered.y + covered.height)
            continue; // no coverage byte (or no pixel) for this row
        // Only the pixels that have both a destination pixel and a coverage byte.
        const int left = std::max(span.x, covered.x);
        const int right = int(std::min<int64_t>(int64_t(span.x) + span.width, covered.x + covered.width));
        const uint8_t* cover = coverage + size_t(span.y - coverY) * size_t(coverWidth);
        uint32_t* row = pixels + size_t(span.y) * size_t(width);
        for (int x = left; x < right; ++x) {
            uint32_t alpha = uint32_t(c.alpha) * (uint32_t(cover[x - coverX]) + 1) / 256;
            if (alpha != 0)
                row[x] = CompositeOnto<BlueRounding::Once>(row[x], packed, alpha);
        }
    }
    BitsChanged();
}

} // namespace Nubra
