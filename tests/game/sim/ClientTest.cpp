#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "BoardFixtures.h"
#include "ItemFixtures.h"
#include "engine/core/TCDebugSettings.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCClientBoard.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TutorialPort.h"

using namespace simtest;

namespace {

// Moods: green above 60, yellow above 30. The girl loses a point a second and thinks for a
// second; the granny thinks for nothing.
const char* const kConfig = R"(<root><clients patience_g_level='60' patience_y_level='30'
    patience_r_level='10' scandal_effect='5' client_scandal_bubble_present='2'>
  <client name='girl' client_patience_speed='1' client_decision_timeout='1' client_eating_time='2'
      client_money01_g='30' client_money01_y='20' client_money01_r='10' client_losses_money='15'
      client_scandal_level='20' client_scandal_timeout='3' client_bonus_timeout='4'
      client_bonus_time_effect='10'/>
  <client name='granny' client_patience_speed='99'/>
  <client name='granny' client_patience_speed='2' client_decision_timeout='0' client_eating_time='1'
      client_money01_g='40' client_money01_y='25' client_money01_r='5' client_losses_money='25'
      client_scandal_level='0' client_scandal_timeout='3'/>
</clients></root>)";

// A cafe board that keeps what the clients tell it and lets arrivals in as the cafe does.
class CafeBoard : public RecordingBoard, public TCClientBoard {
public:
    using RecordingBoard::RecordingBoard;

    bool SpawnEvent(const TCEvent& event) override { return SpawnClientEvent(event); }
    void LoadLevel(pugi::xml_node level, const XmlDocument&) override
    {
        OverrideClientTypes(level);
        if (!IsSurvival())
            DropUnplaceableEvents(GetEventQueue());
    }
    using RecordingBoard::LoadLevel;
    void ResetLevelObjects() override { RestoreClientTypes(); }

    void LoseLife() override { --lives; }
    void SetVipLost() override { vipLost = true; }
    bool IsFrozen() const override { return frozen; }
    float GetClientPause() const override { return clientPause; }
    void ShowMoneyPopup(TCItem& target, int amount) override { popups.push_back(target.GetName() + " " + std::to_string(amount)); }
    void ClearClientFlag() override { happyClients = false; }

    int lives = 3;
    bool vipLost = false;
    bool frozen = false;
    float clientPause = 0.0f;
    std::vector<std::string> popups;
    bool happyClients = true;
};

// Writes down what the tutorial hears.
class TutorialEar : public TCTutorialPort {
public:
    void ApplyRule(int event) override { events.push_back(event); }
    bool IsObjectAllowed(const std::string&) const override { return true; }

    std::vector<int> events;
};

class FakeBoss : public TCItem, public TCIHands {
public:
    FakeBoss()
    {
        pugi::xml_document node;
        node.load_string("<object name='boss'/>");
        LoadFromXml(node.first_child());
    }
    const std::string& GetHandItem(int hand) const override { return hands[hand]; }
    void EmptyHand(int hand) override { hands[hand].clear(); }

    std::array<std::string, 2> hands;
};

std::string Event(float time, const std::string& type, const std::string& persons, const std::string& orders = "",
                  bool vip = false)
{
    std::string params;
    for (size_t at = 0; at < orders.size(); at += 5)
        params += "<param name='" + orders.substr(at, 4) + "'/>";
    return "<time_point time='" + std::to_string(time) + "' type='" + type + "' " + persons +
           (vip ? " isVip='1'" : "") + ">" + params + "</time_point>";
}

class Clients : public ItemWorld {
protected:
    void SetUp() override
    {
        ItemWorld::SetUp();
        pugi::xml_document config;
        ASSERT_TRUE(config.load_string(kConfig));
        LoadClientTypes(config.child("root"));
        board_.SetScene(&GetItemList());
        board_.SetShown(true);
        SetTutorialPort(&tutorial_);
    }
    void TearDown() override
    {
        SetTutorialPort(nullptr);
        board_.Shutdown();
        ClearClientTypes();
        ItemWorld::TearDown();
    }

    // A level of two bar places and one table, or the scene given, with its arrivals and any
    // further elements of its own.
    void Start(const std::string& events, const std::string& extra = "", bool survival = false,
               const std::string& scene = kScene)
    {
        WriteText("cfg/scene.xml", "<root><objects>" + scene + "</objects></root>");
        std::string listed;
        pugi::xml_document doc;
        doc.load_string(("<o>" + scene + "</o>").c_str());
        for (pugi::xml_node object : doc.child("o").children("object"))
            listed += std::string("<object name='") + object.attribute("name").value() + "'/>";
        WriteText(survival ? "cfg/e001.xml" : "cfg/l001.xml", "<level doc='cfg\\scene.xml'>" + extra + "<objects>" +
                                                                  listed + "</objects><events_queue>" + events +
                                                                  "</events_queue></level>");
        board_.StartLevelLoad(1, survival);
        ASSERT_TRUE(board_.IsRunning());
    }
    void Step(int steps = 1)
    {
        for (int i = 0; i < steps; ++i)
            board_.Update();
    }
    static TCClient& Client(const std::string& name)
    {
        TCClient* client = FindClientByName(name);
        EXPECT_NE(client, nullptr) << name;
        return *client;
    }
    // The boss at a place: both sides agree before the client trades.
    bool Use(const std::string& place)
    {
        TCItem* item = FindItemByName(place);
        if (!item || !item->OnUse(&boss_, true))
            return false;
        item->OnUse(&boss_, false);
        return true;
    }
    std::vector<std::string> ClientSounds() const
    {
        std::vector<std::string> sounds;
        for (const std::string& line : trace_)
            if (line.starts_with("sound client_"))
                sounds.push_back(line.substr(6));
        return sounds;
    }

    static constexpr const char* kScene =
        "<object class='client' name='client01'/><object class='item' name='client_place01'/>"
        "<object class='client' name='client02'/><object class='item' name='client_place02'/>"
        "<object class='client_sit' name='client_sit01'/><object class='item' name='client_sit_place01'/>";

    ClockGuard clock_;
    LogCapture log_;
    Trace trace_;
    RecordingHost host_{trace_};
    CafeBoard board_{host_, trace_};
    FakeBoss boss_;
    TutorialEar tutorial_;
};

TEST_F(Clients, ALaterTypeOfANameReplacesTheEarlierAndAnUnknownNameIsAnError)
{
    EXPECT_FLOAT_EQ(FindClientSkin("granny")->patienceSpeed, 2.0f);
    EXPECT_EQ(FindClientSkin("nobody"), nullptr);
    EXPECT_NE(log_.Text().find("ERROR: Undefined client skin name: 'nobody'"), std::string::npos);
    EXPECT_FLOAT_EQ(GetClientConfig().scandalEffect, 5.0f);
}

TEST_F(Clients, AVisitGoesFromArrivalThroughThinkingToPayment)
{
    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    TCClient& girl = Client("client01");
    ASSERT_EQ(girl.GetState(), TCClient::kWaiting);
    std::string text;
    ASSERT_TRUE(girl.GetBubbleText(text));
    EXPECT_EQ(text, "ready");
    EXPECT_TRUE(board_.GetEventQueue().IsExhausted());
    EXPECT_EQ(GetPresentClients().size(), 1u);

    ASSERT_TRUE(Use("client_place01"));
    EXPECT_EQ(girl.GetState(), TCClient::kThinking);
    Step(99);
    EXPECT_EQ(girl.GetState(), TCClient::kThinking);
    Step(2);
    ASSERT_EQ(girl.GetState(), TCClient::kWaiting);
    EXPECT_EQ(girl.GetWantedItem(), "0200");
    EXPECT_TRUE(girl.WantsItem("0100", "0200"));
    EXPECT_FALSE(girl.WantsItem("0100", ""));

    boss_.hands = {"0100", ""};
    EXPECT_FALSE(Use("client_place01"));
    EXPECT_EQ(girl.GetState(), TCClient::kWaiting);
    boss_.hands = {"0100", "0200"};
    ASSERT_TRUE(Use("client_place01"));
    EXPECT_EQ(boss_.hands[0], "0100");
    EXPECT_EQ(boss_.hands[1], "");
    EXPECT_EQ(girl.GetState(), TCClient::kGone);
    EXPECT_EQ(board_.GetMoney(), 30);
    EXPECT_EQ(board_.popups, (std::vector<std::string>{"client01 30"}));
    EXPECT_TRUE(GetPresentClients().empty());
    EXPECT_FALSE(girl.IsVisible());
    EXPECT_EQ(ClientSounds(), (std::vector<std::string>{"client_spawn", "client_ready", "client_positiv"}));
    EXPECT_EQ(tutorial_.events, (std::vector<int>{1, 4, 3}));
    EXPECT_NE(log_.Text().find("Client wants '0200'"), std::string::npos);
}

TEST_F(Clients, OnlyTheBossServesAndOnlyAWaitingClient)
{
    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    FakeBoss stranger;
    pugi::xml_document node;
    node.load_string("<object name='worker01'/>");
    stranger.LoadFromXml(node.first_child());
    EXPECT_FALSE(FindItemByName("client_place01")->OnUse(&stranger, true));
    EXPECT_FALSE(Use("client_place02")); // nobody there
    ASSERT_TRUE(Use("client_place01"));
    boss_.hands = {"0200", ""};
    EXPECT_FALSE(Use("client_place01")) << "a thinking client takes nothing";
    EXPECT_EQ(boss_.hands[0], "0200");
}

TEST_F(Clients, SuperAndTheDevelopersFoodAllServeAnyOrder)
{
    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    TCClient& girl = Client("client01");
    Use("client_place01");
    Step(101);
    EXPECT_TRUE(girl.WantsItem("super"));
    EXPECT_FALSE(girl.WantsItem("0300"));
    EXPECT_FALSE(girl.WantsItem(""));
    DebugSettings().FoodAll = true;
    EXPECT_TRUE(girl.WantsItem("0300"));
    DebugSettings().FoodAll = false;
}

TEST_F(Clients, PatienceStaysWithinItsRangeAndOnlyARealShortfallEndsTheWait)
{
    struct Case {
        const char* what;
        float start, delta;
        bool frozen, tutorialHolds;
        float patience;
        bool satisfied;
    };
    const Case cases[] = {
        {"an ordinary fall", 50, -10, false, false, 40, true},
        {"a fall to exactly 0", 10, -10, false, false, 0, true},
        {"a fall below 0", 10, -10.5f, false, false, 0, false},
        {"a rise beyond the top", 95, 10, false, false, 100, true},
        {"a fall while frozen", 50, -10, true, false, 50, true},
        {"a rise while frozen", 50, 10, true, false, 60, true},
        {"a fall the tutorial holds", 50, -10, false, true, 50, true},
        {"a rise the tutorial allows", 50, 10, false, true, 60, true},
    };
    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    TCClient& girl = Client("client01");
    for (const Case& c : cases) {
        girl.ChangePatience(c.start - girl.GetPatience());
        board_.frozen = c.frozen;
        SetTutorialGate([&c](int action) { return c.tutorialHolds && action == 1; });
        EXPECT_FLOAT_EQ(girl.ChangePatience(c.delta), c.patience) << c.what;
        EXPECT_EQ(girl.IsSatisfied(), c.satisfied) << c.what;
        board_.frozen = false;
        SetTutorialGate(nullptr);
        if (!girl.IsSatisfied())
            break; // the last case
    }
}

TEST_F(Clients, AWaitingClientLosesPatienceOverTimeAndLooksItsMood)
{
    WriteAnimation("client_stand_up",
                   {MakeClip("client_stand_upgirlidle_green"), MakeClip("client_stand_upgirlidle_yellow"),
                    MakeClip("client_stand_upgirldiscontent"),
                    MakeClip("client_stand_upgirldirect_green", 2, AnmClip::OnceForward)});
    Start(Event(0, "client", "person1='girl'", "0200"),  "",false,
          "<object class='client' name='client01'><part name='client_stand_up'/></object>"
          "<object class='item' name='client_place01'/>");
    Step();
    TCClient& girl = Client("client01");
    EXPECT_EQ(girl.GetCurrentAnimation(), "direct_green");
    Step(50);
    EXPECT_EQ(girl.GetCurrentAnimation(), "idle_green") << "the arrival's greeting ends in the mood's look";
    EXPECT_NEAR(girl.GetPatience(), 99.49f, 0.001f);
    girl.ChangePatience(60.1f - girl.GetPatience());
    EXPECT_EQ(girl.GetCurrentAnimation(), "idle_green");
    Step(11);
    EXPECT_EQ(girl.GetCurrentAnimation(), "idle_yellow");
    girl.ChangePatience(30.0f - girl.GetPatience());
    EXPECT_EQ(girl.GetCurrentAnimation(), "discontent");
    girl.ChangePatience(40.0f);
    EXPECT_EQ(girl.GetCurrentAnimation(), "idle_green");
    girl.SetMouseOver({0, 0}, true);
    EXPECT_EQ(girl.GetCurrentAnimation(), "direct_green") << "a hovered client greets again";
}

TEST_F(Clients, PaymentFollowsTheMoodBandAndAGroupPaysItsMost)
{
    struct Case {
        float patience;
        int girl, group;
    };
    // Girl 30/20/10, granny 40/25/5: the group of both pays the larger of the two.
    const Case cases[] = {{60.5f, 30, 40}, {60.0f, 20, 25}, {30.5f, 20, 25}, {30.0f, 10, 10}, {0.0f, 10, 10}};
    Start(Event(0, "client", "person1='girl'", "0200") + Event(0, "family", "person1='girl' person3='granny'", "0200"));
    Step();
    TCClient& girl = Client("client01");
    TCClient& group = Client("client_sit01");
    ASSERT_EQ(group.GetState(), TCClient::kWaiting);
    for (const Case& c : cases) {
        girl.ChangePatience(c.patience - girl.GetPatience());
        group.ChangePatience(c.patience - group.GetPatience());
        EXPECT_EQ(girl.GetMoney(), c.girl) << c.patience;
        EXPECT_EQ(group.GetMoney(), c.group) << c.patience;
    }
    EXPECT_EQ(girl.GetLoss(), -15);
    EXPECT_EQ(group.GetLoss(), -25);
}

TEST_F(Clients, AOneMemberFamilyPaysAsAStandingClientOfItsType)
{
    Start(Event(0, "client", "person1='girl'", "0200") + Event(0, "family", "person2='girl'", "0200"));
    Step();
    TCClient& girl = Client("client01");
    auto& family = static_cast<TCClientSit&>(Client("client_sit01"));
    EXPECT_FALSE(family.GetMembers()[0]);
    ASSERT_TRUE(family.GetMembers()[1]);
    for (float patience : {100.0f, 45.0f, 12.0f}) {
        girl.ChangePatience(patience - girl.GetPatience());
        family.ChangePatience(patience - family.GetPatience());
        EXPECT_EQ(family.GetMoney(), girl.GetMoney()) << patience;
    }
    EXPECT_EQ(family.GetLoss(), girl.GetLoss());
}

TEST_F(Clients, AServedFamilyEatsThenPaysAndOrdersAgain)
{
    // The granny thinks for nothing: her second order shows as soon as the first is paid.
    Start(Event(0, "family", "person1='granny'", "0100 0300"));
    Step();
    TCClient& family = Client("client_sit01");
    std::string kind = family.GetBubbleKind();
    EXPECT_EQ(kind, "multi_client");
    Use("client_sit_place01");
    Step();
    ASSERT_EQ(family.GetWantedItem(), "0100");
    family.ChangePatience(-50.0f);
    const float before = family.GetPatience();
    boss_.hands = {"0100", ""};
    ASSERT_TRUE(Use("client_sit_place01"));
    EXPECT_EQ(family.GetState(), TCClient::kEating);
    EXPECT_FLOAT_EQ(family.GetPatience(), before) << "the granny's meal gives no patience";
    EXPECT_EQ(board_.GetMoney(), 0) << "a group pays after eating";
    Step(101);
    EXPECT_EQ(board_.GetMoney(), 25);
    EXPECT_EQ(family.GetState(), TCClient::kWaiting);
    EXPECT_EQ(family.GetWantedItem(), "0300");
    EXPECT_EQ(family.GetBubbleKind(), "client");
    boss_.hands = {"", "0300"};
    ASSERT_TRUE(Use("client_sit_place01"));
    Step(101);
    EXPECT_EQ(family.GetState(), TCClient::kGone);
    EXPECT_EQ(board_.GetMoney(), 25 + 25) << "patience came back no higher than yellow";
}

TEST_F(Clients, AMealAddsPatienceAndAStandingClientWithMoreOrdersThinksAgain)
{
    Start(Event(0, "client", "person1='girl'", "0200 0300") + Event(0, "family", "person1='girl'", "0100"));
    Step();
    TCClient& girl = Client("client01");
    TCClient& family = Client("client_sit01");
    Use("client_place01");
    Use("client_sit_place01");
    Step(101);
    family.ChangePatience(-50.0f);
    const float before = family.GetPatience();
    boss_.hands = {"0100", "0200"};
    ASSERT_TRUE(Use("client_sit_place01"));
    EXPECT_FLOAT_EQ(family.GetPatience(), before + 10.0f);
    ASSERT_TRUE(Use("client_place01"));
    EXPECT_EQ(girl.GetState(), TCClient::kThinking);
    EXPECT_EQ(board_.GetMoney(), 30);
}

TEST_F(Clients, RunningOutOfPatienceCostsMoneyAndMayCostTheLevel)
{
    struct Case {
        const char* what;
        bool survival, vip;
        int money, lives;
        bool vipLost;
    };
    const Case cases[] = {
        {"career", false, false, 100 - 15, 3, false},
        {"career VIP", false, true, 100 - 15, 3, true},
        {"survival", true, false, 100, 2, false},
    };
    for (const Case& c : cases) {
        board_.lives = 3;
        board_.vipLost = false;
        board_.happyClients = true;
        trace_.clear();
        Start(Event(0, "client", "person1='girl'", "0200", c.vip), "", c.survival);
        if (c.survival) {
            ASSERT_TRUE(SpawnClientEvent(TCEvent{0, "client", {"girl"}, {"0200"}, c.vip}));
        }
        Step();
        board_.AddMoney(100);
        TCClient& girl = Client("client01");
        girl.ChangePatience(-girl.GetPatience());
        EXPECT_TRUE(girl.IsSatisfied()) << c.what << ": at 0 the client still waits";
        Step();
        EXPECT_EQ(girl.GetState(), TCClient::kWaiting) << c.what;
        girl.ChangePatience(-1.0f);
        Step();
        EXPECT_EQ(girl.GetState(), TCClient::kGone) << c.what;
        EXPECT_EQ(board_.GetMoney(), c.money) << c.what;
        EXPECT_EQ(board_.lives, c.lives) << c.what;
        EXPECT_EQ(board_.vipLost, c.vipLost) << c.what;
        EXPECT_FALSE(board_.happyClients) << c.what;
        EXPECT_EQ(ClientSounds().back(), "client_negativ") << c.what;
        EXPECT_EQ(tutorial_.events.back(), 3) << c.what;
    }
}

TEST_F(Clients, ALossNeverTakesMoneyBelowZero)
{
    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    Client("client01").ChangePatience(-101.0f);
    Step();
    EXPECT_EQ(board_.GetMoney(), 0);
    EXPECT_EQ(board_.popups, (std::vector<std::string>{"client01 -15"}));
}

TEST_F(Clients, AScandalCostsTheOthersPatienceAndTheIceBonusHoldsItBack)
{
    // Scenes come every 3 s at or below 20; the first would be 3 s after the arrival.
    Start(Event(0, "client", "person1='girl'") + Event(0, "client", "person1='granny'"));
    Step();
    TCClient& girl = Client("client01");
    TCClient& granny = Client("client02");
    girl.ChangePatience(20.0f - girl.GetPatience());
    const float grannyBefore = granny.GetPatience();
    Step(290);
    board_.frozen = true;
    Step(50);
    board_.frozen = false;
    Step(5);
    EXPECT_EQ(girl.GetBubbleKind(), "client") << "frozen time does not count";
    Step(15);
    EXPECT_EQ(girl.GetBubbleKind(), "aggro");
    std::string text;
    ASSERT_TRUE(girl.GetBubbleText(text));
    EXPECT_EQ(text, "scandal");
    EXPECT_NEAR(granny.GetPatience(), grannyBefore - 5.0f - 2.0f * 3.1f, 0.01f);
    EXPECT_NEAR(girl.GetPatience(), 20.0f - 3.1f, 0.01f) << "the girl loses none of her own scene";
    EXPECT_EQ(ClientSounds().back(), "client_scandal");
    Step(200);
    EXPECT_EQ(girl.GetBubbleKind(), "client") << "the bubble stays up two seconds";
}

TEST_F(Clients, APlaceRestsAfterItsClientLeftAndTheArrivalWaitsMeanwhile)
{
    board_.clientPause = 1.0f;
    Start(Event(0, "client", "person1='girl'", "0200") + Event(0.5f, "client", "person1='granny'", "0200"),
          "", false,
          "<object class='client' name='client01'/><object class='item' name='client_place01'/>");
    Step();
    Client("client01").ChangePatience(-101.0f);
    Step();
    ASSERT_EQ(Client("client01").GetState(), TCClient::kGone);
    Step(98);
    EXPECT_FALSE(board_.GetEventQueue().IsExhausted()) << "the place still rests";
    EXPECT_EQ(Client("client01").GetState(), TCClient::kGone);
    Step(3);
    EXPECT_TRUE(board_.GetEventQueue().IsExhausted());
    EXPECT_EQ(Client("client01").GetType()->name, "granny");
}

TEST_F(Clients, ArrivalsThatCanNeverComeInLeaveTheQueueAtLoad)
{
    // No table in this level; one skin is unknown; a family of unknowns has no one to seat.
    Start(Event(0, "family", "person1='girl'", "0100") + Event(0, "client", "person1='ghost'", "0100") +
              Event(1, "client", "person1='girl'", "0100"),
          "", false, "<object class='client' name='client01'/><object class='item' name='client_place01'/>");
    EXPECT_NE(log_.Text().find("ERROR: Arrival of type 'family' at 0.00 s dropped: the level has no table"),
              std::string::npos);
    EXPECT_NE(log_.Text().find("dropped: undefined client skin 'ghost'"), std::string::npos);
    Step(101);
    EXPECT_EQ(Client("client01").GetState(), TCClient::kWaiting);
    EXPECT_TRUE(board_.GetEventQueue().IsExhausted());
}

TEST_F(Clients, AFamilySeatsItsKnownMembersAndTheTutorialCanHoldArrivals)
{
    Start(Event(0, "family", "person1='ghost' person2='girl'", "0100") + Event(0, "family", "person1='ghost'", "0100"));
    SetTutorialGate([](int action) { return action == 5; });
    Step(10);
    EXPECT_EQ(Client("client_sit01").GetState(), TCClient::kGone);
    EXPECT_FALSE(board_.GetEventQueue().IsQueueExhausted(1));
    SetTutorialGate(nullptr);
    Step();
    auto& family = static_cast<TCClientSit&>(Client("client_sit01"));
    ASSERT_EQ(family.GetState(), TCClient::kWaiting);
    EXPECT_FALSE(family.GetMembers()[0]);
    EXPECT_EQ(family.GetMembers()[1]->name, "girl");
    EXPECT_NE(log_.Text().find("ERROR: Undefined client skin name: 'ghost'"), std::string::npos);
}

TEST_F(Clients, AnArrivalOfNoKnownTypeInSurvivalIsDroppedThenAndThere)
{
    Start("", "", true);
    EXPECT_TRUE(SpawnClientEvent(TCEvent{0, "client", {"ghost"}, {"0100"}, false}));
    EXPECT_TRUE(SpawnClientEvent(TCEvent{0, "family", {"ghost"}, {"0100"}, false}));
    EXPECT_TRUE(GetPresentClients().empty());
    EXPECT_TRUE(tutorial_.events.empty());
    EXPECT_FALSE(SpawnClientEvent(TCEvent{0, "waiter", {"girl"}, {"0100"}, false}));
}

TEST_F(Clients, ALevelsOverridesHoldForThatLevelOnly)
{
    Start(Event(0, "client", "person1='girl'", "0200"),
          "<override_clients><client name='girl' client_patience_speed='5' client_money01_g='50'"
          " client_start_stamina='70'/><client name='nobody'/></override_clients>");
    Step();
    TCClient& girl = Client("client01");
    EXPECT_NEAR(girl.GetPatience(), 70.0f - 0.05f, 0.001f);
    EXPECT_EQ(girl.GetMoney(), 50);
    EXPECT_EQ(girl.GetLoss(), -15);
    EXPECT_NE(log_.Text().find("WARNING: Level overrides the unknown client type 'nobody'"), std::string::npos);

    Start(Event(0, "client", "person1='girl'", "0200"));
    Step();
    TCClient& again = Client("client01");
    EXPECT_NEAR(again.GetPatience(), 100.0f - 0.01f, 0.001f);
    EXPECT_EQ(again.GetMoney(), 30);
}

TEST_F(Clients, AnOverrideWithoutAStartPatienceStartsAtAHundred)
{
    Start(Event(0, "client", "person1='girl'", "0200"),
          "<override_clients><client name='girl' client_patience_speed='0'/></override_clients>");
    Step();
    EXPECT_FLOAT_EQ(Client("client01").GetPatience(), 100.0f);
}

TEST_F(Clients, TheShadowsOfAPlaceShowOnlyUnderItsGuests)
{
    Start(Event(0.5f, "client", "person1='girl'", "0200") +
              Event(0.5f, "family", "person2='girl' person4='granny'", "0100"),
          "", false,
          "<object class='client' name='client01'/>"
          "<object class='item' name='client_place01'><part name='bar01_shadow01'/></object>"
          "<object class='client_sit' name='client_sit01'/>"
          "<object class='item' name='client_sit_place01'><part name='client_table01_shadow01'/>"
          "<part name='client_table01_shadow02'/><part name='client_table01_shadow03'/>"
          "<part name='client_table01_shadow04'/></object>");
    auto shown = [](const std::string& path) { return FindPartByPath(path)->IsShown(); };
    Step();
    EXPECT_FALSE(shown("client_place01:bar01_shadow01"));
    for (int i = 1; i <= 4; ++i)
        EXPECT_FALSE(shown("client_sit_place01:client_table01_shadow0" + std::to_string(i)));
    Step(51);
    EXPECT_TRUE(shown("client_place01:bar01_shadow01"));
    EXPECT_FALSE(shown("client_sit_place01:client_table01_shadow01"));
    EXPECT_TRUE(shown("client_sit_place01:client_table01_shadow02"));
    EXPECT_FALSE(shown("client_sit_place01:client_table01_shadow03"));
    EXPECT_TRUE(shown("client_sit_place01:client_table01_shadow04"));
    Client("client01").ChangePatience(-101.0f);
    Step();
    EXPECT_FALSE(shown("client_place01:bar01_shadow01"));
}

} // namespace
