#include "game/sim/TCBoss.h"

#include <algorithm>
#include <map>

#include "engine/core/EngineHelpers.h"
#include "engine/core/GameClock.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/Products.h"
#include "game/sim/ServeCounterparts.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCPeriodItem.h"
#include "game/sim/TCZOrderSolver.h"
#include "game/sim/TutorialPort.h"

namespace {

std::map<std::string, TCPersParams>& AllParams()
{
    static std::map<std::string, TCPersParams> params;
    return params;
}

constexpr const char* kIdleClips[] = {"boss_idle_empty1", "boss_idle_empty2", "boss_idle_second", "boss_idle_full",
                                      "boss_idle_full_second"};
constexpr size_t kMaxHeldParts = 4;
// A ghost every step while the bonus runs, each fading within 0.14 s.
constexpr float kTrailRate = 500.0f;
constexpr float kTrailPeriod = 0.01f;

// The boss's own idea of what it can take from: the machines by name, and every periodic source.
bool IsMaterial(const TCItem* target)
{
    static const char* const kNames[] = {"candymachine", "colamachine", "coffeemachine", "super_material"};
    return dynamic_cast<const TCPeriodItem*>(target) ||
           std::any_of(std::begin(kNames), std::end(kNames), [&](const char* name) { return target->HasName(name); });
}

const char* MaterialSound(const TCItem* target)
{
    if (target->HasName("colamachine"))
        return "soda_mashine";
    if (target->HasName("coffeemachine"))
        return "coffe_mashine";
    if (target->HasName("candymachine"))
        return "candy";
    return "boss_take_item";
}

bool IsClientPlace(const std::string& name)
{
    return name.starts_with("client_place") || name.starts_with("client_sit_place");
}

const char* HandName(int hand) { return hand == TCBoss::kPrimary ? "PRIMARY" : "SECONDARY"; }

} // namespace

void LoadPersParams(pugi::xml_node config)
{
    ClearPersParams();
    ForEachNode(config, "perses/pers", [](pugi::xml_node node) {
        std::string name;
        XmlGetString(node, "name", name);
        TCPersParams& params = AllParams()[name];
        params = {};
        XmlGetFloat(node, "wash_time", params.washTime);
        XmlGetFloat(node, "speed_add_upgrade", params.speedAddUpgrade);
        XmlGetFloat(node, "speed_add_bonus", params.speedAddBonus);
        XmlGetFloat(node, "bonus_speed_time3", params.bonusSpeedTime3);
        XmlGetFloat(node, "bonus_speed_time4", params.bonusSpeedTime4);
        ReadIdleTiming(node, "idle_rastart_time_min", "idle_rastart_time_max", params.idle);
        return true;
    });
}

void ClearPersParams() { AllParams().clear(); }

const TCPersParams* FindPersParams(const std::string& name)
{
    const auto found = AllParams().find(name);
    return found != AllParams().end() ? &found->second : nullptr;
}

void TCBoss::BindPerson()
{
    TCMoveItem::BindPerson();
    body_ = FindPart("boss");
    heldParts_.clear();
    for (const auto& part : parts_)
        if (part->GetName() == "held_items" && heldParts_.size() < kMaxHeldParts) {
            part->SetEffectVisible(false);
            heldParts_.push_back(part.get());
        }
    params_.reset();
    if (const TCPersParams* params = FindPersParams(name_))
        params_ = *params;
    else
        WriteLog("WARNING: No parameters for '%s'", name_.c_str());
}

void TCBoss::RegisterZOrder(TCZOrderSolver& solver)
{
    TCMoveItem::RegisterZOrder(solver);
    if (body_)
        for (TCItemPart* held : heldParts_)
            solver.RegisterChild(*body_, *held);
}

void TCBoss::SetActive(bool active)
{
    TCMoveItem::SetActive(active);
    walking_ = false;
    if (!active)
        return;
    AddIdleTiming(*this, kIdleClips, params_ ? params_->idle : TCIdleTiming{});
    hands_ = {};
    exchange_ = {};
    bonusOn_ = false;
    bonusLeft_ = 0.0f;
    SetTrail(false, kTrailRate, kTrailPeriod);
    ShowHeldItems();
    PlayIdleClip();
}

void TCBoss::Notify(int code)
{
    if (code == kNotifyArrived)
        PlayIdleClip();
    else if (code == kNotifyWalkEnded)
        walking_ = false;
}

float TCBoss::GetMoveSpeed() const
{
    float speed = TCMoveItem::GetMoveSpeed();
    if (!params_)
        return speed;
    if (gGameBoard && gGameBoard->IsUpgradeActive("boss", "speed"))
        speed += params_->speedAddUpgrade;
    if (bonusOn_)
        speed += params_->speedAddBonus;
    return speed;
}

void TCBoss::StartSpeedBonus(float seconds)
{
    bonusLeft_ = bonusOn_ ? std::max(bonusLeft_, seconds) : seconds;
    bonusOn_ = true;
    SetTrail(true, kTrailRate, kTrailPeriod);
}

void TCBoss::Update()
{
    TCMoveItem::Update();
    if (IsMoving() && !walking_) {
        walking_ = true;
        PlayLoopedAnimation(MoveClip());
        PlayGameSound(bonusOn_ ? "boss_steps_fast" : "boss_steps");
    } else if (!IsMoving()) {
        walking_ = false;
    }
    if (bonusOn_) {
        bonusLeft_ -= gFrameTime;
        if (bonusLeft_ <= 0.0f) {
            bonusOn_ = false;
            bonusLeft_ = 0.0f;
            SetTrail(false, kTrailRate, kTrailPeriod);
        }
    }
}

std::string TCBoss::ClipByHands(const char* both, const char* primary, const char* secondary, const char* none) const
{
    const bool inPrimary = !hands_[kPrimary].empty(), inSecondary = !hands_[kSecondary].empty();
    if (inPrimary)
        return inSecondary ? both : primary;
    return inSecondary ? secondary : none;
}

std::string TCBoss::IdleClip() const
{
    // Empty hands idle one of two ways; only then is a draw spent.
    if (hands_[kPrimary].empty() && hands_[kSecondary].empty())
        return RandomInt(0, 2) == 0 ? "boss_idle_empty1" : "boss_idle_empty2";
    return ClipByHands("boss_idle_full_second", "boss_idle_full", "boss_idle_second", "");
}

std::string TCBoss::MoveClip() const
{
    return ClipByHands("boss_move_full_second", "boss_move_full", "boss_move_second", "boss_move_empty");
}

void TCBoss::PlayIdleClip() { SetAnimation(IdleClip(), false); }

void TCBoss::SetHand(int hand, const std::string& item)
{
    hands_[hand] = item;
    ShowHeldItems();
}

void TCBoss::ShowHeldItems()
{
    for (size_t i = 0; i < heldParts_.size(); ++i) {
        const std::string& item = i < hands_.size() ? hands_[i] : std::string();
        const bool shown = !item.empty() && heldParts_[i]->PlayAnimation(item, false);
        heldParts_[i]->SetEffectVisible(shown);
    }
}

int TCBoss::FreeHand() const
{
    if (hands_[kPrimary].empty())
        return kPrimary;
    return hands_[kSecondary].empty() ? kSecondary : -1;
}

bool TCBoss::CanTakeProduct(const std::string& product) const
{
    return FreeHand() >= 0 || std::any_of(hands_.begin(), hands_.end(), [&](const std::string& held) {
               return !JoinForClient(held, product).empty();
           });
}

bool TCBoss::OnUse(TCItem* target, bool testOnly)
{
    if (testOnly) {
        exchange_ = Plan(target);
        if (!exchange_.accepted)
            ApplyRush(exchange_.rush);
        return exchange_.accepted;
    }
    // The target has already carried out its side: what the test saw is what counts.
    if (exchange_.target != target)
        exchange_ = Plan(target);
    const bool accepted = exchange_.accepted;
    if (accepted)
        Commit(exchange_);
    exchange_ = {};
    return accepted;
}

TCBoss::Exchange TCBoss::Plan(TCItem* target) const
{
    Exchange exchange;
    if (IsMaterial(target))
        exchange = PlanMaterial(target);
    else if (target->HasName("wash_stand"))
        exchange = PlanWashStand();
    else if (target->HasName("trash_bin"))
        exchange = PlanTrash();
    else if (target->HasName("tray"))
        exchange.accepted = true;
    else if (IsClientPlace(target->GetName()))
        exchange = PlanClient(target);
    else if (target->GetName().starts_with("table"))
        exchange = PlanWorker(target);
    exchange.target = target;
    return exchange;
}

TCBoss::Exchange TCBoss::PlanMaterial(const TCItem* target) const
{
    Exchange exchange;
    exchange.hand = FreeHand();
    if (exchange.hand < 0) {
        exchange.rush = Rush::kReset;
        return exchange;
    }
    exchange.accepted = true;
    exchange.handItem = target->GetThing().empty() ? target->GetName() : target->GetThing();
    exchange.rush = Rush::kServe;
    exchange.sound = MaterialSound(target);
    return exchange;
}

TCBoss::Exchange TCBoss::PlanWashStand() const
{
    Exchange exchange;
    exchange.rush = Rush::kReset;
    exchange.hand = FreeHand();
    if (exchange.hand < 0)
        return exchange;
    exchange.accepted = true;
    exchange.handItem = "wash";
    exchange.sound = "take_brush";
    return exchange;
}

TCBoss::Exchange TCBoss::PlanTrash() const
{
    Exchange exchange;
    exchange.hand = !hands_[kSecondary].empty() ? kSecondary : !hands_[kPrimary].empty() ? kPrimary : -1;
    if (exchange.hand < 0)
        return exchange;
    exchange.accepted = true;
    exchange.rush = Rush::kReset;
    exchange.sound = "make_trash";
    return exchange;
}

TCBoss::Exchange TCBoss::PlanClient(const TCItem* place) const
{
    Exchange exchange;
    const TCItem* owner = FindItemByName(GetPlaceOwner(place->GetName()));
    const auto* client = dynamic_cast<const TCIBossClient*>(owner);
    if (!client || !owner->IsVisible()) {
        exchange.rush = Rush::kReset;
        return exchange;
    }
    // A client showing no order takes the visit; the client takes its item out of the hand itself.
    exchange.accepted =
        client->GetWantedItem().empty() || client->WantsItem(hands_[kPrimary], hands_[kSecondary]);
    if (exchange.accepted)
        exchange.rush = Rush::kServe;
    return exchange;
}

TCBoss::Exchange TCBoss::PlanWorker(const TCItem* table) const
{
    Exchange exchange;
    TCItem* owner = FindItemByName(GetPlaceOwner(table->GetName()));
    auto* worker = dynamic_cast<TCIBossWorker*>(owner);
    if (!worker || !owner->IsActive())
        return exchange;
    exchange.worker = worker;
    for (int hand : {kPrimary, kSecondary})
        if (hands_[hand] == "wash") {
            // The worker cleans its table with it.
            exchange.accepted = true;
            exchange.hand = hand;
            return exchange;
        }
    if (!worker->IsProductReady()) {
        exchange.accepted = true;
        exchange.workerSlot = "0000";
        exchange.rush = Rush::kServe;
        return exchange;
    }
    exchange.product = worker->GetProductSlot();
    const std::string& product = exchange.product;
    for (int hand : {kPrimary, kSecondary}) {
        std::string joined = JoinForClient(hands_[hand], product);
        if (!joined.empty()) {
            exchange.hand = hand;
            exchange.joinedWith = hands_[hand];
            exchange.handItem = std::move(joined);
            break;
        }
    }
    if (exchange.hand < 0) {
        exchange.hand = FreeHand();
        exchange.handItem = product;
    }
    if (exchange.hand < 0) {
        exchange.rush = Rush::kReset;
        return exchange;
    }
    exchange.accepted = true;
    exchange.workerSlot = "";
    exchange.rush = Rush::kServe;
    exchange.sound = "boss_take_item";
    return exchange;
}

void TCBoss::Commit(const Exchange& exchange)
{
    ApplyTutorialRule(kTutorialExchange);
    if (!exchange.joinedWith.empty()) {
        const char* hand = HandName(exchange.hand);
        WriteLog("\n%s HAND Joining parts:'%s', '%s'", hand, exchange.joinedWith.c_str(), exchange.product.c_str());
        WriteLog("%s HAND Result:'%s'\n", hand, exchange.handItem.c_str());
    }
    if (exchange.hand >= 0)
        hands_[exchange.hand] = exchange.handItem;
    if (exchange.worker && exchange.workerSlot)
        exchange.worker->SetProductSlot(*exchange.workerSlot);
    ApplyRush(exchange.rush);
    if (exchange.sound)
        PlayGameSound(exchange.sound);
    ShowHeldItems();
    PlayIdleClip();
}

void TCBoss::ApplyRush(Rush rush) const
{
    if (!gGameBoard)
        return;
    if (rush == Rush::kServe)
        gGameBoard->CountRushServe();
    else if (rush == Rush::kReset)
        gGameBoard->ResetRushBonus();
}
