// Fills, lines and coverage spans of the memory image.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace Nubra {

namespace {

// Lines further out than this are dropped: nothing of them can land in an image, their walks
// would run for ages and their pixel positions would overflow.
constexpr double kMaxLineCoordinate = 1 << 20;

bool LineUsable(double x1, double y1, double x2, double y2)
{
    for (double v : {x1, y1, x2, y2})
        if (!(std::fabs(v) <= kMaxLineCoordinate)) // also false for NaN
            return false;
    return true;
}

int Trunc(double v) { return int(v); }

// Calls plot(x, y) for each pixel of the Bresenham walk from (x1, y1) to (x2, y2). The error
// term starts with the start's minor-axis fraction only when seedWithFraction is set. The walk
// ends as soon as a minor step leaves the bounding box of the end points.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, bool seedWithFraction, Plot plot)
{
    const double minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const double minY = std::min(y1, y2), maxY = std::max(y1, y2);
    double dx = x2 - x1, dy = y2 - y1;
    const bool yMajor = std::fabs(dx) <= std::fabs(dy);
    if ((yMajor ? dy : dx) < 0) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        dx = -dx;
        dy = -dy;
    }
    const double startMajor = yMajor ? y1 : x1, startMinor = yMajor ? x1 : y1, endMajor = yMajor ? y2 : x2;
    const double deltaMajor = yMajor ? dy : dx;
    double deltaMinor = yMajor ? dx : dy;
    int minorStep = 1;
    if (deltaMinor < 0) {
        minorStep = -1;
        deltaMinor = -deltaMinor;
    }
    const double minMajor = yMajor ? minY : minX, maxMajor = yMajor ? maxY : maxX;
    const double minMinor = yMajor ? minX : minY, maxMinor = yMajor ? maxX : maxY;

    plot(Trunc(x1), Trunc(y1));
    const int32_t incrE = int32_t(2 * deltaMinor);
    const int32_t incrNE = int32_t(2 * (deltaMinor - deltaMajor));
    const double seed = std::trunc(2 * deltaMinor - deltaMajor);
    int32_t d = seedWithFraction ? int32_t((startMinor - std::trunc(startMinor)) * incrE + seed) : int32_t(seed);
    int minor = Trunc(startMinor);
    for (int c = Trunc(startMajor + 1.0); c <= endMajor; ++c) {
        if (d > 0) {
            minor += minorStep;
            d += incrNE;
            if (minor < minMinor || minor > maxMinor || c < minMajor || c > maxMajor)
                return;
        } else {
            d += incrE;
        }
        if (yMajor)
            plot(minor, c);
        else
            plot(c, minor);
    }
}

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
    auto lowBits = [](double v) { return uint32_t(int64_t(v)); };

    if (Trunc(y1) > Trunc(y2)) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int x0 = Trunc(x1), y0 = Trunc(y1), xe = Trunc(x2), ye = Trunc(y2);
    int deltaX = xe - x0;
    const int deltaY = ye - y0;
    double dx = x2 - x1;
    const double dy = y2 - y1;
    int step = 1;
    if (deltaX < 0) {
        deltaX = -deltaX;
        dx = -dx;
        step = -1;
    }
    uint32_t e = lowBits(std::fabs(x1 - x0) * std::fabs(y1 - y0) * 65536);
    auto fraction = [&e] { return (e >> 8) & 255; };
    draw(x0, y0, 255 - fraction());

    int x = x0, y = y0;
    if (deltaX < deltaY) {
        uint32_t adjust = deltaY > 1 ? lowBits(dx / dy * 65536) : 0;
        for (int i = 0; i < deltaY - 1; ++i) {
            e += adjust;
            if (e >= 0x10000) {
                e &= 0xFFFF;
                x += step;
            }
            ++y;
            draw(x, y, 255 - fraction());
            draw(x + step, y, fraction());
        }
    } else {
        uint32_t adjust = deltaX > 1 ? lowBits(dy / dx * 65536) : 0;
        for (int i = 0; i < deltaX - 1; ++i) {
            e += adjust;
            if (e >= 0x10000) {
                e &= 0xFFFF;
                ++y;
            }
            x += step;
            draw(x, y, 255 - fraction());
            draw(x, y + 1, fraction());
        }
    }
    draw(xe, ye, 255 - fraction());
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
