#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/TCCallBackParams.h"
#include "engine/core/TCEffectCallbacks.h"

namespace pugi {
class xml_node;
}

class TCEffect;

// A point or a range on a timer's timeline, bound to a callback.
struct TCTimerControl {
    enum Kind : uint32_t { None = 0, Point = 1, Range = 2, HasFunction = 4 };

    uint32_t kind = None; // on entry, HasFunction says the function field is meant
    int id = 0;
    float start = 0.0f;
    float end = 0.0f;
    TCControlCallback function = nullptr;
    TCCallBackParams* params = nullptr; // owned by the timer that adopted it
    TCEffect* effect = nullptr;
    int userWord = 0;
    bool active = false;
    bool inside = false; // the position is inside the range, kept between steps
};

// One timeline of an effect: a position running over a duration once, in a loop or back and forth,
// calling its controls' functions as it passes them.
class TCTimer {
public:
    enum Type { Unset = 0, Usual = 1, SelfDestructive = 2, Cycle = 3, PingPong = 4 };
    enum Direction { Forward = 1, Backward = 2 };
    static constexpr float kEndless = -1.0f;

    struct Params {
        enum Mask : uint32_t { Duration = 1, Dir = 2, TimerType = 4, Hold = 0x10000 };
        uint32_t mask = 0;
        float duration = 0.0f;
        int direction = Forward;
        int type = Usual;
        bool active = false;
    };

    explicit TCTimer(TCEffect* owner);
    virtual ~TCTimer();
    TCTimer(const TCTimer&) = delete;
    TCTimer& operator=(const TCTimer&) = delete;

    // A timer element of the effect file; the timer's own active flag is left to the messages.
    void LoadFromXml(const pugi::xml_node& node);

    void Update(double dt);
    void Restart();
    void SetActive(bool active) { active_ = active; }
    bool IsActive() const { return active_; }
    bool IsFinished() const { return finished_; }
    bool IsExpired() const { return expired_; }
    double GetPosition() const { return position_; }
    void SetPosition(double position) { position_ = position; }
    bool IsRunningForward() const;

    void SetParams(const Params& params);
    void GetParams(Params& params) const;

    bool AddControl(const TCTimerControl& control);
    bool ReplaceControl(const TCTimerControl& control);
    bool RemoveControl(int id);
    bool SetControlActive(int id, bool active);
    void ClearControls() { controls_.clear(); }
    const std::vector<TCTimerControl>& GetControls() const { return controls_; }

    // The timer keeps the parameter objects its controls point to.
    void AdoptParams(TCCallBackParams* params);

private:
    struct Event {
        TCControlCallback function;
        TCCallbackRecord record;
    };

    void Advance(double d);
    void AdvanceForward(double d);
    void AdvanceBackward(double d);
    void ProcessControls(double a, double b);
    void DecideRange(TCTimerControl& control, double a, double b, std::vector<Event>& events) const;
    float RangeProgress(const TCTimerControl& control) const;
    void LoadControl(const pugi::xml_node& node);
    TCCallBackParams* LoadControlParams(const pugi::xml_node& node, const std::string& function);
    static TCTimerControl Normalised(const TCTimerControl& control);
    TCTimerControl* FindControl(int id);
    void StampStart();

    TCEffect* owner_;
    double startStamp_ = 0.0;
    bool stepGuard_ = false;
    double position_ = 0.0;
    bool pingPongForward_ = false;
    bool finished_ = false;
    bool hold_ = false;
    bool expired_ = false;
    std::vector<TCTimerControl> controls_;
    std::vector<std::unique_ptr<TCCallBackParams>> ownedParams_;
    float duration_ = 0.0f;
    int direction_ = 0;
    int type_ = Unset;
    bool active_ = false;
};
