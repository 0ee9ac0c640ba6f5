#include "framework/raster/SWTri.h"

#include "framework/raster/SWTriClipper.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Nubra {
namespace {

// Inclusive pixel bounds of the clip: the polygon is cut to [min, max] on each axis.
struct ClipBounds {
    int32_t xMin, xMax, yMin, yMax;
};

// Beyond this many pixels a position no longer fits 16.16.
constexpr int64_t kMaxExtent = 32767;

bool DestinationUsable(const SWTri_Dest& dest)
{
    const int px = SWTri_PixelSize(dest.format);
    return dest.bits && dest.width > 0 && dest.height > 0 &&
           int64_t(dest.pitch & ~(px - 1)) >= int64_t(dest.width) * px;
}

// The clip rectangle cut to the destination; false when nothing of it remains.
bool IntersectClip(const SWTri_Rect& clip, const SWTri_Dest& dest, ClipBounds& out)
{
    const int64_t left = std::max<int64_t>(clip.x, 0);
    const int64_t top = std::max<int64_t>(clip.y, 0);
    const int64_t right = std::min({int64_t(clip.x) + clip.w, int64_t(dest.width), kMaxExtent});
    const int64_t bottom = std::min({int64_t(clip.y) + clip.h, int64_t(dest.height), kMaxExtent});
    if (left >= right || top >= bottom)
        return false;
    out = {int32_t(left), int32_t(right - 1), int32_t(top), int32_t(bottom - 1)};
    return true;
}

// A position in 16.16, truncated toward zero. Clipped vertices lie on the bounds up to rounding;
// holding them within a pixel of the bounds keeps every span the frame draws inside them. (The
// limits are whole numbers, so holding before truncating gives the same.)
int32_t ToFixedPosition(float value, int32_t min, int32_t max)
{
    return int32_t(std::clamp(double(value) * 65536.0, double(min - 1) * 65536.0 + 1.0, double(max + 1) * 65536.0));
}

// A normalised texture coordinate in 16.16 texels: (coord * size) in float, then * 65536.
int32_t ToFixedTexel(float coord, float size)
{
    const float texels = coord * size;
    return int32_t(std::clamp(double(texels) * 65536.0, double(std::numeric_limits<int32_t>::min()),
                              double(std::numeric_limits<int32_t>::max())));
}

bool IsFinite(const SWTri_Vertex& v, bool textured)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && (!textured || (std::isfinite(v.u) && std::isfinite(v.v)));
}

// The texture's size, read once per call: texels per row, texel count, and the scales of u, v.
struct TextureShape {
    int32_t width = 0;
    int32_t size = 0;
    float widthF = 0;
    float heightF = 0;
};

TextureShape ShapeOf(const SWTri_TextureSource& texture)
{
    const int32_t w = texture.Width();
    const int32_t h = texture.Height();
    TextureShape shape;
    shape.width = w;
    shape.widthF = float(w);
    shape.heightF = float(h);
    if (w > 0 && h > 0)
        shape.size = int32_t(std::min<int64_t>(int64_t(w) * h, std::numeric_limits<int32_t>::max()));
    return shape;
}

} // namespace

void SWTri_DrawTriangles(const SWTri_Vertex* vertices, int32_t count, SWTri_TextureSource* texture,
                         const SWTri_Color& color, int32_t /*drawMode*/, const SWTri_Rect& clipRect,
                         const SWTri_Dest& dest, bool linearBlend, bool vertexColors, const SWTri_FillerTable& table)
{
    ClipBounds bounds{};
    const bool drawable = DestinationUsable(dest) && IntersectClip(clipRect, dest, bounds);
    const SWTri_ConstColor constColor{color.a, color.r, color.g, color.b};
    const bool C = color != SWTri_Color::White;
    if (texture)
        texture->CommitBits(); // even when nothing is drawn, the alpha flags come up to date
    const bool T = texture != nullptr;
    const bool A = T && (texture->HasPartialAlpha() || texture->HasTransparency() || linearBlend);
    if (count < 3 || !vertices || !drawable)
        return;

    const TextureShape shape = T ? ShapeOf(*texture) : TextureShape{};
    for (int32_t k = 0; k + 2 < count; ++k) {
        const bool odd = k & 1;
        SWTri_VertexList polygon;
        SWTri_VertexPool pool;
        const int n = SWTri_ClipPolygon(&vertices[k], &vertices[odd ? k + 2 : k + 1], &vertices[odd ? k + 1 : k + 2],
                                        polygon, float(bounds.xMin), float(bounds.xMax), float(bounds.yMin),
                                        float(bounds.yMax), pool);
        if (n < 3 || !std::all_of(polygon, polygon + n, [&](const SWTri_Vertex* v) { return IsFinite(*v, T); }))
            continue;

        SWTri_FixedVertex fixed[kSWTri_MaxPolygon];
        for (int j = 0; j < n; ++j) {
            const SWTri_Vertex& v = *polygon[j];
            const uint32_t c = vertexColors ? v.color : 0;
            fixed[j] = {ToFixedPosition(v.x, bounds.xMin, bounds.xMax),
                        ToFixedPosition(v.y, bounds.yMin, bounds.yMax),
                        int32_t(((c >> 24) & 0xFF) << 16),
                        int32_t(c & 0xFF0000),
                        int32_t((c & 0xFF00) << 8),
                        int32_t((c & 0xFF) << 16),
                        T ? ToFixedTexel(v.u, shape.widthF) : 0,
                        T ? ToFixedTexel(v.v, shape.heightF) : 0};
        }

        SWTri_TextureInfo info{nullptr, 0, 0};
        if (T) {
            info = {texture->GetBits(), shape.width, shape.size};
            if (!info.bits)
                continue;
        }
        // The polygon as a fan around its first vertex.
        SWTri_SelectFiller(T, A, vertexColors, C, fixed, dest.bits, dest.pitch, &info, &constColor, dest.format,
                           linearBlend, table);
        for (int j = 3; j < n; ++j) {
            fixed[1] = fixed[j - 1];
            fixed[2] = fixed[j];
            SWTri_SelectFiller(T, A, vertexColors, C, fixed, dest.bits, dest.pitch, &info, &constColor,
                               dest.format, linearBlend, table);
        }
    }
}

} // namespace Nubra
