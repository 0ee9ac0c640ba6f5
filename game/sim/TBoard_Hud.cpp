#include "game/sim/TBoard_Hud.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCSound.h"
#include "engine/core/TCTexture.h"
#include "engine/ui/TCText.h"
#include "framework/util/StringUtils.h"
#include "game/sim/TCTutorialScript.h"

namespace {

void SetShown(TCCandyWidget* widget, bool show)
{
    if (widget)
        widget->SetVisible(show);
}

void SetShown(const std::vector<TCCandyWidget*>& group, bool show)
{
    for (TCCandyWidget* widget : group)
        SetShown(widget, show);
}

// Shown with its effect from the start, whether or not it was up already.
void Replay(TCCandyWidget* widget)
{
    if (!widget)
        return;
    widget->SetVisible(true);
    widget->RunEffect("onshow");
}

void HideAndStop(TCCandyWidget* widget)
{
    if (!widget)
        return;
    if (TCEffect* effect = widget->GetEffect())
        effect->StopTimers();
    widget->SetVisible(false);
}

void SetLabel(TCCandyWidget* widget, const std::wstring& text)
{
    if (TCText* label = widget ? widget->AsText() : nullptr)
        label->SetLabel(text);
}

std::vector<TCImageRef> FrameList(const char* format)
{
    std::vector<TCImageRef> frames;
    for (int i = 0;; ++i) {
        TCImageRef frame = FindTexture(Nubra::StrFormat(format, i));
        if (!frame)
            return frames;
        frames.push_back(frame);
    }
}

void CollectElements(TCCandyWidget* root, const TCCandyWidget* skip, std::vector<TCCandyWidget*>& list)
{
    for (Nubra::Widget* widget : root->children)
        if (auto* child = dynamic_cast<TCCandyWidget*>(widget); child && child != skip) {
            list.push_back(child);
            CollectElements(child, skip, list);
        }
}

} // namespace

TBoard_Hud::TBoard_Hud(TCCandyWidget* parent, TCEngine* app, TCHudBoard* board) : TCDialog(parent, app), board_(board)
{
}

void TBoard_Hud::Build(pugi::xml_node uiRoot)
{
    FindDialogNode(uiRoot, "hud");
    BindElements();
    watchFrames_ = FrameList("hud_watch%02d");
    upgradeFrames_ = FrameList("hud_upgrade_%02d");
}

TCCandyWidget* TBoard_Hud::Find(const std::string& name) const { return FindBelow(this, name); }

void TBoard_Hud::BindElements()
{
    auto group = [this](std::initializer_list<const char*> names) {
        Group widgets;
        for (const char* name : names)
            if (TCCandyWidget* widget = Find(name))
                widgets.push_back(widget);
        return widgets;
    };
    goalDisplay_ = group({"goal_bkg", "goal_value", "goal_text", "money_goal_value", "money_goal_value_ghost"});
    expertDisplay_ =
        group({"expert_bkg", "expert_value", "expert_text", "money_expert_value", "money_expert_value_ghost"});
    splashes_ = group({"goal_splash", "expert_splash", "success_splash", "fail_splash", "surv_end_splash"});
    smiles_ = group({"smile01", "smile02", "smile03"});
    upgrade_ = group({"upgrade_btn", "upgrade_back"});
    goalSplash_ = Find("goal_splash");
    expertSplash_ = Find("expert_splash");
    careerPart_ = Find("left_part");
    survivalPart_ = Find("left_survival_part");
    careerClock_ = FindBelow(careerPart_, "clock");
    survivalClock_ = FindBelow(survivalPart_, "clock");
    for (int i = 0; i < int(lifeElements_.size()); ++i)
        lifeElements_[size_t(i)] = Find(Nubra::StrFormat("life_%d", i));
    menuButton_ = Find("menu_btn");
    upgradeButton_ = Find("upgrade_btn");
    skipDialog_ = Find("skip_tutorial_dlg");
    skipButton_ = FindBelow(skipDialog_, "skip");
    tutorial_ = Find("tutorial");
    pointer_ = Find("tutor_reset_widget");
    globalClean_ = Find("globalclean");
    freeze_ = Find("freeze");
    achievements_ = Find("achievments");
}

void TBoard_Hud::AddMiniGame(TCCandyWidget* miniGame)
{
    AddChild("minigame", miniGame);
    sceneList_.clear();
    CollectElements(this, miniGame, sceneList_);
    for (TCCandyWidget* element : sceneList_)
        element->GetParent()->BringToFront(element);
}

TCCandyWidget* TBoard_Hud::GetSceneListItem(int index) const
{
    return index >= 1 && index <= GetSceneListSize() ? sceneList_[size_t(index - 1)] : nullptr;
}

void TBoard_Hud::ShowDisplay(bool show)
{
    if (show)
        Show();
    else
        Hide();
}

void TBoard_Hud::StartLevelDisplay(bool survival)
{
    SetShown(splashes_, false);
    if (framesLocked_) {
        LockFrames(false);
        survival_ = survival;
        LockFrames(true);
    }
    survival_ = survival;
    clockFrame_ = -1;
    ShowGoalDisplay(true);
    SetShown(survivalPart_, survival);
    SetShown(careerPart_, !survival);
    SetShown(smiles_, false);
}

void TBoard_Hud::EndLevelDisplay()
{
    for (TCCandyWidget* life : lifeElements_)
        SetShown(life, false);
    livesShown_ = 0;
    SetShown(careerPart_, false);
    SetShown(survivalPart_, false);
    for (TCCandyWidget* splash : splashes_)
        HideAndStop(splash);
    SetShown(goalDisplay_, false);
    SetShown(expertDisplay_, false);
    expertShown_ = false;
}

void TBoard_Hud::ShowGoalDisplay(bool goal)
{
    SetShown(goalDisplay_, goal);
    SetShown(expertDisplay_, !goal);
    expertShown_ = !goal;
}

void TBoard_Hud::ShowGoalSplash()
{
    Replay(goalSplash_);
    PlaySound("goal");
    if (!survival_)
        ShowGoalDisplay(false);
}

void TBoard_Hud::ShowExpertSplash()
{
    Replay(expertSplash_);
    PlaySound("expert");
}

void TBoard_Hud::SetLives(int lives)
{
    auto element = [this](int count) {
        return count >= 0 && count < int(lifeElements_.size()) ? lifeElements_[size_t(count)] : nullptr;
    };
    SetShown(element(livesShown_), false);
    SetShown(element(lives), true);
    livesShown_ = lives;
}

void TBoard_Hud::ShowUpgradeButton(bool show) { SetShown(upgrade_, show); }

void TBoard_Hud::ShowGlobalClean() { Replay(globalClean_); }

void TBoard_Hud::ShowFreeze(float seconds)
{
    freezeTimeout_.Set(seconds);
    SetShown(freeze_, true);
}

void TBoard_Hud::ShowSmiles()
{
    for (TCCandyWidget* smile : smiles_) {
        smile->RestartTextures();
        smile->SetVisible(true);
    }
}

void TBoard_Hud::RefreshAchievements(const TCTaskCounts& counts)
{
    for (int i = 0; i < int(counts.size()); ++i) {
        const TCTaskCount& count = counts[size_t(i)];
        TCCandyWidget* entry = FindBelow(achievements_, Nubra::StrFormat("achiev_%d", i + 1));
        TCCandyWidget* ghost = FindBelow(achievements_, Nubra::StrFormat("achiev_%d_ghost", i + 1));
        const std::wstring remaining = std::to_wstring(std::max(count.remaining, 0));
        for (TCCandyWidget* widget : {entry, ghost})
            SetLabel(FindBelow(widget, "achiev_pr"), remaining);
        SetShown(entry, count.target > 0);
        // The ghost rises over a counter that has just moved.
        if (count.target > 0 && count.target == shownCounts_[size_t(i)].target &&
            count.remaining != shownCounts_[size_t(i)].remaining)
            Replay(ghost);
        else
            SetShown(ghost, false);
    }
    shownCounts_ = counts;
}

void TBoard_Hud::ShowTutorialMessage(const std::string& id, bool show)
{
    TCCandyWidget* message = FindBelow(tutorial_, id);
    if (!message) {
        WriteLog("WARNING: no tutorial message '%s' in the display", id.c_str());
        return;
    }
    if (!show) {
        message->Hide();
        return;
    }
    SetShown(tutorial_, true);
    message->Show();
}

void TBoard_Hud::HideTutorialMessages()
{
    if (!tutorial_)
        return;
    for (Nubra::Widget* widget : tutorial_->children)
        widget->SetVisible(false);
    SetShown(skipDialog_, false);
}

void TBoard_Hud::ShowSkipTutorial(bool show) { SetShown(skipDialog_, show); }

void TBoard_Hud::SetPointerAlpha(float alpha)
{
    if (!pointer_)
        return;
    pointer_->SetAlpha(alpha);
    pointer_->SetVisible(true);
}

void TBoard_Hud::ReleasePointer()
{
    if (!pointer_)
        return;
    pointer_->SetVisible(false);
    pointer_->SetAlpha(1.0f);
}

void TBoard_Hud::Update()
{
    TCDialog::Update();
    if (!IsVisibleInTree())
        return;
    RestoreGoalDisplay();
    HideEndedIndicators();
    UpdateClock();
}

void TBoard_Hud::RestoreGoalDisplay()
{
    if (expertShown_ && board_ && board_->GetHudMoney() < board_->GetHudGoal()) {
        ShowGoalDisplay(true);
        board_->ClearGoalReached();
    }
}

void TBoard_Hud::HideEndedIndicators()
{
    for (TCCandyWidget* smile : smiles_)
        if (smile->visible && !smile->IsAnyTexturePlaying())
            smile->SetVisible(false);
    if (freeze_ && freeze_->visible && !freezeTimeout_.IsPending())
        freeze_->SetVisible(false);
}

int TBoard_Hud::ClockFrameFor(float progress, int frames)
{
    if (frames <= 0)
        return -1;
    return std::clamp(int(progress * float(frames - 1)), 0, frames - 1);
}

void TBoard_Hud::UpdateClock()
{
    TCCandyWidget* clock = ModeClock();
    if (!clock || !clock->IsVisibleInTree())
        return;
    std::vector<TCImageRef>& frames = ModeFrames();
    const int frame = ClockFrameFor(board_ ? board_->GetHudProgress() : 0.0f, int(frames.size()));
    if (frame < 0 || frame == clockFrame_)
        return;
    clockFrame_ = frame;
    if (!clock->GetTexture(0))
        clock->AddTexture(0, new TCTexture);
    clock->GetTexture(0)->SetImage(frames[size_t(frame)]);
}

void TBoard_Hud::LockFrames(bool lock)
{
    for (TCImageRef& frame : ModeFrames()) {
        if (lock)
            frame.Lock();
        else
            frame.Unlock();
    }
    framesLocked_ = lock;
}

void TBoard_Hud::OnShown()
{
    TCDialog::OnShown();
    LockFrames(true);
}

void TBoard_Hud::OnHidden()
{
    LockFrames(false);
    TCDialog::OnHidden();
}

void TBoard_Hud::OnButtonClick(intptr_t id)
{
    auto is = [id](const TCCandyWidget* button) { return button && id == reinterpret_cast<intptr_t>(button); };
    if (is(menuButton_) && board_)
        board_->OpenEscapeMenu();
    else if (is(upgradeButton_) && board_)
        board_->OpenUpgradeShop();
    else if (is(skipButton_))
        GetTutorial().Stop();
}
