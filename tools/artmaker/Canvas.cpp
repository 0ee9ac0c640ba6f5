#include "tools/artmaker/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace art {

namespace {

constexpr int kGrid = 4; // samples per pixel side for shapes

uint8_t ToByte(float value) { return uint8_t(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

} // namespace

Rgba Rgba::FromArgb(uint32_t argb)
{
    return {float((argb >> 16) & 0xFF) / 255.0f, float((argb >> 8) & 0xFF) / 255.0f, float(argb & 0xFF) / 255.0f,
            float(argb >> 24) / 255.0f};
}

Canvas::Canvas(int width, int height) : width_(width), height_(height), pixels_(size_t(width) * size_t(height) * 4, 0.0f) {}

void Canvas::Blend(int x, int y, float r, float g, float b, float a)
{
    float* p = &pixels_[(size_t(y) * size_t(width_) + size_t(x)) * 4];
    const float keep = 1.0f - a;
    p[0] = r + p[0] * keep;
    p[1] = g + p[1] * keep;
    p[2] = b + p[2] * keep;
    p[3] = a + p[3] * keep;
}

void Canvas::Cover(float x0, float y0, float x1, float y1, const Inside& inside, Rgba colour)
{
    const int left = std::max(0, int(std::floor(x0)));
    const int top = std::max(0, int(std::floor(y0)));
    const int right = std::min(width_, int(std::ceil(x1)));
    const int bottom = std::min(height_, int(std::ceil(y1)));
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            int hits = 0;
            for (int j = 0; j < kGrid; ++j)
                for (int i = 0; i < kGrid; ++i)
                    hits += inside(float(x) + (float(i) + 0.5f) / kGrid, float(y) + (float(j) + 0.5f) / kGrid) ? 1 : 0;
            if (hits == 0)
                continue;
            const float a = colour.a * float(hits) / float(kGrid * kGrid);
            Blend(x, y, colour.r * a, colour.g * a, colour.b * a, a);
        }
    }
}

void Canvas::FillRoundRect(float x, float y, float w, float h, float radius, Rgba colour)
{
    x += originX_;
    y += originY_;
    const float r = std::clamp(radius, 0.0f, std::min(w, h) / 2);
    Cover(x, y, x + w, y + h,
          [=](float px, float py) {
              if (px < x || py < y || px >= x + w || py >= y + h)
                  return false;
              // Distance into the nearest corner's square decides the rounding.
              const float dx = std::max({x + r - px, px - (x + w - r), 0.0f});
              const float dy = std::max({y + r - py, py - (y + h - r), 0.0f});
              return dx * dx + dy * dy <= r * r;
          },
          colour);
}

void Canvas::FillEllipse(float cx, float cy, float rx, float ry, Rgba colour)
{
    cx += originX_;
    cy += originY_;
    if (rx <= 0 || ry <= 0)
        return;
    Cover(cx - rx, cy - ry, cx + rx, cy + ry,
          [=](float px, float py) {
              const float u = (px - cx) / rx;
              const float v = (py - cy) / ry;
              return u * u + v * v <= 1.0f;
          },
          colour);
}

void Canvas::FillPolygon(const std::vector<float>& points, Rgba colour)
{
    if (points.size() < 6)
        return;
    std::vector<float> p(points);
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (size_t i = 0; i + 1 < p.size(); i += 2) {
        p[i] += originX_;
        p[i + 1] += originY_;
        x0 = std::min(x0, p[i]);
        x1 = std::max(x1, p[i]);
        y0 = std::min(y0, p[i + 1]);
        y1 = std::max(y1, p[i + 1]);
    }
    const size_t n = p.size() / 2;
    Cover(x0, y0, x1, y1,
          [&p, n](float px, float py) {
              bool inside = false;
              for (size_t i = 0, j = n - 1; i < n; j = i++) {
                  const float xi = p[2 * i], yi = p[2 * i + 1], xj = p[2 * j], yj = p[2 * j + 1];
                  if ((yi > py) != (yj > py) && px < (xj - xi) * (py - yi) / (yj - yi) + xi)
                      inside = !inside;
              }
              return inside;
          },
          colour);
}

void Canvas::FillChecker(float x, float y, float w, float h, float cell, Rgba a, Rgba b)
{
    if (cell <= 0)
        return;
    for (float cy = 0; cy < h; cy += cell)
        for (float cx = 0; cx < w; cx += cell) {
            const bool odd = (int(cx / cell) + int(cy / cell)) % 2 != 0;
            FillRoundRect(x + cx, y + cy, std::min(cell, w - cx), std::min(cell, h - cy), 0, odd ? b : a);
        }
}

void Canvas::DrawPicture(const std::vector<float>& premultiplied, int width, int height, float x, float y, float w, float h,
                         float angle, bool mirror)
{
    if (width <= 0 || height <= 0 || w <= 0 || h <= 0)
        return;
    x += originX_;
    y += originY_;
    const float scale = std::min(w / float(width), h / float(height));
    const float fitW = float(width) * scale, fitH = float(height) * scale;
    const float cx = x + w / 2, cy = y + h / 2;
    const float radians = angle * float(std::numbers::pi) / 180.0f;
    const float cosA = std::cos(radians), sinA = std::sin(radians);
    // The rotated picture stays within the circle around its centre.
    const float reach = std::sqrt(fitW * fitW + fitH * fitH) / 2 + 1;
    const int grid = std::clamp(int(std::ceil(1.0f / scale)), 2, 8);

    auto sample = [&](float u, float v, float* out) {
        // Bilinear on the premultiplied source; outside is transparent.
        u -= 0.5f;
        v -= 0.5f;
        const int u0 = int(std::floor(u)), v0 = int(std::floor(v));
        const float fu = u - float(u0), fv = v - float(v0);
        for (int dy = 0; dy < 2; ++dy)
            for (int dx = 0; dx < 2; ++dx) {
                const int su = u0 + dx, sv = v0 + dy;
                if (su < 0 || sv < 0 || su >= width || sv >= height)
                    continue;
                const float weight = (dx ? fu : 1 - fu) * (dy ? fv : 1 - fv);
                const float* s = &premultiplied[(size_t(sv) * size_t(width) + size_t(su)) * 4];
                for (int c = 0; c < 4; ++c)
                    out[c] += s[c] * weight;
            }
    };

    const int left = std::max(0, int(std::floor(cx - reach))), right = std::min(width_, int(std::ceil(cx + reach)));
    const int top = std::max(0, int(std::floor(cy - reach))), bottom = std::min(height_, int(std::ceil(cy + reach)));
    for (int py = top; py < bottom; ++py)
        for (int px = left; px < right; ++px) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < grid; ++j)
                for (int i = 0; i < grid; ++i) {
                    const float sx = float(px) + (float(i) + 0.5f) / float(grid) - cx;
                    const float sy = float(py) + (float(j) + 0.5f) / float(grid) - cy;
                    // Undo the tilt, then map the box onto the source.
                    float lx = sx * cosA + sy * sinA;
                    const float ly = -sx * sinA + sy * cosA;
                    if (mirror)
                        lx = -lx;
                    sample((lx + fitW / 2) / scale, (ly + fitH / 2) / scale, sum);
                }
            const float n = float(grid * grid);
            if (sum[3] > 0)
                Blend(px, py, sum[0] / n, sum[1] / n, sum[2] / n, sum[3] / n);
        }
}

std::unique_ptr<ImageLib::Image> Canvas::ToImage() const
{
    auto image = std::make_unique<ImageLib::Image>(width_, height_);
    uint32_t* out = image->GetBits();
    for (size_t i = 0; i < size_t(width_) * size_t(height_); ++i) {
        const float* p = &pixels_[i * 4];
        const float a = p[3];
        const float unmultiply = a > 0 ? 1.0f / a : 0.0f;
        out[i] = uint32_t(ToByte(a)) << 24 | uint32_t(ToByte(p[0] * unmultiply)) << 16 | uint32_t(ToByte(p[1] * unmultiply)) << 8 |
                 uint32_t(ToByte(p[2] * unmultiply));
    }
    return image;
}

} // namespace art
