#pragma once
#include <pugixml.hpp>

#include "game/sim/TCLevelScreens.h"

class TCComix;
class TCBoard_Briefing;
class TCBoard_Debriefing;
class TCEngine3;

// The shell's side of a level: the screens the board shows around and over a day. A survival
// score enters the hi-scores; one too low for the table leads back to the survival screen.
class TCShellScreens : public TCLevelScreens {
public:
    explicit TCShellScreens(TCEngine3& game) : game_(game) {}

    // The cut-scene player, a child of the board widget from the UI document's "comix_ui".
    void BuildComix(pugi::xml_node uiRoot);
    // The briefing and the result dialogs live on the board's widget.
    void BuildLevelDialogs(pugi::xml_node uiRoot);
    TCBoard_Briefing* GetBriefing() const { return briefing_; }
    TCBoard_Debriefing* GetDebriefing(bool fail) const { return fail ? debriefingFail_ : debriefing_; }

    void ShowGameBoard() override;
    void ShowBriefing() override;
    // A career day's result; survival has its own screens.
    void ShowResult(Result result) override;
    // The board comes up under it; onEnd runs once it has closed and the board is resumed.
    bool ShowComix(const std::string& name, std::function<void()> onEnd) override;
    bool IsComixVisible() const override;
    void ShowMessageBox(const std::string& name) override;
    void ShowUpgradeShop() override;
    bool IsLevelDialogVisible() const override;
    void ShowEscapeMenu() override;
    // The result dialog stays: it is the only way on from a finished day.
    void HideLevelDialogs() override;

    void ClearMiniGame() override;
    // On the loading thread.
    void LoadMiniGameLevel(pugi::xml_node level) override;
    // A kind the tutorial deals waits for the tutorial to enable it; a random piece comes enabled.
    void AddMiniGamePiece(int kind) override;
    void EnableMiniGamePiece(int piece) override;
    // When the lessons end every piece becomes clickable: pieces the tutorial dealt would
    // otherwise stay shut for the rest of the day.
    void EnableAllMiniGamePieces() override;

    int EnterSurvivalScore(int money) override;
    void ShowSurvivalBoard() override;
    void ShowHiScores() override;
    void ReportCareerResult(int code, int money, int level) override;
    bool IsNewestLevel(int level) const override;
    bool GetBonusHint(int kind) const override;
    void SetBonusHint(int kind) override;
    void SaveProfile() override;

private:
    // The board goes and the menus come back.
    void BackToMenu();

    TCEngine3& game_;
    TCComix* comix_ = nullptr; // the widget tree's
    // Owned by the board's widget.
    TCBoard_Briefing* briefing_ = nullptr;
    TCBoard_Debriefing* debriefing_ = nullptr;
    TCBoard_Debriefing* debriefingFail_ = nullptr;
};
