#pragma once
#include <string>

#include "game/sim/TCItem.h"

// The floating money texts: its "cash" parts, each shown over a client or worker for a while.
class TCItemBonus : public TCItem {
public:
    // Coming into play readies every text hidden.
    void SetActive(bool active) override;
    // "$+5" or "$-5" over the target's part of that name, on the first text not showing;
    // nothing for 0, a missing part or when every text shows.
    void ShowMoneyPopup(const TCItem* target, const std::string& targetPart, int amount);
};

// Through the level's bonus object, when it has one.
void ShowMoneyPopup(const TCItem* target, const std::string& targetPart, int amount);
