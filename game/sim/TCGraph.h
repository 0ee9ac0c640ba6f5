#pragma once
#include <pugixml.hpp>

#include <string>

#include "game/sim/TCGraphData.h"

class TCBoardScene;

// One walker's map of the floor and its follower along a planned route. The map is assembled at
// every level load from the scene's graph, the stand points of the pickable objects and the
// level's graph; earlier sources win over later ones.
class TCGraph {
public:
    explicit TCGraph(std::string name) : name_(std::move(name)) {}

    const std::string& GetName() const { return name_; }
    void LoadSceneGraphs(pugi::xml_node sceneRoot);
    // A point per pickable object that gives a stand point for this graph, named after it.
    void CollectObjectPoints(TCBoardScene& scene);
    // Reads the level's part and rebuilds the merged map.
    void LoadLevelGraphs(pugi::xml_node level);
    void ClearLevelPart();
    void ClearObjectPart();
    void ClearScenePart();

    bool SetStart(const std::string& point);
    // Plans a route from the start to the target at that speed; false changes nothing.
    bool FindRoute(const std::string& target, float speed);
    // True while on the route; false once it has reached the end.
    bool Advance(float delta, Nubra::Point& position, Nubra::Point& step);
    // Keeps the distance already covered; false for a speed the follower cannot use.
    bool SetSpeed(float speed);
    bool GetPointPos(const std::string& point, int& x, int& y) const
    {
        return merged_.GetPointPos(point, x, y);
    }

    const TCGraphData& GetMerged() const { return merged_; }
    const std::string& GetStart() const { return start_; }
    float GetSpeed() const { return speed_; }
    float GetTime() const { return time_; }

private:
    void LoadNamed(pugi::xml_node root, TCGraphData& part) const;
    void ClearPart(TCGraphData& part);

    std::string name_;
    std::string start_;
    TCGraphData scene_, level_, merged_, objects_;
    float speed_ = 0.0f;
    float time_ = 0.0f;
};
