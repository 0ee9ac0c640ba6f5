#pragma once
#include <pugixml.hpp>

#include <string>

#include "engine/core/GameClock.h"
#include "game/sim/ServeCounterparts.h"
#include "game/sim/TCIdleTiming.h"
#include "game/sim/TCItem.h"
#include "game/sim/TIStatSrc.h"

class TCWorker;

// The configuration's "workers" element: tidiness levels (green above g) and values the
// effects and fades use.
struct TCWorkerConfig {
    float greenLevel = 0.0f;
    float yellowLevel = 0.0f;
    float redLevel = 0.0f;
    float cleanserEffect = 0.0f;
    float brushEffect = 0.0f;
    float alphaBlendTime = 0.0f;
};

// One "workers/worker" element, by the name of the worker object that uses it.
struct TCWorkerRecord {
    std::string name;
    // 1, 2, ... in reading order; the owned-upgrade bytes are counted by it.
    int index = 0;
    float workTime = 0.0f;
    float tidinessUp = 0.0f;
    float tidinessDown = 0.0f;
    int breakFrame = 0;
    float breakTime = 0.0f;
    float upgradeTidinessDown = 0.0f;
    float upgradeWorkSpeed = 0.0f;
    bool hasStartTidiness = false;
    float startTidiness = 100.0f;
    TCIdleTiming idle;
    std::string startSound;
    std::string product;
    std::string productType;
    // The worker object of the current level, or null.
    TCWorker* worker = nullptr;

    // What a level override replaced, for its restore.
    bool overridden = false;
    float keptWorkTime = 0.0f;
    float keptTidinessUp = 0.0f;
    float keptTidinessDown = 0.0f;
};

// Reads the configuration's "workers" section, replacing any records read before.
void LoadWorkers(pugi::xml_node config);
void ClearWorkers();
const TCWorkerConfig& GetWorkerConfig();
TCWorkerRecord* FindWorkerRecord(const std::string& name);
// The level's "override_workers/worker" values, until RestoreWorkerOverrides.
void OverrideWorkers(pugi::xml_node level);
void RestoreWorkerOverrides();
// The worker object of that name while it has its look for the level, or null.
TCWorker* FindWorkerByName(const std::string& name);
// Mode 1 (the global clean bonus): every active worker gains that much tidiness and shows its
// cleaning; other modes do nothing.
void ChangeAllTidiness(int mode, float amount);

// A worker at its table: the boss starts it, it works while its table gets dirty, its product
// waits for the boss; at tidiness 0 it breaks down until the boss cleans the table.
class TCWorker : public TCItem, public TIStatSrc, public TCIBossWorker {
public:
    enum State { kIdle = 0, kBroken = 1, kReady = 2, kWorking = 3 };

    ~TCWorker() override;

    void SetActive(bool active) override;
    void LoadSkin(pugi::xml_node node) override;
    void ClearParts() override;
    void Update() override;
    bool OnUse(TCItem* other, bool testOnly) override;
    void SetMouseOver(Nubra::Point point, bool over) override;
    void ScheduleAnimation(TCItemPart* part, const std::string& name) override;
    // Reads the worker's "tidiness" and "speed" upgrades from the board again.
    void ApplyUpgrade(const std::string& skin) override;

    bool HasStatus() const override { return record_ != nullptr; }
    bool IsBusy() const override { return state_ == kWorking; }
    bool GetStatusValue(float& value) const override;
    bool GetBubbleText(std::string& text) const override;
    std::string GetBubbleKind() const override;
    bool GetProductType(std::string& type) const override;
    TCStatusLevels GetStatusLevels() const override;
    bool IsStatusFrozen() const override { return IsFrozen(); }

    // A rise is capped at 100; a fall happens only while the cafe is not frozen and the tutorial
    // lets tidiness fall, and stops at 0.
    void ChangeTidiness(float delta);
    // Shows the table being cleaned; a broken worker goes back to work.
    void Clean();
    void SetState(int state);
    bool IsFrozen() const;
    // Working: the share of the work still to do, 0..1; otherwise -1.
    float GetWorkProgress() const override;
    float GetWorkTime() const;
    // 255 for a table at tidiness 0, 0 for a clean one.
    int GetSoilingAlpha() const;

    int GetState() const { return state_; }
    float GetTidiness() const { return tidiness_; }
    const TCWorkerRecord* GetRecord() const { return record_; }
    // What lies at the worker's place for the boss to take.
    bool IsProductReady() const override { return state_ == kReady; }
    const std::string& GetProductSlot() const override { return thing_; }
    void SetProductSlot(const std::string& product) override { thing_ = product; }
    bool HasTidinessUpgrade() const { return tidinessUpgrade_; }
    bool HasSpeedUpgrade() const { return speedUpgrade_; }
    TCItem* GetTable() const { return table_; }
    // Lets go of its record and its table, leaving play for good.
    void Unregister();

private:
    void EnterState(int from, int to);
    void PlayClip(const char* clip) { SetAnimation(clip, false); }
    void StartWork();
    void RefreshSoiling();
    void FindTableParts();
    bool CrossedLevel(float before, float after) const;

    int state_ = kIdle;
    bool inStateChange_ = false;
    TCWorkerRecord* record_ = nullptr;
    float tidiness_ = 100.0f;
    TCTimeout workTimeout_;
    TCItem* table_ = nullptr;
    TCItemPart* soilingTable_ = nullptr;
    TCItemPart* soilingFloor_ = nullptr;
    TCItemPart* soilingFront_ = nullptr;
    TCItemPart* cleaning_ = nullptr;
    TCItemPart* upgradePart1_ = nullptr;
    TCItemPart* upgradePart2_ = nullptr;
    bool tidinessUpgrade_ = false;
    bool speedUpgrade_ = false;
    bool hoverClip_ = false;
};
