#pragma once
#include <string>

#include "game/sim/TCItem.h"
#include "game/sim/TIStatSrc.h"

class TCItemPart;

// The client or worker a status object stands over: "status_bubble_worker<sfx>" and
// "status_hp_worker<sfx>" belong to "worker<sfx>", "status_bubble_client<sfx>" and
// "status_hp_client<sfx>" to "client<sfx>"; empty for any other name.
std::string StatusOwnerName(const std::string& statusName);

// The bars' clip steps: a worker's 0..12 (a twelfth of 100 each), a client's 0..9.
int WorkerBarStep(float value);
int ClientBarStep(float value);

// What every status object shares: its owner, found by name when it takes its look, whose
// place it takes.
class TCStatusItem : public TCItem {
public:
    void LoadSkin(pugi::xml_node node) override;
    TCItem* GetOwner() const { return owner_; }
    TIStatSrc* GetSource() const { return source_; }

protected:
    TCItem* owner_ = nullptr;
    TIStatSrc* source_ = nullptr;
};

// A bubble naming what a client wants or a worker makes; it lights up while the boss carries
// that product and shakes through a scandal.
class TCStatus_Bubble : public TCStatusItem {
public:
    static constexpr float kMinStage = 0.00011f;

    void LoadSkin(pugi::xml_node node) override;
    void SetActive(bool active) override;
    void Update() override;
    // The bubble's shape for the owner and the product in it; "scandal" is never remembered.
    void ShowProduct(const std::string& product);

    bool IsShown() const { return shown_; }
    bool IsHighlighted() const { return highlighted_; }
    bool IsShaking() const { return shaking_; }
    const std::string& GetProduct() const { return product_; }
    // How much of a worker's product is done, as the production part shows it; -1 while off.
    float GetProductionStage() const { return productionStage_; }

private:
    void Show(const std::string& text);
    void Hide();
    void FollowScandal(const std::string& text);
    void FollowCarrier();
    void FollowWork();

    TCItemPart* bubble_ = nullptr;
    TCItemPart* production_ = nullptr;
    bool worker_ = false;
    bool shown_ = false;
    bool highlighted_ = false;
    bool shaking_ = false;
    std::string product_;
    float productionStage_ = -1.0f;
};

// A client's patience bar with a face for its mood.
class TCStatus_HP_Client : public TCStatusItem {
public:
    void LoadSkin(pugi::xml_node node) override;
    void SetActive(bool active) override;
    void Update() override;

    bool IsShown() const { return shown_; }
    float GetValue() const { return value_; }
    int GetStep() const { return step_; }
    const std::string& GetFace() const { return face_; }

private:
    TCItemPart* bar_ = nullptr;
    TCItemPart* back_ = nullptr;
    TCItemPart* smile_ = nullptr;
    float value_ = 100.0f;
    bool shown_ = false;
    int step_ = -1;
    int band_ = 0;
    std::string face_;
};

// A worker's tidiness bar.
class TCStatus_HP_Worker : public TCStatusItem {
public:
    void LoadSkin(pugi::xml_node node) override;
    void SetActive(bool active) override;
    void Update() override;

    float GetValue() const { return value_; }
    int GetStep() const { return step_; }

private:
    TCItemPart* bar_ = nullptr;
    TCItemPart* back_ = nullptr;
    float value_ = 100.0f;
    int step_ = -1;
    int band_ = 0;
};
