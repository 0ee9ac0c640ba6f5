// The cafe board's level flow: start, play, end, result and finish of a level.
#include <cstdio>

#include "engine/core/EngineHelpers.h"
#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCLevelScreens.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TCWorker.h"
#include "game/sim/TutorialPort.h"

namespace {

constexpr int kKeyEscape = 27, kKeyN = 78, kKeyF8 = 119, kKeyF9 = 120, kKeyF10 = 121, kKeyF11 = 122;
constexpr int kBonusCoin = 0, kBonusHappy = 1, kBonusClean = 2, kBonusSpeed = 3, kBonusIce = 4;
// Ranks from here on do not make the hi-score screen.
constexpr int kFirstUnlistedRank = 14;

} // namespace

int TCBoard_Game3::CareerDay(int level)
{
    if (level <= 15)
        return level;
    if (level <= 35)
        return level - 15;
    if (level <= 59)
        return level - 35;
    WriteLog("WARNING: Day Detection FAILED for level %d", level);
    return 1;
}

int TCBoard_Game3::GetDay() const { return IsSurvival() ? GetStageCounter() : CareerDay(GetLevel()); }

bool TCBoard_Game3::IsOverlayVisible() const { return screens_ && screens_->IsComixVisible(); }

void TCBoard_Game3::OnLevelStart()
{
    vipLost_ = false;
    abandoned_ = false;
    finished_ = false;
    goalReached_ = false;
    expertReached_ = false;
    freeze_.Set(0.0f);
    LevelGoals().Start();
    rush_.Reset();
    if (hud_) {
        hud_->StartLevelDisplay(IsSurvival());
        // Survival offers upgrades only once a day brings them; the career after the level.
        hud_->ShowUpgradeButton(false);
        RefreshAchievements();
    }
    if (screens_)
        screens_->ClearMiniGame();
    TCBoardHost& host = GetHost();
    if (IsSurvival()) {
        host.SetTextVar("normal", GetEventQueue().GetThreshold());
        pendingUpgrades_.clear();
        nextUpgradeStage_ = upgradeStages_.begin();
        // Each survival run buys its upgrades anew.
        survivalBytes_.fill(0);
        lives_ = kSurvivalLives;
        if (hud_)
            hud_->SetLives(lives_);
    } else {
        host.SetTextVar("normal", goal_);
        host.SetTextVar("expert", expertGoal_);
        GetTutorial().StartForLevel(GetLevel() == 1);
    }
    host.SetTextVar("cafe", GetCafe());
    host.SetTextVar("day", GetDay());
    if (screens_)
        screens_->ShowGameBoard();
    else
        SetShown(true);
    const bool comix = !DebugSettings().NoComix && !GetStartComix().empty() && screens_ &&
                       screens_->ShowComix(GetStartComix(), [this] { StartPlay(); });
    if (!comix)
        StartPlay();
}

void TCBoard_Game3::StartPlay()
{
    if (hud_)
        hud_->ShowDisplay(true);
    if (screens_)
        screens_->ShowBriefing();
    char track[16];
    std::snprintf(track, sizeof track, "level%d", GetCafe());
    GetHost().ChangeMusic(track);
}

void TCBoard_Game3::UpdateLogic()
{
    rush_.Update();
    GetTutorial().Update();
}

void TCBoard_Game3::OnItemAction(TCBoardItem* item)
{
    if (!item || TutorialForbids(kTutorialActionRun) || !TutorialAllowsObject(item->GetName()))
        return;
    auto* boss = dynamic_cast<TCMoveItem*>(GetItemList().GetBoss());
    auto* target = dynamic_cast<TCPickItem*>(item);
    if (!boss || !target)
        return;
    boss->AddTarget(target);
    ApplyTutorialRule(kTutorialTargetGiven);
}

bool TCBoard_Game3::SpawnEvent(const TCEvent& event) { return SpawnClientEvent(event); }

void TCBoard_Game3::CheckGoals()
{
    if (IsSurvival())
        return;
    const int money = GetMoney();
    if (!goalReached_ && money >= goal_) {
        goalReached_ = true;
        if (hud_)
            hud_->ShowGoalSplash();
        return;
    }
    if (goalReached_ && !expertReached_ && money >= expertGoal_) {
        expertReached_ = true;
        if (hud_)
            hud_->ShowExpertSplash();
    }
}

bool TCBoard_Game3::IsLevelOver()
{
    if (IsSurvival())
        return lives_ < 0;
    if (vipLost_)
        return true;
    return GetPresentClients().empty() && GetEventQueue().IsExhausted();
}

void TCBoard_Game3::OnLevelEnd()
{
    TCLevelScreens::Result result = TCLevelScreens::Result::Success;
    if (IsSurvival()) {
        result = TCLevelScreens::Result::Survival;
    } else if (!IsCareerWon()) {
        result = TCLevelScreens::Result::Failure;
        GetHost().SetTextVarText("fail_cause",
                                 GetHost().GetText(vipLost_ ? "mn00_debrief_fail_vip" : "mn00_debrief_fail_goal"));
    }
    if (screens_)
        screens_->ShowResult(result);
}

void TCBoard_Game3::AfterLevelResult()
{
    // Upgrades follow only a won level that is the newest of the career.
    const bool offerShop =
        !IsSurvival() && upgradeKind_ != 0 && IsCareerWon() && screens_ && screens_->IsNewestLevel(GetLevel());
    if (!offerShop) {
        FinishLevel();
        return;
    }
    screens_->ShowMessageBox("upgrade");
    screens_->ShowUpgradeShop();
}

void TCBoard_Game3::CloseUpgradeShop()
{
    if (!IsSurvival() && !vipLost_ && !abandoned_)
        FinishLevel();
}

int TCBoard_Game3::GetResultCode() const
{
    if (vipLost_)
        return kResultVipLost;
    if (GetMoney() >= expertGoal_)
        return kResultExpert;
    return GetMoney() < goal_ ? kResultGoalMissed : kResultGoal;
}

void TCBoard_Game3::FinishLevel()
{
    finished_ = true;
    if (!screens_)
        return;
    if (IsSurvival()) {
        if (screens_->EnterSurvivalScore(GetMoney()) >= kFirstUnlistedRank)
            screens_->ShowSurvivalBoard();
        else
            screens_->ShowHiScores();
    } else {
        screens_->ReportCareerResult(GetResultCode(), GetMoney(), GetLevel());
    }
    screens_->SaveProfile();
}

void TCBoard_Game3::LeaveLevel()
{
    if (hud_) {
        hud_->ShowDisplay(false);
        hud_->EndLevelDisplay();
        hud_->ReleasePointer();
    }
    // A day left halfway through its lessons takes their tips and curtain along.
    GetTutorial().Stop();
    GetTutorial().Reset();
    pendingUpgrades_.clear();
}

void TCBoard_Game3::NextSurvivalDay()
{
    if (hud_)
        hud_->ShowGoalSplash();
    GetHost().SetTextVar("day", GetDay());
    if (nextUpgradeStage_ != upgradeStages_.end() && nextUpgradeStage_->number == GetStageCounter()) {
        pendingUpgrades_.push_back(nextUpgradeStage_->kind);
        if (hud_)
            hud_->ShowUpgradeButton(true);
        ++nextUpgradeStage_;
    }
}

void TCBoard_Game3::LoseLife()
{
    --lives_;
    if (hud_ && lives_ >= 0)
        hud_->SetLives(lives_);
}

void TCBoard_Game3::ApplyMiniGameBonus(int kind, int strength)
{
    ApplyTutorialRule(kTutorialBonusReady);
    const float amount = static_cast<float>(strength);
    switch (kind) {
    case kBonusCoin:
        AddMoney(CoinBonus(strength));
        GetHost().PlaySound("minigame_coin");
        break;
    case kBonusHappy:
        ChangeAllPatience(1, amount * gLevelParams.bonusCStamina);
        if (hud_)
            hud_->ShowSmiles();
        GetHost().PlaySound("minigame_happy");
        break;
    case kBonusClean:
        ChangeAllTidiness(1, amount * gLevelParams.bonusWStamina);
        if (hud_)
            hud_->ShowGlobalClean();
        GetHost().PlaySound("minigame_clean");
        break;
    case kBonusSpeed:
        if (auto* boss = dynamic_cast<TCBoss*>(GetItemList().GetBoss()); boss && boss->GetParams())
            boss->StartSpeedBonus(strength == 1 ? boss->GetParams()->bonusSpeedTime3 : boss->GetParams()->bonusSpeedTime4);
        GetHost().PlaySound("minigame_momentready");
        break;
    case kBonusIce: {
        const float seconds = amount * gLevelParams.bonusIceAgeTimeout;
        freeze_.Set(seconds);
        if (hud_)
            hud_->ShowFreeze(seconds);
        GetHost().PlaySound("minigame_ice");
        break;
    }
    default:
        return;
    }
    // A running script (the first day's) teaches the bonus itself; the hint waits for a later one.
    if (IsSurvival() || !screens_ || screens_->GetBonusHint(kind) || GetTutorial().IsRunning())
        return;
    screens_->SetBonusHint(kind);
    GetTutorial().StartBonusTutorial(kind);
}

int TCBoard_Game3::CoinBonus(int strength) const
{
    const TCLevelParams& params = gLevelParams;
    if (IsUpgradeActive("bonus", "money"))
        return strength == 1 ? params.valBonusCoin3Upgrade : params.valBonusCoin4Upgrade;
    return strength == 1 ? params.valBonusCoin3 : params.valBonusCoin4;
}

void TCBoard_Game3::StartRushBonusPiece()
{
    if (TutorialForbids(kTutorialActionBonusPieces) || !screens_)
        return;
    // The tutorial's own kinds first; -1 asks for a random one.
    screens_->AddMiniGamePiece(GetTutorial().NextBonusKind());
}

void TCBoard_Game3::EnableMiniGamePiece(int piece)
{
    if (screens_)
        screens_->EnableMiniGamePiece(piece);
}

void TCBoard_Game3::EnableAllMiniGamePieces()
{
    if (screens_)
        screens_->EnableAllMiniGamePieces();
}

void TCBoard_Game3::ResetTutorialScene()
{
    // Coming into play again puts each back to its fresh state: the boss idle with empty hands,
    // the workers idle and clean, the guests' places empty.
    for (const char* name : {"boss", "worker01", "worker02", "worker03", "client01", "client02", "client03",
                             "client_sit01"})
        if (TCItem* item = FindItemByName(name); item && item->IsActive())
            item->SetActive(true);
    if (screens_)
        screens_->ClearMiniGame();
}

void TCBoard_Game3::OpenEscapeMenu()
{
    if (screens_)
        screens_->ShowEscapeMenu();
}

void TCBoard_Game3::ShowComix(const std::string& name)
{
    if (screens_)
        screens_->ShowComix(name, nullptr);
}

void TCBoard_Game3::ShowUpgradeShop()
{
    if (screens_)
        screens_->ShowUpgradeShop();
}

void TCBoard_Game3::KeyUp(int key)
{
    if (key == kKeyEscape) {
        if (!screens_)
            return;
        if (screens_->IsLevelDialogVisible())
            screens_->HideLevelDialogs();
        else
            screens_->ShowEscapeMenu();
        return;
    }
    if (!IsDeveloperMode())
        return;
    if (key == kKeyN) {
        AddMoney(10000);
    } else if (key == kKeyF9) {
        ApplyMiniGameBonus(kBonusHappy, 1);
    } else if (key == kKeyF10) {
        ApplyMiniGameBonus(kBonusClean, 1);
    } else if (key == kKeyF11) {
        GetTutorial().Stop();
    } else if (key == kKeyF8 && DebugSettings().DbgUpgradeType != "None" && screens_) {
        screens_->ShowMessageBox("upgrade");
        screens_->ShowUpgradeShop();
    }
}
