#pragma once
#include <pugixml.hpp>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "engine/ui/TCDialog.h"
#include "game/shell/TCSetAchDescTask.h"

class TCBoard_Game3;
class TCEngine3;

// The level's result over the board: won ("debriefing_dialog") or failed
// ("debriefing_dialog_fail"). The won dialog brings the level's awards in one by one. Its buttons
// wait until the result has entered the player's progress, so that no click can lose it.
class TCBoard_Debriefing : public TCDialog {
public:
    static constexpr int kAwards = 5;

    TCBoard_Debriefing(TCEngine3* app, TCCandyWidget* boardWidget, pugi::xml_node uiRoot, TCBoard_Game3& board,
                       bool fail);

    // The result is in the player's progress: the buttons may act.
    void SetResultRecorded();
    bool IsResultRecorded() const { return recorded_; }
    // The award's title and description by text id; an empty id empties its text.
    void SetAwardDescription(const std::string& title, const std::string& description);
    int GetAwardCount() const { return int(awards_.size()); }
    int GetAwardsShown() const { return shown_; }

    void OnShow() override;
    void OnButtonClick(intptr_t id) override;
    void Update() override;

    // How an award's coming is heard; tests listen here.
    std::function<void(const std::string&)> playSound;

private:
    struct AwardControls {
        TCCandyWidget *icon = nullptr, *name = nullptr;
    };
    TCCandyWidget* Bind(const std::string& name) const;
    void ShowNextAward();
    // The career goes on: the next level, or the menu after the last.
    void GoOn();
    void BackToMenu();

    TCEngine3* game_;
    TCBoard_Game3& board_;
    bool fail_;
    TCCandyWidget *start_ = nullptr, *menu_ = nullptr, *replay_ = nullptr;
    TCCandyWidget *title_ = nullptr, *description_ = nullptr;
    std::array<AwardControls, kAwards> awardControls_{};
    // Enter and leave tasks of each award.
    std::array<TCSetAchDescTask, 2 * kAwards> descTasks_{};
    // The goals met, in the order they come in.
    std::vector<int> awards_;
    int shown_ = 0;
    float countdown_ = 0.0f;
    bool recorded_ = false;
};
