#pragma once
#include <array>
#include <string>

// One task counter of the level's achievement panel.
struct TCTaskCount {
    int target = 0;
    int remaining = 0;
};
using TCTaskCounts = std::array<TCTaskCount, 5>; // coin, happy, clean, speed, ice

// What the level flow and the tutorial show on the heads-up display. The display over the board
// implements it; headless runs and tests put a recorder in its place.
class TCHudView {
public:
    virtual ~TCHudView() = default;

    virtual void ShowDisplay(bool show) = 0;
    virtual void StartLevelDisplay(bool survival) = 0;
    virtual void EndLevelDisplay() = 0;
    // In the career the goal display then gives way to the expert display.
    virtual void ShowGoalSplash() = 0;
    virtual void ShowExpertSplash() = 0;
    virtual void SetLives(int lives) = 0;
    virtual void ShowUpgradeButton(bool show) = 0;
    virtual void ShowGlobalClean() = 0;
    virtual void ShowFreeze(float seconds) = 0;
    virtual void ShowSmiles() = 0;
    virtual void RefreshAchievements(const TCTaskCounts& counts) = 0;

    // The tutorial's message dialogs by message id, its skip button and its pointer.
    virtual void ShowTutorialMessage(const std::string& id, bool show) = 0;
    virtual void HideTutorialMessages() = 0;
    virtual void ShowSkipTutorial(bool show) = 0;
    // Shows the pointer at that alpha; releasing hides it.
    virtual void SetPointerAlpha(float alpha) = 0;
    virtual void ReleasePointer() = 0;
};

// What the display reads of the cafe board and asks of it.
class TCHudBoard {
public:
    virtual ~TCHudBoard() = default;
    virtual int GetHudMoney() const = 0;
    virtual int GetHudGoal() const = 0;
    // 0..1 of the level played, for the clock.
    virtual float GetHudProgress() const = 0;
    // Money fell below the goal again: the goal splash may show once more.
    virtual void ClearGoalReached() = 0;
    virtual void OpenEscapeMenu() = 0;
    virtual void OpenUpgradeShop() = 0;
};
