// The surface blitters that walk a source's run-length data: the run road of the normal blit,
// the additive blit, and both mirrored. Transparent runs are skipped and opaque runs copied with
// one test per run; only the pixels of partly transparent runs are blended one by one.
#include "framework/graphics/SurfaceBlitting.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace Nubra {

using namespace SurfaceBlit;

namespace {

enum class Tone { White, Grey, Coloured };

// How a colour tints the run road: its components scaled by its alpha (kc), and the weight
// left to the destination under a source alpha sa, w = 256 - sa x a / 255.
struct Colourise {
    Tone tone;
    uint32_t a, kr, kg, kb;
    std::array<uint32_t, 256> keep{};

    explicit Colourise(const Color& color)
        : a(uint32_t(color.alpha)), kr(Scaled(color.red, color.alpha)), kg(Scaled(color.green, color.alpha)),
          kb(Scaled(color.blue, color.alpha))
    {
        tone = color == Color::White ? Tone::White : kr == kg && kg == kb ? Tone::Grey : Tone::Coloured;
        for (uint32_t sa = 0; sa < 256; ++sa)
            keep[sa] = 256 - sa * a / 255;
    }
};

// Opaque runs copy the source word; other pixels keep (256 - sa) / 256 of the destination and
// add the (premultiplied) source.
template <typename L> struct WhiteRun {
    using Pixel = typename L::Pixel;
    const Channels& channels;

    bool Solid() const { return true; }
    Pixel Opaque(uint32_t s) const { return Pixel(s); }
    Pixel Blend(uint32_t s, uint32_t d) const
    {
        const uint32_t keep = 256 - (s >> 24);
        if constexpr (std::is_same_v<L, Bits32>) {
            return ((((d & 0xFF00) * keep) >> 8) & 0xFF00) + ((((d & 0xFF00FF) * keep) >> 8) & 0xFF00FF) + s;
        } else if constexpr (kSpread<L>) {
            return Pixel(L::Scale(d, keep) + (s & 0xFFFF));
        } else {
            return Pixel(channels.Sum(0, 0, 0, [d, keep](const Channel& ch, uint32_t) {
                return (((d & ch.mask) * keep) >> 8) & ch.mask;
            }) + (s & 0xFFFF));
        }
    }
};

// One factor k for all three channels, on 32-bit and spread 16-bit layouts.
template <typename L> struct GreyRun {
    using Pixel = typename L::Pixel;
    const Colourise& tint;

    bool Solid() const { return tint.a == 255; }
    Pixel Opaque(uint32_t s) const
    {
        const uint32_t k = tint.kr;
        if constexpr (std::is_same_v<L, Bits32>)
            return (((s & 0xFF00FF) * k >> 8) & 0xFF00FF) + (((s & 0xFF00) * k >> 8) & 0xFF00);
        else
            return Pixel(L::Scale(s, k));
    }
    Pixel Blend(uint32_t s, uint32_t d) const
    {
        const uint32_t k = tint.kr, w = tint.keep[s >> 24];
        if constexpr (std::is_same_v<L, Bits32>)
            return ((((d & 0xFF00FF) * w + (s & 0xFF00FF) * k) >> 8) & 0xFF00FF)
                   + ((((d & 0xFF00) * w + (s & 0xFF00) * k) >> 8) & 0xFF00);
        else
            return Pixel(L::Fold(((L::Spread(s) * (k >> 3) + L::Spread(d) * (w >> 3)) >> 5) & L::M));
    }
};

// Each channel by its own factor, through the destination's masks.
template <typename L> struct ColouredRun {
    using Pixel = typename L::Pixel;
    const Channels& channels;
    const Colourise& tint;

    bool Solid() const { return tint.a == 255; }
    Pixel Opaque(uint32_t s) const
    {
        return Pixel(channels.Sum(tint.kr, tint.kg, tint.kb, [s](const Channel& ch, uint32_t k) {
            return (((s & ch.mask) * k) >> 8) & ch.mask;
        }));
    }
    Pixel Blend(uint32_t s, uint32_t d) const
    {
        const uint32_t w = tint.keep[s >> 24];
        return Pixel(channels.Sum(tint.kr, tint.kg, tint.kb, [s, d, w](const Channel& ch, uint32_t k) {
            return (((d & ch.mask) * w + (s & ch.mask) * k) >> 8) & ch.mask;
        }));
    }
};

// Each field of the source added to the destination's, saturated; tinted by (kr, kg, kb) / 256
// unless the colour is opaque white.
template <typename L, bool White> struct AddRun {
    using Pixel = typename L::Pixel;
    const Channels& channels;
    uint32_t kr, kg, kb;
    bool byteRows; // 32-bit byte fields: whole runs go through SurfaceRows
    std::array<uint32_t, 3> byByte; // kr, kg, kb by the byte of their field

    void AddSpan(uint32_t* out, const uint32_t* s, int count) const
    {
        if constexpr (White)
            SurfaceRows::AddSaturated(out, s, count);
        else
            SurfaceRows::AddScaled(out, s, count, byByte);
    }

    Pixel Add(uint32_t s, uint32_t d) const
    {
        auto field = [s, d](const Channel& ch, uint32_t k) {
            if constexpr (White)
                return ch.Saturated(((d & ch.mask) + (s & ch.mask)) >> ch.shift);
            else
                return ch.Saturated(((ch.Field(s) * k) >> 8) + ch.Field(d));
        };
        return Pixel(field(channels.red, kr) | field(channels.green, kg) | field(channels.blue, kb));
    }
};

// A destination row written left to right, or right to left from its last column.
template <bool Mirror, typename Pixel> struct DestRow {
    Pixel* p;
    Pixel& operator[](int i) const
    {
        if constexpr (Mirror)
            return p[-i];
        else
            return p[i];
    }
};

template <bool Mirror, typename Pixel>
DestRow<Mirror, Pixel> RowAt(const LockedSurface& target, int x, int y, int width)
{
    return {target.At<Pixel>(Mirror ? x + width - 1 : x, y)};
}

template <bool Mirror, typename Op, typename Words>
void RunRow(const Op& op, DestRow<Mirror, typename Op::Pixel> out, const Words& words, size_t first,
            const uint8_t* runs, int width)
{
    for (int col = 0; col < width;) {
        const int run = std::min<int>(runs[col], width - col);
        const uint32_t runClass = words[first + size_t(col)] >> 24;
        if (runClass == 255 && op.Solid()) {
            if constexpr (!Mirror && std::is_same_v<Op, WhiteRun<Bits32>> && std::is_same_v<Words, BitsTexels>) {
                std::memcpy(&out[col], words.bits + first + size_t(col), size_t(run) * 4);
            } else {
                for (int k = col; k < col + run; ++k)
                    out[k] = op.Opaque(words[first + size_t(k)]);
            }
        } else if (runClass != 0) {
            for (int k = col; k < col + run; ++k)
                out[k] = op.Blend(words[first + size_t(k)], out[k]);
        }
        col += run;
    }
}

template <bool Mirror, typename Op, typename Words>
void AddRow(const Op& op, DestRow<Mirror, typename Op::Pixel> out, const Words& words, size_t first,
            const uint8_t* runs, int width)
{
    for (int col = 0; col < width;) {
        const int run = std::min<int>(runs[col], width - col);
        if ((words[first + size_t(col)] & 0xFFFFFF) != 0) {
            if constexpr (!Mirror && sizeof(typename Op::Pixel) == 4 && std::is_same_v<Words, BitsTexels>) {
                if (op.byteRows) {
                    op.AddSpan(&out[col], words.bits + first + size_t(col), run);
                    col += run;
                    continue;
                }
            }
            for (int k = col; k < col + run; ++k)
                out[k] = op.Add(words[first + size_t(k)], out[k]);
        }
        col += run;
    }
}

// Calls row(out, first) for each row of the source rectangle, `first` its first pixel's index,
// `out` its destination row written left to right, or right to left when mirrored.
template <typename Pixel, typename Row>
void ForEachRow(bool mirror, const LockedSurface& target, int sourceWidth, int x, int y, const Rect& src, Row row)
{
    auto walk = [&](auto mirrored) {
        for (int r = 0; r < src.height; ++r) {
            const size_t first = size_t(src.y + r) * size_t(sourceWidth) + size_t(src.x);
            row(RowAt<decltype(mirrored)::value, Pixel>(target, x, y + r, src.width), first);
        }
    };
    if (mirror)
        walk(std::true_type{});
    else
        walk(std::false_type{});
}

} // namespace

void DDImage::RunBlt(MemoryImage& source, int x, int y, const Rect& srcRect, const Color& color, bool mirror)
{
    LockedSurface target(*this);
    if (!target.Readable())
        return;
    const uint8_t* runs = source.GetRLAlphaData();
    if (!runs)
        return;
    const Channels channels(target.Format(), *display);
    const Colourise tint(ClampedColor(color));
    WithNativeWords(source, display, [&](const auto& words) {
        WithLayout(target.Format(), [&](auto layout) {
            using L = decltype(layout);
            auto draw = [&](const auto& op) {
                ForEachRow<typename L::Pixel>(mirror, target, source.width, x, y, srcRect, [&](auto out, size_t first) {
                    RunRow(op, out, words, first, runs + first, srcRect.width);
                });
            };
            if (tint.tone == Tone::White)
                draw(WhiteRun<L>{channels});
            else if constexpr (!std::is_same_v<L, Masked16>)
                tint.tone == Tone::Grey ? draw(GreyRun<L>{tint}) : draw(ColouredRun<L>{channels, tint});
            else
                draw(ColouredRun<L>{channels, tint});
        });
    });
}

void DDImage::AdditiveRunBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color, bool mirror)
{
    MemoryImage* source = BlitSource(image, *this, x, y, srcRect);
    if (!source)
        return;
    LockedSurface target(*this);
    if (!target.Readable())
        return;
    const uint8_t* runs = source->GetRLAdditiveData(display);
    if (!runs)
        return;
    const Channels channels(target.Format(), *display);
    const Color c = ClampedColor(color);
    const uint32_t kr = Scaled(c.red, c.alpha), kg = Scaled(c.green, c.alpha), kb = Scaled(c.blue, c.alpha);
    WithNativeWords(*source, display, [&](const auto& words) {
        WithLayout(target.Format(), [&](auto layout) {
            using L = decltype(layout);
            auto draw = [&](const auto& op) {
                ForEachRow<typename L::Pixel>(mirror, target, source->width, x, y, srcRect, [&](auto out, size_t first) {
                    AddRow(op, out, words, first, runs + first, srcRect.width);
                });
            };
            const bool byteRows = std::is_same_v<L, Bits32> && channels.ByteFields();
            const auto byByte = byteRows ? channels.ByByte(kr, kg, kb) : std::array<uint32_t, 3>{};
            if (c == Color::White)
                draw(AddRun<L, true>{channels, kr, kg, kb, byteRows, byByte});
            else
                draw(AddRun<L, false>{channels, kr, kg, kb, byteRows, byByte});
        });
    });
}

void DDImage::NormalBltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color)
{
    if (MemoryImage* source = BlitSource(image, *this, x, y, srcRect))
        RunBlt(*source, x, y, srcRect, color, true);
}

void DDImage::AdditiveBlt(Image* image, int x, int y, const Rect& srcRect, const Color& color)
{
    AdditiveRunBlt(image, x, y, srcRect, color, false);
}

void DDImage::AdditiveBltMirror(Image* image, int x, int y, const Rect& srcRect, const Color& color)
{
    AdditiveRunBlt(image, x, y, srcRect, color, true);
}

} // namespace Nubra
