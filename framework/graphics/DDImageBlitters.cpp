// The surface blitters' fills and the normal blit's roads: straight into the locked surface of
// a surface-backed image. Nothing is clipped here; the drawing context hands over rectangles
// inside both images (a rectangle that leaves either is drawn nowhere).
#include "framework/graphics/SurfaceBlitting.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace Nubra {

using namespace SurfaceBlit;

namespace {

// Replaces every pixel d of the area by f(d).
template <typename Pixel, typename F> void EachPixel(const LockedSurface& target, const Rect& area, F f)
{
    for (int y = area.y; y < area.y + area.height; ++y) {
        Pixel* row = target.At<Pixel>(area.x, y);
        for (int i = 0; i < area.width; ++i)
            row[i] = Pixel(f(uint32_t(row[i])));
    }
}

template <typename Pixel> void FillArea(const LockedSurface& target, const Rect& area, uint32_t value)
{
    for (int y = area.y; y < area.y + area.height; ++y)
        std::fill_n(target.At<Pixel>(area.x, y), area.width, Pixel(value));
}

template <typename Pixel>
void NormalFill(const LockedSurface& target, const Channels& channels, const Rect& area, const Color& c)
{
    constexpr bool is16 = sizeof(Pixel) == 2;
    const uint32_t a = uint32_t(c.alpha);
    if (a == 255) {
        // 16-bit fields round up; 8-bit ones keep 255 x m >> 8 (254 for a full channel).
        FillArea<Pixel>(target, area, channels.Sum(c, [](const Channel& ch, uint32_t v) {
            return ((is16 ? v + 1 : v) * ch.mask >> 8) & ch.mask;
        }));
        return;
    }
    constexpr uint32_t bias = is16 ? 128 : 127;
    const uint32_t source = channels.Sum(c, [a](const Channel& ch, uint32_t v) {
        return ((((v * a + bias) >> 8) + 1) * ch.mask >> 8) & ch.mask;
    });
    const uint32_t keep = 256 - a;
    if (!is16 && channels.ByteFields()) {
        for (int y = area.y; y < area.y + area.height; ++y)
            SurfaceRows::KeepAndAdd(target.At<uint32_t>(area.x, y), area.width, keep, source);
        return;
    }
    EachPixel<Pixel>(target, area, [&channels, source, keep](uint32_t d) {
        return source + channels.Sum(0, 0, 0, [d, keep](const Channel& ch, uint32_t) {
                   return ((((d & ch.mask) * keep) + (is16 ? ch.mask : 0)) >> 8) & ch.mask;
               });
    });
}

// The copy road: each pixel takes the source's display-format word (its low 16 bits on a
// 16-bit surface). With run-length data (a keyed source) runs whose words have a top byte of 0
// are not written, which leaves out exactly the pixels of alpha 0.
template <typename Pixel, typename Words>
void CopyWords(const LockedSurface& target, const Words& words, const uint8_t* runs, int sourceWidth, int x, int y,
               const Rect& src)
{
    auto copy = [&words](Pixel* out, size_t from, int count) {
        if constexpr (sizeof(Pixel) == 4 && std::is_same_v<Words, BitsTexels>) {
            std::memcpy(out, words.bits + from, size_t(count) * 4);
        } else if constexpr (std::is_same_v<Words, BitsTexels>) {
            SurfaceRows::LowHalves(out, words.bits + from, count);
        } else {
            for (int i = 0; i < count; ++i)
                out[i] = Pixel(words[from + size_t(i)]);
        }
    };
    for (int row = 0; row < src.height; ++row) {
        Pixel* out = target.At<Pixel>(x, y + row);
        const size_t first = size_t(src.y + row) * size_t(sourceWidth) + size_t(src.x);
        if (!runs) {
            copy(out, first, src.width);
            continue;
        }
        for (int col = 0; col < src.width;) {
            const int run = std::min<int>(runs[first + size_t(col)], src.width - col);
            if (words[first + size_t(col)] >> 24 != 0)
                copy(out + col, first + size_t(col), run);
            col += run;
        }
    }
}

// The option-flag road: every pixel blended by the source's own alpha, from its plain ARGB.
template <typename L> struct OptionFlagBlend {
    const Channels& channels;
    bool rgbOrder;

    uint32_t operator()(uint32_t e, uint32_t d) const
    {
        const uint32_t ea = e >> 24;
        if constexpr (std::is_same_v<L, Bits32>) {
            if (rgbOrder) {
                const uint32_t rb = d & 0xFF00FF, g = d & 0xFF00;
                return ((((((e & 0xFF00FF) - rb) * ea) >> 8) + rb) & 0xFF00FF)
                       | ((((((e & 0xFF00) - g) * ea) >> 8) + g) & 0xFF00);
            }
        } else if constexpr (kSpread<L>) {
            if (rgbOrder) {
                const uint32_t q = std::is_same_v<L, Packed565>
                                       ? ((e & 0xFC00) << 11) + ((e >> 3) & 0x1F) + ((e >> 8) & 0xF800)
                                       : ((e >> 3) & 0x1F) + ((e >> 9) & 0x7C00) + ((e & 0xF800) << 10);
                const uint32_t sd = L::Spread(d);
                return L::Fold(((((q - sd) * (e >> 27)) >> 5) + sd) & L::M);
            }
        }
        return channels.Sum(RedOf(e), GreenOf(e), BlueOf(e), [d, ea](const Channel& ch, uint32_t ec) {
            const uint32_t m = ch.mask;
            const uint32_t added = sizeof(typename L::Pixel) == 4 ? ((ec * ea) >> 8) * m : (ec * ea * m) >> 8;
            return (((d & m) * (256 - ea) + added + (m >> 1)) >> 8) & m;
        });
    }
};

// The part of a fill that lands on a readable surface; empty (zero width) when none does.
Rect FillArea(const LockedSurface& target, const Rect& rect)
{
    const Rect area = target.Readable() ? rect.Intersection(target.Bounds()) : Rect();
    return area.width > 0 && area.height > 0 ? area : Rect();
}

} // namespace

void DDImage::NormalFillRect(const Rect& rect, const Color& color)
{
    LockedSurface target(*this);
    const Rect area = FillArea(target, rect);
    if (area.width <= 0)
        return;
    const Channels channels(target.Format(), *display);
    const Color c = ClampedColor(color);
    WithLayout(target.Format(), [&](auto layout) {
        NormalFill<typename decltype(layout)::Pixel>(target, channels, area, c);
    });
}

void DDImage::AdditiveFillRect(const Rect& rect, const Color& color)
{
    LockedSurface target(*this);
    const Rect area = FillArea(target, rect);
    if (area.width <= 0)
        return;
    const Channels channels(target.Format(), *display);
    const Channels::Amounts add = channels.AddAmounts(ClampedColor(color));
    const uint32_t placed =
        add.red << channels.red.shift | add.green << channels.green.shift | add.blue << channels.blue.shift;
    WithLayout(target.Format(), [&](auto layout) {
        using Layout = decltype(layout);
        if constexpr (kSpread<Layout>) {
            const std::array<uint16_t, 3> masks{uint16_t(channels.red.mask), uint16_t(channels.green.mask),
                                                uint16_t(channels.blue.mask)};
            for (int y = area.y; y < area.y + area.height; ++y)
                SurfaceRows::AddFields16(target.At<uint16_t>(area.x, y), area.width, masks, uint16_t(placed));
        } else if (std::is_same_v<Layout, Bits32> && channels.ByteFields()) {
            for (int y = area.y; y < area.y + area.height; ++y)
                SurfaceRows::AddConstant(target.At<uint32_t>(area.x, y), area.width, placed);
        } else {
            WithPixelType(target.Format(), [&](auto pixel) {
                EachPixel<decltype(pixel)>(target, area, [&](uint32_t d) { return channels.AddFields(d, add); });
            });
        }
    });
}

bool DDImage::BltFromSurface(DDImage* source, const plat::PixelRect& to, const plat::PixelRect& from)
{
    plat::Surface* fromSurface = source->GetSurface();
    plat::Surface* toSurface = GetSurface();
    if (!fromSurface || !toSurface)
        return false;
    // A locked surface refuses blits: let go for the copy, and take the lock again after.
    const bool held = lockCount > 0;
    if (held)
        toSurface->Unlock();
    toSurface->Blt(to, *fromSurface, from, source->hasTrans);
    return !held || toSurface->Lock(&surfaceDesc);
}

void DDImage::NormalBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color)
{
    MemoryImage* source = BlitSource(image, *this, x, y, srcRect);
    if (!source)
        return;
    auto* surfaceSource = dynamic_cast<DDImage*>(image);
    const bool white = color == Color::White;

    if (source->optionFlag && !(surfaceSource && surfaceSource->surface) && !videoMemoryWriteOnly && white) {
        OptionFlagBlt(*source, x, y, srcRect);
        return;
    }
    if (white && !source->hasAlpha) {
        if (surfaceSource && (wantsVideoMemory || !surfaceSource->wantsVideoMemory) && surfaceSource->GetSurface()) {
            BltFromSurface(surfaceSource, {x, y, srcRect.width, srcRect.height},
                           {srcRect.x, srcRect.y, srcRect.width, srcRect.height});
            return;
        }
        CopyNativeWords(*source, x, y, srcRect);
        return;
    }
    RunBlt(*source, x, y, srcRect, color, false);
}

void DDImage::CopyNativeWords(MemoryImage& source, int x, int y, const Rect& srcRect)
{
    LockedSurface target(*this);
    if (!target.Readable())
        return;
    const uint8_t* runs = source.hasTrans ? source.GetRLAlphaData() : nullptr;
    if (source.hasTrans && !runs)
        return;
    WithNativeWords(source, display, [&](const auto& words) {
        WithPixelType(target.Format(), [&](auto pixel) {
            CopyWords<decltype(pixel)>(target, words, runs, source.width, x, y, srcRect);
        });
    });
}

void DDImage::OptionFlagBlt(MemoryImage& source, int x, int y, const Rect& srcRect)
{
    LockedSurface target(*this);
    if (!target.Usable())
        return;
    if (!source.colorTable && !source.GetBits())
        return;
    const Channels channels(target.Format(), *display);
    WithLayout(target.Format(), [&](auto layout) {
        using L = decltype(layout);
        using Pixel = typename L::Pixel;
        const OptionFlagBlend<L> blend{channels, display->rgbOrder};
        WithTexels(source, [&](const auto& texels) {
            for (int row = 0; row < srcRect.height; ++row) {
                Pixel* out = target.At<Pixel>(x, y + row);
                const size_t first = size_t(srcRect.y + row) * size_t(source.width) + size_t(srcRect.x);
                for (int col = 0; col < srcRect.width; ++col)
                    out[col] = Pixel(blend(texels[first + size_t(col)], out[col]));
            }
        });
    });
}

} // namespace Nubra
