#include "game/shell/TCBoard_Help.h"

#include "engine/core/TCSound.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_EscapeMenu.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCEngine3.h"
#include "game/sim/TCBoard_Game.h"
#include "game/sim/TCBoard_Game3.h"

TCBoard_Help::TCBoard_Help(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "help");
}

void TCBoard_Help::AddChild(const std::string& name, TCCandyWidget* child)
{
    TCDialog::AddChild(name, child);
    if (name == "prev_btn")
        prev_ = child;
    else if (name == "next_btn")
        next_ = child;
    else if (name == "close")
        close_ = child;
    else if (name.find("page_") != std::string::npos)
        pages_.push_back(child);
}

void TCBoard_Help::OnShow()
{
    game_->widgetManager->BringToFront(this);
    game_->widgetManager->SetFocus(this);
    turningBack_ = false;
    SetPage(0);
    PlaySound("window_open");
}

void TCBoard_Help::OnHide() { game_->widgetManager->SetFocus(game_->GetBoardWidget()); }

void TCBoard_Help::SetPage(int index)
{
    current_ = index;
    const int count = static_cast<int>(pages_.size());
    if (index >= 0 && index < count)
        game_->GetMainMenu()->TurnToPage(pages_[size_t(index)], turningBack_, TCBoard_MainMenu::kTurnToHelp);
    // Both close only beyond the page after the last: a help without pages still offers next.
    const bool offPages = index < 0 || index > count;
    if (prev_)
        prev_->SetDisabled(index == 0 || offPages);
    if (next_)
        next_->SetDisabled(index == count - 1 || offPages);
}

void TCBoard_Help::OnButtonClick(intptr_t id)
{
    if (Is(id, prev_)) {
        turningBack_ = true;
        SetPage(current_ - 1);
    } else if (Is(id, next_)) {
        turningBack_ = false;
        SetPage(current_ + 1);
    } else if (Is(id, close_)) {
        Close();
    }
}

void TCBoard_Help::Close()
{
    TCBoard_MainMenu& book = *game_->GetMainMenu();
    TCBoard_EscapeMenu& escapeMenu = *game_->GetEscapeMenu();
    Hide();
    if (!game_->GetGameBoard()->IsRunning()) {
        book.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
        return;
    }
    book.TurnToPage(escapeMenu.GetInnerDialog(), true, TCBoard_MainMenu::kTurnToMain);
    RunEffect("onshiftleft");
    escapeMenu.RunEffect("onshiftleft");
}
