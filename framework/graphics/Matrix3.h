#pragma once
#include "framework/graphics/NubraVector2.h"

namespace Nubra {

// Row-major 3 x 3 matrix; a point (x, y) is the column (x, y, 1).
class Matrix3 {
public:
    float m[3][3];

    Matrix3() { LoadIdentity(); }
    explicit Matrix3(bool loadIdentity)
    {
        if (loadIdentity)
            LoadIdentity();
    }

    void LoadIdentity();
    Matrix3 operator*(const Matrix3& other) const;
    NubraVector2 operator*(const NubraVector2& point) const;
    void Multiply(const float in[3], float out[3]) const;

    // Each replaces M by A x M, so it applies after what came before.
    void Translate(float tx, float ty);
    void Rotate(float radians);
    void RotateDeg(float degrees);
    void Scale(float sx, float sy);
};

// A transform that keeps a translation, one rotation or one scale as plain numbers and builds
// its matrix only when asked; anything it cannot keep that way turns it complex.
class Transform2D {
public:
    Transform2D() { Reset(); }

    void Reset();
    void Translate(float tx, float ty);
    void Rotate(float radians);
    void RotateDeg(float degrees);
    void Scale(float sx, float sy);
    const Matrix3& GetMatrix();
    void MakeComplex();
    bool IsComplex() const { return complex_; }

private:
    void Rebuild();

    Matrix3 matrix_;
    bool dirty_, complex_, hasRotation_, hasScale_;
    float transX1_, transY1_;
    float transX2_, transY2_;
    float scaleX_, scaleY_;
    float rotation_;
};

} // namespace Nubra
