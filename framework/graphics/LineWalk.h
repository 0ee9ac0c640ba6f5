#pragma once
// The pixel walks of the software lines, shared by memory images and surfaces so that both
// draw the same pixels.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace Nubra {

// Lines further out than this are dropped: nothing of them can land in an image, their walks
// would run for ages and their pixel positions would overflow.
constexpr double kMaxLineCoordinate = 1 << 20;

inline bool LineUsable(double x1, double y1, double x2, double y2)
{
    for (double v : {x1, y1, x2, y2})
        if (!(std::fabs(v) <= kMaxLineCoordinate)) // also false for NaN
            return false;
    return true;
}

// Calls plot(x, y) for each pixel of the Bresenham walk from (x1, y1) to (x2, y2). The error
// term starts with the start's minor-axis fraction only when seedWithFraction is set. The walk
// ends as soon as a minor step leaves the bounding box of the end points.
template <typename Plot>
void WalkLine(double x1, double y1, double x2, double y2, bool seedWithFraction, Plot plot)
{
    auto trunc = [](double v) { return int(v); };
    const double minX = std::min(x1, x2), maxX = std::max(x1, x2);
    const double minY = std::min(y1, y2), maxY = std::max(y1, y2);
    double dx = x2 - x1, dy = y2 - y1;
    const bool yMajor = std::fabs(dx) <= std::fabs(dy);
    if ((yMajor ? dy : dx) < 0) {
        std::swap(x1, x2);
        std::swap(y1, y2);
        dx = -dx;
        dy = -dy;
    }
    const double startMajor = yMajor ? y1 : x1, startMinor = yMajor ? x1 : y1, endMajor = yMajor ? y2 : x2;
    const double deltaMajor = yMajor ? dy : dx;
    double deltaMinor = yMajor ? dx : dy;
    int minorStep = 1;
    if (deltaMinor < 0) {
        minorStep = -1;
        deltaMinor = -deltaMinor;
    }
    const double minMajor = yMajor ? minY : minX, maxMajor = yMajor ? maxY : maxX;
    const double minMinor = yMajor ? minX : minY, maxMinor = yMajor ? maxX : maxY;

    plot(trunc(x1), trunc(y1));
    const int32_t incrE = int32_t(2 * deltaMinor);
    const int32_t incrNE = int32_t(2 * (deltaMinor - deltaMajor));
    const double seed = std::trunc(2 * deltaMinor - deltaMajor);
    int32_t d = seedWithFraction ? int32_t((startMinor - std::trunc(startMinor)) * incrE + seed) : int32_t(seed);
    int minor = trunc(startMinor);
    for (int c = trunc(startMajor + 1.0); c <= endMajor; ++c) {
        if (d > 0) {
            minor += minorStep;
            d += incrNE;
            if (minor < minMinor || minor > maxMinor || c < minMajor || c > maxMajor)
                return;
        } else {
            d += incrE;
        }
        if (yMajor)
            plot(minor, c);
        else
            plot(c, minor);
    }
}

// Wu's walk in 16.16 fixed point, down the rows from the upper end. Calls plot(x, y, weight)
// (weight 0-255) for the start, for each step's pixel on the line and, when
// neighbourFits(x, y, rowWalk) allows, for its neighbour one minor step further (with the
// remaining weight), and for the end. Ends one step apart or less give only the two ends.
template <typename Plot, typename Fits>
void WalkLineAA(double x1, double y1, double x2, double y2, Plot plot, Fits neighbourFits)
{
    auto trunc = [](double v) { return int(v); };
    auto lowBits = [](double v) { return uint32_t(int64_t(v)); };
    if (trunc(y1) > trunc(y2)) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int x0 = trunc(x1), y0 = trunc(y1), xe = trunc(x2), ye = trunc(y2);
    int deltaX = xe - x0;
    const int deltaY = ye - y0;
    double dx = x2 - x1;
    const double dy = y2 - y1;
    int step = 1;
    if (deltaX < 0) {
        deltaX = -deltaX;
        dx = -dx;
        step = -1;
    }
    uint32_t e = lowBits(std::fabs(x1 - x0) * std::fabs(y1 - y0) * 65536);
    auto fraction = [&e] { return (e >> 8) & 255; };
    plot(x0, y0, 255 - fraction());

    int x = x0, y = y0;
    const bool rowWalk = deltaX < deltaY;
    const int steps = rowWalk ? deltaY : deltaX;
    // The slope is only read when there are steps between the ends.
    const uint32_t slope = steps > 1 ? lowBits((rowWalk ? dx / dy : dy / dx) * 65536) : 0;
    for (int i = 0; i < steps - 1; ++i) {
        e += slope;
        const bool minorStep = e >= 0x10000;
        if (minorStep)
            e &= 0xFFFF;
        if (rowWalk) {
            x += minorStep ? step : 0;
            ++y;
        } else {
            y += minorStep ? 1 : 0;
            x += step;
        }
        plot(x, y, 255 - fraction());
        if (neighbourFits(x, y, rowWalk)) {
            if (rowWalk)
                plot(x + step, y, fraction());
            else
                plot(x, y + 1, fraction());
        }
    }
    plot(xe, ye, 255 - fraction());
}

} // namespace Nubra
