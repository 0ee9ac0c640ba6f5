#pragma once
#include "framework/app/Matrix3.h"
#include "framework/graphics/Image.h"

#include <list>
#include <string>

namespace Nubra {

class DDInterface;
class MemoryImage;

// Drawing onto the display's frame with the graphics card. Until that road is built, Init
// refuses, so the display draws in software; the drawing members draw nothing.
class D3DInterface {
public:
    D3DInterface() = default;
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;
    virtual ~D3DInterface();

    // False, with gD3DErrorText saying why, when the display cannot draw with the card.
    virtual bool Init(DDInterface* display);
    virtual void Cleanup();
    virtual void Flush(); // ends the frame's drawing
    virtual void RemoveImage(MemoryImage* image); // drops the image's textures

    virtual void Blt(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode, bool linear);
    // Cut to `clip` when given.
    virtual void BltF(Image* image, float x, float y, const Rect& src, const Rect* clip, const Color& color,
                      int drawMode);
    virtual void BltTransformed(Image* image, const Rect* clip, const Color& color, int drawMode, const Rect& src,
                                const Matrix3& matrix, bool linear, float x, float y, bool center,
                                const ImageMask* mask);
    virtual void BltMirror(Image* image, float x, float y, const Rect& src, const Color& color, int drawMode,
                           bool linear);
    // Cut to `clip` when given.
    virtual void StretchBlt(Image* image, const Rect& dest, const Rect& src, const Rect* clip, const Color& color,
                            int drawMode, bool fastStretch, bool mirror);
    // Turned by `angle` radians about the centre, measured from the source rectangle's corner at (x, y).
    virtual void BltRotated(Image* image, float x, float y, const Rect* clip, const Color& color, int drawMode,
                            double angle, float centerX, float centerY, const Rect& src);
    virtual void BltTriangles(Image* image, const TriVertex (*triangles)[3], int count, const Color& color,
                              int drawMode, float tx, float ty, bool linear);
    virtual void FillRect(const Rect& rect, const Color& color, int drawMode);
    virtual void DrawLine(double startX, double startY, double endX, double endY, const Color& color, int drawMode);
    virtual bool FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                          int ty);

    // While not empty, its last matrix applies to every draw.
    std::list<Matrix3> transformStack;
};

// The last failed step of drawing with the card ("step: reason"); empty while all went well.
// The display turns the card off at its next present when it is not empty.
extern std::string gD3DErrorText;

} // namespace Nubra
