#include <gtest/gtest.h>

#include "ServeFixtures.h"
#include "game/sim/Products.h"
#include "game/sim/TCItemBonus.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCTray.h"

namespace {

using namespace simtest;

class ServeItems : public ItemWorld {
protected:
    std::string Effects() const override
    {
        // Either money event shows the text at once.
        return "<effects><effect name='cash'><timers><timer name='show' type='usual' ftime='1' direction='forward'>"
               "<control id='1' type='point' starttime='0' function='EffectItemShow' active='1'/></timer></timers>"
               "<messages><message name='on_cash' timer_id='show' command='start'/>"
               "<message name='on_penalty' timer_id='show' command='start'/></messages></effect></effects>";
    }
    FakeClient* AddClient(const std::string& name, const std::string& wanted, bool waiting = true)
    {
        auto* client = static_cast<FakeClient*>(
            AddObject(std::make_unique<FakeClient>(), "<object name='" + name + "'><part name='client_money' offs_x='4' offs_y='-30' scale_point_x='7'/></object>"));
        client->wanted = wanted;
        client->waiting = waiting;
        return client;
    }
};

TEST_F(ServeItems, ProductCodesJoinOnlyAsSingleProductsAndOnlyForAWaitingClient)
{
    struct Row {
        const char *a, *b, *combined;
    };
    const Row rows[] = {
        {"0100", "0200", "0102"}, {"0200", "0100", "0102"}, {"", "0300", "0300"},
        {"0000", "0100", "0100"}, {"0102", "0300", ""},     {"0100", "0000", "0100"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CombineProducts(row.a, row.b), row.combined) << row.a << " + " << row.b;
    EXPECT_EQ(CombineProducts("01", "0300"), "");
    EXPECT_NE(log_.Text().find("WARNING: Product code '01' is not four digits"), std::string::npos);

    EXPECT_EQ(JoinForClient("0100", "0200"), "") << "nobody wants coffee with cake";
    AddClient("client01", "0102", false);
    EXPECT_EQ(JoinForClient("0100", "0200"), "") << "a client that is not waiting wants nothing";
    AddClient("client02", "0102");
    EXPECT_TRUE(IsProductWanted("0102"));
    EXPECT_EQ(JoinForClient("0200", "0100"), "0102");
    for (const char* held : {"", "0000", "wash", "0102", "01"})
        EXPECT_EQ(JoinForClient(held, "0100"), "") << held;
}

TEST_F(ServeItems, OnlyTheLevelsBossUsesTheTrayAndAnythingNamedBossTheTrash)
{
    Trace trace;
    RecordingTutorial tutorial(trace);
    TCItem* tray = AddObject(std::make_unique<TCTray>(), "<object name='tray' thing='0300'/>");
    TCItem* trash = AddObject(std::make_unique<TCTrash>(), "<object name='trash_bin'/>");
    TCItem* boss = AddObject(std::make_unique<TCItem>(), "<object name='boss'/>");
    TCItem* client = AddObject(std::make_unique<TCItem>(), "<object name='client01'/>");
    TCItem otherBoss;
    pugi::xml_document node;
    node.load_string("<object name='boss'/>");
    otherBoss.LoadFromXml(node.first_child());
    EXPECT_EQ(tray->GetThing(), "0300");

    struct Row {
        TCItem* user;
        bool tray, trash;
    };
    for (const Row& row : {Row{boss, true, true}, Row{&otherBoss, false, true}, Row{client, false, false}}) {
        EXPECT_EQ(tray->OnUse(row.user, true), row.tray) << row.user->GetName();
        EXPECT_EQ(trash->OnUse(row.user, true), row.trash) << row.user->GetName();
    }
    EXPECT_TRUE(trace.empty());
    EXPECT_FALSE(tray->OnUse(boss, false)) << "a use is never an exchange";
    EXPECT_TRUE(static_cast<TCTray*>(tray)->IsInUse());
    EXPECT_EQ(trace, Trace{"tutorial 5"});
    EXPECT_FALSE(trash->OnUse(boss, false));
    EXPECT_TRUE(static_cast<TCTrash*>(trash)->IsInUse());
    EXPECT_EQ(trace, Trace{"tutorial 5"}) << "only the tray teaches";
}

TEST_F(ServeItems, AMoneyPopupTakesTheFirstHiddenTextOverTheTargetsPart)
{
    auto* bonus = static_cast<TCItemBonus*>(AddObject(
        std::make_unique<TCItemBonus>(),
        "<object name='bonus' pos_x='10' pos_y='10'><part name='cash' effect='cash'/><part name='cash' effect='cash'/></object>"));
    FakeClient* client = AddClient("client01", "");
    client->SetPosition({100, 200});
    bonus->SetActive(true);
    const TCItemPart* first = bonus->FindPart("cash", 0);
    const TCItemPart* second = bonus->FindPart("cash", 1);
    EXPECT_FALSE(first->IsDrawable());
    EXPECT_EQ(first->GetText(), L"$");

    ShowMoneyPopup(client, "client_money", 0);
    ShowMoneyPopup(client, "no_such_part", 5);
    EXPECT_FALSE(first->IsDrawable()) << "nothing for 0 or a missing part";

    ShowMoneyPopup(client, "client_money", 5);
    ASSERT_TRUE(first->IsDrawable());
    EXPECT_EQ(first->GetText(), L"$+5");
    EXPECT_EQ(bonus->GetScreenPoint(first->GetOffset()), Nubra::Point(104, 170));
    EXPECT_EQ(first->GetScalePoint(), Nubra::Point(7, 0));

    ShowMoneyPopup(client, "client_money", -5);
    EXPECT_TRUE(second->IsDrawable());
    EXPECT_EQ(second->GetText(), L"$-5");
    EXPECT_EQ(first->GetText(), L"$+5") << "the showing text is left alone";
}

} // namespace
