#pragma once
#include <cstdint>

namespace Nubra {

// The display's pixel format, which the software blitters and the native image data follow.
class NativeDisplay {
public:
    virtual ~NativeDisplay() = default;

    // Stores the bit count and masks and derives each mask's shift (lowest set bit) and width.
    void SetPixelFormat(int bitCount, uint32_t red, uint32_t green, uint32_t blue);

    int32_t rgbBits = 0;
    uint32_t redMask = 0, greenMask = 0, blueMask = 0;
    int32_t redBits = 0, greenBits = 0, blueBits = 0;
    int32_t redShift = 0, greenShift = 0, blueShift = 0;
};

} // namespace Nubra
