#pragma once
#include <optional>
#include <string>

#include "engine/core/GameClock.h"
#include "game/sim/TCPickItem.h"

// How long a periodic object waits before it is ready again, in seconds.
struct TCPeriodRecord {
    float minPause = 0.0f;
    float maxPause = 0.0f;
};

// The configuration's "period_items/period_item" records, replacing any read before; the first
// record of a name wins.
void LoadPeriodItems(pugi::xml_node config);
void ClearPeriodItems();
const TCPeriodRecord* FindPeriodRecord(const std::string& name);

// A source the boss takes its "thing" from: it waits a random pause, becomes ready, and the
// boss's use sends it back to waiting.
class TCPeriodItem : public TCPickItem {
public:
    static constexpr int kWaiting = 0;
    static constexpr int kReady = 1;

    void LoadFromXml(pugi::xml_node node) override;
    // Coming into play starts waiting.
    void SetActive(bool active) override;
    void Update() override;
    // The end of "activation" or "deactivation" moves on to "ready" or "idle".
    void ScheduleAnimation(TCItemPart* part, const std::string& name) override;
    // Only a boss with a free hand, only when ready; the use itself refuses nothing further.
    bool OnUse(TCItem* other, bool testOnly) override;

    void SetState(int state);
    int GetState() const { return state_; }
    float GetRemainingPause() const { return countdown_.Remaining(); }

private:
    void StartPause();

    // A copy, so a configuration read again cannot pull it away.
    std::optional<TCPeriodRecord> record_;
    TCTimeout countdown_;
    int state_ = kWaiting;
    bool changing_ = false;
};
