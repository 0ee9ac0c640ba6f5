#include "game/sim/PolygonRegion.h"

#include <cerrno>
#include <cstdlib>

std::vector<Nubra::Point> ParsePointList(const std::string& text, bool* stopped)
{
    std::vector<int> values;
    const char* at = text.c_str();
    bool bad = false;
    for (;;) {
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(at, &end, 10);
        if (end == at) {
            // Only white space may follow the last number.
            while (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')
                ++end;
            bad = *end != '\0';
            break;
        }
        if (errno == ERANGE || value != static_cast<int>(value) ||
            (*end && *end != ' ' && *end != '\t' && *end != '\n' && *end != '\r')) {
            bad = true;
            break;
        }
        values.push_back(static_cast<int>(value));
        at = end;
    }
    if (stopped)
        *stopped = bad;
    std::vector<Nubra::Point> points;
    for (size_t i = 0; i + 1 < values.size(); i += 2)
        points.push_back({values[i], values[i + 1]});
    return points;
}

bool PolygonContains(const std::vector<Nubra::Point>& polygon, Nubra::Point pixel)
{
    if (polygon.size() < 3)
        return false;
    const double px = pixel.x + 0.5;
    const double py = pixel.y + 0.5;
    int winding = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Nubra::Point& a = polygon[i];
        const Nubra::Point& b = polygon[(i + 1) % polygon.size()];
        // Which side of a->b the sample lies on.
        const double side = double(b.x - a.x) * (py - a.y) - (px - a.x) * double(b.y - a.y);
        if (a.y <= py && b.y > py && side > 0)
            ++winding;
        else if (b.y <= py && a.y > py && side < 0)
            --winding;
    }
    return winding != 0;
}
