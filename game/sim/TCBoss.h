#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "game/sim/TCIHands.h"
#include "game/sim/TCIdleTiming.h"
#include "game/sim/TCMoveItem.h"

class TCIBossWorker;

// A person's parameters beyond its walk, from its "perses/pers" record.
struct TCPersParams {
    float washTime = 0.0f;
    float speedAddUpgrade = 0.0f;
    float speedAddBonus = 0.0f;
    float bonusSpeedTime3 = 0.0f;
    float bonusSpeedTime4 = 0.0f;
    TCIdleTiming idle;
};

// Every "perses/pers" record's parameters, by name, replacing any read before.
void LoadPersParams(pugi::xml_node config);
void ClearPersParams();
const TCPersParams* FindPersParams(const std::string& name);

// The character the player controls: it walks to each clicked object in turn and trades there,
// carrying at most two items, one in each hand.
class TCBoss : public TCMoveItem, public TCIHands {
public:
    // Coming into play: empty hands, the idle clip.
    void SetActive(bool active) override;
    // On arrival the idle clip follows the hands; code 4 ends the walk.
    void Notify(int code) override;
    void Update() override;
    // Tested first, then carried out as the test decided.
    bool OnUse(TCItem* target, bool testOnly) override;
    // Also the body part, the held-item parts and the parameters.
    void BindPerson() override;
    // What the hands hold is drawn over the body.
    void RegisterZOrder(TCZOrderSolver& solver) override;
    // Person speed, plus the bought upgrade, plus the running bonus.
    float GetMoveSpeed() const override;

    // The running bonus lasts the longer of what is left and this.
    void StartSpeedBonus(float seconds);
    bool IsSpeedBonusOn() const { return bonusOn_; }
    float GetSpeedBonusLeft() const { return bonusLeft_; }

    // A hand is free; a periodic source serves only then.
    bool CanTakeItem() const { return hands_[kPrimary].empty() || hands_[kSecondary].empty(); }
    // A hand is free, or holds a product that joins with this one into a code a client wants.
    bool CanTakeProduct(const std::string& product) const;
    const std::string& GetHandItem(int hand) const override { return hands_[hand]; }
    // A served client takes its item this way.
    void EmptyHand(int hand) override { SetHand(hand, ""); }
    void SetHand(int hand, const std::string& item);
    const TCPersParams* GetParams() const { return params_ ? &*params_ : nullptr; }
    // The clip that shows the hands, standing or walking.
    std::string IdleClip() const;
    std::string MoveClip() const;

private:
    enum class Rush { kNone, kServe, kReset };
    // What one use of a target does, decided by the test and carried out by the commit.
    struct Exchange {
        const TCItem* target = nullptr;
        bool accepted = false;
        int hand = -1;
        std::string handItem;
        std::string joinedWith;
        std::string product;
        TCIBossWorker* worker = nullptr;
        std::optional<std::string> workerSlot;
        Rush rush = Rush::kNone;
        const char* sound = nullptr;
    };

    std::string ClipByHands(const char* both, const char* primary, const char* secondary, const char* none) const;
    Exchange Plan(TCItem* target) const;
    Exchange PlanMaterial(const TCItem* target) const;
    Exchange PlanWashStand() const;
    Exchange PlanTrash() const;
    Exchange PlanClient(const TCItem* place) const;
    Exchange PlanWorker(const TCItem* table) const;
    void Commit(const Exchange& exchange);
    void ApplyRush(Rush rush) const;
    int FreeHand() const;
    void PlayIdleClip();
    void ShowHeldItems();

    std::array<std::string, 2> hands_;
    // A copy, so a configuration read again cannot pull it away.
    std::optional<TCPersParams> params_;
    bool walking_ = false;
    bool bonusOn_ = false;
    float bonusLeft_ = 0.0f;
    Exchange exchange_;
    TCItemPart* body_ = nullptr;
    std::vector<TCItemPart*> heldParts_;
};
