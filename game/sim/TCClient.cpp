#include "game/sim/TCClient.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TCClientBoard.h"
#include "game/sim/TCEventQueue.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TutorialPort.h"

namespace {

constexpr const char* kMoodClips[] = {"idle_green", "idle_yellow", "discontent"};
constexpr const char* kDirectClips[] = {"direct_green", "direct_yellow", "scandal"};
constexpr const char* kMemberParts[] = {"client_sitting_up", "client_sitting_down", "client_sitting_head"};

struct ClientLists {
    std::list<TCClient*> present;
    // Places without a visit, in the order they became free.
    std::list<TCClientStand*> freeStands;
    std::list<TCClientSit*> freeTables;
    std::map<std::string, TCClient*> named;
};

// Never destroyed: clients of the run's item list leave it during static destruction.
ClientLists& Lists()
{
    static auto* lists = new ClientLists;
    return *lists;
}

template <class Client>
void PutLast(std::list<Client*>& list, Client* client)
{
    list.remove(client);
    list.push_back(client);
}

bool IsOneOf(const std::string& name, const auto& names)
{
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// Hides or shows a place's part only when it changes, so its effect runs once.
void ShowPart(TCItemPart* part, bool show)
{
    if (part && part->IsShown() != show)
        part->SetVisible(show);
}

// The first free place of a kind, unless its pause still runs.
template <class Client>
Client* TakeFreePlace(std::list<Client*>& free)
{
    if (free.empty() || free.front()->IsPlacePaused())
        return nullptr;
    Client* client = free.front();
    free.pop_front();
    return client;
}

template <class Client>
bool AnyActive()
{
    for (const auto& item : GetItemList().GetItems())
        if (dynamic_cast<Client*>(item.get()) && item->IsActive())
            return true;
    return false;
}

// Why an arrival can never come in; empty when it can.
std::string Unplaceable(const TCEvent& event, bool stands, bool tables)
{
    if (event.type == "client") {
        if (!stands)
            return "the level has no bar place";
        if (!IsClientSkin(event.persons[0]))
            return "undefined client skin '" + event.persons[0] + "'";
    } else if (event.type == "family") {
        if (!tables)
            return "the level has no table";
        if (std::none_of(event.persons.begin(), event.persons.end(), IsClientSkin))
            return "no member has a defined client skin";
    }
    return {};
}

} // namespace

TCClientBoard* GetClientBoard() { return dynamic_cast<TCClientBoard*>(gGameBoard); }

// ---- TCClient ----

TCClient::~TCClient()
{
    Lists().present.remove(this);
    const auto named = Lists().named.find(name_);
    if (named != Lists().named.end() && named->second == this)
        Lists().named.erase(named);
}

void TCClient::LoadFromXml(pugi::xml_node node)
{
    TCItem::LoadFromXml(node);
    Lists().named.try_emplace(name_, this);
}

void TCClient::SetActive(bool active)
{
    active_ = active;
    Vanish();
    placePause_.Set(0.0f);
    if (!active)
        return;
    SetVisible(false);
    moneyPart_ = FindPart("client_money");
    if (moneyPart_)
        moneyPart_->SetVisible(false);
}

void TCClient::Vanish()
{
    Lists().present.remove(this);
    present_ = false;
    state_ = kGone;
    visit_.reset();
    wanted_.clear();
    scandalBubble_.Set(0.0f);
    ShowParts(false);
}

void TCClient::EnterQueue()
{
    if (!present_)
        Lists().present.push_back(this);
    present_ = true;
}

void TCClient::LeaveQueue()
{
    Lists().present.remove(this);
    present_ = false;
    const TCClientBoard* board = GetClientBoard();
    placePause_.Set(board ? board->GetClientPause() : 0.0f);
}

std::string TCClient::GetPlaceName() const { return GetClientPlace(name_); }

void TCClient::BeginVisit(const TCEvent& event, float patience, const TCClientParams& type)
{
    type_ = type;
    patience_ = std::clamp(type.overridden ? type.startPatience : patience, 0.0f, 100.0f);
    vip_ = event.vip;
    visit_ = std::make_shared<Visit>(Visit{{event.orders.begin(), event.orders.end()}, 0});
    wanted_.clear();
    AddIdleTiming(*this, kMoodClips, type.idle);
    EnterQueue();
    satisfied_ = true;
    scandalTimer_.Set(type.scandalInterval);
    scandalBubble_.Set(0.0f);
    SetVisible(true);
    ShowParts(true);
    if (moneyPart_)
        moneyPart_->PlayAnimation("pack", false);
    SetState(kWaiting);
    SetAnimation("direct_green", false);
    PlayGameSound("client_spawn");
}

void TCClient::SetState(int state)
{
    if (inSetState_)
        return;
    inSetState_ = true;
    const int old = state_;
    state_ = state;
    switch (state) {
    case kGone:
        if (old != kGone) {
            if (!SetAnimation(satisfied_ ? "go_happy" : "go_unhappy", false))
                SetVisible(false);
            ShowParts(false);
            LeaveQueue();
            visit_.reset();
            wanted_.clear();
            scandalBubble_.Set(0.0f);
        }
        break;
    case kWaiting:
        SetAnimation(MoodClip(), false);
        break;
    case kThinking:
        if (old != kThinking)
            stateTimer_.Set(type_->decisionTime);
        SetAnimation("idle_thinking", false);
        break;
    case kEating:
        if (old != kEating)
            stateTimer_.Set(type_->eatingTime);
        SetAnimation("eating_process", false);
        break;
    default:
        break;
    }
    inSetState_ = false;
}

std::string TCClient::MoodClip() const
{
    const TCClientConfig& config = GetClientConfig();
    if (patience_ > config.greenLevel)
        return "idle_green";
    if (patience_ > config.yellowLevel)
        return "idle_yellow";
    return "discontent";
}

bool TCClient::PlaysDirectClip() const { return IsOneOf(GetCurrentAnimation(), kDirectClips); }

void TCClient::ScheduleAnimation(TCItemPart* part, const std::string& name)
{
    if (state_ == kGone && (name == "go_happy" || name == "go_unhappy")) {
        SetVisible(false);
        return;
    }
    if (state_ != kGone && IsOneOf(name, kDirectClips) && name == GetCurrentAnimation()) {
        SetState(state_);
        return;
    }
    TCItem::ScheduleAnimation(part, name);
}

void TCClient::SetMouseOver(Nubra::Point point, bool over)
{
    TCItem::SetMouseOver(point, over);
    if (over && state_ == kWaiting && !PlaysDirectClip())
        SetAnimation(patience_ > GetClientConfig().yellowLevel ? "direct_green" : "direct_yellow", false);
}

float TCClient::ChangePatience(float delta)
{
    if (delta < 0.0f && TutorialForbids(kTutorialActionPatience))
        delta = 0.0f;
    const bool frozen = IsStatusFrozen();
    const float old = patience_;
    if (!(frozen && delta < 0.0f))
        patience_ += delta;
    if (patience_ < 0.0f) {
        patience_ = 0.0f;
        satisfied_ = false;
    } else if (patience_ >= 100.0f) {
        patience_ = 100.0f;
    }
    const TCClientConfig& config = GetClientConfig();
    for (float level : {config.redLevel, config.yellowLevel, config.greenLevel}) {
        if ((old > level) != (patience_ > level)) {
            if (state_ != kGone)
                SetState(state_);
            break;
        }
    }
    return patience_;
}

bool TCClient::WantsItem(const std::string& item) const
{
    return !item.empty() && (item == wanted_ || item == "super" || DebugSettings().FoodAll);
}

size_t TCClient::GetOrdersLeft() const { return visit_ ? visit_->orders.size() - visit_->next : 0; }

int TCClient::MoneyOf(const TCClientParams& type) const
{
    const TCClientConfig& config = GetClientConfig();
    if (patience_ > config.greenLevel)
        return type.moneyGreen;
    if (patience_ > config.yellowLevel)
        return type.moneyYellow;
    return type.moneyRed;
}

void TCClient::Update()
{
    TCItem::Update();
    if (!active_)
        return;
    if (!HasStatus()) {
        // A place that came into play after its client shows its shadows until told otherwise.
        ShowParts(false);
        return;
    }
    // The ice bonus holds scenes back as long as it holds patience.
    if (IsStatusFrozen())
        scandalTimer_.Extend(gFrameTime);
    TCClientBoard* board = GetClientBoard();
    if (state_ == kWaiting && !satisfied_) {
        if (board)
            board->ClearClientFlag();
        Pay();
        SetState(kGone);
        return;
    }
    if (state_ == kWaiting)
        ChangePatience(-type_->patienceSpeed * gFrameTime);
    RunScandal();
    RunTimers();
}

void TCClient::RunScandal()
{
    if (patience_ > type_->scandalLevel || scandalTimer_.IsPending())
        return;
    const TCClientConfig& config = GetClientConfig();
    scandalTimer_.Set(type_->scandalInterval);
    ChangeAllPatience(2, config.scandalEffect, this);
    scandalBubble_.Set(config.scandalBubbleTime);
    if (state_ == kWaiting && GetCurrentAnimation() != "scandal") {
        SetAnimation("scandal", false);
        PlayGameSound("client_scandal");
    }
}

void TCClient::RunTimers()
{
    if (stateTimer_.IsPending())
        return;
    if (state_ == kThinking) {
        ShowOrder();
    } else if (state_ == kEating) {
        Pay();
        NextOrder();
    }
}

void TCClient::ShowOrder()
{
    if (GetOrdersLeft() == 0) {
        SetState(kGone);
        return;
    }
    wanted_ = visit_->orders[visit_->next++];
    PlayGameSound("client_ready");
    SetState(kWaiting);
    ApplyTutorialRule(kTutorialOrderShown);
}

void TCClient::NextOrder()
{
    if (GetOrdersLeft() == 0)
        SetState(kGone);
    else if (type_->decisionTime <= 0.0f)
        ShowOrder();
    else
        SetState(kThinking);
}

void TCClient::Pay()
{
    TCClientBoard* board = GetClientBoard();
    int amount = 0;
    if (satisfied_) {
        amount = GetMoney();
        if (moneyPart_)
            moneyPart_->RunEvent("activation");
        PlayGameSound("client_positiv");
    } else {
        amount = GetLoss();
        PlayGameSound("client_negativ");
        if (board && gGameBoard->IsSurvival())
            board->LoseLife();
        if (board && vip_)
            board->SetVipLost();
    }
    if (board)
        board->ShowMoneyPopup(*this, amount);
    if (gGameBoard)
        gGameBoard->AddMoney(amount);
    ApplyTutorialRule(kTutorialClientLeft);
}

bool TCClient::OnUse(TCItem* other, bool testOnly)
{
    if (!other || other->GetName() != "boss" || state_ != kWaiting)
        return false;
    if (wanted_.empty()) {
        // The boss only came to hear the order; it keeps what it holds.
        if (!testOnly)
            SetState(kThinking);
        return testOnly;
    }
    auto* hands = dynamic_cast<TCIHands*>(other);
    if (!hands)
        return false;
    for (int hand : {TCIHands::kPrimary, TCIHands::kSecondary}) {
        if (WantsItem(hands->GetHandItem(hand))) {
            if (!testOnly)
                Serve(*hands, hand);
            return true;
        }
    }
    return false;
}

void TCClient::Serve(TCIHands& hands, int hand)
{
    WriteLog("Client wants '%s'", wanted_.c_str());
    hands.EmptyHand(hand);
    wanted_.clear();
    if (EatsBeforePaying()) {
        SetState(kEating);
        ChangePatience(type_->eatingPatience);
        return;
    }
    Pay();
    SetState(GetOrdersLeft() > 0 ? kThinking : kGone);
}

bool TCClient::GetStatusValue(float& value) const
{
    if (state_ == kGone)
        return false;
    value = patience_;
    return true;
}

bool TCClient::GetBubbleText(std::string& text) const
{
    if (scandalBubble_.IsPending())
        text = "scandal";
    else if (state_ == kWaiting)
        text = wanted_.empty() ? "ready" : wanted_;
    else if (state_ == kThinking)
        text = "think";
    else
        return false;
    return true;
}

TCStatusLevels TCClient::GetStatusLevels() const
{
    const TCClientConfig& config = GetClientConfig();
    return {config.greenLevel, config.yellowLevel, config.redLevel};
}

bool TCClient::IsStatusFrozen() const { return gGameBoard && gGameBoard->IsFrozen(); }

std::string TCClient::GetBubbleKind() const
{
    if (scandalBubble_.IsPending())
        return "aggro";
    // Beyond the order shown, or the one about to be.
    return GetOrdersLeft() > (wanted_.empty() ? 1u : 0u) ? "multi_client" : "client";
}

// ---- TCClientStand ----

TCClientStand::~TCClientStand() { Lists().freeStands.remove(this); }

void TCClientStand::SetActive(bool active)
{
    TCClient::SetActive(active);
    if (active)
        PutLast(Lists().freeStands, this);
    else
        Lists().freeStands.remove(this);
}

void TCClientStand::LoadSkin(pugi::xml_node node)
{
    TCClient::LoadSkin(node);
    const std::string place = GetPlaceName();
    TCItem* placeItem = FindItemByName(place);
    shadow_ = placeItem && place.size() >= 2 ? placeItem->FindPart("bar01_shadow" + place.substr(place.size() - 2))
                                             : nullptr;
    ShowPart(shadow_, false);
}

void TCClientStand::ShowParts(bool show) { ShowPart(shadow_, show); }

void TCClientStand::LeaveQueue()
{
    TCClient::LeaveQueue();
    PutLast(Lists().freeStands, this);
}

TCClient::Spawned SpawnStanding(const TCEvent& event, float patience)
{
    if (event.persons[0].empty())
        WriteLog("WARNING: Client skin not defined!");
    const TCClientParams* type = FindClientSkin(event.persons[0]);
    if (!type)
        return TCClient::Spawned::kInvalid;
    TCClientStand* client = TakeFreePlace(Lists().freeStands);
    if (!client)
        return TCClient::Spawned::kNoPlace;
    client->SetSkin(event.persons[0], true);
    client->BeginVisit(event, patience, *type);
    return TCClient::Spawned::kPlaced;
}

// ---- TCClientSit ----

TCClientSit::~TCClientSit() { Lists().freeTables.remove(this); }

void TCClientSit::SetActive(bool active)
{
    TCClient::SetActive(active);
    if (active)
        PutLast(Lists().freeTables, this);
    else
        Lists().freeTables.remove(this);
}

void TCClientSit::LoadSkin(pugi::xml_node node)
{
    TCClient::LoadSkin(node);
    TCItem* place = FindItemByName(GetPlaceName());
    for (int i = 0; i < kMembers; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "client_table01_shadow%02d", i + 1);
        shadows_[i] = place ? place->FindPart(name) : nullptr;
        ShowPart(shadows_[i], false);
    }
}

void TCClientSit::ShowParts(bool show)
{
    for (int i = 0; i < kMembers; ++i)
        ShowPart(shadows_[i], show && members_[i]);
}

int TCClientSit::GetMoney() const
{
    int most = 0;
    bool any = false;
    for (const auto& member : members_) {
        if (member) {
            most = any ? std::max(most, MoneyOf(*member)) : MoneyOf(*member);
            any = true;
        }
    }
    return most;
}

int TCClientSit::GetLoss() const
{
    int most = 0;
    for (const auto& member : members_)
        if (member)
            most = std::max(most, member->loss);
    return -most;
}

void TCClientSit::LeaveQueue()
{
    TCClient::LeaveQueue();
    PutLast(Lists().freeTables, this);
}

void TCClientSit::SetMembers(const std::array<std::optional<TCClientParams>, kMembers>& members)
{
    members_ = members;
    for (int i = 0; i < kMembers; ++i) {
        const std::string skin = members_[i] ? members_[i]->name : "empty";
        for (const char* partName : kMemberParts)
            if (TCItemPart* part = FindPart(partName, i))
                part->SetSkin(skin);
    }
}

TCClient::Spawned SpawnFamily(const TCEvent& event, float patience)
{
    if (event.persons[0].empty())
        WriteLog("WARNING: Client skin not defined!");
    std::array<std::optional<TCClientParams>, TCClientSit::kMembers> members;
    const TCClientParams* first = nullptr;
    for (int i = 0; i < TCClientSit::kMembers; ++i) {
        if (event.persons[i].empty())
            continue;
        if (const TCClientParams* type = FindClientSkin(event.persons[i])) {
            members[i] = *type;
            first = first ? first : type;
        }
    }
    if (!first)
        return TCClient::Spawned::kInvalid;
    TCClientSit* client = TakeFreePlace(Lists().freeTables);
    if (!client)
        return TCClient::Spawned::kNoPlace;
    client->SetMembers(members);
    client->BeginVisit(event, patience, *first);
    return TCClient::Spawned::kPlaced;
}

// ---- the clients together ----

const std::list<TCClient*>& GetPresentClients() { return Lists().present; }

TCClient* FindClientByName(const std::string& name)
{
    const auto found = Lists().named.find(name);
    return found != Lists().named.end() ? found->second : nullptr;
}

void ChangeAllPatience(int mode, float amount, const TCClient* except)
{
    // A copy: a change of mood may send a client away.
    const std::list<TCClient*> present = Lists().present;
    for (TCClient* client : present) {
        if (!client->HasStatus())
            continue;
        if (mode == 1)
            client->ChangePatience(amount);
        else if (mode == 2 && client != except)
            client->ChangePatience(-amount);
    }
}

bool SpawnClientEvent(const TCEvent& event, float patience)
{
    if (TutorialForbids(kTutorialActionArrivals))
        return false;
    TCClient::Spawned spawned = TCClient::Spawned::kNoPlace;
    if (event.type == "client")
        spawned = SpawnStanding(event, patience);
    else if (event.type == "family")
        spawned = SpawnFamily(event, patience);
    if (spawned == TCClient::Spawned::kInvalid) {
        // Refusing it would hold up every later arrival of its queue.
        WriteLog("ERROR: Arrival of type '%s' at %.2f s dropped: it names no client type", event.type.c_str(),
                 event.time);
        return true;
    }
    if (spawned != TCClient::Spawned::kPlaced)
        return false;
    ApplyTutorialRule(kTutorialClientSpawned);
    return true;
}

void DropUnplaceableEvents(TCEventQueue& queue)
{
    const bool stands = AnyActive<TCClientStand>();
    const bool tables = AnyActive<TCClientSit>();
    queue.DropEvents([&](const TCEvent& event) {
        const std::string why = Unplaceable(event, stands, tables);
        if (!why.empty())
            WriteLog("ERROR: Arrival of type '%s' at %.2f s dropped: %s", event.type.c_str(), event.time,
                     why.c_str());
        return !why.empty();
    });
}
