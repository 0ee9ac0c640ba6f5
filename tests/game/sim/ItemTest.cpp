#include <gtest/gtest.h>

#include <typeinfo>

#include "ItemFixtures.h"
#include "engine/core/TCEffect.h"
#include "game/sim/TCItemPart.h"

namespace simtest {
namespace {

class Items : public ItemWorld {
protected:
    std::string Effects() const override
    {
        // "fade" clears the alpha of every part the object's effect drives.
        return "<effects><effect name='fade'><timers>"
               "<timer name='t' type='usual' ftime='1' direction='forward'>"
               "<control id='1' type='point' starttime='0' function='EffectFadeIn' active='1'/></timer>"
               "</timers><messages><message name='fade' timer_id='t' command='start'/></messages>"
               "</effect></effects>";
    }
    TCItemList& list = GetItemList();
};

TEST_F(Items, TheFactoryMakesKnownClassesAndSkipsTheRest)
{
    CreateScene("<object class='item' name='boss' pos_x='5' pos_y='6' offs_x='1' offs_y='2'/>"
                "<object class='teleporter' name='door'/>"
                "<object class='item' name='bonus'/>"
                "<object class='Item' name='cup'/>"
                "<object class='item' name='boss' pos_x='7'/>");

    ASSERT_EQ(list.GetItems().size(), 3u) << "both objects named boss, and the bonus";
    for (const auto& item : list.GetItems())
        EXPECT_EQ(typeid(*item), typeid(TCItem));
    EXPECT_NE(log_.Text().find("WARNING: Unknown object class 'teleporter' for object 'door'"), std::string::npos);
    EXPECT_NE(log_.Text().find("WARNING: Unknown object class 'Item' for object 'cup'"), std::string::npos)
        << "class names are compared exactly";

    TCItem* first = list.GetItems().front().get();
    TCItem* last = list.GetItems().back().get();
    EXPECT_EQ(FindItemByName("boss"), first) << "the name map keeps the first";
    EXPECT_EQ(list.GetBoss(), last) << "the well-known pointer keeps the last";
    EXPECT_EQ(list.GetBonus(), FindItemByName("bonus"));
    EXPECT_EQ(first->GetScreenPoint({10, 10}), (Nubra::Point{16, 18}));
    EXPECT_EQ(last->GetPosition().x, 7);

    list.DestroyAll();
    EXPECT_EQ(FindItemByName("boss"), nullptr);
    EXPECT_EQ(list.GetBoss(), nullptr);
    EXPECT_EQ(list.GetBonus(), nullptr);
}

TEST_F(Items, TheLevelGivesEachObjectItsLookOrLeavesItOut)
{
    WriteAnimation("body", {MakeClip("bodyidle"), MakeClip("bodyredidle"), MakeClip("bodyredwalk")});
    struct Case {
        const char* level; // the object's element in the level, if any
        bool active, visible;
        const char* skin;
        const char* animation;
    };
    const Case cases[] = {
        {"<object name='x'/>", true, true, "", ""},
        {"<object name='x' skin='red'/>", true, true, "red", ""},
        {"<object name='x' skin='red' anim='walk'/>", true, true, "red", "walk"},
        {"<object name='x' anim='walk'/>", true, true, "", ""}, // no such clip without the skin
        {"<object name='x' anim='idle' stop='0'/>", true, true, "", "idle"},
        {"<object name='x' skin='red' anim='walk' stop='1'/>", false, false, "red", "walk"},
        {"<object name='y'/>", false, false, "", ""},
        {"<group><object name='x' skin='red'/></group>", true, true, "red", ""}, // any depth
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.level);
        CreateScene("<object class='item' name='x'><part name='body'/></object>");
        TCItem* item = FindItemByName("x");
        item->SetActive(true);
        ApplyLevel(c.level);
        EXPECT_EQ(item->IsActive(), c.active);
        EXPECT_EQ(item->IsVisible(), c.visible);
        EXPECT_EQ(item->GetSkin(), c.skin);
        EXPECT_EQ(item->GetCurrentAnimation(), c.animation);
        list.DestroyAll();
    }
}

TEST_F(Items, ALevelNameWithQuotesIsMatchedExactly)
{
    CreateScene("<object class='item' name='a&quot;b&apos;c'/><object class='item' name='plain'/>");
    ApplyLevel("<object name='a&quot;b&apos;c' skin='s'/>");
    EXPECT_EQ(FindItemByName("a\"b'c")->GetSkin(), "s");
    EXPECT_TRUE(FindItemByName("a\"b'c")->IsActive());
    EXPECT_FALSE(FindItemByName("plain")->IsActive());
}

TEST_F(Items, TheSchedulerReplaysAnAnimationOnceWithinItsPause)
{
    WriteAnimation("body", {MakeClip("bodyidle", 4, AnmClip::OnceForward)});
    CreateScene("<object class='item' name='x'><part name='body'/></object>");
    TCItem& item = *FindItemByName("x");
    item.SetActive(true);

    item.ScheduleAnimation(nullptr, "idle");
    EXPECT_FALSE(item.IsSchedulerArmed()) << "no timing record, nothing happens";

    item.AddAnimationTiming("idle", 3, 0.5f, 1.0f);
    ASSERT_TRUE(item.SetAnimation("idle", false));
    ASSERT_TRUE(item.IsSchedulerArmed());
    EXPECT_GE(item.GetSchedulerCountdown(), 0.5f);
    EXPECT_LE(item.GetSchedulerCountdown(), 1.0f);

    // The clip pauses at its cue frame, which arms the replay anew.
    gFrameTime = 0.01f;
    TCAnimController& clip = *item.GetParts()[0]->GetAnimation();
    for (int i = 0; i < 100 && clip.GetState() != TCAnimController::Paused; ++i)
        item.Update();
    ASSERT_EQ(clip.GetState(), TCAnimController::Paused);
    // The step that reached the cue has counted down once already.
    const float countdown = item.GetSchedulerCountdown();
    EXPECT_GE(countdown, 0.49f);
    EXPECT_LE(countdown, 1.0f);
    int steps = 0;
    while (item.IsSchedulerArmed() && steps < 200) {
        item.Update();
        ++steps;
    }
    EXPECT_NEAR(steps * 0.01f, countdown, 0.011f) << "fires once its countdown runs out";
    EXPECT_EQ(clip.GetState(), TCAnimController::Playing) << "and the clip goes on";

    // The clip's cue arms it again; with the record gone the countdown expires silently.
    item.ArmAnimation("idle");
    ASSERT_TRUE(item.IsSchedulerArmed());
    item.RemoveAnimationTiming("idle");
    for (int i = 0; i < 150; ++i)
        item.Update();
    EXPECT_TRUE(item.IsSchedulerArmed());
    EXPECT_LT(item.GetSchedulerCountdown(), 0.0f);
}

TEST_F(Items, ADelayedNoticeArrivesOnceAfterItsDelay)
{
    struct Walker : TCItem {
        void Notify(int code) override { notices.push_back(code); }
        std::vector<int> notices;
    } walker;
    walker.SetActive(true);
    walker.SetDelayedNotify(0.05f, TCItem::kNotifyWalkEnded);
    gFrameTime = 0.01f;
    for (int i = 0; i < 4; ++i)
        walker.Update();
    EXPECT_TRUE(walker.IsNotifyPending());
    for (int i = 0; i < 4; ++i)
        walker.Update();
    EXPECT_FALSE(walker.IsNotifyPending());
    EXPECT_EQ(walker.notices, std::vector<int>{TCItem::kNotifyWalkEnded});
}

TEST_F(Items, PartsAreFoundByPathWithAWarningForWhatIsMissing)
{
    CreateScene("<object class='item' name='a'><part name='p'/><part name='q2'/><part name='p'/></object>");
    const auto& parts = FindItemByName("a")->GetParts();
    struct Case {
        const char* path;
        TCItemPart* part;
        const char* warning;
    };
    const Case cases[] = {
        {"a:p", parts[0].get(), nullptr},
        {"a:p$1", parts[0].get(), nullptr},
        {"a:p$2", parts[2].get(), nullptr},
        {"a:p$3", nullptr, "WARNING: Invalid part name 'p'"},
        {"x:p", nullptr, "WARNING: Item not found 'x'"},
        {"a:q", nullptr, "WARNING: Invalid part name 'q'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(FindPartByPath(c.path), c.part);
        if (c.warning) {
            EXPECT_NE(log_.Text().find(c.warning), std::string::npos);
        }
    }
}

TEST(PlaceOwner, FollowsTheLongestPrefixPair)
{
    const std::pair<const char*, const char*> cases[] = {
        {"table01", "worker01"},
        {"client_place02", "client02"},
        {"client_sit_place01", "client_sit01"},
        {"client_place_sit01", "client_sit01"},
        {"decor", ""},
        {"bar_place01", ""},
        {"table", "worker"},
        {"client_place", "client"},
    };
    for (const auto& [place, owner] : cases)
        EXPECT_EQ(GetPlaceOwner(place), owner) << place;
}

TEST(PlaceOwner, AClientsPlaceLeadsBackToIt)
{
    const std::pair<const char*, const char*> cases[] = {
        {"client01", "client_place01"},
        {"client_sit02", "client_sit_place02"},
        {"client", "client_place"},
        {"worker01", ""},
    };
    for (const auto& [client, place] : cases) {
        EXPECT_EQ(GetClientPlace(client), place) << client;
        if (*place) {
            EXPECT_EQ(GetPlaceOwner(place), client) << place;
        }
    }
}

TEST_F(Items, AUseOfAPlaceGoesToItsOwner)
{
    struct Client : TCItem {
        bool OnUse(TCItem* other, bool testOnly) override
        {
            uses.emplace_back(other, testOnly);
            return true;
        }
        std::vector<std::pair<TCItem*, bool>> uses;
    };
    auto client = std::make_unique<Client>();
    pugi::xml_document node;
    node.load_string("<object name='client_sit01'/>");
    client->LoadFromXml(node.first_child());
    Client* owner = static_cast<Client*>(list.Add(std::move(client)));
    CreateScene("<object class='item' name='client_sit_place01'/><object class='item' name='decor'/>");

    TCItem boss;
    EXPECT_TRUE(FindItemByName("client_sit_place01")->OnUse(&boss, true));
    EXPECT_FALSE(FindItemByName("decor")->OnUse(&boss, false));
    EXPECT_EQ(owner->uses, (std::vector<std::pair<TCItem*, bool>>{{&boss, true}}));
}

TEST_F(Items, TheEffectDrivesTheFirstFifteenPartsOnly)
{
    std::string parts;
    for (int i = 0; i < 16; ++i)
        parts += "<part name='p" + std::to_string(i) + "'/>";
    CreateScene("<object class='item' name='many' effect='fade'>" + parts + "</object>");
    TCItem& item = *FindItemByName("many");
    ASSERT_EQ(item.GetParts().size(), 16u);
    EXPECT_EQ(item.GetTargetBlock().count, TCItem::kMaxDrivenParts);
    item.SetActive(true);
    ASSERT_NE(item.GetTargetBlock().active, nullptr);
    EXPECT_TRUE(*item.GetTargetBlock().active) << "the block reaches the object's active flag";

    item.RunEvent("fade");
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(item.GetParts()[size_t(i)]->GetAlpha(), 0.0f) << i;
    EXPECT_EQ(item.GetParts()[15]->GetAlpha(), 1.0f);
}

} // namespace
} // namespace simtest
