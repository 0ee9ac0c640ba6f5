#include "game/shell/TCBoard_MainMenu.h"

#include "ShippedGame.h"
#include "engine/core/TCCursorSet.h"
#include "engine/core/TCTexture.h"
#include "engine/ui/TCEditWidget.h"
#include "engine/ui/TCList.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_HiScores.h"
#include "game/shell/TCBoard_Menu.h"
#include "game/shell/TCBoard_Options.h"

namespace {

using fixtures::Game;
using MainMenu = fixtures::ShippedContent;

TCCandyWidget* Button(TCCandyWidget* page, const char* name)
{
    TCCandyWidget* button = page->FindChild(name);
    EXPECT_NE(button, nullptr) << name;
    return button;
}

TCList& Profiles(TCBoard_MainMenu& menu) { return *dynamic_cast<TCList*>(menu.GetProfilePage()->FindChild("profiles")); }

void Type(Game& game, const std::wstring& text)
{
    for (wchar_t c : text)
        game.widgetManager->KeyChar(char16_t(c));
}

std::vector<std::wstring> StoredNames()
{
    std::vector<TCPlayerProfile> known;
    TheProfileStore().ReadAllProfiles(known);
    std::vector<std::wstring> names;
    for (const TCPlayerProfile& profile : known)
        names.push_back(NameText(profile.name));
    return names;
}

// Creates a player through the profile page, which must be up.
void CreatePlayer(Game& game, const std::wstring& name)
{
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    game.ClickOn(menu.GetProfilePage()->FindChild("new_name"));
    Type(game, name);
    game.ClickOn(Button(menu.GetProfilePage(), "create"));
}

TEST_F(MainMenu, ANewPlayerNamesThemselvesFirstAndTheNameIsShown)
{
    Game game;
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    EXPECT_TRUE(menu.visible);
    EXPECT_TRUE(game.GetMenuBackground()->visible);
    ASSERT_NE(game.GetMenuBackground()->GetBackground(), nullptr);
    EXPECT_NE(game.GetMenuBackground()->GetBackground()->GetCurrentFrame(), nullptr) << "the background is declared";
    EXPECT_EQ(menu.GetPage(), menu.GetProfilePage()) << "no player yet";
    EXPECT_TRUE(menu.GetProfilePage()->visible);
    EXPECT_FALSE(menu.GetMainPage()->visible);
    EXPECT_FALSE(menu.FindChild("profile_name")->visible) << "no one to greet";

    // Nothing to name, a name of blanks, and a name taken: the page stays and nothing is stored.
    game.ClickOn(Button(menu.GetProfilePage(), "create"));
    CreatePlayer(game, L"   ");
    EXPECT_EQ(menu.GetPage(), menu.GetProfilePage());
    EXPECT_TRUE(StoredNames().empty());
    game.ClickOn(Button(menu.GetProfilePage(), "back"));
    EXPECT_EQ(menu.GetPage(), menu.GetProfilePage()) << "no way back without a player";

    auto* name = dynamic_cast<TCEditWidget*>(menu.GetProfilePage()->FindChild("new_name"));
    name->SetText(L"");
    CreatePlayer(game, L" Ada ");
    EXPECT_EQ(StoredNames(), std::vector<std::wstring>{L"Ada"}) << "blanks around the name go";
    EXPECT_EQ(menu.GetPage(), nullptr) << "back to the main page";
    EXPECT_TRUE(menu.GetMainPage()->visible);
    EXPECT_FALSE(menu.GetProfilePage()->visible);
    game.widgetManager->UpdateFrame();
    EXPECT_TRUE(menu.FindChild("profile_name")->visible);
    EXPECT_EQ(menu.FindChild("profile_name")->AsText()->GetDisplayedText(), L"Welcome, Ada");

    game.ClickOn(Button(menu.GetMainPage(), "players"));
    EXPECT_EQ(Profiles(menu).GetItems(), std::vector<std::wstring>{L"Ada"});
    EXPECT_EQ(Profiles(menu).GetCheckRow(), 0) << "the current player is checked";
    CreatePlayer(game, L"Ada");
    EXPECT_EQ(StoredNames().size(), 1u) << "one player of a name";
    EXPECT_EQ(menu.GetPage(), menu.GetProfilePage());
}

TEST_F(MainMenu, PlayersAreChosenAndDeletedOnlyAfterTheQuestion)
{
    Game game;
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    CreatePlayer(game, L"Ada");
    game.ClickOn(Button(menu.GetMainPage(), "players"));
    CreatePlayer(game, L"Bo");
    game.widgetManager->UpdateFrame();
    EXPECT_EQ(game.GetTextVar("profile_name"), L"Bo") << "a new player plays at once";

    game.ClickOn(Button(menu.GetMainPage(), "players"));
    EXPECT_EQ(Profiles(menu).GetItems(), (std::vector<std::wstring>{L"Ada", L"Bo"}));
    EXPECT_EQ(Profiles(menu).GetSelected(), 1);
    Profiles(menu).SetSelected(0);
    game.ClickOn(Button(menu.GetProfilePage(), "select"));
    EXPECT_EQ(NameText(TheProfileStore().CurrentProfile().name), L"Ada");
    EXPECT_EQ(game.GetTextVar("profile_name"), L"Ada");
    EXPECT_EQ(menu.GetPage(), nullptr);

    game.ClickOn(Button(menu.GetMainPage(), "players"));
    std::wstring asked;
    game.actions = {[&] { asked = game.Question(); }, [&] { game.ClickNo(); }};
    game.ClickOn(Button(menu.GetProfilePage(), "delete"));
    EXPECT_EQ(asked, L"Delete this player?");
    EXPECT_EQ(StoredNames().size(), 2u) << "kept on no";

    game.actions = {[&] { game.ClickYes(); }};
    game.ClickOn(Button(menu.GetProfilePage(), "delete"));
    EXPECT_EQ(StoredNames(), std::vector<std::wstring>{L"Bo"});
    EXPECT_EQ(Profiles(menu).GetItems(), std::vector<std::wstring>{L"Bo"});
    EXPECT_EQ(game.GetTextVar("profile_name"), L"Bo") << "the player left takes over";

    game.actions = {[&] { game.ClickYes(); }};
    game.ClickOn(Button(menu.GetProfilePage(), "delete"));
    EXPECT_TRUE(StoredNames().empty());
    EXPECT_FALSE(TheProfileStore().IsCurrentProfileValid());
    EXPECT_EQ(game.GetTextVar("profile_name"), L"");
    game.ClickOn(Button(menu.GetProfilePage(), "delete"));
    EXPECT_EQ(game.steps, 4) << "an empty list asks nothing";
}

TEST_F(MainMenu, TheMainPageLeadsOnwardAndTheBookTurnsToOtherPages)
{
    Game game;
    TCBoard_MainMenu& menu = *game.GetMainMenu();
    CreatePlayer(game, L"Ada");
    TCCandyWidget* page = menu.GetMainPage();
    const std::pair<const char*, TCCandyWidget*> screens[] = {
        {"help", game.GetHelp()}, {"hiscores", game.GetHiScores()}, {"options", game.GetOptions()}};
    for (auto [name, screen] : screens) {
        game.ClickOn(Button(page, name));
        EXPECT_TRUE(screen->visible) << name;
        screen->Hide();
        menu.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    }

    game.ClickOn(Button(page, "website"));
    EXPECT_EQ(game.opened, std::vector<std::string>{TCBoard_MainMenu::kWebsite});

    game.widgetManager->MouseMove(512, 210);
    EXPECT_EQ(game.GetCursorSet().GetMode(), "active") << "over a button";

    TCCandyWidget* other = game.GetLoadScreen();
    menu.TurnToPage(other, false, TCBoard_MainMenu::kTurnToHelp);
    EXPECT_TRUE(other->visible);
    EXPECT_FALSE(page->visible);
    menu.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    EXPECT_FALSE(other->visible);
    EXPECT_TRUE(page->visible);

    game.actions = {[&] { game.ClickNo(); }};
    game.ClickOn(Button(page, "quit"));
    EXPECT_EQ(game.steps, 1) << "asked";
    EXPECT_FALSE(game.shutDown);
    game.actions = {[&] { game.ClickYes(); }};
    game.ClickOn(Button(page, "quit"));
    EXPECT_TRUE(game.shutDown);
}

} // namespace
