#pragma once

namespace Nubra {

// A position or scale in two floats.
struct NubraVector2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr NubraVector2() = default;
    constexpr NubraVector2(float x, float y) : x(x), y(y) {}

    constexpr NubraVector2 operator+(const NubraVector2& o) const { return {x + o.x, y + o.y}; }
    constexpr NubraVector2 operator-(const NubraVector2& o) const { return {x - o.x, y - o.y}; }
    constexpr NubraVector2 operator*(float s) const { return {x * s, y * s}; }
    constexpr bool operator==(const NubraVector2&) const = default;
};

} // namespace Nubra
