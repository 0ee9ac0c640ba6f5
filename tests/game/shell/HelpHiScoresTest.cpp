#include "ShippedGame.h"
#include "game/shell/TCBoard_EscapeMenu.h"
#include "game/shell/TCBoard_Help.h"
#include "game/shell/TCBoard_HiScores.h"
#include "game/sim/TCBoard_Game3.h"

namespace {

using fixtures::Game;
using HelpAndHiScores = fixtures::ShippedContent;

// A help layout of its own with that many pages.
std::unique_ptr<TCBoard_Help> HelpWithPages(Game& game, int pages, pugi::xml_document& document)
{
    std::string xml = R"(<root><element name="help" type="tcdialog">)";
    for (int page = 0; page < pages; ++page)
        xml += R"(<element name="my_page_)" + std::to_string(page) + R"(" type="tcdialog"/>)";
    xml += R"(<element name="prev_btn" type="tcbutton"/><element name="next_btn" type="tcbutton"/>
              <element name="close" type="tcbutton"/></element></root>)";
    EXPECT_TRUE(document.load_string(xml.c_str()));
    return std::make_unique<TCBoard_Help>(&game, document.child("root"));
}

TEST_F(HelpAndHiScores, EachPageOffersTheWayToItsNeighbours)
{
    constexpr int kNone = -1;
    struct Case {
        int pages, index;
        bool prevDisabled, nextDisabled;
        int turnedTo;
    } cases[] = {
        {3, 0, true, false, 0},       {3, 1, false, false, 1},     {3, 2, false, true, 2},
        {3, 4, true, true, kNone},    {3, -1, true, true, kNone},  {1, 0, true, true, 0},
        {0, 0, true, false, kNone},   {0, 1, true, true, kNone},
    };
    Game game;
    TCBoard_MainMenu& book = *game.GetMainMenu();
    for (const Case& c : cases) {
        pugi::xml_document document;
        auto help = HelpWithPages(game, c.pages, document);
        ASSERT_EQ(help->GetPages().size(), size_t(c.pages));
        book.TurnToPage(nullptr, false, TCBoard_MainMenu::kTurnToMain);
        help->SetPage(c.index);
        const std::string at = std::to_string(c.pages) + " pages, page " + std::to_string(c.index);
        EXPECT_EQ(help->FindChild("prev_btn")->disabled, c.prevDisabled) << at;
        EXPECT_EQ(help->FindChild("next_btn")->disabled, c.nextDisabled) << at;
        EXPECT_EQ(book.GetLastTurn().page, c.turnedTo == kNone ? nullptr : help->GetPages()[size_t(c.turnedTo)]) << at;
        book.TurnToPage(nullptr, false, TCBoard_MainMenu::kTurnToMain);
    }
}

TEST_F(HelpAndHiScores, TheHelpOpensAtItsFirstPageAndTurnsBothWays)
{
    Game game;
    TCBoard_MainMenu& book = *game.GetMainMenu();
    book.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    TCBoard_Help& help = *game.GetHelp();
    ASSERT_EQ(help.GetPages().size(), 3u);
    for (int opening = 0; opening < 2; ++opening) {
        game.ClickOn(book.GetMainPage()->FindChild("help"));
        EXPECT_TRUE(help.visible);
        EXPECT_EQ(help.GetPageIndex(), 0) << "opening " << opening;
        EXPECT_TRUE(help.GetPages()[0]->visible);
        EXPECT_FALSE(book.GetMainPage()->visible);
        EXPECT_TRUE(help.FindChild("prev_btn")->disabled);

        game.ClickOn(help.FindChild("next_btn"));
        game.ClickOn(help.FindChild("next_btn"));
        EXPECT_EQ(help.GetPageIndex(), 2);
        EXPECT_FALSE(book.GetLastTurn().backward);
        EXPECT_EQ(book.GetLastTurn().kind, TCBoard_MainMenu::kTurnToHelp);
        EXPECT_TRUE(help.FindChild("next_btn")->disabled);
        game.ClickOn(help.FindChild("prev_btn"));
        EXPECT_EQ(help.GetPageIndex(), 1);
        EXPECT_TRUE(book.GetLastTurn().backward);
        EXPECT_TRUE(help.GetPages()[1]->visible);
        EXPECT_FALSE(help.GetPages()[2]->visible);

        game.ClickOn(help.FindChild("close"));
        EXPECT_FALSE(help.visible);
        EXPECT_TRUE(book.GetMainPage()->visible);
        EXPECT_EQ(book.GetPage(), nullptr);
    }
}

TEST_F(HelpAndHiScores, TheHelpOfADayReturnsToThePauseMenu)
{
    Game game;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    game.GetMainMenu()->TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    game.StartLevel(2, false);
    game.WaitForLevelLoading();
    game.GetGameBoard()->OnLevelLoaded();
    TCBoard_EscapeMenu& menu = *game.GetEscapeMenu();
    TCBoard_Help& help = *game.GetHelp();
    menu.Show();
    game.ClickOn(menu.GetInnerDialog()->FindChild("right_page")->FindChild("help"));
    EXPECT_TRUE(help.visible);
    EXPECT_EQ(game.widgetManager->children.back(), &help);
    EXPECT_TRUE(help.GetPages()[0]->visible);

    game.ClickOn(help.FindChild("close"));
    EXPECT_FALSE(help.visible);
    EXPECT_TRUE(menu.visible);
    EXPECT_TRUE(menu.GetInnerDialog()->visible);
    EXPECT_EQ(game.GetMainMenu()->GetLastTurn().page, menu.GetInnerDialog());
    EXPECT_TRUE(game.GetMainMenu()->GetLastTurn().backward);
    EXPECT_FALSE(game.GetMainMenu()->visible) << "never to the main menu";

    // Leaving the day, the book opens on its own main page again.
    game.actions = {[&] { game.ClickYes(); }};
    game.ClickOn(menu.GetInnerDialog()->FindChild("right_page")->FindChild("quit"));
    EXPECT_TRUE(game.GetMainMenu()->GetMainPage()->visible);
    EXPECT_EQ(game.GetMainMenu()->GetPage(), nullptr);
}

TEST_F(HelpAndHiScores, TheTablesShowEveryRowWithTheCurrentPlayersStandingOut)
{
    Game game;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    TCBoard_MainMenu& book = *game.GetMainMenu();
    book.TurnToPage(nullptr, true, TCBoard_MainMenu::kTurnToMain);
    TCHiScoreTable& career = TheProfileStore().GetHiScoreTable(false);
    TCHiScoreTable& survival = TheProfileStore().GetHiScoreTable(true);
    career[0] = {MakeName(L"Ada"), 900};
    career[13] = {MakeName(L""), 0};
    survival[1] = {MakeName(L"Ada"), 700};
    survival[12] = {MakeName(L"Ada"), 20};
    survival[13] = {MakeName(L"Adam"), 10};

    TCBoard_HiScores& hiScores = *game.GetHiScores();
    game.ClickOn(book.GetMainPage()->FindChild("hiscores"));
    EXPECT_TRUE(hiScores.GetInnerDialog()->visible);
    EXPECT_FALSE(book.GetMainPage()->visible);
    EXPECT_EQ(book.GetLastTurn().kind, TCBoard_MainMenu::kTurnToHiScores);
    EXPECT_FALSE(book.GetLastTurn().backward);

    struct Row {
        TCCandyWidget* page;
        const char* line;
        const char* score;
        std::wstring name, shown;
        bool enabled;
    } rows[] = {
        {hiScores.GetLeftPage(), "line00", "score00", L"Ada", L"900", true},
        {hiScores.GetLeftPage(), "line01", "score01", NameText(career[1].name), std::to_wstring(career[1].score), false},
        {hiScores.GetLeftPage(), "line013", "score013", L"", L"", false},
        {hiScores.GetRightPage(), "line11", "score11", L"Ada", L"700", true},
        {hiScores.GetRightPage(), "line112", "score112", L"Ada", L"20", true},
        {hiScores.GetRightPage(), "line113", "score113", L"Adam", L"10", false},
    };
    for (const Row& row : rows) {
        TCText* line = row.page->FindChild(row.line)->AsText();
        EXPECT_EQ(line->GetLabel(), row.name) << row.line;
        EXPECT_EQ(!line->disabled, row.enabled) << row.line;
        EXPECT_EQ(row.page->FindChild(row.score)->AsText()->GetLabel(), row.shown) << row.score;
    }

    game.ClickOn(hiScores.FindChild("close"));
    EXPECT_FALSE(hiScores.visible);
    EXPECT_FALSE(hiScores.GetInnerDialog()->visible);
    EXPECT_TRUE(book.GetMainPage()->visible);
}

} // namespace
