#pragma once
#include <memory>

#include "engine/core/TCEngine.h"
#include "game/shell/TCProfileStore.h"

class TBoard_Hud;
class TCBoard_Career;
class TCBoard_Game;
class TCBoard_EscapeMenu;
class TCBoard_Game3;
class TCBoard_Help;
class TCBoard_HiScores;
class TCBoard_LoadScreen;
class TCBoard_MainMenu;
class TCBoard_Menu;
class TCBoard_Options;
class TCBoard_Splash;
class TCBoard_Survival;
class TCBoard_Upgrade;
class TCEngineBoardHost;
class TCMiniGame;
class TCShellScreens;

// The product's name; also names the per-user folder before the game object exists.
inline constexpr const char* kProductName = "Velmira Cafe";

// The game's application object: the product's identity, its start-up and a shutdown that asks.
class TCEngine3 : public TCEngine {
public:
    TCEngine3();
    ~TCEngine3() override;

    void Init() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    bool UpdateAppStep(bool& updated) override;
    // Asks "quit" first; ignored until loading has completed and while the splash runs. Asked
    // while a message box is open, the question waits until that box has its answer.
    void Shutdown() override;
    using TCEngine::SwitchScreenMode;
    // The profile's windowed byte follows the display.
    void SwitchScreenMode(bool windowed, bool is3D, bool force) override;

    // The menu background with the main menu over it.
    void ShowMainMenu() override;
    void HideMainMenu() override;
    // Over everything while a level loads; the menus and the board go.
    void ShowLoadScreen() override;
    void HideLoadScreen() override;
    // Leaves the menus for a level of the career or of survival (by cafe).
    void StartLevel(int level, bool survival);
    // Leaves the level on the board for the main menu; the day's sounds fall silent.
    void LeaveLevel();

    // Close requests wait while it is shown.
    TCBoard_Splash* GetSplash() const { return splash_; }
    TCBoard_Menu* GetMenuBackground() const { return menu_; }
    TCBoard_MainMenu* GetMainMenu() const { return mainMenu_; }
    TCBoard_Career* GetCareer() const { return career_; }
    TCBoard_LoadScreen* GetLoadScreen() const { return loadScreen_; }
    TCBoard_Options* GetOptions() const { return options_; }
    TCBoard_Help* GetHelp() const { return help_; }
    TCBoard_HiScores* GetHiScores() const { return hiScores_; }
    TCBoard_EscapeMenu* GetEscapeMenu() const { return escapeMenu_; }
    TCBoard_Game3* GetGameBoard() const { return board_.get(); }
    TCBoard_Game* GetBoardWidget() const { return boardWidget_; }
    TCMiniGame* GetMiniGame() const { return miniGame_; }
    TCShellScreens* GetLevelScreens() const { return levelScreens_.get(); }
    TCBoard_Survival* GetSurvival() const { return survival_; }
    // Over the board's widget, which owns it.
    TCBoard_Upgrade* GetUpgradeShop() const { return upgradeShop_; }

protected:
    // A close request that came while a box was open, now that none is.
    void AskPendingQuit();

private:
    void SaveAndShutDown();
    // The one cafe board of the run with its configuration, and the widget that shows it.
    void BuildGameBoard();
    // The bonus row, inside the display over the board.
    void BuildMiniGame(TBoard_Hud& hud);
    // The developer's way past the menus: straight into the level DbgScene.
    void StartDeveloperLevel();

    // The stored settings take effect in the engine's tables and the display.
    class ProfileSettings : public ITCProfileSettingsTarget {
    public:
        explicit ProfileSettings(TCEngine3& game) : game_(game) {}
        void SetMusicVolume(int percent) override;
        void SetSoundVolume(int percent) override;
        // Before the window exists the mode is only stored: Init opens the window in it.
        void SwitchScreenMode(bool windowed) override;

    private:
        TCEngine3& game_;
    };

    ProfileSettings profileSettings_{*this};
    std::unique_ptr<TCEngineBoardHost> boardHost_;
    std::unique_ptr<TCShellScreens> levelScreens_;
    std::unique_ptr<TCBoard_Game3> board_;
    // Built once by the loading thread; owned by the widget tree once attached.
    TCBoard_Game* boardWidget_ = nullptr;
    TCMiniGame* miniGame_ = nullptr; // owned by the widget tree
    TCBoard_Upgrade* upgradeShop_ = nullptr;
    TCBoard_LoadScreen* loadScreen_ = nullptr;
    TCBoard_Menu* menu_ = nullptr;
    TCBoard_MainMenu* mainMenu_ = nullptr;
    TCBoard_Options* options_ = nullptr;
    TCBoard_Help* help_ = nullptr;
    TCBoard_HiScores* hiScores_ = nullptr;
    TCBoard_EscapeMenu* escapeMenu_ = nullptr;
    TCBoard_Career* career_ = nullptr;
    TCBoard_Survival* survival_ = nullptr;
    TCBoard_Splash* splash_ = nullptr;
    bool quitPending_ = false;
};

// The game, set by its constructor.
extern TCEngine3* gTCEngine3;
