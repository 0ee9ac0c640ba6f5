#include "game/shell/CareerProgress.h"

#include <algorithm>
#include <numeric>

#include "game/shell/TCProfileStore.h"

namespace {

constexpr int kOffsets[] = {0, 15, 35};
constexpr int kDays[] = {15, 20, 24};

int ClampCafe(int cafe) { return std::clamp(cafe, 1, 3); }

} // namespace

int CafeLevelOffset(int cafe) { return kOffsets[ClampCafe(cafe) - 1]; }

int CafeDayCount(int cafe) { return kDays[ClampCafe(cafe) - 1]; }

TCCafeDay CafeDayOfLevel(int level)
{
    level = std::clamp(level, 1, pref::kLevels);
    const int cafe = level > kOffsets[2] ? 3 : level > kOffsets[1] ? 2 : 1;
    return {cafe, level - CafeLevelOffset(cafe)};
}

bool IsCafeOpen(const TCPlayerProfile& profile, int cafe)
{
    return cafe <= 1 || profile.highestLevel > CafeLevelOffset(cafe);
}

int OpenSurvivalCafe(const TCPlayerProfile& profile, int chosen)
{
    return chosen >= 1 && chosen <= 3 && IsCafeOpen(profile, chosen) ? chosen : 1;
}

int CurrentCareerLevel(const TCPlayerProfile& profile) { return std::clamp(profile.highestLevel, 1, pref::kLevels); }

int NextCareerLevel(int level) { return level >= 1 && level < pref::kLevels ? level + 1 : 0; }

void PassMissingLevels(TCPlayerProfile& profile, const std::function<bool(int)>& levelExists)
{
    while (profile.highestLevel >= 1 && profile.highestLevel <= pref::kLevels && !levelExists(profile.highestLevel))
        ++profile.highestLevel;
}

int32_t CareerTotal(const TCPlayerProfile& profile)
{
    // 60 (career complete) sums all 59; the stored bests are summed as the table holds them.
    const int last = std::clamp(profile.highestLevel, 0, pref::kLevels);
    const int64_t total = std::accumulate(profile.bestScore.begin() + 1, profile.bestScore.begin() + 1 + last, int64_t(0));
    return int32_t(std::clamp<int64_t>(total, 0, INT32_MAX));
}

int ApplyCareerResult(TCProfileStore& store, int32_t money, TCLevelResult result, int level,
                      const std::array<bool, pref::kAchievements>& achievementsHeld)
{
    constexpr int kNotPlaced = int(pref::kRows);
    if (level < 1 || level > pref::kLevels || (result != TCLevelResult::Expert && result != TCLevelResult::Goal))
        return kNotPlaced;
    TCPlayerProfile& profile = store.CurrentProfile();
    if (level == profile.highestLevel)
        profile.highestLevel = level + 1;
    for (int k = 0; k < pref::kAchievements; ++k)
        if (achievementsHeld[size_t(k)])
            profile.achievements[size_t(level)][size_t(k)] = 1;
    if (result == TCLevelResult::Expert)
        profile.expert[size_t(level)] = 1;
    if (money <= profile.bestScore[size_t(level)])
        return kNotPlaced;
    profile.bestScore[size_t(level)] = money;
    return store.AddHiScore(false, NameText(profile.name), CareerTotal(profile));
}
