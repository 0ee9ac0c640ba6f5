#pragma once
#include <string>

#include "game/sim/TCPickItem.h"

// An object the boss uses without taking anything: it plays "activation" once, then idles.
class TCUsedPickItem : public TCPickItem {
public:
    // Coming into play idles, not in use.
    void SetActive(bool active) override;
    // The end of the use's clip goes back to idling.
    void ScheduleAnimation(TCItemPart* part, const std::string& name) override;

    bool IsInUse() const { return inUse_; }

protected:
    void PlayUse();

private:
    bool inUse_ = false;
    bool changing_ = false;
};

// The tray: only the level's own boss uses it.
class TCTray : public TCUsedPickItem {
public:
    void LoadFromXml(pugi::xml_node node) override;
    bool OnUse(TCItem* other, bool testOnly) override;
};

// The trash bin: any object named "boss" uses it.
class TCTrash : public TCUsedPickItem {
public:
    bool OnUse(TCItem* other, bool testOnly) override;
};
