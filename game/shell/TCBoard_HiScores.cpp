#include "game/shell/TCBoard_HiScores.h"

#include <string>

#include "engine/core/TCSound.h"
#include "engine/ui/TCText.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"

namespace {

TCText* PageText(TCCandyWidget* page, const char* prefix, int table, size_t row)
{
    TCCandyWidget* found = page->FindChild(prefix + std::to_string(table) + std::to_string(row));
    return found ? found->AsText() : nullptr;
}

} // namespace

TCBoard_HiScores::TCBoard_HiScores(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "hiscores");
}

void TCBoard_HiScores::AddChild(const std::string& name, TCCandyWidget* child)
{
    TCDialog::AddChild(name, child);
    if (name == "close") {
        close_ = child;
    } else if (name == "hiscores_dlg") {
        inner_ = child;
        rightPage_ = child->FindChild("right_page");
        leftPage_ = child->FindChild("left_page");
    }
}

void TCBoard_HiScores::OnShow()
{
    FillPage(rightPage_, 1, true);
    FillPage(leftPage_, 0, false);
    game_->GetMainMenu()->TurnToPage(inner_, false, TCBoard_MainMenu::kTurnToHiScores);
    game_->widgetManager->SetFocus(this);
    PlaySound("window_open");
}

void TCBoard_HiScores::FillPage(TCCandyWidget* page, int table, bool survival)
{
    if (!page)
        return;
    TCProfileStore& store = TheProfileStore();
    // Before anyone is chosen no row is the player's.
    const std::wstring player = store.IsCurrentProfileValid() ? NameText(store.CurrentProfile().name) : L"";
    const TCHiScoreTable& rows = store.GetHiScoreTable(survival);
    for (size_t r = 0; r < rows.size(); ++r) {
        const std::wstring name = NameText(rows[r].name);
        if (TCText* line = PageText(page, "line", table, r)) {
            line->SetLabel(name);
            line->SetDisabled(player.empty() || name != player);
        }
        if (TCText* score = PageText(page, "score", table, r))
            score->SetLabel(name.empty() ? L"" : std::to_wstring(rows[r].score));
    }
}

void TCBoard_HiScores::OnButtonClick(intptr_t id)
{
    if (!Is(id, close_))
        return;
    Hide();
    game_->GetMainMenu()->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
}
