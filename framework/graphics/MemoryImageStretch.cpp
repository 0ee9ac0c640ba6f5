// Stretched blits of the memory image: nearest-pixel and the two-pass integer filter.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/PixelMath.h"
#include "framework/graphics/Texels.h"
#include "framework/graphics/TransformedBlits.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Nubra {

namespace {

// Source boxes further out than this cannot touch an image; their pixel positions would overflow.
bool BoxUsable(const DRect& box)
{
    for (double v : {box.x, box.y, box.width, box.height})
        if (!(std::fabs(v) < double(1 << 24)))
            return false;
    return true;
}

} // namespace

void MemoryImage::StretchBlt(Image* image, const Rect& destRect, const Rect& srcRect, const Rect& clipRect,
                             const Color& color, int drawMode, bool fastStretch)
{
    if (!image)
        return;
    image->drawn = true;
    const StretchArea area = StretchAreaOf(destRect, srcRect, clipRect, false);
    if (area.Empty())
        return;
    if (fastStretch)
        FastStretchBlt(image, area.dest, area.box, color, drawMode);
    else
        SmoothStretchBlt(image, area.dest, area.box, color, drawMode);
}

void MemoryImage::FastStretchBlt(Image* image, const Rect& destRect, const DRect& srcBox, const Color& color, int)
{
    if (!image)
        return;
    image->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || source->width <= 0 || source->height <= 0 || !BoxUsable(srcBox))
        return;
    const uint32_t* src = source->GetBits();
    uint32_t* pixels = GetBits();
    const Color c = ClampedColor(color);
    const bool tinted = c != Color::White;
    const Tint tint(c);

    const double stepX = srcBox.width / destRect.width, stepY = srcBox.height / destRect.height;
    // Samples that fall off either image are left out; the walk itself is not moved.
    const Rect visible = destRect.Intersection(Bounds());
    auto sourceIndex = [](double v, int size) { return std::clamp(v, 0.0, double(size - 1)); };
    double vy = srcBox.y;
    for (int j = 0; j < destRect.height; ++j, vy += stepY) {
        const int destY = destRect.y + j;
        if (destY < visible.y || destY >= visible.y + visible.height)
            continue;
        const uint32_t* srcRow = src + size_t(sourceIndex(vy, source->height)) * size_t(source->width);
        uint32_t* destRow = pixels + size_t(destY) * size_t(width);
        double vx = srcBox.x;
        for (int i = 0; i < destRect.width; ++i, vx += stepX) {
            const int destX = destRect.x + i;
            if (destX < visible.x || destX >= visible.x + visible.width)
                continue;
            uint32_t s = srcRow[size_t(sourceIndex(vx, source->width))];
            uint32_t& d = destRow[destX];
            if (!tinted) {
                if (uint32_t sa = AlphaOf(s))
                    d = CompositeOnto<BlueRounding::Split>(d, s, sa);
            } else if (uint32_t sa = tint.AlphaOf(s)) {
                d = CompositeOnto<BlueRounding::Split>(d, tint.Apply(s), sa);
            }
        }
    }
    BitsChanged();
}

namespace {

// Four channel sums of weighted pixels.
struct Cell {
    uint32_t b = 0, g = 0, r = 0, a = 0;

    void Add(uint32_t p, uint32_t w)
    {
        b += BlueOf(p) * w;
        g += GreenOf(p) * w;
        r += RedOf(p) * w;
        a += AlphaOf(p) * w;
    }
    void Add(const Cell& c, uint32_t w)
    {
        b += c.b * w;
        g += c.g * w;
        r += c.r * w;
        a += c.a * w;
    }
};

// A grid of cells, rows of `width` cells.
struct CellGrid {
    int width, height;
    std::vector<Cell> cells;

    CellGrid(int width, int height) : width(width), height(height), cells(size_t(width) * size_t(height)) {}
    Cell* Row(int r) { return cells.data() + size_t(r) * size_t(width); }
};

// Where a source box covers whole source pixels: columns x0 .. x0 + cw - 1, rows y0 .. y0 + ch - 1.
struct CoveredArea {
    int x0, y0, cw, ch;
};

CoveredArea CoveredBy(const DRect& box, int sourceWidth, int sourceHeight)
{
    int x0 = int(std::floor(box.x)), y0 = int(std::floor(box.y));
    int cw = int(std::ceil(box.x - x0 + box.width)), ch = int(std::ceil(box.y - y0 + box.height));
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    cw = std::min(cw, sourceWidth - x0);
    ch = std::min(ch, sourceHeight - y0);
    return {x0, y0, cw, ch};
}

// One source row into one row of cells (destination column i is cell i + 1): a box filter
// (weights x 257) where the destination is not wider than the box, else linear interpolation.
template <typename Texels>
void FilterRow(const Texels& texels, size_t rowStart, int sourceWidth, const CoveredArea& area, const DRect& box,
               int destWidth, Cell* cells, int cellCount)
{
    if (destWidth <= box.width) {
        const double kx = destWidth / box.width;
        const double offset = (area.x0 - box.x) * kx + 1.0;
        const uint32_t whole = uint32_t(kx * 257);
        for (int k = 0; k < area.cw; ++k) {
            const double left = k * kx + offset, right = left + kx;
            const int cellLeft = int(left), cellRight = int(right);
            if (cellLeft + 1 >= cellCount)
                break; // only a source box outside its image gets here
            const uint32_t p = texels[rowStart + size_t(area.x0 + k)];
            if (cellLeft == cellRight) {
                cells[cellLeft].Add(p, whole);
            } else {
                cells[cellLeft].Add(p, uint32_t((cellRight - left) * 257));
                cells[cellLeft + 1].Add(p, uint32_t((right - cellRight) * 257));
            }
        }
    } else {
        const double step = destWidth == 1 ? box.width : (box.width - 1) / (destWidth - 1);
        for (int c = 1; c <= destWidth; ++c) {
            const double pos = (c - 1) * step + box.x;
            const int ix = std::clamp(int(pos), 0, sourceWidth - 1);
            const uint32_t wLeft = uint32_t((1.0 - (pos - int(pos))) * 257);
            const int next = std::min(ix + 1, sourceWidth - 1);
            cells[c] = Cell();
            cells[c].Add(texels[rowStart + size_t(ix)], wLeft);
            cells[c].Add(texels[rowStart + size_t(next)], 257 - wLeft);
        }
    }
}

// The filtered rows into destination rows (row j is row j + 1): a box filter (weights x 256)
// where the destination is not taller than the box, else linear interpolation.
void FilterColumns(CellGrid& across, const CoveredArea& area, const DRect& box, int destHeight, CellGrid& down)
{
    auto addRow = [&](int to, int from, uint32_t w) {
        Cell* target = down.Row(to);
        const Cell* source = across.Row(from);
        for (int i = 0; i < down.width; ++i)
            target[i].Add(source[i], w);
    };
    if (destHeight <= box.height) {
        const double ky = destHeight / box.height;
        const double offset = (area.y0 - box.y) * ky + 1.0;
        const uint32_t whole = uint32_t(256 * ky);
        for (int r = 0; r < area.ch; ++r) {
            const double top = r * ky + offset, bottom = top + ky;
            const int rowTop = int(std::floor(top)), rowBottom = int(std::floor(bottom));
            if (rowBottom >= down.height)
                break;
            if (rowTop == rowBottom) {
                addRow(rowTop, r, whole);
            } else {
                addRow(rowTop, r, uint32_t((rowBottom - top) * 256));
                addRow(rowBottom, r, uint32_t((bottom - rowBottom) * 256));
            }
        }
    } else {
        const double step = destHeight == 1 ? box.height : (box.height - 1) / (destHeight - 1);
        for (int k = 1; k <= destHeight; ++k) {
            const double pos = (box.y - std::trunc(box.y)) + (k - 1) * step;
            const int r = std::clamp(int(pos), 0, area.ch - 1);
            const uint32_t w = uint32_t((1.0 - (pos - int(pos))) * 256);
            addRow(k, r, w);
            addRow(k, r == area.ch - 1 ? r : r + 1, 256 - w);
        }
    }
}

} // namespace

void MemoryImage::SmoothStretchBlt(Image* image, const Rect& destRect, const DRect& srcBox, const Color&, int)
{
    if (!image)
        return;
    image->drawn = true;
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || destRect.width <= 0 || destRect.height <= 0 || !BoxUsable(srcBox))
        return;
    uint32_t* pixels = GetBits();
    const CoveredArea area = CoveredBy(srcBox, source->width, source->height);
    if (area.cw < 1 || area.ch < 1)
        return;

    CellGrid across(destRect.width + 4, area.ch);
    CellGrid down(destRect.width + 4, destRect.height + 4);
    WithTexels(*source, [&](const auto& texels) {
        for (int r = 0; r < area.ch; ++r)
            FilterRow(texels, size_t(area.y0 + r) * size_t(source->width), source->width, area, srcBox,
                      destRect.width, across.Row(r), across.width);
    });
    FilterColumns(across, area, srcBox, destRect.height, down);

    const Rect visible = destRect.Intersection(Bounds());
    for (int y = visible.y; y < visible.y + visible.height; ++y) {
        const Cell* cells = down.Row(y - destRect.y + 1);
        uint32_t* row = pixels + size_t(y) * size_t(width);
        for (int x = visible.x; x < visible.x + visible.width; ++x) {
            const Cell& cell = cells[x - destRect.x + 1];
            const uint32_t a = cell.a >> 16;
            if (a == 0)
                continue;
            const uint32_t d = row[x], da = AlphaOf(d);
            auto mix = [a](uint32_t dc, uint32_t sum) { return dc * (256 - a) / 256 + a * (sum >> 16) / 256; };
            row[x] = PackARGB(da + (255 - da) * a / 255, mix(RedOf(d), cell.r), mix(GreenOf(d), cell.g),
                              mix(BlueOf(d), cell.b));
        }
    }
    BitsChanged();
}

} // namespace Nubra
