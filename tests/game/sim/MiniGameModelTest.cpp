#include "game/sim/TCMiniGameModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Model = TCMiniGameModel;
constexpr float kWidth = 40.0f;
constexpr float kPanel = 1024.0f;

Model WithSlots(int slots = Model::kMaxPieces)
{
    Model model;
    model.SetSlots(std::vector<float>(size_t(slots), kWidth));
    model.SetPanelWidth(kPanel);
    return model;
}

// Pieces by letter (c coin, h happy, l clean, s speed, i ice), all brought to rest in one step.
void AddResting(Model& model, const std::string& kinds)
{
    const float speed = model.GetSpeed();
    for (char letter : kinds)
        model.Add(int(std::string("chlsi").find(letter)), true, false);
    model.SetSpeed(1e7f);
    model.Step(1.0f);
    model.SetSpeed(speed);
}

TEST(MiniGameModelTest, WeightsAreScaledToOneAndTooSmallOrNegativeOnesDealNothing)
{
    struct Row {
        Model::Weights raw, expected;
    };
    const Row rows[] = {
        {{0.004f, 0.004f, 0, 0, 0}, {0, 0, 0, 0, 0}},
        {{2, 6, 0, 0, 0}, {0.25f, 0.75f, 0, 0, 0}},
        {{1.5f, -0.5f, 0, 0, 0}, {1, 0, 0, 0, 0}},
        {{-1, -2, 0, 0, 0}, {0, 0, 0, 0, 0}},
        {{1, 1, 1, 1, 1}, {0.2f, 0.2f, 0.2f, 0.2f, 0.2f}},
    };
    for (const Row& row : rows) {
        Model model = WithSlots();
        model.SetWeights(row.raw);
        for (size_t kind = 0; kind < row.expected.size(); ++kind)
            EXPECT_FLOAT_EQ(model.GetWeights()[kind], row.expected[kind]) << "kind " << kind;
    }
}

TEST(MiniGameModelTest, RandomKindsFollowTheWeightsAndSkipTheKindOfTwoAlikeNewestPieces)
{
    Model model = WithSlots();
    model.SetWeights({0.004f, 0.004f, 0, 0, 0});
    EXPECT_EQ(model.ChooseKind(0.5f), -1) << "a total of 0.008 deals nothing";

    model.SetWeights({0, 0, 0, 3, 0});
    EXPECT_EQ(model.ChooseKind(0.99f), Model::kSpeed) << "the only kind";

    model.SetWeights({1, 3, 0, 0, 0});
    struct Row {
        float r;
        int kind;
    };
    for (Row row : {Row{0.0f, Model::kCoin}, Row{0.25f, Model::kCoin}, Row{0.26f, Model::kHappy}, Row{0.999f, Model::kHappy}})
        EXPECT_EQ(model.ChooseKind(row.r), row.kind) << row.r;

    AddResting(model, "cc");
    for (float r : {0.0f, 0.1f, 0.25f, 0.5f, 0.999f, 1.0f})
        EXPECT_EQ(model.ChooseKind(r), Model::kHappy) << r;
    AddResting(model, "h");
    EXPECT_EQ(model.ChooseKind(0.1f), Model::kCoin) << "the two newest differ";
}

TEST(MiniGameModelTest, ANegativeWeightCannotTrapTheDealWhenTheOnlyOtherKindIsLeftOut)
{
    Model model = WithSlots();
    model.SetWeights({3, -1, 1, 0, 0});
    AddResting(model, "cc");
    EXPECT_EQ(model.ChooseKind(0.7f), Model::kClean);
}

// A row of resting pieces, then pieces still on their way in; the first chain found.
TEST(MiniGameModelTest, ChainsAreRunsOfThreeOrMoreAmongTheRestingPiecesInFront)
{
    struct Row {
        const char* resting;
        const char* moving;
        int kind; // -1: no chain
        size_t first;
        int length;
    };
    const Row rows[] = {
        {"ccc", "", Model::kCoin, 0, 3},
        {"cccc", "", Model::kCoin, 0, 4},
        {"cc", "", -1, 0, 0},
        {"hccc", "", Model::kCoin, 1, 3},
        {"ccch", "", Model::kCoin, 0, 3},
        {"hhcccch", "", Model::kCoin, 2, 4},
        {"ccchhh", "", Model::kCoin, 0, 3},
        {"chchc", "", -1, 0, 0},
        {"cc", "c", -1, 0, 0},
        {"ccc", "c", Model::kCoin, 0, 3},
        {"h", "iii", -1, 0, 0},
    };
    for (const Row& row : rows) {
        Model model = WithSlots();
        AddResting(model, row.resting);
        model.SetSpeed(1.0f);
        for (const char* letter = row.moving; *letter; ++letter)
            model.Add(int(std::string("chlsi").find(*letter)), true, false);
        const auto chain = model.Step(0.01f);
        SCOPED_TRACE(std::string(row.resting) + "|" + row.moving);
        ASSERT_EQ(chain.has_value(), row.kind >= 0);
        if (!chain)
            continue;
        EXPECT_EQ(chain->kind, row.kind);
        EXPECT_EQ(chain->first, row.first);
        EXPECT_EQ(chain->length, row.length);
        EXPECT_EQ(chain->Strength(), row.length - 2);
    }
}

TEST(MiniGameModelTest, SlowPiecesDriftInBySubPixelsAndCloseUpFromTheLeft)
{
    Model model = WithSlots();
    model.SetSpeed(50.0f);
    model.Add(Model::kCoin, true, false);
    model.Add(Model::kHappy, true, false);
    model.Step(0.01f);
    EXPECT_FLOAT_EQ(model.GetPieces()[0].x, kPanel - 0.5f) << "half a pixel a step, not nothing";

    int steps = 1;
    while (model.GetPieces()[1].x != Model::kFirstX + kWidth && steps < 10000) {
        model.Step(0.01f);
        ++steps;
    }
    EXPECT_EQ(model.GetPieces()[0].x, Model::kFirstX) << "stopped exactly at the first place";
    EXPECT_EQ(model.GetPieces()[1].x, Model::kFirstX + kWidth);
    EXPECT_NEAR(steps, (kPanel - Model::kFirstX) / 0.5f, 2) << "at 50 px/s";

    model.Add(Model::kClean, true, true);
    EXPECT_EQ(model.GetPieces()[0].kind, Model::kClean) << "a piece at the front comes in from the left";
    EXPECT_EQ(model.GetPieces()[0].x, 0.0f);
}

TEST(MiniGameModelTest, TheRowHoldsAtMostItsCapacityAndDropsTheOldestForANewPiece)
{
    struct Row {
        int slots, capacity;
    };
    for (Row row : {Row{30, 18}, Row{18, 18}, Row{5, 5}}) {
        Model model = WithSlots(row.slots);
        EXPECT_EQ(model.GetCapacity(), row.capacity);
        std::optional<Model::Piece> dropped;
        for (int i = 0; i < row.capacity; ++i) {
            model.Add(i % Model::kKindCount, true, false, &dropped);
            EXPECT_FALSE(dropped);
        }
        const int oldestSlot = model.GetPieces().front().slot;
        const Model::Piece* added = model.Add(Model::kIce, true, false, &dropped);
        ASSERT_TRUE(added && dropped);
        EXPECT_EQ(dropped->kind, Model::kCoin);
        EXPECT_EQ(added->slot, oldestSlot) << "the dropped piece's slot is free again";
        EXPECT_EQ(int(model.GetPieces().size()), row.capacity);
    }
    Model none = WithSlots(0);
    EXPECT_EQ(none.Add(Model::kCoin, true, false), nullptr) << "a panel without trays deals nothing";
}

TEST(MiniGameModelTest, TakenPiecesHoldTheirSlotsUntilReleased)
{
    Model model = WithSlots(2);
    AddResting(model, "cc");
    const Model::Piece taken = model.Take(0);
    EXPECT_FALSE(model.IsSlotFree(taken.slot));
    model.Take(0);
    EXPECT_EQ(model.Add(Model::kHappy, true, false), nullptr) << "both slots are still flying";
    model.ReleaseSlot(taken.slot);
    const Model::Piece* added = model.Add(Model::kHappy, false, false);
    ASSERT_TRUE(added);
    EXPECT_EQ(added->slot, taken.slot);
    EXPECT_EQ(model.FindSlot(taken.slot), 0u);

    EXPECT_FALSE(model.GetPieces()[0].enabled);
    model.EnableAll();
    EXPECT_TRUE(model.GetPieces()[0].enabled);
    model.Clear();
    EXPECT_TRUE(model.GetPieces().empty());
    EXPECT_TRUE(model.IsSlotFree(0) && model.IsSlotFree(1));
}

} // namespace
