#pragma once
// The pixels of a source image as the blits read them: through its colour table while it is
// palettised (so drawing does not expand it), else from its bits.
#include "framework/graphics/MemoryImage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace Nubra {

struct BitsTexels {
    const uint32_t* bits;

    uint32_t operator[](size_t i) const { return bits[i]; }
    void CopyTo(uint32_t* to, size_t from, size_t count) const { std::memcpy(to, bits + from, count * 4); }
    // count pixels from `from` in a row; `scratch` (count words) is not needed here.
    const uint32_t* Span(size_t from, size_t, uint32_t*) const { return bits + from; }
};

struct PaletteTexels {
    const uint32_t* table;
    const uint8_t* indices;

    uint32_t operator[](size_t i) const { return table[indices[i]]; }
    void CopyTo(uint32_t* to, size_t from, size_t count) const
    {
        for (size_t k = 0; k < count; ++k)
            to[k] = table[indices[from + k]];
    }
    // count pixels from `from` in a row, looked up into `scratch` (count words).
    const uint32_t* Span(size_t from, size_t count, uint32_t* scratch) const
    {
        CopyTo(scratch, from, count);
        return scratch;
    }
};

// Calls draw with the image's texels, indexed y x width + x over the whole image.
template <typename Draw>
void WithTexels(MemoryImage& image, Draw&& draw)
{
    if (image.colorTable)
        draw(PaletteTexels{image.colorTable.get(), image.colorIndices.get()});
    else
        draw(BitsTexels{image.GetBits()});
}

// The same over the image's words in the display's format (`native`, its GetNativeAlphaData):
// through the colour indices while it is palettised.
template <typename Draw>
void WithNativeTexels(const MemoryImage& image, const uint32_t* native, Draw&& draw)
{
    if (image.colorTable)
        draw(PaletteTexels{native, image.colorIndices.get()});
    else
        draw(BitsTexels{native});
}

} // namespace Nubra
