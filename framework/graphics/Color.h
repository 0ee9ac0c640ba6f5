#pragma once
#include <cstdint>

namespace Nubra {

// A colour of four components, each meant to lie in 0-255; nothing clamps them.
class Color {
public:
    Color() = default; // opaque black
    explicit Color(int packed); // 0xAARRGGBB
    Color(int red, int green, int blue) : red(red), green(green), blue(blue) {}
    Color(int red, int green, int blue, int alpha) : red(red), green(green), blue(blue), alpha(alpha) {}
    // The red, green and blue of `rgb` with another alpha; Color(c, 255) is the opaque copy.
    Color(const Color& rgb, int alpha) : red(rgb.red), green(rgb.green), blue(rgb.blue), alpha(alpha) {}
    Color(const Color&) = default;
    Color& operator=(const Color&) = default;

    int GetRed() const { return red; }
    int GetGreen() const { return green; }
    int GetBlue() const { return blue; }
    int GetAlpha() const { return alpha; }

    // 0xAARRGGBB with each component shifted as it stands, so an out-of-range one spills
    // into its neighbour.
    uint32_t ToInt() const;

    bool operator==(const Color&) const = default;

    static const Color Black;
    static const Color White;

    int32_t red = 0;
    int32_t green = 0;
    int32_t blue = 0;
    int32_t alpha = 255;
};

} // namespace Nubra
