#include "framework/graphics/Rect.h"

#include <algorithm>

namespace Nubra {

namespace {

template <typename R>
R Intersect(const R& a, const R& b)
{
    auto left = std::max(a.x, b.x);
    auto width = std::min(a.x + a.width, b.x + b.width) - left;
    if (width < 0)
        return R();
    auto top = std::max(a.y, b.y);
    auto height = std::min(a.y + a.height, b.y + b.height) - top;
    if (height < 0)
        return R();
    return R(left, top, width, height);
}

} // namespace

Rect Rect::Intersection(const Rect& other) const { return Intersect(*this, other); }

DRect DRect::Intersection(const DRect& other) const { return Intersect(*this, other); }

} // namespace Nubra
