#include "engine/core/EngineHelpers.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>

#include "platform/CRand.h"
#include "platform/DebugOut.h"

float RandomFloat(float a, float b)
{
    return a + (b - a) * static_cast<float>(plat::CRand()) / static_cast<float>(plat::kCRandMax);
}

int RandomInt(int a, int b)
{
    if (b <= a)
        return a;
    const int64_t span = int64_t(b) - a;
    if (span == 1)
        return plat::CRand() / double(plat::kCRandMax) < 0.5 ? a : b;
    return static_cast<int>(a + plat::CRand() % span);
}

bool LineIntersection(int x1, int y1, float angle1, int x2, int y2, float angle2, Nubra::Point& out)
{
    constexpr float kPi = 3.1415927f;
    const double slope1 = std::tan(angle1 * kPi / 180.0f);
    const double slope2 = std::tan(angle2 * kPi / 180.0f);
    if (slope1 == slope2)
        return false;
    // y grows upwards for the angles.
    const double up1 = -y1, up2 = -y2;
    const double x = (slope1 * x1 - slope2 * x2 + up2 - up1) / (slope1 - slope2);
    const double up = slope1 * (x - x1) + up1;
    out = {static_cast<int>(std::lround(x)), static_cast<int>(std::lround(-up))};
    return true;
}

std::string OrderPairId(const std::string& text, bool descending)
{
    if (text.size() != 4 || text.find_first_not_of("0123456789") != std::string::npos || text.substr(2) == "00")
        return text;
    const std::string first = text.substr(0, 2), second = text.substr(2);
    const bool outOfOrder = descending ? first < second : first > second;
    return outOfOrder ? second + first : text;
}

void DebugPrint(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    plat::DebugOut(text);
}
