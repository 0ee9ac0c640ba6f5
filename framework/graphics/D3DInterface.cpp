#include "framework/graphics/D3DInterface.h"

#include "framework/app/NubraAppBase.h" // runtime errors go to the owner's settings; no drawing while minimised
#include "framework/graphics/D3DGeometry.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextureData.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>
#include <utility>

namespace Nubra {

std::string gD3DErrorText;
bool gLinearFilter = false;
bool gRenderTargetFailed = false;

namespace {

constexpr int kLargestTexture = 2048;
constexpr int kTriangleBatch = 100;

plat::GpuVertex ToGpu(const D3DVertex& v)
{
    plat::GpuVertex out;
    out.x = v.x;
    out.y = v.y;
    out.r = uint8_t(v.diffuse >> 16);
    out.g = uint8_t(v.diffuse >> 8);
    out.b = uint8_t(v.diffuse);
    out.a = uint8_t(v.diffuse >> 24);
    out.u = v.u;
    out.v = v.v;
    return out;
}

D3DVertex Corner(float x, float y, uint32_t diffuse, float u, float v)
{
    D3DVertex corner;
    corner.x = x;
    corner.y = y;
    corner.diffuse = diffuse;
    corner.u = u;
    corner.v = v;
    return corner;
}

// Inside the clip rectangle; a point on its right or bottom edge is outside.
bool InsideClip(const D3DVertex& v, const Rect& clip)
{
    return v.x >= float(clip.x) && v.x < float(clip.x + clip.width) && v.y >= float(clip.y)
           && v.y < float(clip.y + clip.height);
}

// Triangle (0, i, i + 1) for each i: a fan of `count` corners.
std::vector<int> FanIndices(int count)
{
    std::vector<int> indices;
    for (int i = 1; i + 1 < count; ++i)
        indices.insert(indices.end(), {0, i, i + 1});
    return indices;
}

// The source rectangle cut to the image; the cut moves the destination along.
Rect CutToImage(const Rect& src, const Image& image, float& x, float& y)
{
    Rect cut = src.Intersection(Rect(0, 0, image.width, image.height));
    x += float(cut.x - src.x);
    y += float(cut.y - src.y);
    return cut;
}

// The display's lock, when there is a display.
std::unique_lock<CriticalSection> DisplayLock(DDInterface* display)
{
    return display ? std::unique_lock<CriticalSection>(display->critSect) : std::unique_lock<CriticalSection>();
}

} // namespace

D3DInterface::D3DInterface() { gTextureLimits = TextureLimits(); }

D3DInterface::~D3DInterface() { Cleanup(); }

bool D3DInterface::CheckDXError(bool failed, const char* step)
{
    if (!failed)
        return false;
    gD3DErrorText = std::string(step) + ": " + (gpu ? gpu->Error() : std::string("no renderer"));
    if (display && display->app)
        display->app->RegistryWriteString("Test3D\\RuntimeError", gD3DErrorText);
    return true;
}

bool D3DInterface::Init(DDInterface* newDisplay)
{
    gD3DErrorText.clear();
    display = newDisplay;
    drawingThread_ = std::this_thread::get_id();
    plat::Presenter* presenter = display ? display->GetPresenter() : nullptr;
    gpu = presenter ? presenter->GetGpu() : nullptr;
    if (!gpu) {
        gD3DErrorText = "Query DrawSurface: there is no renderer to draw with";
        return false;
    }
    width = display->width;
    height = display->height;
    windowed = display->windowed;
    return InitD3D();
}

bool D3DInterface::InitD3D()
{
    const plat::GpuInfo info = gpu->Info();
    if (!info.targetTextures) {
        gD3DErrorText = "QueryInterface IID_IDirect3D7: the renderer cannot draw into textures";
        return false;
    }
    renderTarget = gpu->CreateTarget(width, height);
    if (CheckDXError(!renderTarget, "CreateDevice IID_IDirect3DHALDevice"))
        return false;

    // The renderer's 0 means no limit; larger textures than 2048 are never asked for.
    auto limit = [](int reported) { return reported <= 0 ? kLargestTexture : std::min(reported, kLargestTexture); };
    gTextureLimits.maxWidth = limit(info.maxTextureWidth);
    gTextureLimits.maxHeight = limit(info.maxTextureHeight);
    gTextureLimits.minWidth = 1;
    gTextureLimits.minHeight = 1;
    gTextureLimits.maxAspect = 65536;
    gTextureLimits.supportedFormats = SupportedFormats(info);
    gLinearFilter = false;

    UpdateViewport();
    gpu->SetTarget(renderTarget.get());
    gpu->Clear(0xFF000000);
    return true;
}

void D3DInterface::UpdateViewport()
{
    if (gpu)
        gpu->SetViewport({0, 0, width, height});
}

bool D3DInterface::PreDraw()
{
    if (!gpu || !renderTarget)
        return false;
    if (display && display->app && display->app->minimized)
        return false;
    if (inScene)
        return true;
    ReleaseOrphans();
    const plat::GpuResets resets = gpu->TakeResets();
    if (resets.device) {
        // Every texture is gone: drawing goes back to software at the next present.
        gD3DErrorText = "SDL_RENDER_DEVICE_RESET: the graphics card lost its textures";
        if (display && display->app)
            display->app->RegistryWriteString("Test3D\\RuntimeError", gD3DErrorText);
        return false;
    }
    if (!gpu->SetTarget(renderTarget.get())) {
        gRenderTargetFailed = true;
        return false;
    }
    gRenderTargetFailed = false;
    UpdateViewport();
    if (resets.targets) {
        gpu->Clear(0xFF000000);
        frameLost_ = true;
    }
    inScene = true;
    gLinearFilter = true;
    return true;
}

void D3DInterface::Flush()
{
    if (!inScene)
        return;
    gpu->Flush();
    inScene = false;
    gD3DErrorText.clear();
}

bool D3DInterface::TakeFrameLost() { return std::exchange(frameLost_, false); }

bool D3DInterface::Present(const Rect& from, const Rect& to, int displayWidth, int displayHeight)
{
    if (!gpu || !renderTarget)
        return false;
    return gpu->Present(*renderTarget, {from.x, from.y, from.width, from.height}, {to.x, to.y, to.width, to.height},
                        displayWidth, displayHeight);
}

void D3DInterface::SetupDrawMode(int drawMode)
{
    blend_ = drawMode == DRAWMODE_NORMAL ? plat::GpuBlend::Blend : plat::GpuBlend::Add;
}

void D3DInterface::SetLinearFilter(bool linear) { gLinearFilter = linear; }

bool D3DInterface::UseTexture(plat::GpuTexture* texture, bool linear)
{
    if (!texture)
        return false;
    return !CheckDXError(!gpu->SetLinear(*texture, linear),
                         linear ? "SetTextureStageState LINEAR" : "SetTextureStageState Point");
}

void D3DInterface::Cleanup()
{
    Flush();
    {
        auto lock = DisplayLock(display);
        for (MemoryImage* image : imageSet) {
            delete image->d3dData;
            image->d3dData = nullptr;
        }
        imageSet.clear();
    }
    ReleaseOrphans();
    maskTarget_.reset();
    renderTarget.reset();
    gpu = nullptr;
}

void D3DInterface::RemoveImage(MemoryImage* image)
{
    auto lock = DisplayLock(display);
    TextureData* data = std::exchange(image->d3dData, nullptr);
    imageSet.erase(image);
    if (data && std::this_thread::get_id() != drawingThread_)
        orphans_.push_back(data);
    else
        delete data;
}

void D3DInterface::ReleaseOrphans()
{
    auto lock = DisplayLock(display);
    for (TextureData* data : orphans_)
        delete data;
    orphans_.clear();
}

bool D3DInterface::CreateImageTexture(MemoryImage* image)
{
    if (!image)
        return false;
    if (!image->d3dData) {
        image->d3dData = new TextureData(this);
        auto lock = DisplayLock(display);
        imageSet.insert(image);
    }
    // The image keeps its bits: textures cannot be read back.
    image->d3dData->CheckTextures(*image);
    return image->d3dData->format != 0;
}

void D3DInterface::DrawFan(const D3DVertex* corners, int count, plat::GpuTexture* texture, const char* step)
{
    if (count < 3)
        return;
    std::vector<plat::GpuVertex> vertices(static_cast<size_t>(count));
    std::transform(corners, corners + count, vertices.begin(), ToGpu);
    const std::vector<int> indices = FanIndices(count);
    CheckDXError(!gpu->DrawGeometry(texture, vertices.data(), count, indices.data(), int(indices.size()), blend_),
                 step);
}

void D3DInterface::DrawStrip(const D3DVertex (&corners)[4], plat::GpuTexture* texture, const char* step)
{
    const D3DVertex fan[4] = {corners[0], corners[1], corners[3], corners[2]};
    DrawFan(fan, 4, texture, step);
}

void D3DInterface::DrawPolyClipped(const std::vector<D3DVertex>& fan, const Rect& clip, plat::GpuTexture* texture)
{
    const std::vector<D3DVertex> cut = ClipToRect(fan, float(clip.x), float(clip.y), float(clip.x + clip.width),
                                                  float(clip.y + clip.height));
    if (cut.size() > 2)
        DrawFan(cut.data(), int(cut.size()), texture, "DrawPrimitive (Tri) 2");
}

void D3DInterface::DrawPolyClipped(const std::vector<D3DVertex2>& fan, const Rect& clip, plat::GpuTexture* image,
                                   plat::GpuTexture* mask)
{
    const std::vector<D3DVertex2> cut = ClipToRect(fan, float(clip.x), float(clip.y), float(clip.x + clip.width),
                                                   float(clip.y + clip.height));
    if (cut.size() > 2)
        DrawMaskedFan(cut, image, mask, "DrawPrimitive (Tri) 2");
}

// The renderer has one texture per draw: the mask's texels go into a scratch target, the image
// is drawn over them keeping the mask's alpha as a factor, and the result is blended onto the
// frame. A renderer without that blend shows the image unmasked, as software drawing does.
void D3DInterface::DrawMaskedFan(const std::vector<D3DVertex2>& fan, plat::GpuTexture* image,
                                 plat::GpuTexture* mask, const char* step)
{
    const int count = int(fan.size());
    const std::vector<int> indices = FanIndices(count);
    std::vector<plat::GpuVertex> imageCorners(fan.size()), maskCorners(fan.size());
    float left = float(width), top = float(height), right = 0.0f, bottom = 0.0f;
    for (size_t i = 0; i < fan.size(); ++i) {
        imageCorners[i] = ToGpu(Corner(fan[i].x, fan[i].y, fan[i].diffuse, fan[i].u, fan[i].v));
        maskCorners[i] = ToGpu(Corner(fan[i].x, fan[i].y, 0xFFFFFFFF, fan[i].u2, fan[i].v2));
        left = std::min(left, fan[i].x);
        top = std::min(top, fan[i].y);
        right = std::max(right, fan[i].x);
        bottom = std::max(bottom, fan[i].y);
    }
    if (!gpu->SupportsBlend(plat::GpuBlend::MultiplyDestAlpha)) {
        if (UseTexture(image, true))
            CheckDXError(!gpu->DrawGeometry(image, imageCorners.data(), count, indices.data(), int(indices.size()),
                                            blend_),
                         step);
        return;
    }
    const int x0 = std::max(0, int(std::floor(left))), y0 = std::max(0, int(std::floor(top)));
    const int x1 = std::min(width, int(std::ceil(right))), y1 = std::min(height, int(std::ceil(bottom)));
    if (x1 <= x0 || y1 <= y0 || !UseTexture(mask, gLinearFilter) || !UseTexture(image, true))
        return;
    if (!maskTarget_)
        maskTarget_ = gpu->CreateTarget(width, height);
    if (CheckDXError(!maskTarget_ || !gpu->SetTarget(maskTarget_.get()), "SetTexture gTexture"))
        return;
    const bool drawn =
        gpu->Clear(0)
        && gpu->DrawGeometry(mask, maskCorners.data(), count, indices.data(), int(indices.size()),
                             plat::GpuBlend::None)
        && gpu->DrawGeometry(image, imageCorners.data(), count, indices.data(), int(indices.size()),
                             plat::GpuBlend::MultiplyDestAlpha);
    CheckDXError(!drawn, step);
    const plat::PixelRect box{x0, y0, x1 - x0, y1 - y0};
    CheckDXError(!gpu->SetTarget(renderTarget.get()) || !gpu->Copy(*maskTarget_, box, box, blend_), step);
}

void D3DInterface::Blt(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode, bool linear)
{
    if (!transformStack.empty()) {
        BltF(image, x, y, src, nullptr, color, drawMode);
        return;
    }
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || !PreDraw() || !CreateImageTexture(source))
        return;
    SetupDrawMode(drawMode);
    SetLinearFilter(linear);
    const Rect cut = CutToImage(src, *image, x, y);
    BltPieces(*source->d3dData, cut, nullptr, color, nullptr, x, y, false);
}

// Each part of `src` that lies in one piece, as a quad: moved by (x, y) and, with a matrix,
// transformed about the source rectangle's corner (its centre when `center`).
void D3DInterface::BltPieces(TextureData& data, const Rect& src, const Rect* clip, const Color& color,
                             const Matrix3* matrix, float x, float y, bool center)
{
    const uint32_t diffuse = color.ToInt();
    const float centerX = center ? float(src.width) * 0.5f : 0.0f;
    const float centerY = center ? float(src.height) * 0.5f : 0.0f;
    // Pixel centres sit half a pixel in on the renderer; a centred draw was placed on them.
    const float shift = center ? 0.5f : 0.0f;
    int rowHeight = 0;
    for (int sy = src.y; sy < src.y + src.height; sy += rowHeight) {
        int partWidth = 0;
        for (int sx = src.x; sx < src.x + src.width; sx += partWidth) {
            partWidth = src.x + src.width - sx;
            int partHeight = src.y + src.height - sy;
            float left = 0, top = 0, right = 0, bottom = 0;
            plat::GpuTexture* texture = data.GetTexture(sx, sy, partWidth, partHeight, left, top, right, bottom);
            if (partWidth <= 0 || partHeight <= 0)
                return;
            rowHeight = partHeight;
            const float px = float(sx - src.x) - centerX, py = float(sy - src.y) - centerY;
            const float xs[4] = {px, px + float(partWidth), px, px + float(partWidth)};
            const float ys[4] = {py, py, py + float(partHeight), py + float(partHeight)};
            const float us[4] = {left, right, left, right}, vs[4] = {top, top, bottom, bottom};
            D3DVertex corners[4];
            for (int i = 0; i < 4; ++i) {
                NubraVector2 p(xs[i], ys[i]);
                if (matrix)
                    p = *matrix * p;
                corners[i] = Corner(float(p.x) + x + shift, float(p.y) + y + shift, diffuse, us[i], vs[i]);
            }
            if (!texture || !UseTexture(texture, gLinearFilter))
                continue;
            if (!matrix) {
                DrawStrip(corners, texture, "DrawPrimitive (Tri) 1");
            } else if (!clip || std::all_of(corners, corners + 4, [&](const D3DVertex& v) { return InsideClip(v, *clip); })) {
                DrawStrip(corners, texture, "DrawPrimitive (Tri) 3");
            } else {
                DrawPolyClipped({corners[0], corners[1], corners[3], corners[2]}, *clip, texture);
            }
        }
    }
}

void D3DInterface::BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& src,
                                  const Matrix3& matrix, bool linear, float x, float y, bool center,
                                  const ImageMask* mask)
{
    auto* source = dynamic_cast<MemoryImage*>(image);
    auto* maskImage = mask ? dynamic_cast<MemoryImage*>(mask->image) : nullptr;
    if (!source || !PreDraw() || !CreateImageTexture(source))
        return;
    if (maskImage && !CreateImageTexture(maskImage))
        return;
    SetupDrawMode(drawMode);
    Matrix3 used = matrix;
    if (!transformStack.empty()) {
        SetLinearFilter(true);
        const Matrix3& top = transformStack.back();
        if (x == 0.0f && y == 0.0f) {
            used = top * matrix;
        } else {
            Matrix3 place;
            place.Translate(x, y);
            Matrix3 centre;
            if (center)
                centre.Translate(-float(src.width) * 0.5f, -float(src.height) * 0.5f);
            used = top * place * matrix * centre;
            x = y = 0.0f;
            center = false;
        }
        maskImage = nullptr;
    } else {
        SetLinearFilter(linear);
    }
    if (maskImage) {
        source->d3dData->BltMasked(used, src, color, drawMode, clip, x, y, *maskImage->d3dData, *mask);
        return;
    }
    const Rect cut = src.Intersection(Rect(0, 0, image->width, image->height));
    if (cut.width <= 0 || cut.height <= 0)
        return;
    // A cut source moves the part along before the matrix acts.
    Matrix3 shifted = used;
    if (cut.x != src.x || cut.y != src.y) {
        Matrix3 move;
        move.Translate(float(cut.x - src.x), float(cut.y - src.y));
        shifted = used * move;
    }
    BltPieces(*source->d3dData, cut, clip, color, &shifted, x, y, center);
}

void D3DInterface::BltF(Image* image, float x, float y, const Rect& src, const Rect* clip, const Color& color,
                        int drawMode)
{
    Matrix3 matrix;
    matrix.Translate(x, y);
    BltTransformed(image, clip, color, drawMode, src, matrix, true, 0.0f, 0.0f, false, nullptr);
}

void D3DInterface::BltMirror(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode,
                             bool linear)
{
    Matrix3 matrix;
    matrix.Translate(-float(src.width), 0.0f);
    matrix.Scale(-1.0f, 1.0f);
    matrix.Translate(x, y);
    BltTransformed(image, nullptr, color, drawMode, src, matrix, linear, 0.0f, 0.0f, false, nullptr);
}

void D3DInterface::StretchBlt(Image* image, const Rect& dest, const Rect& src, const Rect* clip, const Color& color,
                              int drawMode, bool fastStretch, bool mirror)
{
    if (src.width <= 0 || src.height <= 0)
        return;
    const float sx = float(dest.width) / float(src.width), sy = float(dest.height) / float(src.height);
    Matrix3 matrix;
    if (mirror) {
        matrix.Translate(-float(src.width), 0.0f);
        matrix.Scale(-sx, sy);
    } else {
        matrix.Scale(sx, sy);
    }
    matrix.Translate(float(dest.x), float(dest.y));
    BltTransformed(image, clip, color, drawMode, src, matrix, !fastStretch, 0.0f, 0.0f, false, nullptr);
}

void D3DInterface::BltRotated(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                              double angle, float centerX, float centerY, const Rect& src)
{
    Matrix3 matrix;
    matrix.Translate(-centerX, -centerY);
    matrix.Rotate(float(angle));
    matrix.Translate(x + centerX, y + centerY);
    BltTransformed(image, clip, color, drawMode, src, matrix, true, 0.0f, 0.0f, false, nullptr);
}

void D3DInterface::BltTriangles(Image* image, const TriVertex (*triangles)[3], int count, const Color& color,
                                int drawMode, float tx, float ty, bool linear)
{
    auto* source = dynamic_cast<MemoryImage*>(image);
    if (!source || !triangles || count <= 0 || !PreDraw() || !CreateImageTexture(source))
        return;
    SetupDrawMode(drawMode);
    SetLinearFilter(linear);
    TextureData& data = *source->d3dData;
    const uint32_t given = color.ToInt();
    // Positions onto pixel centres; texture coordinates in piece units.
    std::vector<D3DVertex> corners;
    corners.reserve(size_t(count) * 3);
    for (int t = 0; t < count; ++t)
        for (const TriVertex& v : triangles[t])
            corners.push_back(Corner(v.x + tx + 0.5f, v.y + ty + 0.5f, v.color ? v.color : given,
                                     v.u * data.maxTotalU, v.v * data.maxTotalV));
    if (data.columns == 1 && data.rows == 1) {
        plat::GpuTexture* texture = data.pieces[0].texture.get();
        if (!UseTexture(texture, gLinearFilter))
            return;
        for (size_t first = 0; first < corners.size(); first += kTriangleBatch * 3) {
            const size_t batch = std::min(corners.size() - first, size_t(kTriangleBatch) * 3);
            std::vector<plat::GpuVertex> vertices(batch);
            std::transform(corners.begin() + long(first), corners.begin() + long(first + batch), vertices.begin(),
                           ToGpu);
            std::vector<int> indices(batch);
            for (size_t i = 0; i < batch; ++i)
                indices[i] = int(i);
            CheckDXError(!gpu->DrawGeometry(texture, vertices.data(), int(batch), indices.data(), int(batch), blend_),
                         "DrawPrimitive (TriList)");
        }
        return;
    }
    BltTrianglesAcrossPieces(data, corners);
}

// Each triangle drawn once per piece its texture coordinates touch, cut to that piece.
void D3DInterface::BltTrianglesAcrossPieces(TextureData& data, const std::vector<D3DVertex>& corners)
{
    for (size_t first = 0; first + 3 <= corners.size(); first += 3) {
        float minU = corners[first].u, maxU = minU, minV = corners[first].v, maxV = minV;
        for (size_t i = first + 1; i < first + 3; ++i) {
            minU = std::min(minU, corners[i].u);
            maxU = std::max(maxU, corners[i].u);
            minV = std::min(minV, corners[i].v);
            maxV = std::max(maxV, corners[i].v);
        }
        const int firstColumn = std::clamp(int(std::floor(minU)), 0, data.columns);
        const int lastColumn = std::clamp(int(std::ceil(maxU)), 0, data.columns);
        const int firstRow = std::clamp(int(std::floor(minV)), 0, data.rows);
        const int lastRow = std::clamp(int(std::ceil(maxV)), 0, data.rows);
        for (int row = firstRow; row < lastRow; ++row) {
            for (int column = firstColumn; column < lastColumn; ++column) {
                const TexturePiece& piece = data.Piece(column, row);
                const float scaleU = column == data.columns - 1 ? float(data.pieceWidth) / float(piece.width) : 1.0f;
                const float scaleV = row == data.rows - 1 ? float(data.pieceHeight) / float(piece.height) : 1.0f;
                std::vector<D3DVertex> triangle(corners.begin() + long(first), corners.begin() + long(first + 3));
                for (D3DVertex& v : triangle) {
                    v.u = (v.u - float(column)) * scaleU;
                    v.v = (v.v - float(row)) * scaleV;
                }
                triangle = ClipPolygon(triangle, 3, 0.0f, true);
                triangle = ClipPolygon(triangle, 4, 0.0f, true);
                triangle = ClipPolygon(triangle, 3, 1.0f, false);
                triangle = ClipPolygon(triangle, 4, 1.0f, false);
                if (triangle.size() < 3 || !UseTexture(piece.texture.get(), gLinearFilter))
                    continue;
                DrawFan(triangle.data(), int(triangle.size()), piece.texture.get(), "DrawPrimitive (Tri) 4");
            }
        }
    }
}

void D3DInterface::DrawUntextured(const D3DVertex* corners, int count, const Rect* clip, const char* step)
{
    if (clip)
        DrawPolyClipped(std::vector<D3DVertex>(corners, corners + count), *clip, nullptr);
    else
        DrawFan(corners, count, nullptr, step);
}

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (!PreDraw())
        return;
    SetupDrawMode(drawMode);
    const uint32_t diffuse = color.ToInt();
    const float xs[4] = {float(rect.x), float(rect.x + rect.width), float(rect.x + rect.width), float(rect.x)};
    const float ys[4] = {float(rect.y), float(rect.y), float(rect.y + rect.height), float(rect.y + rect.height)};
    D3DVertex corners[4];
    for (int i = 0; i < 4; ++i) {
        NubraVector2 p(xs[i], ys[i]);
        if (!transformStack.empty())
            p = transformStack.back() * p;
        corners[i] = Corner(float(p.x), float(p.y), diffuse, 0.0f, 0.0f);
    }
    DrawUntextured(corners, 4, nullptr, "DrawPrimitive (Rect)");
}

void D3DInterface::DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode)
{
    if (!PreDraw())
        return;
    SetupDrawMode(drawMode);
    NubraVector2 start{float(startX), float(startY)}, end{float(endX), float(endY)};
    if (!transformStack.empty()) {
        start = transformStack.back() * start;
        end = transformStack.back() * end;
    }
    // The renderer's lines take whole numbers as pixels and draw their last pixel too.
    const plat::GpuPoint points[2] = {{float(start.x), float(start.y)}, {float(end.x), float(end.y)}};
    CheckDXError(!gpu->DrawLines(points, 2, color.ToInt(), blend_), "DrawPrimitive (Line)");
}

bool D3DInterface::FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode,
                            int tx, int ty)
{
    if (!points || count < 3 || !PreDraw())
        return true;
    SetupDrawMode(drawMode);
    const uint32_t diffuse = color.ToInt();
    std::vector<D3DVertex> fan;
    fan.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        NubraVector2 p(float(points[i].x + tx), float(points[i].y + ty));
        if (!transformStack.empty())
            p = transformStack.back() * p;
        fan.push_back(Corner(float(p.x) + 0.5f, float(p.y) + 0.5f, diffuse, 0.0f, 0.0f));
    }
    DrawUntextured(fan.data(), count, clip, "DrawPrimitive (FillPoly)");
    return true;
}

int D3DInterface::RoundToPowerOfTwo(int n)
{
    int power = 1;
    while (power < n && power < (1 << 30))
        power <<= 1;
    return power;
}

bool D3DInterface::IsPowerOfTwo(int n) { return n >= 1 && (n & (n - 1)) == 0; }

namespace {

// For a length below 2048: one texture when that wastes at most 64 texels, else the largest
// piece whose last remainder is under 64 texels or itself a power of two.
const int32_t* PieceSizeTable()
{
    static const auto table = [] {
        std::vector<int32_t> sizes(kLargestTexture);
        for (int length = 0; length < kLargestTexture; ++length) {
            const int power = D3DInterface::RoundToPowerOfTwo(length);
            int size = power;
            if (power - length > 64) {
                size = power / 2;
                while (length % size >= 64 && !D3DInterface::IsPowerOfTwo(length % size))
                    size /= 2;
            }
            sizes[size_t(length)] = size;
        }
        return sizes;
    }();
    return table.data();
}

} // namespace

void D3DInterface::GetBestTextureDimensions(int& width, int& height, bool isRemainder, bool powerOfTwo,
                                            uint32_t imageFlags)
{
    if (imageFlags & TextureFlag_FixedPieces64) {
        width = height = 64;
        return;
    }
    const TextureLimits& limits = gTextureLimits;
    if (powerOfTwo) {
        const bool fromTable = !isRemainder && !(imageFlags & TextureFlag_RoundUpPieces);
        auto side = [&](int length, int maximum) {
            if (length >= maximum)
                return maximum;
            return fromTable ? PieceSizeTable()[std::clamp(length, 0, kLargestTexture - 1)] : RoundToPowerOfTwo(length);
        };
        width = side(width, limits.maxWidth);
        height = side(height, limits.maxHeight);
    }
    width = std::max(width, limits.minWidth);
    height = std::max(height, limits.minHeight);
    const int64_t aspect = std::max(limits.maxAspect, 1);
    while (height < width && int64_t(width) > aspect * height)
        height *= 2;
    while (width < height && int64_t(height) > aspect * width)
        width *= 2;
}

int32_t D3DInterface::GetPixelFormatType(plat::GpuFormat format)
{
    switch (format) {
    case plat::GpuFormat::ARGB4444:
        return kTextureA4R4G4B4;
    case plat::GpuFormat::RGB565:
        return kTextureR5G6B5;
    case plat::GpuFormat::ARGB8888:
        break;
    }
    return kTextureA8R8G8B8;
}

int32_t D3DInterface::SupportedFormats(const plat::GpuInfo& info)
{
    int32_t mask = 0;
    for (plat::GpuFormat format : info.nativeFormats)
        mask |= GetPixelFormatType(format);
    return mask;
}

std::unique_ptr<plat::GpuTexture> D3DInterface::CreateTextureSurface(int textureWidth, int textureHeight,
                                                                     int32_t format)
{
    const plat::GpuFormat gpuFormat = format == kTextureA4R4G4B4 ? plat::GpuFormat::ARGB4444
                                      : format == kTextureR5G6B5 ? plat::GpuFormat::RGB565
                                                                 : plat::GpuFormat::ARGB8888;
    return gpu ? gpu->CreateTexture(gpuFormat, textureWidth, textureHeight) : nullptr;
}

void D3DInterface::CopyImageToTexture(plat::GpuTexture& texture, MemoryImage& image, int x, int y, int pieceW,
                                      int pieceH, int32_t format)
{
    const int copiedWidth = std::min(pieceW, image.width - x), copiedHeight = std::min(pieceH, image.height - y);
    const bool padRight = copiedWidth < pieceW, padBottom = copiedHeight < pieceH;
    const int texelBytes = format == kTextureA8R8G8B8 ? 4 : 2;
    const size_t pitch = size_t(pieceW) * size_t(texelBytes);
    std::vector<uint8_t> texels(pitch * size_t(pieceH), 0);
    const uint32_t* table = image.colorTable.get();
    const uint32_t* bits = table ? nullptr : image.GetBits();
    auto source = [&](int column, int row) {
        const size_t at = size_t(y + row) * size_t(image.width) + size_t(x + column);
        return table ? table[image.colorIndices[at]] : bits[at];
    };
    auto put = [&](uint8_t* to, uint32_t c) {
        if (format == kTextureA8R8G8B8) {
            std::memcpy(to, &c, 4);
            return;
        }
        const uint16_t packed =
            format == kTextureA4R4G4B4
                ? uint16_t(((c >> 16) & 0xF000) | ((c >> 12) & 0x0F00) | ((c >> 8) & 0x00F0) | ((c >> 4) & 0x000F))
                : uint16_t(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 3) & 0x001F));
        std::memcpy(to, &packed, 2);
    };
    if (copiedWidth >= 1 && copiedHeight >= 1) {
        for (int row = 0; row < copiedHeight; ++row) {
            uint8_t* line = texels.data() + size_t(row) * pitch;
            for (int column = 0; column < copiedWidth; ++column)
                put(line + size_t(column) * size_t(texelBytes), source(column, row));
            if (padRight)
                put(line + size_t(copiedWidth) * size_t(texelBytes), source(copiedWidth - 1, row));
        }
        if (padBottom)
            std::memcpy(texels.data() + size_t(copiedHeight) * pitch, texels.data() + size_t(copiedHeight - 1) * pitch,
                        pitch);
    }
    CheckDXError(!gpu->Upload(texture, texels.data(), int(pitch)), "Lock Texture");
}

} // namespace Nubra
