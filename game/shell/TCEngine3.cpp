#include "game/shell/TCEngine3.h"

#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_EscapeMenu.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_HiScores.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/shell/TCBoard_Options.h"
#include "game/shell/TCBoard_Splash.h"
#include "game/shell/TCBoard_Survival.h"
#include "game/shell/TCBoard_Upgrade.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCMiniGame.h"
#include "game/shell/TCProfileStore.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/TBoard_Hud.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCEngineBoardHost.h"

TCEngine3* gTCEngine3 = nullptr;

namespace {

// The store outlives the engine; after it, texts show as their ids.
std::wstring EngineText(const std::string& id)
{
    return gTCEngine ? gTCEngine->GetLocalization().GetText(id) : Nubra::Utf8ToWString(id);
}

// A board the loading thread built but the widget tree never took.
template <typename Board>
void DeleteUnattached(Board*& board)
{
    if (board && !board->parent)
        delete board;
    board = nullptr;
}

} // namespace

TCEngine3::TCEngine3()
{
    gTCEngine3 = this;
    productName = kProductName;
    title = L"";
    productVersion = "1.0";
    registryKey = "Trilvo Games\\Velmira Cafe";
}

TCEngine3::~TCEngine3()
{
    // Either loader may still be filling the boards.
    WaitForLoadingThread();
    WaitForLevelLoading();
    if (board_) {
        board_->Shutdown();
        board_->SetHud(nullptr);
    }
    // The widget leaves the tree before the board it shows goes.
    delete boardWidget_;
    boardWidget_ = nullptr;
    upgradeShop_ = nullptr;
    board_.reset();
    ForgetMessageBoxes();
    DeleteUnattached(loadScreen_);
    DeleteUnattached(menu_);
    DeleteUnattached(mainMenu_);
    DeleteUnattached(options_);
    DeleteUnattached(help_);
    DeleteUnattached(hiScores_);
    DeleteUnattached(escapeMenu_);
    DeleteUnattached(career_);
    DeleteUnattached(survival_);
    DeleteUnattached(splash_);
    TheProfileStore().SetSettingsTarget(nullptr);
    if (gTCEngine3 == this)
        gTCEngine3 = nullptr;
}

void TCEngine3::Init()
{
    // The framework never allows it on its own.
    vsyncTimingAllowed = true;
    GetLocalization().Load();
    title = GetLocalization().GetText("app_title");
    TheProfileStore().SetTextSource(EngineText);
    TheProfileStore().SetSettingsTarget(&profileSettings_);
    TheProfileStore().Load();
    TCEngine::Init();
}

void TCEngine3::LoadingThreadProc()
{
    TCEngine::LoadingThreadProc();
    BuildMessageBoxes(this, UiRoot());
    BuildGameBoard();
    loadScreen_ = new TCBoard_LoadScreen(this, UiRoot());
    menu_ = new TCBoard_Menu(this, UiRoot());
    mainMenu_ = new TCBoard_MainMenu(this, UiRoot());
    options_ = new TCBoard_Options(this, UiRoot());
    help_ = new TCBoard_Help(this, UiRoot());
    hiScores_ = new TCBoard_HiScores(this, UiRoot());
    career_ = new TCBoard_Career(this, UiRoot());
    survival_ = new TCBoard_Survival(this, UiRoot());
    splash_ = new TCBoard_Splash(this, UiRoot());
}

void TCEngine3::BuildGameBoard()
{
    boardHost_ = std::make_unique<TCEngineBoardHost>(*this);
    board_ = std::make_unique<TCBoard_Game3>(*boardHost_);
    boardWidget_ = new TCBoard_Game(nullptr, *board_);
    boardWidget_->SetVisible(false);
    // The display lies over the cafe, a child of the widget that shows it.
    auto* hud = new TBoard_Hud(boardWidget_, this, board_.get());
    hud->Build(UiRoot());
    boardWidget_->AddChild("hud", hud);
    board_->SetHud(hud);
    upgradeShop_ = new TCBoard_Upgrade(boardWidget_, this, UiRoot(), *board_);
    boardWidget_->AddChild("upgrade", upgradeShop_);
    levelScreens_ = std::make_unique<TCShellScreens>(*this);
    levelScreens_->BuildComix(UiRoot());
    levelScreens_->BuildLevelDialogs(UiRoot());
    board_->SetLevelScreens(levelScreens_.get());
    escapeMenu_ = new TCBoard_EscapeMenu(this, UiRoot());
    escapeMenu_->hideShop = [this] { upgradeShop_->Hide(); };
    board_->LoadConfig(CfgRoot());
    BuildMiniGame(*hud);
}

void TCEngine3::BuildMiniGame(TBoard_Hud& hud)
{
    miniGame_ = new TCMiniGame(&hud, this);
    miniGame_->Build(UiRoot());
    miniGame_->SetBonusTarget([this](int kind, int strength) { board_->ApplyMiniGameBonus(kind, strength); });
    miniGame_->SetBlockingCheck([this] { return levelScreens_->IsLevelDialogVisible(); });
    DebugSettings().hooks.addMiniGamePiece = [this] { miniGame_->AddRandomPiece(); };
    hud.AddMiniGame(miniGame_);
}

void TCEngine3::LoadingThreadCompleted()
{
    TCEngine::LoadingThreadCompleted();
    // The widget manager belongs to the main thread. The last lies on top; the survival
    // screen takes its place after the career map.
    AttachMessageBoxes(this);
    for (Nubra::Widget* board : std::initializer_list<Nubra::Widget*>{menu_, loadScreen_, mainMenu_, options_, help_, hiScores_,
                                                                      career_, survival_, boardWidget_, escapeMenu_, splash_})
        widgetManager->AddWidget(board);
    splash_->onEnded = [this] { ShowMainMenu(); };
    if (DebugSettings().NoMainMenu)
        StartDeveloperLevel();
    else
        splash_->Show();
}

void TCEngine3::StartDeveloperLevel()
{
    const TCDebugSettings& settings = DebugSettings();
    splash_->SetVisible(false);
    boardWidget_->Show();
    // The career goes on from that day once it is won, as from a day its map started.
    if (!settings.InfinityGame)
        career_->SelectLevel(settings.DbgScene);
    board_->StartLevelLoad(settings.DbgScene, settings.InfinityGame);
}

void TCEngine3::ShowMainMenu()
{
    GetMusic().Change("menu");
    menu_->Show();
    mainMenu_->Show();
}

void TCEngine3::HideMainMenu()
{
    mainMenu_->Hide();
    menu_->Hide();
}

void TCEngine3::ShowLoadScreen()
{
    // The board gives up the focus as it hides, so it goes before the load screen takes it.
    menu_->Hide();
    boardWidget_->Hide();
    widgetManager->SetFocus(loadScreen_);
    widgetManager->BringToFront(loadScreen_);
    loadScreen_->Show();
}

void TCEngine3::HideLoadScreen() { loadScreen_->Hide(); }

void TCEngine3::StartLevel(int level, bool survival)
{
    HideMainMenu();
    // The career's bought upgrades are the current player's.
    if (!survival)
        board_->SetCareerUpgradeBytes(TheProfileStore().CurrentProfile().upgrades);
    board_->StartLevelLoad(level, survival);
}

void TCEngine3::LeaveLevel()
{
    boardWidget_->Hide();
    ShowMainMenu();
    board_->AbortLevel();
    StopSoundGroup("game");
}

bool TCEngine3::UpdateAppStep(bool& updated)
{
    AskPendingQuit();
    return TCEngine::UpdateAppStep(updated);
}

void TCEngine3::AskPendingQuit()
{
    if (quitPending_ && !IsMessageBoxOpen()) {
        quitPending_ = false;
        Shutdown();
    }
}

void TCEngine3::Shutdown()
{
    if (!IsMainThread()) {
        TCEngine::Shutdown(); // comes back here on the main thread
        return;
    }
    if (shutDown)
        return;
    // A terminal's quit is not the player's to decline.
    if (quitBySystem) {
        SaveAndShutDown();
        return;
    }
    if (!completionHandled || (splash_ && splash_->visible))
        return;
    // One box at a time: a question asked inside another would take over its answer.
    if (IsMessageBoxOpen()) {
        quitPending_ = true;
        return;
    }
    // Without the box in the content there is no one to ask.
    if (!gConfirm2 || ShowMessageBox2("quit") == kMessageBoxYes)
        SaveAndShutDown();
}

void TCEngine3::SaveAndShutDown()
{
    TheProfileStore().SaveTables();
    TCEngine::Shutdown();
}

void TCEngine3::SwitchScreenMode(bool toWindowed, bool is3D, bool force)
{
    TCEngine::SwitchScreenMode(toWindowed, is3D, force);
    TheProfileStore().Header().windowed = windowed ? 1 : 0;
}

void TCEngine3::ProfileSettings::SetMusicVolume(int percent) { ::SetMusicVolume(percent); }

void TCEngine3::ProfileSettings::SetSoundVolume(int percent) { ::SetSoundVolume(percent); }

void TCEngine3::ProfileSettings::SwitchScreenMode(bool toWindowed)
{
    if (game_.window.IsOpen())
        game_.SwitchScreenMode(toWindowed);
    else
        game_.windowed = toWindowed;
}
