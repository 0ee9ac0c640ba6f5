#include "framework/graphics/D3DInterface.h"

#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/TextureData.h"

namespace Nubra {

std::string gD3DErrorText;

D3DInterface::~D3DInterface() = default;

bool D3DInterface::Init(DDInterface*)
{
    gD3DErrorText = "SDL_CreateTexture: drawing with the graphics card is not available";
    return false;
}

void D3DInterface::Cleanup() { Flush(); }

void D3DInterface::Flush() {}

void D3DInterface::RemoveImage(MemoryImage* image)
{
    delete image->d3dData;
    image->d3dData = nullptr;
}

void D3DInterface::Blt(Image*, float, float, const Rect&, const Color&, int, bool) {}

void D3DInterface::BltF(Image*, float, float, const Rect&, const Rect*, const Color&, int) {}

void D3DInterface::BltTransformed(Image*, const Rect*, const Color&, int, const Rect&, const Matrix3&, bool, float,
                                  float, bool, const ImageMask*)
{
}

void D3DInterface::BltMirror(Image*, float, float, const Rect&, const Color&, int, bool) {}

void D3DInterface::StretchBlt(Image*, const Rect&, const Rect&, const Rect*, const Color&, int, bool, bool) {}

void D3DInterface::BltRotated(Image*, float, float, const Rect*, const Color&, int, double, float, float, const Rect&) {}

void D3DInterface::BltTriangles(Image*, const TriVertex (*)[3], int, const Color&, int, float, float, bool) {}

void D3DInterface::FillRect(const Rect&, const Color&, int) {}

void D3DInterface::DrawLine(double, double, double, double, const Color&, int) {}

bool D3DInterface::FillPoly(const Point*, int, const Rect*, const Color&, int, int, int) { return false; }

} // namespace Nubra
