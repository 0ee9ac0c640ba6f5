#include "framework/graphics/D3DTestImage.h"

#include <algorithm>

namespace Nubra {

void D3DTestImage::Create(int newWidth, int newHeight)
{
    width = std::max(newWidth, 0);
    height = std::max(newHeight, 0);
    bits.assign(size_t(width) * size_t(height), 0);
}

void D3DTestImage::FillRect(int x, int y, int fillWidth, int fillHeight, uint32_t color)
{
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min(x + fillWidth, width), bottom = std::min(y + fillHeight, height);
    for (int row = top; row < bottom; ++row)
        std::fill(bits.begin() + row * width + left, bits.begin() + row * width + right, color);
}

void D3DTestImage::DrawVerticalLinePattern()
{
    for (int x = 0; x < width; ++x)
        FillRect(x, 0, 1, height, x % 2 == 0 ? 0xFF000000u : 0xFFFFFFFFu);
}

int D3DTestImage::ColorDistance(uint32_t a, uint32_t b)
{
    int sum = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int difference = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        sum += difference * difference;
    }
    return sum;
}

int D3DTestImage::CountMismatches(uint32_t expected, bool* uniform) const
{
    int mismatches = 0;
    *uniform = true;
    for (uint32_t pixel : bits) {
        if (!ColorsMatch(pixel, expected))
            ++mismatches;
        if ((pixel ^ bits.front()) & 0xFFFFFF)
            *uniform = false;
    }
    return mismatches;
}

int D3DTestImage::CountMismatches(const D3DTestImage& reference, int areaWidth, int areaHeight) const
{
    const int w = std::min({areaWidth, width, reference.width});
    const int h = std::min({areaHeight, height, reference.height});
    int mismatches = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!ColorsMatch(PixelAt(x, y), reference.PixelAt(x, y)))
                ++mismatches;
    return mismatches;
}

} // namespace Nubra
