#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace Nubra {

// The pixels the graphics card test reads back from its target, or the pattern it expects
// there: 32-bit words, compared on red, green and blue only. Not an image of the drawing system.
class D3DTestImage {
public:
    D3DTestImage() = default;
    virtual ~D3DTestImage() = default;

    // Sized anew, every pixel 0.
    void Create(int width, int height);
    // Cut to the image.
    void FillRect(int x, int y, int width, int height, uint32_t color);
    // Even columns opaque black, odd columns opaque white.
    void DrawVerticalLinePattern();

    // Colours match while the squared distance of their red, green and blue stays within this.
    static constexpr int kMatchDistance = 768;
    static int ColorDistance(uint32_t a, uint32_t b);
    static bool ColorsMatch(uint32_t a, uint32_t b) { return ColorDistance(a, b) <= kMatchDistance; }

    // How many pixels do not match `expected`; `uniform` tells whether every pixel has the colour of
    // the first.
    int CountMismatches(uint32_t expected, bool* uniform) const;
    // How many pixels of the top-left width x height area do not match the same pixels of
    // `reference` (the area is cut to both images).
    int CountMismatches(const D3DTestImage& reference, int areaWidth, int areaHeight) const;

    uint32_t* Bits() { return bits.data(); }
    uint32_t PixelAt(int x, int y) const { return bits[size_t(y) * size_t(width) + size_t(x)]; }

    int width = 0;
    int height = 0;
    std::vector<uint32_t> bits;
};

} // namespace Nubra
