#include "game/shell/TCBoard_EscapeMenu.h"

#include "engine/core/TCSound.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_Options.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

constexpr int kKeyEscape = 27;

} // namespace

TCBoard_EscapeMenu::TCBoard_EscapeMenu(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "escape_menu");
}

void TCBoard_EscapeMenu::AddChild(const std::string& name, TCCandyWidget* child)
{
    TCDialog::AddChild(name, child);
    if (name != "escape_dlg")
        return;
    inner_ = child;
    TCCandyWidget* page = child->FindChild("right_page");
    auto button = [page](const char* buttonName) { return page ? page->FindChild(buttonName) : nullptr; };
    restart_ = button("restart");
    resume_ = button("resume");
    settings_ = button("settings");
    help_ = button("help");
    quit_ = button("quit");
}

void TCBoard_EscapeMenu::OnShow()
{
    if (!holdsPause_) {
        holdsPause_ = true;
        game_->GetGameBoard()->Pause();
    }
    PlaySound("window_open");
    game_->widgetManager->SetFocus(this);
}

void TCBoard_EscapeMenu::OnShown()
{
    TCDialog::OnShown();
    game_->widgetManager->BringToFront(this);
}

void TCBoard_EscapeMenu::OnHide()
{
    game_->widgetManager->SetFocus(game_->GetBoardWidget());
    if (holdsPause_) {
        holdsPause_ = false;
        game_->GetGameBoard()->Resume();
    }
}

void TCBoard_EscapeMenu::KeyUp(int key)
{
    if (key == kKeyEscape)
        Hide();
}

void TCBoard_EscapeMenu::OnButtonClick(intptr_t id)
{
    if (Is(id, restart_)) {
        Restart();
    } else if (Is(id, resume_)) {
        Hide();
    } else if (Is(id, settings_)) {
        game_->GetOptions()->Show();
    } else if (Is(id, help_)) {
        game_->GetHelp()->Show();
        game_->GetHelp()->RunEffect("onshiftright");
    } else if (Is(id, quit_)) {
        Quit();
    }
}

bool TCBoard_EscapeMenu::ConfirmLeaving(const char* question)
{
    if (ShowMessageBox2(question) != kMessageBoxYes)
        return false;
    game_->GetGameBoard()->AbandonLevel();
    Hide();
    return true;
}

void TCBoard_EscapeMenu::HideShop()
{
    if (hideShop)
        hideShop();
}

void TCBoard_EscapeMenu::Restart()
{
    if (!ConfirmLeaving("restlvl"))
        return;
    game_->GetGameBoard()->RestartLevel();
    HideShop();
}

void TCBoard_EscapeMenu::Quit()
{
    if (!ConfirmLeaving("exitmenu"))
        return;
    HideShop();
    game_->LeaveLevel();
}
