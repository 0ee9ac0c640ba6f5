#include "game/sim/TCLevelGoals.h"

#include "engine/core/GameClock.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TutorialPort.h"

namespace {

constexpr const char* kTaskNames[TCLevelGoals::kTaskCount] = {"coin", "happy", "clean", "speed", "ice"};

} // namespace

void TCLevelGoals::Load(pugi::xml_node level)
{
    targets_.fill(0);
    remaining_.fill(0);
    const pugi::xml_node params = level.child("achparams");
    if (!params) {
        WriteLog("WARNING: no 'achparams'  in level.");
        return;
    }
    for (int task = 0; task < kTaskCount; ++task) {
        if (!XmlGetInt(params, kTaskNames[task], targets_[task])) {
            WriteLog("WARNING: no attribute '%s' in 'achparams'.", kTaskNames[task]);
            targets_[task] = 0;
        }
        remaining_[task] = targets_[task];
    }
}

void TCLevelGoals::Start()
{
    happy_ = true;
    clean_ = true;
}

void TCLevelGoals::CountTask(int task)
{
    if (task >= 0 && task < kTaskCount && remaining_[task] > 0 && --remaining_[task] == 0)
        PlayGameSound("task_complete");
    Changed();
}

void TCLevelGoals::Reset()
{
    remaining_ = targets_;
    Changed();
}

bool TCLevelGoals::AllTasksDone() const
{
    for (int remaining : remaining_)
        if (remaining > 0)
            return false;
    return true;
}

bool TCLevelGoals::IsGoalMet(int goal) const
{
    switch (goal) {
    case kHappyClients:
        return happy_;
    case kCleanWorkers:
        return clean_;
    case kExpertMoney:
        return expertMet_ && expertMet_();
    case kAllTasks:
        return AllTasksDone();
    case kEveryGoal:
        return IsGoalMet(kHappyClients) && IsGoalMet(kCleanWorkers) && IsGoalMet(kExpertMoney) &&
               IsGoalMet(kAllTasks);
    default:
        return false;
    }
}

void TCLevelGoals::Changed() const
{
    if (changed_)
        changed_();
}

TCLevelGoals& LevelGoals()
{
    static TCLevelGoals goals;
    return goals;
}

void TCRushBonus::Load(pugi::xml_node config)
{
    const pugi::xml_node node = config.child("bonus_config");
    XmlGetFloat(node, "rush_timeout", timeout_);
    XmlGetInt(node, "start_count", startCount_);
}

void TCRushBonus::Reset()
{
    count_ = 0;
    time_ = 0.0f;
    ApplyTutorialRule(kTutorialRushReset);
}

void TCRushBonus::Count()
{
    ++count_;
    time_ = 0.0f;
    // Without a configured start count no chain is long enough.
    if (startCount_ > 0 && count_ >= startCount_ && onRush_)
        onRush_();
}

void TCRushBonus::Update()
{
    time_ += gFrameTime;
    if (time_ >= timeout_)
        Reset();
}
