#include "game/shell/TCBoard_Debriefing.h"

#include "engine/core/EffectFile.h"
#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCSound.h"
#include "framework/util/StringUtils.h"
#include "game/shell/CareerProgress.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCLevelGoals.h"

TCBoard_Debriefing::TCBoard_Debriefing(TCEngine3* app, TCCandyWidget* boardWidget, pugi::xml_node uiRoot,
                                       TCBoard_Game3& board, bool fail)
    : TCDialog(boardWidget, app), playSound(PlaySound), game_(app), board_(board), fail_(fail)
{
    const char* element = fail ? "debriefing_dialog_fail" : "debriefing_dialog";
    if (!FindDialogNode(uiRoot, element))
        WriteLog("WARNING: The UI document has no %s", element);
    if (boardWidget)
        boardWidget->AddChild(element, this);
    start_ = Bind("start");
    menu_ = Bind("menu");
    replay_ = Bind("replay");
    Bind("level_outro_text");
    if (fail)
        return;
    title_ = Bind("label_achiev");
    description_ = Bind("label_achiev_about");
    for (int k = 0; k < kAwards; ++k) {
        AwardControls& award = awardControls_[size_t(k)];
        award.icon = Bind(Nubra::StrFormat("award_icon_%d", k));
        award.name = Bind(Nubra::StrFormat("award_name_%d", k));
        TCSetAchDescTask& enter = descTasks_[size_t(2 * k)];
        TCSetAchDescTask& leave = descTasks_[size_t(2 * k + 1)];
        enter = TCSetAchDescTask(Nubra::StrFormat("ach_title_%d", k), Nubra::StrFormat("ach_desc_%d", k), this);
        leave = TCSetAchDescTask({}, {}, this);
        if (award.icon) {
            award.icon->SetEnterTask(&enter);
            award.icon->SetLeaveTask(&leave);
        }
    }
}

TCCandyWidget* TCBoard_Debriefing::Bind(const std::string& name) const
{
    TCCandyWidget* control = FindBelow(this, name);
    if (!control)
        WriteLog("WARNING: Can not find element '%s' in debriefing dialog", name.c_str());
    return control;
}

void TCBoard_Debriefing::SetAwardDescription(const std::string& title, const std::string& description)
{
    const TCLocalization& texts = GetApp()->GetLocalization();
    SetControlLabel(title_, title.empty() ? std::wstring() : texts.GetText(title));
    SetControlLabel(description_, description.empty() ? std::wstring() : texts.GetText(description));
}

void TCBoard_Debriefing::OnShow()
{
    FillLevelIntro(*this, *GetApp(), board_.GetLevel(), board_.IsSurvival(), "level_outro_text");
    recorded_ = false;
    for (TCCandyWidget* button : {start_, menu_, replay_})
        SetControlEnabled(button, false);
    awards_.clear();
    for (int k = 0; k < kAwards; ++k) {
        const AwardControls& award = awardControls_[size_t(k)];
        for (TCCandyWidget* control : {award.icon, award.name})
            SetControlShown(control, false);
        if (!fail_ && LevelGoals().IsGoalMet(k))
            awards_.push_back(k);
    }
    SetAwardDescription({}, {});
    shown_ = 0;
    countdown_ = gDebriefingFirstAchievementDelay;
}

void TCBoard_Debriefing::SetResultRecorded()
{
    recorded_ = true;
    for (TCCandyWidget* button : {start_, menu_, replay_})
        SetControlEnabled(button, true);
}

void TCBoard_Debriefing::Update()
{
    TCDialog::Update();
    if (!visible || shown_ >= int(awards_.size()))
        return;
    countdown_ -= UpdateStep();
    if (countdown_ > 0.0f)
        return;
    ShowNextAward();
    countdown_ = gDebriefingNextAchievementDelay;
}

void TCBoard_Debriefing::ShowNextAward()
{
    playSound("debriefing_awards");
    const AwardControls& award = awardControls_[size_t(awards_[size_t(shown_++)])];
    for (TCCandyWidget* control : {award.icon, award.name})
        if (control)
            control->Show();
}

void TCBoard_Debriefing::OnButtonClick(intptr_t id)
{
    if (!recorded_)
        return;
    if (Is(id, menu_)) {
        BackToMenu();
        return;
    }
    if (!Is(id, start_) && !Is(id, replay_))
        return;
    Hide();
    TCBoard_Career& career = *game_->GetCareer();
    if (fail_) {
        // A failed day is played again: the next one is not open yet.
        career.StartCareerLevel(board_.GetLevel());
        return;
    }
    const std::string& comix = board_.GetFinishComix();
    if (!comix.empty() && !DebugSettings().NoComix && game_->GetLevelScreens()->ShowComix(comix, [this] { GoOn(); }))
        return;
    GoOn();
}

void TCBoard_Debriefing::GoOn()
{
    TCBoard_Career& career = *game_->GetCareer();
    const int played = career.GetSelectedLevel();
    const int next = career.NextPlayableLevel(played);
    if (next == 0) {
        // After the career's last day no day stays chosen.
        if (NextCareerLevel(played) == 0)
            career.SelectNextDay();
        BackToMenu();
        return;
    }
    career.StartCareerLevel(next);
}

void TCBoard_Debriefing::BackToMenu()
{
    Hide();
    game_->LeaveLevel();
}
