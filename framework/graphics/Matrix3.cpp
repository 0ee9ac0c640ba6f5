#include "framework/graphics/Matrix3.h"

#include <cmath>

namespace Nubra {

void Matrix3::LoadIdentity()
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = r == c ? 1.0f : 0.0f;
}

Matrix3 Matrix3::operator*(const Matrix3& other) const
{
    Matrix3 result(false);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            result.m[r][c] = m[r][0] * other.m[0][c] + m[r][1] * other.m[1][c] + m[r][2] * other.m[2][c];
    return result;
}

NubraVector2 Matrix3::operator*(const NubraVector2& p) const
{
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2], m[1][0] * p.x + m[1][1] * p.y + m[1][2]};
}

void Matrix3::Multiply(const float in[3], float out[3]) const
{
    for (int r = 0; r < 3; ++r)
        out[r] = m[r][0] * in[0] + m[r][1] * in[1] + m[r][2] * in[2];
}

void Matrix3::Translate(float tx, float ty)
{
    Matrix3 a;
    a.m[0][2] = tx;
    a.m[1][2] = ty;
    *this = a * *this;
}

void Matrix3::Rotate(float radians)
{
    Matrix3 a;
    float c = std::cos(radians), s = std::sin(radians);
    a.m[0][0] = c;
    a.m[0][1] = s;
    a.m[1][0] = -s;
    a.m[1][1] = c;
    *this = a * *this;
}

void Matrix3::RotateDeg(float degrees) { Rotate(degrees * 3.1415927f / 180.0f); }

void Matrix3::Scale(float sx, float sy)
{
    Matrix3 a;
    a.m[0][0] = sx;
    a.m[1][1] = sy;
    *this = a * *this;
}

void Transform2D::Reset()
{
    dirty_ = true;
    complex_ = hasRotation_ = hasScale_ = false;
    transX1_ = transY1_ = transX2_ = transY2_ = 0;
    scaleX_ = scaleY_ = 1;
    rotation_ = 0;
}

void Transform2D::Translate(float tx, float ty)
{
    if (complex_) {
        matrix_.Translate(tx, ty);
        return;
    }
    dirty_ = true;
    if (!hasRotation_ && !hasScale_) {
        transX1_ += tx;
        transY1_ += ty;
    } else {
        transX2_ += tx;
        transY2_ += ty;
    }
}

void Transform2D::Rotate(float radians)
{
    if (complex_) {
        matrix_.Rotate(radians);
    } else if (!hasScale_) {
        rotation_ += radians;
        dirty_ = true;
        hasRotation_ = true;
    } else {
        MakeComplex();
        matrix_.Rotate(radians);
    }
}

void Transform2D::RotateDeg(float degrees) { Rotate(degrees * 3.1415927f / 180.0f); }

void Transform2D::Scale(float sx, float sy)
{
    bool simple = !complex_ && !hasRotation_ && transX1_ == 0 && transY1_ == 0
                  && (sx >= 0 || sx * scaleX_ == -1.0f) && sy >= 0;
    if (simple) {
        scaleX_ *= sx;
        scaleY_ *= sy;
        dirty_ = true;
        hasScale_ = true;
        return;
    }
    MakeComplex();
    matrix_.Scale(sx, sy);
}

const Matrix3& Transform2D::GetMatrix()
{
    if (dirty_ && !complex_)
        Rebuild();
    return matrix_;
}

void Transform2D::MakeComplex()
{
    if (complex_)
        return;
    Rebuild();
    complex_ = true;
}

void Transform2D::Rebuild()
{
    dirty_ = false;
    matrix_.LoadIdentity();
    matrix_.m[0][2] = transX1_;
    matrix_.m[1][2] = transY1_;
    matrix_.m[2][2] = 1.0f;
    if (hasScale_) {
        matrix_.m[0][0] = scaleX_;
        matrix_.m[1][1] = scaleY_;
    } else if (hasRotation_) {
        matrix_.Rotate(rotation_);
    }
    if (transX2_ != 0 || transY2_ != 0)
        matrix_.Translate(transX2_, transY2_);
}

} // namespace Nubra
