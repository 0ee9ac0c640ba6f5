#include "game/shell/TCBoard_Upgrade.h"

#include <algorithm>
#include <numeric>

#include "ShippedGame.h"
#include "engine/ui/TCText.h"
#include "game/shell/ShellControls.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCItemList.h"

namespace {

using fixtures::Game;
using UpgradeShop = fixtures::ShippedContent;

constexpr int kBossSpeedByte = 12;
constexpr int kEscape = 27;

// Ada's career reaches the level, which is loaded and played with her upgrade bytes.
TCBoard_Game3& StartLevel(Game& game, int level, bool survival = false)
{
    if (!TheProfileStore().IsCurrentProfileValid()) {
        EXPECT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    }
    TheProfileStore().CurrentProfile().highestLevel = std::max(TheProfileStore().CurrentProfile().highestLevel, level);
    game.StartLevel(level, survival);
    game.BeginDay();
    TCBoard_Game3& board = *game.GetGameBoard();
    board.SetCareerUpgradeBytes(TheProfileStore().CurrentProfile().upgrades);
    return board;
}

int OwnedCount()
{
    const auto& bytes = TheProfileStore().CurrentProfile().upgrades;
    return std::accumulate(bytes.begin(), bytes.end(), 0);
}

std::wstring Description(TCBoard_Upgrade& shop) { return FindBelow(&shop, "upgrade_description")->AsText()->GetLabel(); }

TEST_F(UpgradeShop, AfterANewestDayWonTheLastChoiceStaysAppliedAndTheCareerGoesOn)
{
    Game game;
    TCBoard_Game3& board = StartLevel(game, 2);
    TCBoard_Upgrade& shop = *game.GetUpgradeShop();
    auto& boss = dynamic_cast<TCBoss&>(*GetItemList().GetBoss());
    const float plainSpeed = boss.GetMoveSpeed();
    board.AddMoney(board.GetGoal());

    std::wstring asked;
    game.actions = {[&] {
        asked = gConfirm1->FindChild("text1")->AsText()->GetLabel();
        game.ClickOk();
    }};
    board.AfterLevelResult();
    EXPECT_EQ(asked, L"Time to shop");
    ASSERT_TRUE(shop.visible);
    ASSERT_GE(shop.GetOfferedCount(), 3);
    EXPECT_EQ(board.GetPauseCount(), 1);
    EXPECT_EQ(shop.GetSelected(), 0) << "the first offer comes chosen";
    EXPECT_EQ(TheProfileStore().CurrentProfile().upgrades[kBossSpeedByte], 1);
    EXPECT_FLOAT_EQ(boss.GetMoveSpeed(), plainSpeed + boss.GetParams()->speedAddUpgrade) << "the board applies it";
    EXPECT_EQ(Description(shop), L"Comfortable shoes: you walk faster.");
    EXPECT_FALSE(shop.GetSlotButton(shop.GetOfferedCount())->visible) << "no button without an offer";

    // Shown again or asked to escape, the shop stays as it is.
    board.ShowUpgradeShop();
    board.KeyUp(kEscape);
    EXPECT_TRUE(shop.visible);
    EXPECT_EQ(board.GetPauseCount(), 1);
    EXPECT_EQ(game.steps, 1) << "no question beyond the shop's own box";

    game.ClickOn(shop.GetSlotButton(1));
    game.ClickOn(shop.GetSlotButton(2));
    EXPECT_EQ(shop.GetSelected(), 2);
    EXPECT_EQ(OwnedCount(), 1) << "one choice at a time";
    EXPECT_EQ(TheProfileStore().CurrentProfile().upgrades[kBossSpeedByte], 0);
    EXPECT_FLOAT_EQ(boss.GetMoveSpeed(), plainSpeed);
    EXPECT_TRUE(FindBelow(shop.GetSlotButton(2)->GetParent(), "select")->visible);
    EXPECT_FALSE(FindBelow(shop.GetSlotButton(0)->GetParent(), "select")->visible);

    game.ClickOn(shop.GetCloseButton());
    EXPECT_FALSE(shop.visible);
    EXPECT_EQ(board.GetPauseCount(), 0);
    EXPECT_EQ(OwnedCount(), 1) << "the last choice is kept";
    EXPECT_TRUE(board.IsFinished());
    EXPECT_EQ(TheProfileStore().CurrentProfile().highestLevel, 3) << "the won day is entered";
    EXPECT_TRUE(PrefWritten());
}

TEST_F(UpgradeShop, WithNothingLeftToOfferItChoosesNothingAndStillCloses)
{
    Game game;
    TheProfileStore().CreateProfile(L"Ada");
    TheProfileStore().CurrentProfile().upgrades.fill(1);
    TCBoard_Game3& board = StartLevel(game, 2);
    TCBoard_Upgrade& shop = *game.GetUpgradeShop();
    board.ShowUpgradeShop();
    EXPECT_EQ(shop.GetOfferedCount(), 0);
    EXPECT_EQ(shop.GetSelected(), -1);
    for (int slot = 0; slot < TCBoard_Upgrade::kSlots; ++slot)
        EXPECT_FALSE(shop.GetSlotButton(slot)->visible) << slot;
    EXPECT_EQ(Description(shop), L"");
    game.ClickOn(shop.GetCloseButton());
    EXPECT_EQ(board.GetPauseCount(), 0);
    EXPECT_TRUE(board.IsFinished());
}

TEST_F(UpgradeShop, LeftThroughTheEscapeMenuItKeepsNothingUntilTheNextDayStarts)
{
    Game game;
    TCBoard_Game3& board = StartLevel(game, 3);
    TCBoard_Upgrade& shop = *game.GetUpgradeShop();
    TCItem& floor = *FindItemByName("floor");
    board.ShowUpgradeShop();
    ASSERT_EQ(shop.GetOfferedCount(), 1);
    EXPECT_EQ(floor.GetSkin(), board.GetUpgradeSkin()) << "the new floor is laid at once";

    board.AbandonLevel();
    shop.Hide();
    EXPECT_EQ(OwnedCount(), 0);
    EXPECT_EQ(floor.GetSkin(), "");
    EXPECT_FALSE(board.IsFinished()) << "the day was left, not finished";
    EXPECT_EQ(board.GetPauseCount(), 0);

    // The restart clears the flag: this time the shop carries the career on.
    StartLevel(game, 3);
    EXPECT_FALSE(board.IsLevelAbandoned());
    board.ShowUpgradeShop();
    game.ClickOn(shop.GetCloseButton());
    EXPECT_EQ(OwnedCount(), 1);
    EXPECT_TRUE(board.IsFinished());
}

TEST_F(UpgradeShop, InSurvivalItBuysForTheRunAndTheDayGoesOn)
{
    Game game;
    TCBoard_Game3& board = StartLevel(game, 1, true);
    TCBoard_Upgrade& shop = *game.GetUpgradeShop();
    board.GetPendingUpgrades().push_back(TCUpgrade::kFunctional);
    board.ShowUpgradeShop();
    EXPECT_GE(shop.GetOfferedCount(), 1);
    EXPECT_TRUE(board.IsUpgradeActive("boss", "speed"));
    game.ClickOn(shop.GetCloseButton());
    EXPECT_TRUE(board.IsRunning());
    EXPECT_FALSE(board.IsFinished());
    EXPECT_EQ(board.GetPauseCount(), 0);
    EXPECT_TRUE(board.IsUpgradeActive("boss", "speed"));
    EXPECT_EQ(OwnedCount(), 0) << "the career's upgrades are not survival's";
}

} // namespace
