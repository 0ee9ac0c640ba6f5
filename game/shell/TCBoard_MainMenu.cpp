#include "game/shell/TCBoard_MainMenu.h"

#include <algorithm>
#include <vector>

#include "engine/core/Log.h"
#include "engine/ui/TCEditWidget.h"
#include "engine/ui/TCList.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_Career.h"
#include "game/shell/TCBoard_EscapeMenu.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_HiScores.h"
#include "game/shell/TCBoard_Options.h"
#include "game/shell/TCBoard_Survival.h"
#include "game/shell/TCEngine3.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCProfileStore.h"

namespace {

std::wstring Trimmed(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

} // namespace

TCBoard_MainMenu::TCBoard_MainMenu(TCEngine3* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app), game_(app)
{
    SetVisible(false);
    if (!FindDialogNode(uiRoot, "main_menu"))
        WriteLog("WARNING: The UI document has no main menu");
    mainPage_ = FindChild("main_page");
    profilePage_ = FindChild("profile_page");
    career_ = PageChild(mainPage_, "career");
    survival_ = PageChild(mainPage_, "survival");
    help_ = PageChild(mainPage_, "help");
    hiScores_ = PageChild(mainPage_, "hiscores");
    options_ = PageChild(mainPage_, "options");
    website_ = PageChild(mainPage_, "website");
    quit_ = PageChild(mainPage_, "quit");
    players_ = PageChild(mainPage_, "players");
    profiles_ = dynamic_cast<TCList*>(PageChild(profilePage_, "profiles"));
    newName_ = dynamic_cast<TCEditWidget*>(PageChild(profilePage_, "new_name"));
    create_ = PageChild(profilePage_, "create");
    select_ = PageChild(profilePage_, "select");
    delete_ = PageChild(profilePage_, "delete");
    back_ = PageChild(profilePage_, "back");
    if (profilePage_)
        profilePage_->SetVisible(false);
}

void TCBoard_MainMenu::ShowProfileName()
{
    TCProfileStore& store = TheProfileStore();
    const bool known = store.IsCurrentProfileValid();
    game_->SetTextVar("profile_name", known ? NameText(store.CurrentProfile().name) : L"");
    // Without a player the greeting would greet no one.
    if (TCCandyWidget* text = FindChild("profile_name"))
        text->SetVisible(known);
}

TCCandyWidget* TCBoard_MainMenu::PageChild(TCCandyWidget* page, const char* name) const
{
    return page ? page->FindChild(name) : nullptr;
}

void TCBoard_MainMenu::TurnToPage(TCCandyWidget* page, bool backward, int kind)
{
    lastTurn_ = {page, backward, kind};
    TCCandyWidget* shown = page_ ? page_ : mainPage_;
    TCCandyWidget* next = page ? page : mainPage_;
    page_ = page;
    if (shown == next)
        return;
    if (shown)
        shown->Hide();
    if (next)
        next->Show();
    if (next && next == profilePage_) {
        ShowProfiles();
        game_->widgetManager->SetFocus(newName_);
    }
}

void TCBoard_MainMenu::OnShow()
{
    // The help opened in a level turned back to the escape menu, which is no page of this book.
    const TCBoard_EscapeMenu* escapeMenu = game_->GetEscapeMenu();
    if (page_ && escapeMenu && page_ == escapeMenu->GetInnerDialog()) {
        page_ = nullptr;
        if (mainPage_)
            mainPage_->SetVisible(true);
    }
    ShowProfileName();
    // A new player names themselves before anything else.
    if (!TheProfileStore().IsCurrentProfileValid())
        TurnToPage(profilePage_, false, kTurnToMain);
}

void TCBoard_MainMenu::OnButtonClick(intptr_t id)
{
    if (Is(id, career_)) {
        if (RequireProfile())
            TurnToPage(game_->GetCareer(), false, kTurnToCareer);
    } else if (Is(id, survival_)) {
        if (RequireProfile())
            TurnToPage(game_->GetSurvival(), false, kTurnToMain);
    } else if (Is(id, help_)) {
        game_->GetHelp()->Show();
    } else if (Is(id, hiScores_)) {
        game_->GetHiScores()->Show();
    } else if (Is(id, options_)) {
        game_->GetOptions()->Show();
    } else if (Is(id, players_)) {
        TurnToPage(profilePage_, false, kTurnToMain);
    } else if (Is(id, website_)) {
        game_->OpenURL(kWebsite, false);
    } else if (Is(id, quit_)) {
        game_->Shutdown();
    } else if (Is(id, create_)) {
        CreateProfile();
    } else if (Is(id, select_)) {
        SelectProfile();
    } else if (Is(id, delete_)) {
        DeleteProfile();
    } else if (Is(id, back_)) {
        if (RequireProfile())
            TurnToPage(nullptr, true, kTurnToMain);
    }
}

bool TCBoard_MainMenu::RequireProfile()
{
    if (TheProfileStore().IsCurrentProfileValid())
        return true;
    TurnToPage(profilePage_, false, kTurnToMain);
    return false;
}

void TCBoard_MainMenu::CreateProfile()
{
    if (!newName_)
        return;
    const std::wstring name = Trimmed(newName_->GetText());
    std::vector<TCPlayerProfile> known;
    TheProfileStore().ReadAllProfiles(known);
    const std::wstring stored = NameText(MakeName(name));
    const bool taken = std::any_of(known.begin(), known.end(),
                                   [&stored](const TCPlayerProfile& profile) { return NameText(profile.name) == stored; });
    // Two players of one name could not tell their careers apart.
    if (name.empty() || taken) {
        game_->widgetManager->SetFocus(newName_);
        return;
    }
    TheProfileStore().CreateProfile(name);
    newName_->SetText(L"");
    ShowProfileName();
    TurnToPage(nullptr, true, kTurnToMain);
}

void TCBoard_MainMenu::SelectProfile()
{
    if (!profiles_ || !TheProfileStore().ReadProfile(profiles_->GetSelected()))
        return;
    ShowProfileName();
    TurnToPage(nullptr, true, kTurnToMain);
}

void TCBoard_MainMenu::DeleteProfile()
{
    if (!profiles_ || profiles_->GetItems().empty())
        return;
    const int index = profiles_->GetSelected();
    if (ShowMessageBox2("delprof") != kMessageBoxYes)
        return;
    TheProfileStore().DeleteProfile(index);
    ShowProfileName();
    ShowProfiles();
}

void TCBoard_MainMenu::ShowProfiles()
{
    if (!profiles_)
        return;
    std::vector<TCPlayerProfile> known;
    TheProfileStore().ReadAllProfiles(known);
    profiles_->Clear();
    for (const TCPlayerProfile& profile : known)
        profiles_->AddItem(NameText(profile.name));
    const int current = TheProfileStore().IsCurrentProfileValid() ? TheProfileStore().Header().currentProfile : -1;
    profiles_->SetCheckRow(current);
    profiles_->SetSelected(std::max(current, 0));
}
