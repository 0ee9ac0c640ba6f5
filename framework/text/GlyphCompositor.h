#pragma once
#include "framework/graphics/Color.h"
#include "framework/graphics/Rect.h"

#include <cstdint>
#include <string>

namespace plat {
class FontFace;
}

namespace Nubra {

// Pixels that text is written into: rows `pitch` bytes apart of 16- or 32-bit pixels whose
// colour channels lie under the masks. Bits outside the masks are left as they are.
struct PixelRows {
    uint8_t* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 32;
    uint32_t redMask = 0x00FF0000;
    uint32_t greenMask = 0x0000FF00;
    uint32_t blueMask = 0x000000FF;

    // width x height words 0x??RRGGBB without gaps.
    static PixelRows Words(uint32_t* words, int width, int height);
};

// Writes lines of text into pixel rows the way the system's grey anti-aliased text output does
// over a transparent background: per channel, pixel = (colour x coverage + pixel x (255 -
// coverage)) / 255, with the glyph's coverage. The colour's alpha is not used.
class GlyphCompositor {
public:
    // `clip` is in the rows' pixels; nothing is written outside it or outside the rows.
    GlyphCompositor(const PixelRows& target, const Rect& clip);

    // The text's left edge is at `left` and its baseline on row `baseline`. An underline runs
    // under the whole advance of the text.
    void DrawText(plat::FontFace& face, int left, int baseline, const std::wstring& text, const Color& color,
                  bool underline);

    // The sum of the whole-pixel advances of the characters that draw (no kerning).
    static int TextWidth(plat::FontFace& face, const std::wstring& text);

private:
    struct Channel {
        uint32_t mask = 0;
        int shift = 0;
        int bits = 0;
    };
    static Channel ChannelOf(uint32_t mask);

    void DrawCoverage(int x, int y, int width, int rows, const uint8_t* coverage, const Color& color);
    void BlendPixel(int x, int y, const Color& color, int coverage);

    PixelRows target_;
    Rect clip_;
    Channel red_, green_, blue_;
};

} // namespace Nubra
