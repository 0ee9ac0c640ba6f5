#pragma once
#include <pugixml.hpp>

#include <array>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/TCTimeSum.h"

// One client arrival: when, who, and what they will order.
struct TCEvent {
    double time = 0.0; // seconds of the queue's clock
    std::string type;
    std::array<std::string, 4> persons;
    std::list<std::string> orders;
    bool vip = false;
};

// The client arrivals of one level. In the career a fixed timetable from the level file; in
// survival drawn one at a time from the current stage's client types, with the stages' money
// thresholds ending each day.
class TCEventQueue {
public:
    enum Mode { kCareer = 1, kSurvival = 2 };
    // Queue 0 holds standing clients ("client"), queue 1 families ("family").
    static constexpr int kQueueCount = 2;
    // A uniform number in [0, 1]; the draws of survival come from it, so tests can script them.
    using Uniform = std::function<float()>;

    TCEventQueue();
    ~TCEventQueue();
    TCEventQueue(const TCEventQueue&) = delete;
    TCEventQueue& operator=(const TCEventQueue&) = delete;

    void SetMode(int mode) { mode_ = mode; }
    int GetMode() const { return mode_; }
    void SetUniform(Uniform uniform);

    // Reads the level element in the current mode; survival also draws the first arrivals and
    // sets the first threshold.
    void Load(pugi::xml_node level);
    // The queue's clock moves with the frame time unless the tutorial holds the game.
    bool AdvanceTime();
    double GetTime() const { return time_.Seconds(); }

    bool IsQueueExhausted(int queue) const;
    bool IsExhausted() const;
    // The next event of the queue once its time has come; null otherwise.
    const TCEvent* GetDueEvent(int queue) const;
    // The due event was taken: the career moves on, survival draws the queue's next arrival.
    void PopEvent(int queue);
    // Share of the career's events taken so far; 0 for none.
    float GetProgress() const;

    // Survival: the queue offered this step, chosen by the current stage's weights; -1 when
    // the stage brings no one.
    int ChooseQueue();
    // Survival: whether days have a money threshold at all (a level without stages has none).
    bool HasThreshold() const;
    int GetThreshold() const { return current_; }
    void NextThreshold();

    // Career, before the level starts: every event the predicate names leaves its queue.
    void DropEvents(const std::function<bool(const TCEvent&)>& drop);

    // Level start: clock 0, every queue from its first event, the first stage.
    void Reset();
    // Level unload: every event, template and stage goes.
    void Clear();

private:
    struct Order {
        std::string name;
        float prob = 0.0f;
    };
    struct OrderList {
        float prob = 0.0f;
        float total = 0.0f;
        std::vector<Order> orders;
    };
    struct OrderSide {
        float prob = 0.0f;
        float total = 0.0f;
        std::vector<OrderList> lists;
    };
    struct OrderTemplate {
        OrderSide stand, sit;
    };
    struct ClientType {
        std::string type;
        std::array<std::string, 4> persons;
        float prob = 0.0f, timeMin = 0.0f, timeMax = 0.0f;
        std::string orderTemplate;
    };
    struct Stage {
        int points = 0;
        std::array<std::vector<ClientType>, kQueueCount> types;
        std::array<float, kQueueCount> weight{};
    };
    using EventList = std::list<std::unique_ptr<TCEvent>>;

    void LoadCareer(pugi::xml_node level);
    void LoadSurvival(pugi::xml_node level);
    void LoadTemplates(pugi::xml_node level);
    void LoadStages(pugi::xml_node level);
    float Draw(float low, float high);
    std::unique_ptr<TCEvent> Generate(int queue);
    void DrawOrders(const ClientType& type, TCEvent& event);
    void DrawSide(const OrderSide& side, bool atLeastOne, TCEvent& event);
    void RestartStages();

    int mode_ = kCareer;
    Uniform uniform_;
    std::array<EventList, kQueueCount> events_;
    std::array<EventList::iterator, kQueueCount> cursor_;
    std::array<int, kQueueCount> taken_{};
    TCTimeSum time_;
    std::map<std::string, OrderTemplate> templates_;
    std::vector<Stage> stages_;
    size_t stage_ = 0;
    int previous_ = 0;
    int current_ = 0;
};
