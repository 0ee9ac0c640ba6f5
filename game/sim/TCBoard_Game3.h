#pragma once
#include <pugixml.hpp>

#include <array>
#include <cstdint>
#include <list>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "engine/core/GameClock.h"
#include "engine/core/TCTextureTable.h"
#include "game/sim/CafeConfig.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TCClientBoard.h"
#include "game/sim/TCHudView.h"
#include "game/sim/TCLevelGoals.h"
#include "game/sim/TCTutorialScript.h"

class TCItem;
class TCLevelScreens;

// The cafe's board: the rules the cafe game gives the board's hooks, its configuration and the
// level data it reads itself. It owns the level's scene (the run's item list) and its depth order.
class TCBoard_Game3 : public TCBoardCore, public TCClientBoard, public TCHudBoard, public TCTutorialLevel {
public:
    static constexpr int kMaxOffered = 6;

    explicit TCBoard_Game3(TCBoardHost& host);
    ~TCBoard_Game3() override;

    void OnLevelStart() override;
    void AfterLevelResult() override;
    void LeaveLevel() override;
    using TCBoardCore::LoadLevel;
    void LoadLevel(pugi::xml_node level, const XmlDocument& document) override;
    void ResetLevelObjects() override;
    void OnItemAction(TCBoardItem* item) override;
    void UpdateLogic() override;
    void LoadConfig(pugi::xml_node root) override;
    void UnloadConfig() override;
    void CheckGoals() override;
    void NextSurvivalDay() override;
    bool SpawnEvent(const TCEvent& event) override;
    void OnPause() override;
    void OnResume() override;

    // The level flow.
    // The career's result codes, in the order they are tested.
    enum ResultCode { kResultExpert = 0, kResultGoal = 1, kResultGoalMissed = 2, kResultVipLost = 3 };
    static constexpr int kSurvivalLives = 3;

    // The shell's screens around a level (not owned); null plays a level straight through.
    void SetLevelScreens(TCLevelScreens* screens) { screens_ = screens; }
    // The display over the board (not owned), also the tutorial's; null plays without one.
    void SetHud(TCHudView* hud);
    TCHudView* GetHud() const { return hud_; }
    static int CareerDay(int level);
    // The career level's day in its cafe; in survival the day counted so far.
    int GetDay() const;
    bool IsOverlayVisible() const override;
    bool IsFrozen() const override { return freeze_.IsPending(); }
    bool IsLevelOver() override;
    void OnLevelEnd() override;
    void CountRushServe() override { rush_.Count(); }
    void ResetRushBonus() override { rush_.Reset(); }
    void KeyUp(int key) override;
    // After the cut-scene, or at once: the briefing and the cafe's music.
    void StartPlay();
    // The result reaches the career or the hi-scores, and the profile is saved.
    void FinishLevel();
    // The shop after a level closes: the level is finished unless the player is still in it.
    void CloseUpgradeShop();
    // The player left the level from the escape menu: the shop, closing, then neither finishes
    // the level nor keeps the upgrade chosen. Cleared as each level starts.
    void AbandonLevel() { abandoned_ = true; }
    bool IsLevelAbandoned() const { return abandoned_; }
    int GetResultCode() const;
    void LoseLife() override;
    void SetVipLost() override { vipLost_ = true; }
    float GetClientPause() const override { return gLevelParams.clientPause; }
    void ShowMoneyPopup(TCItem& target, int amount) override;
    void ClearClientFlag() override { LevelGoals().ClearClientFlag(); }
    // A chain of n equal mini-game pieces: strength n - 2.
    void ApplyMiniGameBonus(int kind, int strength);
    void StartRushBonusPiece();
    void ShowComix(const std::string& name);
    void ShowUpgradeShop();

    // What the display reads and asks.
    int GetHudMoney() const override { return GetMoney(); }
    int GetHudGoal() const override { return goal_; }
    float GetHudProgress() const override { return GetProgress(); }
    void ClearGoalReached() override { goalReached_ = false; }
    void OpenEscapeMenu() override;
    void OpenUpgradeShop() override { ShowUpgradeShop(); }

    // What the tutorial asks of the level.
    void EnableMiniGamePiece(int piece) override;
    void EnableAllMiniGamePieces() override;
    void ResetRushTime() override { rush_.RestartTimer(); }
    void ResetTutorialScene() override;

    int GetLives() const { return lives_; }
    bool IsVipLost() const { return vipLost_; }
    bool IsGoalReached() const { return goalReached_; }
    bool IsExpertReached() const { return expertReached_; }
    // FinishLevel has run for the level.
    bool IsFinished() const { return finished_; }
    float GetFreezeLeft() const { return freeze_.Remaining(); }
    TCRushBonus& GetRushBonus() { return rush_; }

    int GetCafe() const { return CafeOfLevel(GetLevel(), IsSurvival()); }
    int GetGoal() const { return goal_; }
    int GetExpertGoal() const { return expertGoal_; }
    const std::string& GetUpgradeSkin() const { return upgradeSkin_; }
    const std::string& GetDefaultSkin() const { return defaultSkin_; }

    // The career's owned upgrades live in the player's profile; without them the board's own
    // bytes serve, as they always do in survival.
    void SetCareerUpgradeBytes(std::span<uint8_t, kUpgradeBytes> bytes) { careerBytes_ = bytes.data(); }
    // Binds the record to its owned byte (and a worker upgrade to its worker) and reads the byte;
    // 0 for a record that has none.
    uint8_t GetUpgradeValue(TCUpgrade& record);
    bool IsUpgradeActive(const std::string& object, const std::string& name) const override;
    void ApplyUpgrade(TCUpgrade& record, bool owned);
    // What the shop offers now, at most six; survival takes the next pending kind first.
    int GetOfferedUpgrades(std::vector<TCUpgrade*>& out);
    void RefreshUpgrades();
    std::vector<TCUpgrade>& GetUpgrades(int kind) { return kind == TCUpgrade::kVisual ? visual_ : functional_; }
    // 0 none, then the record kinds: in the career what is offered after the level, in survival
    // what is on offer now.
    int GetUpgradeKind() const { return upgradeKind_; }
    void SetUpgradeKind(int kind) { upgradeKind_ = kind; }
    // Survival: the kinds that come on offer at the start of their day, and those on offer now.
    struct UpgradeStage {
        int number = 0;
        int kind = 0;
    };
    const std::list<UpgradeStage>& GetUpgradeStages() const { return upgradeStages_; }
    std::list<int>& GetPendingUpgrades() { return pendingUpgrades_; }

    void LoadLevelOverrides(pugi::xml_node level);
    void RestoreLevelOverrides();
    // Career: the skins of the queued guests, loaded before play and kept while the level is.
    void LoadEventSkins(pugi::xml_node level);
    void SetImageLoader(TCImageLoader loader) { imageLoader_ = std::move(loader); }

protected:
    // The worker record of that name: its running index (1..6) and its item in the level (null
    // when the level has none); nullopt when there is no such record.
    struct UpgradeWorker {
        int index = 0;
        TCItem* item = nullptr;
    };
    virtual std::optional<UpgradeWorker> FindUpgradeWorker(const std::string& name) const;

private:
    void LoadUpgrades(pugi::xml_node root);
    void ReportUnownable() const;
    static void WarnUnownable(const TCUpgrade& record);
    // The owned byte a record uses (-1 for none) and, for a functional one, its worker's item.
    struct OwnedByte {
        int index = -1;
        TCItem* worker = nullptr;
    };
    OwnedByte FindOwnedByte(const TCUpgrade& record) const;
    void LoadLevelParams(pugi::xml_node level);
    void LoadUpgradeStages(pugi::xml_node level);
    uint8_t* OwnedBytes() { return IsSurvival() || !careerBytes_ ? survivalBytes_.data() : careerBytes_; }
    bool IsOffered(TCUpgrade& record);
    void SkinUpgradeItems(const TCUpgrade& record, const std::string& skin, const char* event);
    // Every walker of the level takes its person record, once the level's values are in place.
    void BindMovers();
    // The level goals' task counts on the display.
    void RefreshAchievements();
    int CoinBonus(int strength) const;
    // The career level ends won: its goal reached and no VIP lost.
    bool IsCareerWon() const { return !vipLost_ && GetMoney() >= goal_; }

    std::vector<TCUpgrade> functional_;
    std::vector<TCUpgrade> visual_;
    std::array<uint8_t, kUpgradeBytes> survivalBytes_{};
    uint8_t* careerBytes_ = nullptr;
    std::string upgradeSkin_, defaultSkin_;
    int goal_ = 0;
    int expertGoal_ = 0;
    int upgradeKind_ = 0;
    std::list<UpgradeStage> upgradeStages_;
    std::list<int> pendingUpgrades_;
    std::optional<float> keptBossSpeed_;
    TCImageLoader imageLoader_ = LoadSharedImage;

    std::list<UpgradeStage>::const_iterator nextUpgradeStage_ = upgradeStages_.end();
    TCLevelScreens* screens_ = nullptr;
    TCHudView* hud_ = nullptr;
    bool goalReached_ = false;
    bool expertReached_ = false;
    bool vipLost_ = false;
    bool abandoned_ = false;
    bool finished_ = false;
    int lives_ = 0;
    TCTimeout freeze_;
    TCRushBonus rush_;
};
