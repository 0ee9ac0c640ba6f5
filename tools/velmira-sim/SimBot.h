#pragma once
#include <map>
#include <string>
#include <utility>

class TCBoard_Game3;

// A player that runs the cafe of one level: it takes orders, starts the workers whose products are wanted,
// fetches and joins products, cleans broken tables and serves the most impatient guests first.
// It gives the boss one errand at a time, and only while the boss stands idle.
class SimBot {
public:
    // The errand chosen now, as the name of the object to click; empty to wait.
    std::string ChooseErrand();
    // Clicks the chosen object, if any, when the boss is free.
    void Step(TCBoard_Game3& board);

private:
    // Seconds of the boss's walk between two points of its graph, at its speed now.
    float WalkSeconds(const std::string& from, const std::string& to);

    // Route lengths of the level being played, by their two ends.
    std::map<std::pair<std::string, std::string>, float> distances_;
};
