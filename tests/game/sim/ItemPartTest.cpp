#include <gtest/gtest.h>

#include "ItemFixtures.h"
#include "game/sim/TCItemPart.h"

namespace simtest {
namespace {

class ItemParts : public ItemWorld {
protected:
    std::string Effects() const override
    {
        // Made transparent as soon as it exists.
        return "<effects><effect name='ghost'><timers>"
               "<timer name='t' type='usual' ftime='1' direction='forward'>"
               "<control id='1' type='point' starttime='0' function='EffectFadeIn' active='1'/></timer>"
               "</timers><messages><message name='oncreate' timer_id='t' command='start'/></messages>"
               "</effect></effects>";
    }
    // The item's only part, made from the inside of its "object" element.
    TCItemPart& Part(const std::string& object)
    {
        CreateScene("<object class='item' name='x'>" + object + "</object>");
        return *FindItemByName("x")->GetParts().at(0);
    }
};

TEST_F(ItemParts, ClipNamesJoinPartSkinOrientationAndAnimation)
{
    WriteAnimation("boss", {MakeClip("bossbboss_move_empty"), MakeClip("bossrboss_move_empty"),
                            MakeClip("bossblueidle")});
    WriteAnimation("checkmark", {MakeClip("checkmarkidle")});
    struct Case {
        const char* part;
        const char* skin;
        const char* animation;
        const char* clip;
        bool mirrored;
    };
    const Case cases[] = {
        {"<part name='boss' orient='b'/>", "", "boss_move_empty", "bossbboss_move_empty", false},
        {"<part name='boss' orient='mr'/>", "", "boss_move_empty", "bossrboss_move_empty", true},
        {"<part name='boss' mirror='1'/>", "blue", "idle", "bossblueidle", true},
        {"<part name='checkmark' orient='tl'/>", "", "idle", "checkmarkidle", false},
        {"<part name='boss'><exchange_skin from='red' to='blue'/></part>", "red", "idle", "bossblueidle", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.part);
        TCItemPart& part = Part(c.part);
        part.SetSkin(c.skin);
        EXPECT_EQ(part.ClipName(c.animation), c.clip);
        EXPECT_TRUE(part.PlayAnimation(c.animation, false)) << "the file has the clip";
        EXPECT_EQ(part.GetAnimation()->GetCurrentClip()->name, c.clip);
        EXPECT_EQ(part.IsMirrored(), c.mirrored);
        GetItemList().DestroyAll();
    }
}

TEST_F(ItemParts, APartWithoutItsAnimationFilePlaysNothing)
{
    TCItemPart& part = Part("<part name='nothing'/>");
    EXPECT_EQ(part.GetAnimation(), nullptr);
    EXPECT_FALSE(part.PlayAnimation("idle", false));
    EXPECT_EQ(part.GetClipDuration(), 0.0f);
}

TEST_F(ItemParts, TurningReplaysTheClipOfTheNewOrientation)
{
    WriteAnimation("legs", {MakeClip("legslwalk", 4), MakeClip("legsrwalk", 4)});
    TCItemPart& part = Part("<part name='legs' orient='l'/>");
    ASSERT_TRUE(part.PlayAnimation("walk", false));
    part.SetOrient("mr", true);
    EXPECT_EQ(part.GetAnimation()->GetCurrentClip()->name, "legsrwalk");
    EXPECT_TRUE(part.IsMirrored());
    part.SetOrient("", true);
    EXPECT_EQ(part.GetOrient(), "r") << "an empty orientation changes nothing";
}

TEST_F(ItemParts, APartReadsItsPlaceAndItsOwnEffectRunsAtCreation)
{
    TCItemPart& part = Part("<part name='p' effect='ghost' offs_x='3' offs_y='4' scale_point_x='5' zover='0' "
                            "parent_z='body' order0_x='1' order0_y='2' order1_x='3' order1_y='4' order2_x='5' "
                            "order2_y='6'/>");
    EXPECT_EQ(part.GetOffset(), (Nubra::Point{3, 4}));
    EXPECT_EQ(part.GetScalePoint(), (Nubra::Point{5, 0}));
    EXPECT_EQ(part.GetZParentName(), "body");
    EXPECT_EQ(part.GetFloorLine(), (TCItemPart::FloorLine{{{1, 2}, {3, 4}, {5, 6}}}));
    EXPECT_EQ(part.GetAlpha(), 0.0f) << "\"oncreate\" drove the part's own values";

    GetItemList().DestroyAll();
    TCItemPart& over = Part("<part name='p' zover='1' parent_z='body' order0_x='1'/>");
    EXPECT_TRUE(over.IsZOver());
    EXPECT_EQ(over.GetZParentName(), "") << "a part over everything has no place in depth";
    EXPECT_EQ(over.GetFloorLine()[0].x, 0);
}

} // namespace
} // namespace simtest
