#pragma once
#include <array>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/GameClock.h"
#include "game/sim/TCClientParams.h"
#include "game/sim/ServeCounterparts.h"
#include "game/sim/TCItem.h"
#include "game/sim/TIStatSrc.h"

class TCEventQueue;
class TCIHands;
struct TCEvent;

// A guest's place on the floor: hidden while nobody is there, filled by an arrival with a visit
// of one or more orders. Waiting costs patience; the boss serves the orders; each serve pays
// by the guest's mood, and running out of patience costs money and leaves.
class TCClient : public TCItem, public TIStatSrc, public TCIBossClient {
public:
    enum State { kGone = 0, kWaiting = 1, kThinking = 2, kEating = 3 };
    // How a spawn went: the arrival came in, found no free place (it waits), or can never come.
    enum class Spawned { kPlaced, kNoPlace, kInvalid };

    ~TCClient() override;

    // Coming into play empties the place at once; leaving play ends any visit quietly.
    void SetActive(bool active) override;
    void LoadFromXml(pugi::xml_node node) override;
    void Update() override;
    // The boss's serve: a visit without an order shown starts the client thinking; an order
    // takes the first hand that holds it.
    bool OnUse(TCItem* other, bool testOnly) override;
    void SetMouseOver(Nubra::Point point, bool over) override;
    // A one-shot mood clip ended: the state's own look comes back.
    void ScheduleAnimation(TCItemPart* part, const std::string& name) override;
    bool IsBusy() const override { return state_ == kThinking; }

    bool HasStatus() const override { return state_ != kGone; }
    bool GetStatusValue(float& value) const override;
    bool GetBubbleText(std::string& text) const override;
    std::string GetBubbleKind() const override;
    bool GetProductType(std::string&) const override { return false; }
    TCStatusLevels GetStatusLevels() const override;
    bool IsStatusFrozen() const override;

    virtual void SetState(int state);
    // What the client pays now, by its mood; what it costs when it gives up (negative).
    virtual int GetMoney() const = 0;
    virtual int GetLoss() const = 0;
    // Where the boss stands to serve it.
    std::string GetPlaceName() const;
    // The place's shadows under the guests.
    virtual void ShowParts(bool show) = 0;

    // The new patience, kept within 0..100; crossing a mood level refreshes the look.
    float ChangePatience(float delta);
    // The wanted order, "super", or anything with the developer's FoodAll.
    bool WantsItem(const std::string& item) const;
    bool WantsItem(const std::string& item, const std::string& second) const override
    {
        return WantsItem(item) || WantsItem(second);
    }
    bool IsWaiting() const override { return state_ == kWaiting; }
    const std::string& GetWantedItem() const override { return wanted_; }

    // A visit begins: patience, VIP flag, look, orders, and the client waits.
    void BeginVisit(const TCEvent& event, float patience, const TCClientParams& type);

    int GetState() const { return state_; }
    float GetPatience() const { return patience_; }
    bool IsSatisfied() const { return satisfied_; }
    bool IsVip() const override { return vip_; }
    // Orders of this visit not yet shown.
    size_t GetOrdersLeft() const;
    const TCClientParams* GetType() const { return type_ ? &*type_ : nullptr; }
    // The place stays empty a while after its client left.
    bool IsPlacePaused() const { return placePause_.IsPending(); }

protected:
    // What a visit orders, copied from its arrival, and how far it has got.
    struct Visit {
        std::vector<std::string> orders;
        size_t next = 0;
    };

    // Joins the clients in the cafe.
    void EnterQueue();
    // Leaves them and starts the place's pause; the subclasses free the place.
    virtual void LeaveQueue();
    // Served groups eat before they pay.
    virtual bool EatsBeforePaying() const = 0;
    // Pays for the serve or for giving up, and tells everyone.
    void Pay();
    // The next order is shown at once or after thinking; without one the visit ends.
    void NextOrder();
    // The amount of a type's mood band at the current patience.
    int MoneyOf(const TCClientParams& type) const;

    std::optional<TCClientParams> type_;

private:
    void Serve(TCIHands& hands, int hand);
    void ShowOrder();
    void RunScandal();
    void RunTimers();
    std::string MoodClip() const;
    bool PlaysDirectClip() const;
    // Hidden and out of every list: the place is empty.
    void Vanish();

    int state_ = kGone;
    bool inSetState_ = false;
    std::shared_ptr<Visit> visit_;
    std::string wanted_;
    TCItemPart* moneyPart_ = nullptr;
    bool satisfied_ = true;
    float patience_ = 100.0f;
    bool vip_ = false;
    bool present_ = false;
    TCTimeout stateTimer_{true};
    TCTimeout scandalTimer_{true};
    TCTimeout scandalBubble_{true};
    TCTimeout placePause_{true};
};

// A single guest at the bar.
class TCClientStand : public TCClient {
public:
    ~TCClientStand() override;

    void SetActive(bool active) override;
    void LoadSkin(pugi::xml_node node) override;
    int GetMoney() const override { return MoneyOf(*type_); }
    int GetLoss() const override { return -type_->loss; }
    void ShowParts(bool show) override;

protected:
    void LeaveQueue() override;
    bool EatsBeforePaying() const override { return false; }

private:
    TCItemPart* shadow_ = nullptr;
};

// A group of up to four at a table: they eat what they are served, then pay as one, the most
// any of them would.
class TCClientSit : public TCClient {
public:
    static constexpr int kMembers = 4;

    ~TCClientSit() override;

    void SetActive(bool active) override;
    void LoadSkin(pugi::xml_node node) override;
    int GetMoney() const override;
    int GetLoss() const override;
    void ShowParts(bool show) override;
    // Who sits where; a seat without a member shows the skin "empty".
    void SetMembers(const std::array<std::optional<TCClientParams>, kMembers>& members);

    const std::array<std::optional<TCClientParams>, kMembers>& GetMembers() const { return members_; }

protected:
    void LeaveQueue() override;
    bool EatsBeforePaying() const override { return true; }

private:
    std::array<std::optional<TCClientParams>, kMembers> members_;
    std::array<TCItemPart*, kMembers> shadows_{};
};

// The first free bar place, or table, takes the arrival unless its pause still runs. An arrival
// whose skin no client type has can never come in; a family's unknown members stay empty seats.
TCClient::Spawned SpawnStanding(const TCEvent& event, float patience);
TCClient::Spawned SpawnFamily(const TCEvent& event, float patience);

// Clients in the cafe now, in order of arrival.
const std::list<TCClient*>& GetPresentClients();
// The client object of that name, or null.
TCClient* FindClientByName(const std::string& name);
// Mode 1 adds the amount to every client in the cafe; mode 2 takes it from all but one.
void ChangeAllPatience(int mode, float amount, const TCClient* except = nullptr);

// The cafe board's answer to a due arrival: "client" and "family" come in unless the tutorial
// holds arrivals. True when the event leaves the queue.
bool SpawnClientEvent(const TCEvent& event, float patience = 100.0f);
// Before a career level starts: arrivals that could never come in (no client object of their
// kind in play, or a skin no client type has) leave the queue with an error.
void DropUnplaceableEvents(TCEventQueue& queue);
