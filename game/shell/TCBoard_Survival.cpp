#include "game/shell/TCBoard_Survival.h"

#include <string>

#include "engine/core/Log.h"
#include "engine/core/TCSound.h"
#include "game/shell/CareerProgress.h"
#include "game/shell/ShellControls.h"
#include "game/shell/TCBoard_MainMenu.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCProfileStore.h"

TCBoard_Survival::TCBoard_Survival(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    if (!FindDialogNode(uiRoot, "survival_menu"))
        WriteLog("WARNING: The UI document has no survival screen");
    cancel_ = FindBelow(this, "cancel_button");
    play_ = FindBelow(this, "play_button");
    for (int i = 0; i < kCafes; ++i) {
        const std::string prefix = "cafe" + std::to_string(i + 1);
        Cafe& cafe = cafes_[size_t(i)];
        cafe.button = FindBelow(this, prefix + "_button");
        cafe.text = FindBelow(this, prefix + "_text");
        cafe.smallPhoto = FindBelow(this, prefix + "_small_photo");
        cafe.photo = FindBelow(this, prefix + "_photo");
        cafe.head = FindBelow(this, prefix + "_head");
        cafe.desc = FindBelow(this, prefix + "_desc");
    }
}

void TCBoard_Survival::ChooseCafe(int cafe)
{
    chosen_ = cafe;
    Refresh();
}

void TCBoard_Survival::Refresh()
{
    const TCPlayerProfile& profile = TheProfileStore().CurrentProfile();
    chosen_ = OpenSurvivalCafe(profile, chosen_);
    for (int i = 0; i < kCafes; ++i) {
        const Cafe& cafe = cafes_[size_t(i)];
        const bool open = IsCafeOpen(profile, i + 1);
        const bool chosen = chosen_ == i + 1;
        SetControlEnabled(cafe.button, open);
        SetControlEnabled(cafe.smallPhoto, open);
        for (TCCandyWidget* control : {cafe.button, cafe.text, cafe.smallPhoto})
            SetControlShown(control, true);
        for (TCCandyWidget* control : {cafe.photo, cafe.head, cafe.desc})
            SetControlShown(control, chosen);
    }
}

void TCBoard_Survival::OnShow()
{
    Refresh();
    PlaySound("briefing_show");
    if (TCBoard_MainMenu* menu = game_->GetMainMenu(); menu && menu->GetPage() != this)
        menu->TurnToPage(this, false, TCBoard_MainMenu::kTurnToMain);
}

void TCBoard_Survival::OnButtonClick(intptr_t id)
{
    if (Is(id, cancel_) || Is(id, play_)) {
        // The book is on its main page again when the menu next comes back.
        game_->GetMainMenu()->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
        if (Is(id, play_))
            game_->StartLevel(chosen_, true);
        return;
    }
    for (int i = 0; i < kCafes; ++i)
        if (Is(id, cafes_[size_t(i)].button) || Is(id, cafes_[size_t(i)].smallPhoto))
            ChooseCafe(i + 1);
}
