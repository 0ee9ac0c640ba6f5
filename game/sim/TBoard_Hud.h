#pragma once
#include <array>
#include <string>
#include <vector>

#include "engine/core/GameClock.h"
#include "engine/core/TCTextureTable.h"
#include "engine/ui/TCDialog.h"
#include "game/sim/TCHudView.h"

// The heads-up display over the cafe board: money against the goal and the expert goal, the
// level clock, lives, the achievement panel, splashes, bonus indicators, the menu and upgrade
// buttons and the tutorial's messages. Built from the UI document's "hud" element; every element
// it knows is optional.
class TBoard_Hud : public TCDialog, public TCHudView {
public:
    TBoard_Hud(TCCandyWidget* parent, TCEngine* app, TCHudBoard* board);

    // The "hud" element under the UI document's root, its elements and the clock's frames.
    void Build(pugi::xml_node uiRoot);
    // The mini-game draws inside the display, under the display's own elements.
    void AddMiniGame(TCCandyWidget* miniGame);
    // The developer scene list, 1-based; null out of range.
    TCCandyWidget* GetSceneListItem(int index) const;
    int GetSceneListSize() const { return int(sceneList_.size()); }

    void ShowDisplay(bool show) override;
    void StartLevelDisplay(bool survival) override;
    void EndLevelDisplay() override;
    void ShowGoalSplash() override;
    void ShowExpertSplash() override;
    void SetLives(int lives) override;
    void ShowUpgradeButton(bool show) override;
    void ShowGlobalClean() override;
    void ShowFreeze(float seconds) override;
    void ShowSmiles() override;
    void RefreshAchievements(const TCTaskCounts& counts) override;
    void ShowTutorialMessage(const std::string& id, bool show) override;
    void HideTutorialMessages() override;
    void ShowSkipTutorial(bool show) override;
    void SetPointerAlpha(float alpha) override;
    void ReleasePointer() override;

    void Update() override;
    void OnShown() override;
    void OnHidden() override;
    void OnButtonClick(intptr_t id) override;

    bool IsExpertDisplayShown() const { return expertShown_; }
    // The frame of the mode's clock list shown, -1 for none yet.
    int GetClockFrame() const { return clockFrame_; }
    int GetLivesShown() const { return livesShown_; }
    // The frame for that share of the level in a list of n frames; -1 when there are none.
    static int ClockFrameFor(float progress, int frames);

private:
    using Group = std::vector<TCCandyWidget*>;

    TCCandyWidget* Find(const std::string& name) const;
    void BindElements();
    void ShowGoalDisplay(bool goal);
    void RestoreGoalDisplay();
    void HideEndedIndicators();
    void UpdateClock();
    std::vector<TCImageRef>& ModeFrames() { return survival_ ? upgradeFrames_ : watchFrames_; }
    TCCandyWidget* ModeClock() const { return survival_ ? survivalClock_ : careerClock_; }
    void LockFrames(bool lock);

    TCHudBoard* board_;
    Group goalDisplay_, expertDisplay_, splashes_, smiles_, upgrade_;
    std::array<TCCandyWidget*, 4> lifeElements_{};
    TCCandyWidget* goalSplash_ = nullptr;
    TCCandyWidget* expertSplash_ = nullptr;
    TCCandyWidget* careerPart_ = nullptr;
    TCCandyWidget* survivalPart_ = nullptr;
    TCCandyWidget* careerClock_ = nullptr;
    TCCandyWidget* survivalClock_ = nullptr;
    TCCandyWidget* menuButton_ = nullptr;
    TCCandyWidget* upgradeButton_ = nullptr;
    TCCandyWidget* skipButton_ = nullptr;
    TCCandyWidget* skipDialog_ = nullptr;
    TCCandyWidget* tutorial_ = nullptr;
    TCCandyWidget* pointer_ = nullptr;
    TCCandyWidget* globalClean_ = nullptr;
    TCCandyWidget* freeze_ = nullptr;
    TCCandyWidget* achievements_ = nullptr;
    std::vector<TCImageRef> watchFrames_, upgradeFrames_;
    bool framesLocked_ = false;
    bool survival_ = false;
    bool expertShown_ = false;
    int clockFrame_ = -1;
    int livesShown_ = 0;
    TCTimeout freezeTimeout_;
    TCTaskCounts shownCounts_{};
    std::vector<TCCandyWidget*> sceneList_;
};
