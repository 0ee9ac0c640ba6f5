#pragma once
#include <functional>
#include <list>

// Game time runs apart from wall time: it stands still whenever the frame time is 0.

// Length of the current update step in seconds; the game board is its only writer.
extern float gFrameTime;
// Seconds of game time since the level started, summed exactly (TCTimeSum).
extern double gGameClock;

// The tutorial's question "is this action forbidden?" (7: the game runs at all). Without a gate
// nothing is forbidden, which keeps the clock free of the simulation layer.
void SetTutorialGate(std::function<bool(int action)> forbids);
bool TutorialForbids(int action);

// Once per game step, after the frame time is set: held deadlines keep their distance from the
// clock while the tutorial holds the game, then the clock moves on.
void AdvanceGameClock();
// At level start: clock 0 and every deadline 0, which cancels whatever the last level left.
void ResetGameClock();

// A deadline on the game clock, embedded by value in its owner. Owners are built on the
// level-loading thread too, so the registry of live timeouts is guarded.
class TCTimeout {
public:
    explicit TCTimeout(bool held = false);
    TCTimeout(const TCTimeout& other);
    TCTimeout& operator=(const TCTimeout& other);
    ~TCTimeout();

    void Set(float seconds) { deadline_ = gGameClock + seconds; }
    void Extend(float seconds) { deadline_ += seconds; }
    float Remaining() const { return static_cast<float>(deadline_ - gGameClock); }
    bool IsPending() const { return gGameClock < deadline_; }
    bool IsHeld() const { return held_; }

private:
    friend void AdvanceGameClock();
    friend void ResetGameClock();

    std::list<TCTimeout*>::iterator node_;
    bool held_;
    double deadline_ = 0.0;
};
