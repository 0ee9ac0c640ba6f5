#pragma once
#include <pugixml.hpp>

#include <functional>
#include <string>

// The screens around a level that the game's shell builds: briefing, result dialogs, cut-scenes,
// upgrade shop, escape menu, mini-game, the survival, hi-score and career boards, and the
// profile. The cafe board reaches them here; without them (a headless run) a level plays straight
// through.
class TCLevelScreens {
public:
    enum class Result { Success, Failure, Survival };

    virtual ~TCLevelScreens() = default;

    // The game board widget comes up.
    virtual void ShowGameBoard() = 0;
    // Shown before play; it pauses the board until it is closed.
    virtual void ShowBriefing() = 0;
    // The dialog of the level's result, in front of the board with its children shown.
    virtual void ShowResult(Result result) = 0;
    // Loads and shows the cut-scene over the board widget (brought up for it), which it pauses;
    // false, showing nothing, when there is none of that name. When it closes the board is
    // resumed first, then onEnd runs (the start of play, or the career's next step).
    virtual bool ShowComix(const std::string& name, std::function<void()> onEnd) = 0;
    virtual bool IsComixVisible() const = 0;
    // The one-button message box of that name, waited for.
    virtual void ShowMessageBox(const std::string& name) = 0;
    // The shop ends by calling the board's CloseUpgradeShop.
    virtual void ShowUpgradeShop() = 0;
    // Any of the shop, cut-scene, escape menu, briefing or result dialogs up.
    virtual bool IsLevelDialogVisible() const = 0;
    virtual void ShowEscapeMenu() = 0;
    // Hides the escape menu, the briefing and the result dialogs.
    virtual void HideLevelDialogs() = 0;

    // The mini-game inside the display.
    virtual void ClearMiniGame() = 0;
    virtual void LoadMiniGameLevel(pugi::xml_node level) = 0;
    // A bonus piece of that kind; -1 for a random one.
    virtual void AddMiniGamePiece(int kind) = 0;
    // The tutorial opens the mini-game one piece (1-based) at a time and closes it again; a
    // shell without a mini-game ignores both.
    virtual void EnableMiniGamePiece(int piece) { (void)piece; }
    virtual void EnableAllMiniGamePieces() {}

    // Survival's end: the board gives way to the menu background and the money enters hi-score
    // table 1 under the player's name; the entry's rank comes back.
    virtual int EnterSurvivalScore(int money) = 0;
    virtual void ShowSurvivalBoard() = 0;
    virtual void ShowHiScores() = 0;
    // The career's result goes to the career board.
    virtual void ReportCareerResult(int code, int money, int level) = 0;
    // Whether the level is the newest one of the player's career.
    virtual bool IsNewestLevel(int level) const = 0;
    virtual bool GetBonusHint(int kind) const = 0;
    virtual void SetBonusHint(int kind) = 0;
    virtual void SaveProfile() = 0;
};
