#include "game/sim/TCBoard_Game3.h"

#include <memory>
#include <set>
#include <utility>

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCItemBonus.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCLevelScreens.h"
#include "game/sim/TCMoveItem.h"
#include "game/sim/TCPeriodItem.h"
#include "game/sim/TCWorker.h"
#include "game/sim/TCZOrderSolver.h"

namespace {

int UpgradeKindOf(const std::string& text)
{
    if (text == "func")
        return TCUpgrade::kFunctional;
    if (text == "vis")
        return TCUpgrade::kVisual;
    return 0;
}

} // namespace

TCBoard_Game3::TCBoard_Game3(TCBoardHost& host) : TCBoardCore(host)
{
    SetScene(&GetItemList());
    SetZOrder(std::make_unique<TCZOrderSolver>(GetItemList()));
    rush_.SetOnRush([this] { StartRushBonusPiece(); });
    LevelGoals().SetExpertCheck([this] { return GetMoney() >= expertGoal_; });
    LevelGoals().SetOnChanged([this] { RefreshAchievements(); });
    GetTutorial().SetLevel(this);
    DebugSettings().hooks.resetGoals = [] { LevelGoals().Reset(); };
}

TCBoard_Game3::~TCBoard_Game3()
{
    LevelGoals().SetExpertCheck(nullptr);
    LevelGoals().SetOnChanged(nullptr);
    DebugSettings().hooks.resetGoals = nullptr;
    GetTutorial().Reset();
    GetTutorial().SetLevel(nullptr);
    GetTutorial().SetHud(nullptr);
}

void TCBoard_Game3::SetHud(TCHudView* hud)
{
    hud_ = hud;
    GetTutorial().SetHud(hud);
}

void TCBoard_Game3::RefreshAchievements()
{
    if (!hud_)
        return;
    TCTaskCounts counts;
    for (int task = 0; task < TCLevelGoals::kTaskCount; ++task)
        counts[size_t(task)] = {LevelGoals().GetTarget(task), LevelGoals().GetRemaining(task)};
    hud_->RefreshAchievements(counts);
}

void TCBoard_Game3::LoadConfig(pugi::xml_node root)
{
    LoadPersons(root);
    LoadWorkers(root);
    LoadClientTypes(root);
    LoadPeriodItems(root);
    LoadPersParams(root);
    gLevelParams = ReadLevelParams(root);
    rush_.Load(root);
    LoadUpgrades(root);
    vipLost_ = false;
    abandoned_ = false;
}

void TCBoard_Game3::UnloadConfig()
{
    LoadPersons({});
    ClearWorkers();
    ClearClientTypes();
    ClearPeriodItems();
    ClearPersParams();
    functional_.clear();
    visual_.clear();
}

void TCBoard_Game3::LoadUpgrades(pugi::xml_node root)
{
    functional_ = ReadUpgrades(root, TCUpgrade::kFunctional);
    visual_ = ReadUpgrades(root, TCUpgrade::kVisual);
    ReportUnownable();
}

void TCBoard_Game3::ReportUnownable() const
{
    for (const std::vector<TCUpgrade>* list : {&functional_, &visual_})
        for (const TCUpgrade& record : *list)
            if (FindOwnedByte(record).index < 0)
                WarnUnownable(record);
}

void TCBoard_Game3::WarnUnownable(const TCUpgrade& record)
{
    WriteLog("WARNING: Upgrade '%s' of '%s' can never be owned", record.name.c_str(), record.object.c_str());
}

std::optional<TCBoard_Game3::UpgradeWorker> TCBoard_Game3::FindUpgradeWorker(const std::string& name) const
{
    const TCWorkerRecord* record = FindWorkerRecord(name);
    if (!record)
        return std::nullopt;
    return UpgradeWorker{record->index, record->worker};
}

TCBoard_Game3::OwnedByte TCBoard_Game3::FindOwnedByte(const TCUpgrade& record) const
{
    // Only a functional record names a worker; a visual one's byte follows from its cafe.
    const std::optional<UpgradeWorker> worker =
        record.kind == TCUpgrade::kFunctional ? FindUpgradeWorker(record.object) : std::nullopt;
    return {UpgradeByteIndex(record, worker ? worker->index : 0), worker ? worker->item : nullptr};
}

uint8_t TCBoard_Game3::GetUpgradeValue(TCUpgrade& record)
{
    const OwnedByte byte = FindOwnedByte(record);
    record.owned = byte.index >= 0 ? OwnedBytes() + byte.index : nullptr;
    record.target = byte.worker;
    return record.owned ? *record.owned : 0;
}

bool TCBoard_Game3::IsUpgradeActive(const std::string& object, const std::string& name) const
{
    // Binding a record only fills its pointers, the same every time.
    auto* self = const_cast<TCBoard_Game3*>(this);
    for (std::vector<TCUpgrade>* list : {&self->functional_, &self->visual_})
        for (TCUpgrade& record : *list)
            if (record.object == object && record.name == name)
                return self->GetUpgradeValue(record) != 0;
    return false;
}

void TCBoard_Game3::ApplyUpgrade(TCUpgrade& record, bool owned)
{
    GetUpgradeValue(record);
    if (!record.owned) {
        WarnUnownable(record);
        return;
    }
    *record.owned = owned ? 1 : 0;
    if (record.kind == TCUpgrade::kVisual)
        SkinUpgradeItems(record, owned ? upgradeSkin_ : defaultSkin_, owned ? "on_upgrade" : "on_downgrade");
    else if (record.target)
        record.target->ApplyUpgrade("");
}

void TCBoard_Game3::SkinUpgradeItems(const TCUpgrade& record, const std::string& skin, const char* event)
{
    for (const std::string& name : record.items) {
        TCItem* item = FindItemByName(name);
        if (!item) {
            WriteLog("ERROR: Cannot find upgrade item '%s'", name.c_str());
            continue;
        }
        item->ApplyUpgrade(skin);
        if (event)
            item->RunEvent(event);
    }
}

void TCBoard_Game3::RefreshUpgrades()
{
    for (TCUpgrade& record : functional_)
        GetUpgradeValue(record);
    const int cafe = GetCafe();
    for (TCUpgrade& record : visual_)
        if (GetUpgradeValue(record) && record.minLevel <= cafe && cafe <= record.maxLevel)
            SkinUpgradeItems(record, upgradeSkin_, nullptr);
}

int TCBoard_Game3::GetOfferedUpgrades(std::vector<TCUpgrade*>& out)
{
    out.clear();
    if (IsSurvival()) {
        // Nothing pending: nothing on offer, rather than a kind from nowhere.
        upgradeKind_ = pendingUpgrades_.empty() ? 0 : pendingUpgrades_.front();
        if (!pendingUpgrades_.empty())
            pendingUpgrades_.pop_front();
        if (pendingUpgrades_.empty() && hud_)
            hud_->ShowUpgradeButton(false);
    }
    if (upgradeKind_ != TCUpgrade::kFunctional && upgradeKind_ != TCUpgrade::kVisual)
        return 0;
    for (TCUpgrade& record : GetUpgrades(upgradeKind_)) {
        if (out.size() >= kMaxOffered)
            break;
        if (IsOffered(record))
            out.push_back(&record);
    }
    return int(out.size());
}

bool TCBoard_Game3::IsOffered(TCUpgrade& record)
{
    const int cafe = GetCafe();
    if (GetUpgradeValue(record) != 0 || !record.owned || cafe < record.minLevel || cafe > record.maxLevel)
        return false;
    if (record.kind != TCUpgrade::kFunctional || record.object == "bonus" || record.object == "boss")
        return true;
    const std::optional<UpgradeWorker> worker = FindUpgradeWorker(record.object);
    return !worker || (worker->item && worker->item->IsVisible());
}

void TCBoard_Game3::LoadLevel(pugi::xml_node level, const XmlDocument& document)
{
    (void)document;
    LoadLevelParams(level);
    LoadUpgradeStages(level);
    RefreshUpgrades();
    LoadLevelOverrides(level);
    if (!IsSurvival())
        LevelGoals().Load(level);
    if (screens_)
        screens_->LoadMiniGameLevel(level);
    BindMovers();
    if (!IsSurvival()) {
        LoadEventSkins(level);
        DropUnplaceableEvents(GetEventQueue());
    }
}

void TCBoard_Game3::LoadLevelParams(pugi::xml_node level)
{
    upgradeSkin_.clear();
    defaultSkin_.clear();
    const pugi::xml_node skins = level.child("param");
    XmlGetString(skins, "upgrade_skin", upgradeSkin_);
    XmlGetString(skins, "default_skin", defaultSkin_);
    goal_ = 0;
    expertGoal_ = 0;
    const pugi::xml_node goals = level.child("params");
    XmlGetInt(goals, "normal", goal_);
    XmlGetInt(goals, "expert", expertGoal_);
}

void TCBoard_Game3::LoadUpgradeStages(pugi::xml_node level)
{
    upgradeStages_.clear();
    std::string kind;
    if (!IsSurvival()) {
        XmlGetString(level, "upgrade", kind);
        upgradeKind_ = UpgradeKindOf(kind);
        return;
    }
    for (pugi::xml_node node : level.child("stages").children("stage")) {
        UpgradeStage stage;
        kind.clear();
        XmlGetInt(node, "num", stage.number);
        XmlGetString(node, "upgrade", kind);
        stage.kind = UpgradeKindOf(kind);
        if (stage.kind)
            upgradeStages_.push_back(stage);
    }
}

void TCBoard_Game3::LoadLevelOverrides(pugi::xml_node level)
{
    OverrideWorkers(level);
    float speed = 0.0f;
    TCPersonRecord* boss = FindPerson("boss");
    if (boss && XmlGetFloat(level, "override_boss_speed", speed)) {
        if (!keptBossSpeed_)
            keptBossSpeed_ = boss->moveSpeed;
        boss->moveSpeed = speed;
    }
    OverrideClientTypes(level);
}

void TCBoard_Game3::RestoreLevelOverrides()
{
    RestoreWorkerOverrides();
    if (TCPersonRecord* boss = FindPerson("boss"); boss && keptBossSpeed_)
        boss->moveSpeed = *keptBossSpeed_;
    keptBossSpeed_.reset();
    RestoreClientTypes();
}

void TCBoard_Game3::LoadEventSkins(pugi::xml_node level)
{
    std::set<std::pair<std::string, std::string>> loaded;
    for (pugi::xml_node point : level.child("events_queue").children("time_point")) {
        std::string type;
        XmlGetString(point, "type", type);
        const int persons = type == "family" ? 4 : type == "client" ? 1 : 0;
        for (int i = 1; i <= persons; ++i) {
            std::string skin;
            const std::string attribute = "person" + std::to_string(i);
            if (!XmlGetString(point, attribute.c_str(), skin) || !loaded.emplace(type, skin).second)
                continue;
            for (const std::string& id : EventSkinTextureIds(type, skin)) {
                // A texture the pack lacks is not needed to play: the guest shows without it.
                Nubra::SharedImageRef image = imageLoader_(id);
                if (image.GetImage())
                    KeepSharedImage(std::make_unique<Nubra::SharedImageRef>(image));
            }
        }
    }
}

void TCBoard_Game3::BindMovers()
{
    for (const auto& item : GetItemList().GetItems())
        if (auto* mover = dynamic_cast<TCMoveItem*>(item.get()))
            mover->BindPerson();
}

void TCBoard_Game3::ResetLevelObjects()
{
    RestoreLevelOverrides();
    // The level's workers are gone: no upgrade may still point at one.
    for (TCUpgrade& record : functional_)
        record.target = nullptr;
    upgradeStages_.clear();
    pendingUpgrades_.clear();
}

void TCBoard_Game3::OnPause() {}

void TCBoard_Game3::OnResume() {}

// Over the client's own money part.
void TCBoard_Game3::ShowMoneyPopup(TCItem& target, int amount) { ::ShowMoneyPopup(&target, "client_money", amount); }
