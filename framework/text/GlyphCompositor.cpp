#include "framework/text/GlyphCompositor.h"

#include "platform/FontFace.h"

#include <bit>
#include <cstring>

namespace Nubra {

namespace {

// Control characters (line breaks, tabs) neither draw nor take room.
bool Draws(wchar_t c) { return c >= 0x20; }

int Mix(int colour, int pixel, int coverage) { return (colour * coverage + pixel * (255 - coverage)) / 255; }

} // namespace

PixelRows PixelRows::Words(uint32_t* words, int width, int height)
{
    PixelRows rows;
    rows.bits = reinterpret_cast<uint8_t*>(words);
    rows.pitch = width * 4;
    rows.width = width;
    rows.height = height;
    return rows;
}

GlyphCompositor::GlyphCompositor(const PixelRows& target, const Rect& clip)
    : target_(target), clip_(clip.Intersection(Rect(0, 0, target.width, target.height))),
      red_(ChannelOf(target.redMask)), green_(ChannelOf(target.greenMask)), blue_(ChannelOf(target.blueMask))
{
    if (target.bitsPerPixel != 16 && target.bitsPerPixel != 32)
        clip_ = Rect(); // no other depth is written
}

GlyphCompositor::Channel GlyphCompositor::ChannelOf(uint32_t mask)
{
    if (mask == 0)
        return {};
    return {mask, std::countr_zero(mask), std::popcount(mask)};
}

int GlyphCompositor::TextWidth(plat::FontFace& face, const std::wstring& text)
{
    int width = 0;
    for (wchar_t c : text) {
        if (Draws(c))
            width += face.GlyphFor(char32_t(c)).advance;
    }
    return width;
}

void GlyphCompositor::DrawText(plat::FontFace& face, int left, int baseline, const std::wstring& text,
                               const Color& color, bool underline)
{
    int pen = left;
    for (wchar_t c : text) {
        if (!Draws(c))
            continue;
        const plat::Glyph& glyph = face.GlyphFor(char32_t(c));
        DrawCoverage(pen + glyph.left, baseline - glyph.top, glyph.width, glyph.rows, glyph.coverage.data(), color);
        pen += glyph.advance;
    }
    if (!underline)
        return;
    int top = baseline + face.UnderlineOffset();
    for (int y = top; y < top + face.UnderlineThickness(); ++y) {
        for (int x = left; x < pen; ++x)
            BlendPixel(x, y, color, 255);
    }
}

void GlyphCompositor::DrawCoverage(int x, int y, int width, int rows, const uint8_t* coverage, const Color& color)
{
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < width; ++c) {
            int cover = coverage[r * width + c];
            if (cover != 0)
                BlendPixel(x + c, y + r, color, cover);
        }
    }
}

void GlyphCompositor::BlendPixel(int x, int y, const Color& color, int coverage)
{
    if (x < clip_.x || y < clip_.y || x >= clip_.x + clip_.width || y >= clip_.y + clip_.height)
        return;
    int bytes = target_.bitsPerPixel / 8;
    uint8_t* at = target_.bits + ptrdiff_t(y) * target_.pitch + ptrdiff_t(x) * bytes;
    uint32_t pixel = 0;
    if (bytes == 4) {
        std::memcpy(&pixel, at, 4);
    } else {
        uint16_t half;
        std::memcpy(&half, at, 2);
        pixel = half;
    }
    uint32_t out = pixel & ~(red_.mask | green_.mask | blue_.mask);
    for (auto [channel, colour] : {std::pair{red_, color.red}, {green_, color.green}, {blue_, color.blue}}) {
        if (channel.mask == 0)
            continue;
        uint64_t most = (uint64_t(1) << channel.bits) - 1;
        int value = int(((pixel & channel.mask) >> channel.shift) * 255 / most);
        uint64_t mixed = (uint64_t(Mix(colour & 255, value, coverage)) * most + 127) / 255;
        out |= uint32_t(mixed << channel.shift) & channel.mask;
    }
    if (bytes == 4) {
        std::memcpy(at, &out, 4);
    } else {
        auto half = uint16_t(out);
        std::memcpy(at, &half, 2);
    }
}

} // namespace Nubra
