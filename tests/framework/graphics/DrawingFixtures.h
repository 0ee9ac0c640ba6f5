#pragma once
// Small pictures for the software drawing tests: images made from literal pixels, read back as
// words, and compared as grids so a failure shows where it went wrong.
#include "framework/graphics/Color.h"
#include "framework/graphics/ImageLib.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/util/StringUtils.h"

#include <algorithm>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace drawing {

using Nubra::MemoryImage;
using Pixels = std::vector<uint32_t>;

// An image of the given pixels, rows of `width`, with its alpha flags committed.
inline std::unique_ptr<MemoryImage> ImageOf(const Pixels& pixels, int width)
{
    auto image = std::make_unique<MemoryImage>(nullptr);
    image->SetBits(pixels.data(), width, int(pixels.size()) / width, true);
    return image;
}

// A row of a table: what drawing with a colour makes of one destination pixel.
struct ColorCase {
    const char* what;
    uint32_t dest;
    Nubra::Color color;
    uint32_t expected;
};

inline std::unique_ptr<MemoryImage> Filled(int width, int height, uint32_t pixel)
{
    return ImageOf(Pixels(size_t(width) * size_t(height), pixel), width);
}

inline Pixels PixelsOf(MemoryImage& image)
{
    const uint32_t* bits = image.GetBits();
    return Pixels(bits, bits + size_t(image.width) * size_t(image.height));
}

// The pixels as rows of hex words, for readable failures.
inline std::string Grid(const Pixels& pixels, int width)
{
    std::string text;
    for (size_t i = 0; i < pixels.size(); ++i)
        text += Nubra::StrFormat("%08x%s", pixels[i], (i + 1) % size_t(width) == 0 ? "\n" : " ");
    return text;
}

inline std::string GridOf(MemoryImage& image) { return Grid(PixelsOf(image), image.width); }

// The pixels that differ from `background`, as "x,y" in row order.
inline std::vector<std::string> Changed(MemoryImage& image, uint32_t background)
{
    std::vector<std::string> lit;
    const Pixels pixels = PixelsOf(image);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (pixels[size_t(y) * size_t(image.width) + size_t(x)] != background)
                lit.push_back(Nubra::StrFormat("%d,%d", x, y));
    return lit;
}

// Writes the image as a PNG file for a person to look at; false when it cannot be written.
inline bool WritePicture(MemoryImage& image, const std::string& path)
{
    ImageLib::Image picture(image.width, image.height);
    std::copy_n(image.GetBits(), picture.PixelCount(), picture.GetBits());
    return ImageLib::WritePNGImage(path, picture);
}

} // namespace drawing
