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

} // namespace Nubra
