#include "game/sim/TCGraph.h"

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/BoardObjects.h"

namespace {

bool UsableSpeed(float speed, const std::string& graph)
{
    if (speed > 0.0f)
        return true;
    WriteLog("WARNING: Graph '%s': a walker cannot move at speed %f", graph.c_str(), speed);
    return false;
}

} // namespace

void TCGraph::LoadNamed(pugi::xml_node root, TCGraphData& part) const
{
    ForEachNode(root, "graphs/graph", [&](pugi::xml_node graph) {
        std::string name;
        XmlGetString(graph, "name", name);
        if (name == name_)
            part.Load(graph);
        return true;
    });
}

void TCGraph::LoadSceneGraphs(pugi::xml_node sceneRoot) { LoadNamed(sceneRoot, scene_); }

void TCGraph::CollectObjectPoints(TCBoardScene& scene)
{
    objects_.SetDerived();
    scene.ForEachPickable([this](TCBoardItem& item) {
        if (const TCStandPoint* stand = item.FindStandPoint(name_))
            objects_.PutPoint({stand->x, stand->y, item.GetName(), stand->direction});
    });
}

void TCGraph::LoadLevelGraphs(pugi::xml_node level)
{
    LoadNamed(level, level_);
    merged_.CopyFrom(scene_);
    merged_.MergeFrom(level_);
    merged_.MergeFrom(objects_);
    merged_.DropZeroLengthEdges(name_);
    merged_.ReportUndefinedEnds(name_);
}

void TCGraph::ClearPart(TCGraphData& part)
{
    merged_.Clear();
    part.Clear();
    start_.clear();
}

void TCGraph::ClearLevelPart() { ClearPart(level_); }
void TCGraph::ClearObjectPart() { ClearPart(objects_); }
void TCGraph::ClearScenePart() { ClearPart(scene_); }

bool TCGraph::SetStart(const std::string& point)
{
    if (!merged_.HasPoint(point))
        return false;
    start_ = point;
    return true;
}

bool TCGraph::FindRoute(const std::string& target, float speed)
{
    if (!merged_.HasPoint(target) || !UsableSpeed(speed, name_) || !merged_.FindRoute(start_, target))
        return false;
    speed_ = speed;
    time_ = 0.0f;
    return true;
}

bool TCGraph::Advance(float delta, Nubra::Point& position, Nubra::Point& step)
{
    time_ += delta;
    return merged_.Follow(time_, speed_, position, step);
}

bool TCGraph::SetSpeed(float speed)
{
    if (!UsableSpeed(speed, name_))
        return false;
    if (speed != speed_) {
        time_ = speed_ / speed * time_;
        speed_ = speed;
    }
    return true;
}
