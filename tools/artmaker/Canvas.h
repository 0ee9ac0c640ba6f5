#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "framework/graphics/ImageLib.h"

namespace art {

// A colour with straight (not premultiplied) components 0..1.
struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
    static Rgba FromArgb(uint32_t argb);
};

// A picture with premultiplied components, so that scaled and stacked shapes blend without
// dark fringes. Every shape is antialiased by sampling each pixel on a grid.
class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }

    // Shapes are placed relative to the origin, so that one frame's commands can be drawn into
    // any cell of a sheet.
    void SetOrigin(float x, float y) { originX_ = x; originY_ = y; }

    void FillRoundRect(float x, float y, float w, float h, float radius, Rgba colour);
    void FillEllipse(float cx, float cy, float rx, float ry, Rgba colour);
    // Points as x, y pairs; the even-odd rule decides the inside.
    void FillPolygon(const std::vector<float>& points, Rgba colour);
    void FillChecker(float x, float y, float w, float h, float cell, Rgba a, Rgba b);
    // Draws a premultiplied picture into the box, scaled to fit and centred, tilted by the
    // angle (degrees, clockwise) about the box's centre, mirrored left to right when asked.
    void DrawPicture(const std::vector<float>& premultiplied, int width, int height, float x, float y, float w, float h,
                     float angle, bool mirror);

    // Straight ARGB words, as the PNG writer takes them.
    std::unique_ptr<ImageLib::Image> ToImage() const;

private:
    using Inside = std::function<bool(float, float)>;
    // Blends the colour over every pixel of the box by the share of its samples inside.
    void Cover(float x0, float y0, float x1, float y1, const Inside& inside, Rgba colour);
    void Blend(int x, int y, float r, float g, float b, float a);

    int width_;
    int height_;
    float originX_ = 0;
    float originY_ = 0;
    std::vector<float> pixels_; // r, g, b, a premultiplied
};

} // namespace art
