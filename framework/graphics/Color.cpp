#include "framework/graphics/Color.h"

namespace Nubra {

const Color Color::Black(0, 0, 0, 255);
const Color Color::White(255, 255, 255, 255);

Color::Color(int packed)
{
    uint32_t word = uint32_t(packed);
    alpha = int32_t(word >> 24);
    red = int32_t((word >> 16) & 0xFF);
    green = int32_t((word >> 8) & 0xFF);
    blue = int32_t(word & 0xFF);
}

uint32_t Color::ToInt() const
{
    return (uint32_t(alpha) << 24) | (uint32_t(red) << 16) | (uint32_t(green) << 8) | uint32_t(blue);
}

} // namespace Nubra
