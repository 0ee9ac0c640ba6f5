#pragma once
#include <pugixml.hpp>

#include <map>
#include <string>
#include <vector>

#include "framework/graphics/Rect.h"

struct TCGraphPoint {
    int x = 0;
    int y = 0;
    std::string name;
    // Where a walker faces once it stands here; empty keeps its facing.
    std::string direction;
};

// Walkable both ways; the length is filled by each search.
struct TCGraphEdge {
    std::string p1;
    std::string p2;
    float length = 0.0f;
};

// One straight stretch of a planned route, facing the direction of the point at its end.
struct TCGraphSegment {
    int x0 = 0;
    int y0 = 0;
    int x1 = 0;
    int y1 = 0;
    float length = 0.0f;
    std::string direction;
};

// The step vector of a direction name ("t", "tr", ... "tl"); false for any other name.
bool DirectionStep(const std::string& direction, Nubra::Point& step);

// Named points joined by straight edges, and the route last planned over them.
class TCGraphData {
public:
    using Points = std::map<std::string, TCGraphPoint>;

    // Empties points, edges and route, and clears the derived flag.
    void Clear();
    // One graph element: its points (the first of a name wins) and edges, replacing the set.
    void Load(pugi::xml_node graph);
    void CopyFrom(const TCGraphData& other);
    // Adds the points this set lacks and the edges it does not hold either way round; only a
    // derived set takes anything.
    void MergeFrom(const TCGraphData& other);
    void SetDerived() { derived_ = true; }
    bool IsDerived() const { return derived_; }
    // Puts a point in, replacing one of the same name.
    void PutPoint(const TCGraphPoint& point) { points_[point.name] = point; }
    // Drops the edges whose two ends share a place, which no search could settle; says which.
    void DropZeroLengthEdges(const std::string& graphName);
    // Says once which edges name a point the set lacks: every search fails over them.
    void ReportUndefinedEnds(const std::string& graphName) const;

    bool HasPoint(const std::string& name) const { return points_.count(name) != 0; }
    bool GetPointPos(const std::string& name, int& x, int& y) const;
    // The shortest route by edge lengths; on failure the previous route stays.
    bool FindRoute(const std::string& from, const std::string& to);
    // Where a walker is after `time` at `speed` along the route, and the stretch it walks. False
    // once past the end: then it stands at the end and faces the last point's direction.
    bool Follow(float time, float speed, Nubra::Point& position, Nubra::Point& step) const;

    const Points& GetPoints() const { return points_; }
    const std::vector<TCGraphEdge>& GetEdges() const { return edges_; }
    const std::vector<TCGraphSegment>& GetSegments() const { return segments_; }

private:
    bool HasEdge(const std::string& a, const std::string& b) const;

    Points points_;
    std::vector<TCGraphEdge> edges_;
    std::vector<TCGraphSegment> segments_;
    bool derived_ = false;
};
