#include "game/shell/TCShellScreens.h"

#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_Debriefing.h"
#include "game/shell/TCBoard_EscapeMenu.h"
#include "game/shell/TCBoard_HiScores.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/shell/TCBoard_Survival.h"
#include "game/shell/TCBoard_Upgrade.h"
#include "game/shell/TCComix.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCMiniGame.h"
#include "game/shell/TCProfileStore.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

// The profile's hint bytes by bonus kind; null for a kind without one.
uint8_t* HintByte(int kind)
{
    auto& hints = TheProfileStore().CurrentProfile().hintShown;
    return kind >= 0 && size_t(kind) < hints.size() ? &hints[size_t(kind)] : nullptr;
}

} // namespace

void TCShellScreens::BuildLevelDialogs(pugi::xml_node uiRoot)
{
    TCBoard_Game* widget = game_.GetBoardWidget();
    TCBoard_Game3& board = *game_.GetGameBoard();
    briefing_ = new TCBoard_Briefing(&game_, widget, uiRoot, board);
    debriefing_ = new TCBoard_Debriefing(&game_, widget, uiRoot, board, false);
    debriefingFail_ = new TCBoard_Debriefing(&game_, widget, uiRoot, board, true);
}

void TCShellScreens::ShowGameBoard() { game_.GetBoardWidget()->Show(); }

void TCShellScreens::BuildComix(pugi::xml_node uiRoot)
{
    comix_ = new TCComix(game_.GetBoardWidget(), &game_);
    comix_->FindDialogNode(uiRoot, "comix_ui");
    comix_->SetBoard(game_.GetGameBoard());
    game_.GetBoardWidget()->AddChild("comix", comix_);
}

bool TCShellScreens::ShowComix(const std::string& name, std::function<void()> onEnd)
{
    if (!comix_ || !comix_->Play(name, std::move(onEnd)))
        return false;
    ShowGameBoard();
    return true;
}

bool TCShellScreens::IsComixVisible() const { return comix_ && comix_->visible; }
void TCShellScreens::ShowBriefing() { briefing_->Show(); }

void TCShellScreens::ShowResult(Result result)
{
    if (result == Result::Survival)
        return;
    TCBoard_Debriefing* dialog = GetDebriefing(result == Result::Failure);
    game_.GetBoardWidget()->BringToFront(dialog);
    dialog->Show();
}

void TCShellScreens::ShowMessageBox(const std::string& name) { ShowMessageBox1(name); }

void TCShellScreens::ShowUpgradeShop() { game_.GetUpgradeShop()->Show(); }

bool TCShellScreens::IsLevelDialogVisible() const
{
    return IsComixVisible() || game_.GetUpgradeShop()->visible || game_.GetEscapeMenu()->visible ||
           briefing_->visible || debriefing_->visible || debriefingFail_->visible;
}

void TCShellScreens::ShowEscapeMenu() { game_.GetEscapeMenu()->Show(); }

void TCShellScreens::HideLevelDialogs()
{
    if (game_.GetEscapeMenu()->visible)
        game_.GetEscapeMenu()->Hide();
    briefing_->Hide();
}

void TCShellScreens::ClearMiniGame() { game_.GetMiniGame()->Clear(); }

void TCShellScreens::LoadMiniGameLevel(pugi::xml_node level) { game_.GetMiniGame()->LoadLevel(level); }

void TCShellScreens::AddMiniGamePiece(int kind)
{
    if (kind < 0)
        game_.GetMiniGame()->AddRandomPiece();
    else
        game_.GetMiniGame()->AddPieceOfKind(kind, false, false);
}

void TCShellScreens::EnableMiniGamePiece(int piece) { game_.GetMiniGame()->EnablePiece(piece); }

void TCShellScreens::EnableAllMiniGamePieces() { game_.GetMiniGame()->EnableAllPieces(); }

int TCShellScreens::EnterSurvivalScore(int money)
{
    TCProfileStore& store = TheProfileStore();
    game_.GetBoardWidget()->Hide();
    game_.GetMenuBackground()->Show();
    return store.AddHiScore(true, NameText(store.CurrentProfile().name), money);
}

void TCShellScreens::ShowSurvivalBoard()
{
    game_.ShowMainMenu();
    game_.GetSurvival()->Show();
}

void TCShellScreens::ShowHiScores()
{
    BackToMenu();
    game_.GetHiScores()->Show();
}

void TCShellScreens::ReportCareerResult(int code, int money, int level)
{
    game_.GetCareer()->SetLevelResult(money, code, level);
    debriefing_->SetResultRecorded();
    debriefingFail_->SetResultRecorded();
}

bool TCShellScreens::IsNewestLevel(int level) const { return level == TheProfileStore().CurrentProfile().highestLevel; }

bool TCShellScreens::GetBonusHint(int kind) const
{
    const uint8_t* hint = HintByte(kind);
    return hint && *hint != 0;
}

void TCShellScreens::SetBonusHint(int kind)
{
    if (uint8_t* hint = HintByte(kind))
        *hint = 1;
}

void TCShellScreens::SaveProfile() { TheProfileStore().SaveTables(); }

void TCShellScreens::BackToMenu()
{
    game_.GetBoardWidget()->Hide();
    game_.ShowMainMenu();
}
