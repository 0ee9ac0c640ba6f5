#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "game/shell/PrefFile.h"

class TCProfileStore;

// The career's rules over a profile: 59 levels in three cafes (levels 1-15, 16-35, 36-59).
struct TCCafeDay {
    int cafe = 1; // 1..3
    int day = 1;  // 1-based within the cafe
};

// Levels outside 1..59 count as the nearest one.
TCCafeDay CafeDayOfLevel(int level);
int CafeLevelOffset(int cafe); // 0, 15, 35
int CafeDayCount(int cafe);    // 15, 20, 24

// A cafe opens once the career reaches past the one before it; cafe 1 is always open. The career
// map's cafe buttons and the survival choice follow the same rule.
bool IsCafeOpen(const TCPlayerProfile& profile, int cafe);
// The survival cafe a player may have chosen: a closed one falls back to cafe 1.
int OpenSurvivalCafe(const TCPlayerProfile& profile, int chosen);

// The level the career goes on with: the newest one open, the last once the career is complete.
int CurrentCareerLevel(const TCPlayerProfile& profile);

// The level after a won one, or 0 when the career is over and the menu follows.
int NextCareerLevel(int level);

// A content pack may leave days of the career out: the newest level unlocked moves on past
// levels that do not exist, up to 60 (career complete).
void PassMissingLevels(TCPlayerProfile& profile, const std::function<bool(int)>& levelExists);

// The sum of the best results of levels 1 through the highest unlocked one.
int32_t CareerTotal(const TCPlayerProfile& profile);

enum class TCLevelResult { Expert = 0, Goal = 1, GoalMissed = 2, VipLost = 3 };

// Enters a finished career level into the store's current profile: a won level unlocks the next
// one when it was the newest, adds the achievements now held (never removes one), marks an expert
// result, and a new best result puts the career total into the career hi-score table. The row
// that entry took, or pref::kRows when none did. The caller saves.
int ApplyCareerResult(TCProfileStore& store, int32_t money, TCLevelResult result, int level,
                      const std::array<bool, pref::kAchievements>& achievementsHeld);
