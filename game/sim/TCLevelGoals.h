#pragma once
#include <pugixml.hpp>

#include <array>
#include <functional>

// The level's achievements: two flags that hold while nothing goes wrong (no client gives up,
// no worker breaks down) and five task counts (coin, happy, clean, speed, ice) that the
// mini-game counts down.
class TCLevelGoals {
public:
    static constexpr int kTaskCount = 5;
    enum Goal { kHappyClients, kCleanWorkers, kExpertMoney, kAllTasks, kEveryGoal };

    // The level element's "achparams": the targets, each also the remaining count.
    void Load(pugi::xml_node level);
    void Start();
    void ClearClientFlag() { happy_ = false; }
    void ClearWorkerFlag() { clean_ = false; }
    // One task of that kind done; the last one plays "task_complete".
    void CountTask(int task);
    // Every task back to its target.
    void Reset();
    bool AllTasksDone() const;
    bool IsGoalMet(int goal) const;

    // The board says whether its money reached the expert goal, and hears of every count.
    void SetExpertCheck(std::function<bool()> check) { expertMet_ = std::move(check); }
    void SetOnChanged(std::function<void()> changed) { changed_ = std::move(changed); }

    bool IsHappy() const { return happy_; }
    bool IsClean() const { return clean_; }
    int GetTarget(int task) const { return targets_.at(task); }
    int GetRemaining(int task) const { return remaining_.at(task); }

private:
    void Changed() const;

    bool happy_ = false;
    bool clean_ = false;
    std::array<int, kTaskCount> targets_{};
    std::array<int, kTaskCount> remaining_{};
    std::function<bool()> expertMet_;
    std::function<void()> changed_;
};

// The one set of goals of the run.
TCLevelGoals& LevelGoals();

// Counts the boss's serves that follow each other within "rush_timeout" seconds; from
// "start_count" serves on, each further one grants a bonus piece.
class TCRushBonus {
public:
    // The configuration's "bonus_config".
    void Load(pugi::xml_node config);
    // The chain breaks.
    void Reset();
    void Count();
    // The chain's time starts again; the chain itself holds.
    void RestartTimer() { time_ = 0.0f; }
    // Every frame of play.
    void Update();

    void SetOnRush(std::function<void()> rush) { onRush_ = std::move(rush); }
    int GetCount() const { return count_; }
    float GetTimeout() const { return timeout_; }
    int GetStartCount() const { return startCount_; }

private:
    int count_ = 0;
    float time_ = 0.0f;
    float timeout_ = 0.0f;
    int startCount_ = 0;
    std::function<void()> onRush_;
};
