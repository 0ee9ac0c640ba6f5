#include "game/shell/TCMiniGame.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ShippedGame.h"
#include "engine/core/GameClock.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/UiFixture.h"
#include "framework/util/StringUtils.h"
#include "game/shell/TCBoard_Briefing.h"
#include "game/shell/TCShellScreens.h"
#include "game/shell/TCShellScreens.h"
#include "game/sim/CafeConfig.h"
#include "game/sim/TCBoard_Game3.h"
#include "game/sim/TCLevelGoals.h"
#include "game/sim/TCTutorialScript.h"
#include "game/sim/TutorialPort.h"

namespace {

using Model = TCMiniGameModel;

std::string Layout(int trays, int effects, int coins)
{
    std::string text = R"(<ui><element name="minigame" type="tcdialog" width="1024" height="768">)";
    for (int i = 0; i < trays; ++i)
        text += R"(<element name="tray" type="tcbutton" width="40" height="40">
                     <texture id="normal" texture="pic"/><texture id="over" texture="pic"/></element>)";
    for (int i = 0; i < effects; ++i)
        text += R"(<element name="effect_elem" type="tctext" width="60" height="60"/>)";
    for (int i = 0; i < coins; ++i)
        text += R"(<element name="coin_anim" type="tctext" width="60" height="60"/>)";
    return text + "</element></ui>";
}

class MiniGameTest : public fixtures::UiTest {
protected:
    void SetUp() override
    {
        UiTest::SetUp();
        for (int kind = 0; kind < Model::kKindCount; ++kind) {
            const TCMiniGamePieceImages ids = TCMiniGamePieceImages::ForKind(kind);
            for (const std::string& id : {ids.normal, ids.over, ids.glow})
                fake_.table.Add(id, id + ".png");
        }
        gFrameTime = 0.01f;
    }
    void TearDown() override
    {
        LevelGoals().Load(pugi::xml_node());
        SetTutorialGate(nullptr);
        gFrameTime = 0.0f;
        UiTest::TearDown();
    }

    TCMiniGame* Build(int trays = 6, int effects = 6, int coins = 1)
    {
        game_ = OnScreen(new TCMiniGame(nullptr, &engine_));
        game_->Build(Xml(Layout(trays, effects, coins)));
        game_->SetBonusTarget([this](int kind, int strength) { bonuses_.emplace_back(kind, strength); });
        game_->SetBlockingCheck([this] { return blocked_; });
        return game_;
    }
    void StartLevel(const std::string& params)
    {
        pugi::xml_document level;
        level.load_string(("<level>" + params + "</level>").c_str());
        game_->LoadLevel(level.child("level"));
        LevelGoals().Load(level.child("level"));
        game_->Clear();
    }
    // Steps until a chain is granted or the limit runs out.
    void StepUntilBonus(int limit = 5000)
    {
        for (int i = 0; i < limit && bonuses_.empty(); ++i)
            Step();
    }
    TCCandyWidget* TrayOf(size_t index) { return game_->GetTray(game_->GetModel().GetPieces().at(index).slot); }
    void Click(TCCandyWidget* tray) { game_->OnButtonClick(dynamic_cast<TCButton*>(tray)->GetId()); }

    TCMiniGame* game_ = nullptr;
    std::vector<std::pair<int, int>> bonuses_;
    bool blocked_ = false;
};

TEST_F(MiniGameTest, SlowPiecesDriftIntoTheTrayAndTheirChainGrantsTheBonusWithACoin)
{
    Build();
    StartLevel(R"(<partparams bonus_coin="1" speed="50"/>)");
    for (int i = 0; i < 3; ++i)
        game_->AddRandomPiece();
    TCCandyWidget* first = TrayOf(0);
    EXPECT_TRUE(first->visible);
    Step(10);
    EXPECT_EQ(first->x, 1024 - 5) << "half a pixel a step at 50 px/s";
    EXPECT_EQ(first->y, 715);

    StepUntilBonus();
    ASSERT_EQ(bonuses_.size(), 1u);
    EXPECT_EQ(bonuses_[0], std::make_pair(int(Model::kCoin), 1));
    EXPECT_TRUE(game_->GetModel().GetPieces().empty());
    EXPECT_FALSE(first->visible) << "no task counts coins, so the piece hides where it is";
    TCCandyWidget* coin = game_->FindChild("coin_anim");
    EXPECT_TRUE(coin->visible);
    EXPECT_EQ(coin->x, 3 * 50 / 2 + 17 - 200);
    EXPECT_EQ(coin->y, 715 - 210);
    Step();
    EXPECT_FALSE(coin->visible) << "without an effect to play it goes on the next step";
}

TEST_F(MiniGameTest, ChainedPiecesOfACountedKindFlyToTheDisplayAndCountTheirTask)
{
    Build();
    StartLevel(R"(<partparams bonus_happy="1" speed="1000"/><achparams coin="0" happy="2" clean="0" speed="0" ice="0"/>)");
    for (int i = 0; i < 4; ++i)
        game_->AddPieceOfKind(Model::kHappy, true, false);
    StepUntilBonus();
    ASSERT_EQ(bonuses_.size(), 1u);
    EXPECT_EQ(bonuses_[0], std::make_pair(int(Model::kHappy), 2));
    EXPECT_EQ(game_->GetFlightCount(), 4u);
    EXPECT_EQ(LevelGoals().GetRemaining(Model::kHappy), 2) << "counted as they land";

    Step(200);
    EXPECT_EQ(game_->GetFlightCount(), 0u);
    EXPECT_EQ(LevelGoals().GetRemaining(Model::kHappy), 0);
    for (int slot = 0; slot < 4; ++slot) {
        EXPECT_TRUE(game_->GetModel().IsSlotFree(slot));
        EXPECT_FALSE(game_->GetTray(slot)->visible);
    }
}

TEST_F(MiniGameTest, TheRowHoldsNoMorePiecesThanTraysAndEffectElements)
{
    Build(3, 2);
    StartLevel(R"(<partparams bonus_coin="1" bonus_ice="1" speed="50"/>)");
    EXPECT_EQ(game_->GetModel().GetCapacity(), 2);
    game_->AddPieceOfKind(Model::kCoin, true, false);
    TCCandyWidget* oldest = TrayOf(0);
    game_->AddPieceOfKind(Model::kIce, true, false);
    game_->AddPieceOfKind(Model::kIce, true, false);
    EXPECT_EQ(game_->GetModel().GetPieces().size(), 2u);
    EXPECT_EQ(game_->GetModel().GetPieces()[0].kind, Model::kIce);
    EXPECT_TRUE(oldest->visible) << "its tray took the newest piece";
    EXPECT_TRUE(bonuses_.empty());
}

TEST_F(MiniGameTest, APanelWithoutTraysOrWeightsDealsNothing)
{
    Build(0, 3, 0);
    StartLevel(R"(<partparams bonus_coin="1" speed="50"/>)");
    game_->AddRandomPiece();
    EXPECT_TRUE(game_->GetModel().GetPieces().empty());

    Build();
    StartLevel(R"(<partparams bonus_coin="0.004" bonus_ice="0.004" speed="50"/>)");
    for (int i = 0; i < 10; ++i)
        game_->AddRandomPiece();
    EXPECT_TRUE(game_->GetModel().GetPieces().empty());
}

TEST_F(MiniGameTest, AClickRemovesAnEnabledPieceOnlyWhileTheGameRunsAndNoDialogIsUp)
{
    struct Row {
        bool enabled, held, blocked, removed;
    };
    for (Row row : {Row{true, false, false, true}, Row{false, false, false, false}, Row{true, true, false, false},
                    Row{true, false, true, false}}) {
        Build();
        StartLevel(R"(<partparams bonus_coin="1" speed="50"/>)");
        game_->AddPieceOfKind(Model::kCoin, row.enabled, false);
        blocked_ = row.blocked;
        SetTutorialGate([held = row.held](int action) { return held && action == kTutorialActionRun; });
        TCCandyWidget* tray = TrayOf(0);
        Click(tray);
        EXPECT_EQ(game_->GetModel().GetPieces().empty(), row.removed)
            << row.enabled << row.held << row.blocked;
        EXPECT_EQ(tray->visible, !row.removed);
    }
}

TEST_F(MiniGameTest, TheTutorialsPiecesWaitToBeEnabledAndItsEndEnablesThemAll)
{
    Build();
    StartLevel(R"(<partparams bonus_coin="1" speed="50"/>)");
    for (int kind : {Model::kCoin, Model::kClean, Model::kHappy})
        game_->AddPieceOfKind(kind, false, false);
    EXPECT_TRUE(TrayOf(2)->disabled);
    game_->EnablePiece(3);
    EXPECT_FALSE(TrayOf(2)->disabled);
    EXPECT_TRUE(TrayOf(0)->disabled);
    game_->EnablePiece(9);
    game_->EnableAllPieces();
    for (size_t i = 0; i < 3; ++i)
        EXPECT_FALSE(TrayOf(i)->disabled) << i;

    game_->Clear();
    EXPECT_TRUE(game_->GetModel().GetPieces().empty());
    for (int slot = 0; slot < 3; ++slot)
        EXPECT_FALSE(game_->GetTray(slot)->visible);
}

} // namespace

namespace {

using Shipped = fixtures::ShippedContent;

// The shipped game in a level of the career: pieces the rush bonus would deal drift into the tray
// over the display, and three coins pay the level's coin bonus.
TEST_F(Shipped, PiecesDriftIntoTheTrayOfARunningLevelAndACoinChainPaysItsBonus)
{
    fixtures::Game game;
    ASSERT_TRUE(TheProfileStore().CreateProfile(L"Ada"));
    game.StartLevel(2, false);
    game.WaitForLevelLoading();
    TCBoard_Game3& board = *game.GetGameBoard();
    board.OnLevelLoaded();
    ASSERT_TRUE(board.IsRunning());
    game.GetLevelScreens()->GetBriefing()->Hide(); // the day begins
    TCMiniGame& miniGame = *game.GetMiniGame();
    ASSERT_EQ(miniGame.GetModel().GetCapacity(), Model::kMaxPieces);
    EXPECT_TRUE(miniGame.IsVisibleInTree());

    for (int i = 0; i < 3; ++i)
        miniGame.AddPieceOfKind(Model::kCoin, true, false);
    TCCandyWidget* first = miniGame.GetTray(miniGame.GetModel().GetPieces().front().slot);
    const int money = board.GetMoney();
    int startX = first->x, steps = 0;
    while (board.GetMoney() == money && steps < 1000) {
        game.widgetManager->UpdateFrame();
        ++steps;
        if (steps == 10) {
            EXPECT_LT(first->x, startX) << "drifting in";
            EXPECT_TRUE(first->IsVisibleInTree());
        }
    }
    EXPECT_EQ(board.GetMoney(), money + gLevelParams.valBonusCoin3);
    EXPECT_TRUE(miniGame.GetModel().GetPieces().empty());
    // The career's first coin chain explains itself, holding the game until its tip is closed.
    EXPECT_TRUE(TutorialForbids(kTutorialActionRun));
    GetTutorial().OnTutorialDialogClosed();
    EXPECT_FALSE(TutorialForbids(kTutorialActionRun));

    // Outside the lessons the rush bonus deals a random piece to click; the lessons' own kinds
    // wait for them, and their end opens every piece.
    board.StartRushBonusPiece();
    ASSERT_EQ(miniGame.GetModel().GetPieces().size(), 1u);
    EXPECT_TRUE(miniGame.GetModel().GetPieces()[0].enabled);
    TCShellScreens(game).AddMiniGamePiece(Model::kIce);
    EXPECT_FALSE(miniGame.GetModel().GetPieces()[1].enabled);
    board.EnableAllMiniGamePieces();
    EXPECT_TRUE(miniGame.GetModel().GetPieces()[1].enabled);
}

} // namespace
