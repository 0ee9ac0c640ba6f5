#include "game/sim/TCGraphData.h"

#include <cmath>
#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"

namespace {

float Distance(int x0, int y0, int x1, int y1)
{
    const float dx = static_cast<float>(x1 - x0);
    const float dy = static_cast<float>(y1 - y0);
    return std::sqrt(dx * dx + dy * dy);
}

float Distance(const TCGraphPoint& a, const TCGraphPoint& b) { return Distance(a.x, a.y, b.x, b.y); }

} // namespace

bool DirectionStep(const std::string& direction, Nubra::Point& step)
{
    static const std::map<std::string, Nubra::Point> kSteps = {
        {"t", {0, -1}}, {"tr", {1, -1}}, {"r", {1, 0}},  {"br", {1, 1}},
        {"b", {0, 1}},  {"bl", {-1, 1}}, {"l", {-1, 0}}, {"tl", {-1, -1}},
    };
    const auto found = kSteps.find(direction);
    if (found == kSteps.end())
        return false;
    step = found->second;
    return true;
}

void TCGraphData::Clear()
{
    points_.clear();
    edges_.clear();
    segments_.clear();
    derived_ = false;
}

void TCGraphData::Load(pugi::xml_node graph)
{
    Clear();
    for (pugi::xml_node node : graph.child("points").children("point")) {
        TCGraphPoint point;
        XmlGetString(node, "name", point.name);
        XmlGetString(node, "direction", point.direction);
        XmlGetInt(node, "x", point.x);
        XmlGetInt(node, "y", point.y);
        points_.emplace(point.name, point);
    }
    for (pugi::xml_node node : graph.child("edges").children("edge")) {
        TCGraphEdge& edge = edges_.emplace_back();
        XmlGetString(node, "p1", edge.p1);
        XmlGetString(node, "p2", edge.p2);
    }
}

void TCGraphData::CopyFrom(const TCGraphData& other)
{
    Clear();
    derived_ = true;
    points_ = other.points_;
    edges_ = other.edges_;
}

void TCGraphData::MergeFrom(const TCGraphData& other)
{
    if (!derived_)
        return;
    for (const auto& [name, point] : other.points_)
        points_.emplace(name, point);
    for (const TCGraphEdge& edge : other.edges_)
        if (!HasEdge(edge.p1, edge.p2))
            edges_.push_back(edge);
}

bool TCGraphData::HasEdge(const std::string& a, const std::string& b) const
{
    for (const TCGraphEdge& edge : edges_)
        if ((edge.p1 == a && edge.p2 == b) || (edge.p1 == b && edge.p2 == a))
            return true;
    return false;
}

void TCGraphData::DropZeroLengthEdges(const std::string& graphName)
{
    std::erase_if(edges_, [&](const TCGraphEdge& edge) {
        const auto p1 = points_.find(edge.p1);
        const auto p2 = points_.find(edge.p2);
        if (p1 == points_.end() || p2 == points_.end() || p1->second.x != p2->second.x ||
            p1->second.y != p2->second.y)
            return false;
        WriteLog("WARNING: Graph '%s': edge '%s'-'%s' has no length and is left out", graphName.c_str(),
                 edge.p1.c_str(), edge.p2.c_str());
        return true;
    });
}

void TCGraphData::ReportUndefinedEnds(const std::string& graphName) const
{
    for (const TCGraphEdge& edge : edges_)
        for (const std::string* end : {&edge.p1, &edge.p2})
            if (!HasPoint(*end))
                WriteLog("WARNING: Graph '%s': edge '%s'-'%s' names no point '%s'; no route can be found",
                         graphName.c_str(), edge.p1.c_str(), edge.p2.c_str(), end->c_str());
}

bool TCGraphData::GetPointPos(const std::string& name, int& x, int& y) const
{
    const auto found = points_.find(name);
    if (found == points_.end())
        return false;
    x = found->second.x;
    y = found->second.y;
    return true;
}

namespace {

constexpr int kUnreached = -1;
constexpr int kStart = -2;

// The search's working copy: points by index in name order, edges by index in list order.
struct Search {
    struct Node {
        const TCGraphPoint* point;
        float cost = 0.0f;
        int previous = kUnreached;
        std::vector<int> edges;
    };
    struct Link {
        int a, b;
        float length;
    };
    std::vector<Node> nodes;
    std::vector<Link> links;
    std::unordered_map<std::string_view, int> index;
};

// False, with the log lines, at the first edge naming a point the set lacks.
bool BuildSearch(const TCGraphData::Points& points, const std::vector<TCGraphEdge>& edges, Search& search)
{
    search.nodes.reserve(points.size());
    for (const auto& [name, point] : points) {
        search.index.emplace(name, static_cast<int>(search.nodes.size()));
        search.nodes.push_back({&point, 0.0f, kUnreached, {}});
    }
    for (const TCGraphEdge& edge : edges) {
        const auto a = search.index.find(edge.p1);
        const auto b = search.index.find(edge.p2);
        if (a == search.index.end())
            WriteLog("ERROR: Edge refer to undefined point. FromPointStr='%s'", edge.p1.c_str());
        if (b == search.index.end())
            WriteLog("ERROR: Edge refer to undefined point. ToPointStr='%s'", edge.p2.c_str());
        if (a == search.index.end() || b == search.index.end())
            return false;
        const int link = static_cast<int>(search.links.size());
        search.links.push_back({a->second, b->second, Distance(*search.nodes[a->second].point, *search.nodes[b->second].point)});
        search.nodes[a->second].edges.push_back(link);
        if (b->second != a->second)
            search.nodes[b->second].edges.push_back(link);
    }
    return true;
}

// Passes over the frontier in name order, each point's edges in list order; equal costs update
// again, so of equally short ways the one relaxed last wins.
void Relax(Search& search, int start)
{
    search.nodes[start].previous = kStart;
    std::vector<int> frontier{start};
    std::vector<char> queued(search.nodes.size(), 0);
    // Positive lengths settle within a pass per point; the cap guards any equal-cost cycle.
    for (size_t pass = 0; !frontier.empty() && pass <= search.nodes.size(); ++pass) {
        std::vector<int> next;
        for (int from : frontier) {
            const float cost = search.nodes[from].cost;
            for (int link : search.nodes[from].edges) {
                const Search::Link& edge = search.links[link];
                const int to = edge.a == from ? edge.b : edge.a;
                Search::Node& node = search.nodes[to];
                const float candidate = edge.length + cost;
                if (node.previous == kStart || (node.previous != kUnreached && node.cost < candidate))
                    continue;
                node.previous = from;
                node.cost = candidate;
                if (!queued[to]) {
                    queued[to] = 1;
                    next.push_back(to);
                }
            }
        }
        std::sort(next.begin(), next.end());
        for (int node : next)
            queued[node] = 0;
        frontier = std::move(next);
    }
}

std::vector<TCGraphSegment> WalkBack(const Search& search, int target)
{
    std::vector<int> route;
    for (int at = target; at >= 0 && search.nodes[at].previous != kUnreached; at = search.nodes[at].previous) {
        route.push_back(at);
        if (route.size() > search.nodes.size())
            return {};
    }
    std::vector<TCGraphSegment> segments;
    for (size_t i = route.size(); i >= 2; --i) {
        const TCGraphPoint& a = *search.nodes[route[i - 1]].point;
        const TCGraphPoint& b = *search.nodes[route[i - 2]].point;
        segments.push_back({a.x, a.y, b.x, b.y, Distance(a, b), b.direction});
    }
    return segments;
}

} // namespace

bool TCGraphData::FindRoute(const std::string& from, const std::string& to)
{
    Search search;
    if (!HasPoint(from) || !HasPoint(to) || !BuildSearch(points_, edges_, search))
        return false;
    Relax(search, search.index.at(from));
    std::vector<TCGraphSegment> route = WalkBack(search, search.index.at(to));
    if (route.empty())
        return false;
    segments_ = std::move(route);
    return true;
}

bool TCGraphData::Follow(float time, float speed, Nubra::Point& position, Nubra::Point& step) const
{
    float distance = time * speed;
    for (const TCGraphSegment& segment : segments_) {
        // A stretch without length is passed over: dividing by it would give no place at all.
        if (distance > segment.length || segment.length <= 0.0f)
            distance -= segment.length;
        else {
            const float t = distance / segment.length;
            position.x = segment.x0 + static_cast<int>(static_cast<float>(segment.x1 - segment.x0) * t);
            position.y = segment.y0 + static_cast<int>(static_cast<float>(segment.y1 - segment.y0) * t);
            step = {segment.x1 - segment.x0, segment.y1 - segment.y0};
            return true;
        }
    }
    if (segments_.empty())
        return false;
    const TCGraphSegment& last = segments_.back();
    position = {last.x1, last.y1};
    DirectionStep(last.direction, step);
    return false;
}
