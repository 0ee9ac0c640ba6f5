#include "framework/graphics/NativeDisplay.h"

#include <bit>

namespace Nubra {

namespace {

void DescribeMask(uint32_t mask, int32_t& shift, int32_t& bits)
{
    shift = mask == 0 ? 0 : std::countr_zero(mask);
    bits = std::bit_width(mask >> shift);
}

} // namespace

void NativeDisplay::SetPixelFormat(int bitCount, uint32_t red, uint32_t green, uint32_t blue)
{
    rgbBits = bitCount;
    redMask = red;
    greenMask = green;
    blueMask = blue;
    DescribeMask(red, redShift, redBits);
    DescribeMask(green, greenShift, greenBits);
    DescribeMask(blue, blueShift, blueBits);
}

} // namespace Nubra
