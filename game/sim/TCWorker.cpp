#include "game/sim/TCWorker.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "engine/core/EngineHelpers.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TCIHands.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCLevelGoals.h"
#include "game/sim/TutorialPort.h"

namespace {

constexpr float kFullTidiness = 100.0f;
constexpr size_t kWorkerPrefix = 6; // "worker"
// Tutorial actions and events.
constexpr int kTidinessRises = 2, kTidinessFalls = 3, kWorkProceeds = 4, kGameRuns = 7;
constexpr int kWorkStartedEvent = 7, kProductReadyEvent = 8;
const char* const kIdleClips[] = {"idle_green", "idle_red"};
const char* const kWorkingClips[] = {"cooking_idle", "cooking_process_01", "cooking_process_02",
                                     "cooking_process_03"};

TCWorkerConfig gConfig;
std::map<std::string, TCWorkerRecord> gRecords;
std::map<std::string, TCWorker*> gWorkers;

bool IsWorkingClip(const std::string& clip)
{
    return std::find(std::begin(kWorkingClips), std::end(kWorkingClips), clip) != std::end(kWorkingClips);
}

void ShowCleaning(TCItemPart* part)
{
    if (!part)
        return;
    part->SetVisible(true);
    part->RunEvent("activation");
}

TCItemPart* FindEitherPart(const TCItem* item, const std::string& first, const std::string& second)
{
    if (!item)
        return nullptr;
    TCItemPart* part = item->FindPart(first);
    return part ? part : item->FindPart(second);
}

} // namespace

void LoadWorkers(pugi::xml_node config)
{
    ClearWorkers();
    const pugi::xml_node workers = config.child("workers");
    XmlGetFloat(workers, "tidiness_g_level", gConfig.greenLevel);
    XmlGetFloat(workers, "tidiness_y_level", gConfig.yellowLevel);
    XmlGetFloat(workers, "tidiness_r_level", gConfig.redLevel);
    XmlGetFloat(workers, "cleanser_effect", gConfig.cleanserEffect);
    XmlGetFloat(workers, "brush_effect", gConfig.brushEffect);
    XmlGetFloat(workers, "worker_alpha_blend_time", gConfig.alphaBlendTime);
    int index = 0;
    for (pugi::xml_node node : workers.children("worker")) {
        TCWorkerRecord record;
        XmlGetString(node, "name", record.name);
        record.index = ++index;
        XmlGetFloat(node, "work_time", record.workTime);
        XmlGetFloat(node, "tidiness_up", record.tidinessUp);
        XmlGetFloat(node, "tidiness_down", record.tidinessDown);
        XmlGetInt(node, "direct_character_break_frame", record.breakFrame);
        XmlGetFloat(node, "direct_character_break_time", record.breakTime);
        XmlGetFloat(node, "upgrade_tidiness_down", record.upgradeTidinessDown);
        XmlGetFloat(node, "upgrade_work_speed", record.upgradeWorkSpeed);
        ReadIdleTiming(node, "idle_rastart_time_min", "idle_rastart_time_max", record.idle);
        XmlGetString(node, "snd_worker_begin", record.startSound);
        XmlGetString(node, "product", record.product);
        XmlGetString(node, "product_type", record.productType);
        gRecords.try_emplace(record.name, std::move(record));
    }
}

void ClearWorkers()
{
    // Workers of a level still standing keep no pointer into the records.
    for (auto& [name, record] : gRecords)
        if (record.worker)
            record.worker->Unregister();
    gRecords.clear();
    gConfig = {};
}

const TCWorkerConfig& GetWorkerConfig() { return gConfig; }

TCWorkerRecord* FindWorkerRecord(const std::string& name)
{
    const auto found = gRecords.find(name);
    return found == gRecords.end() ? nullptr : &found->second;
}

void OverrideWorkers(pugi::xml_node level)
{
    ForEachNode(level, "override_workers/worker", [](pugi::xml_node node) {
        std::string name;
        XmlGetString(node, "name", name);
        TCWorkerRecord* record = FindWorkerRecord(name);
        if (!record) {
            WriteLog("ERROR: No worker record '%s' to override", name.c_str());
            return true;
        }
        // A second override of one level must not take the first one's values for the original.
        if (!record->overridden) {
            record->keptWorkTime = record->workTime;
            record->keptTidinessUp = record->tidinessUp;
            record->keptTidinessDown = record->tidinessDown;
            record->overridden = true;
        }
        XmlGetFloat(node, "work_time", record->workTime);
        XmlGetFloat(node, "tidiness_up", record->tidinessUp);
        XmlGetFloat(node, "tidiness_down", record->tidinessDown);
        record->startTidiness = kFullTidiness;
        XmlGetFloat(node, "worker_start_stamina", record->startTidiness);
        record->hasStartTidiness = true;
        return true;
    });
}

void RestoreWorkerOverrides()
{
    for (auto& [name, record] : gRecords) {
        if (!record.overridden)
            continue;
        record.workTime = record.keptWorkTime;
        record.tidinessUp = record.keptTidinessUp;
        record.tidinessDown = record.keptTidinessDown;
        record.overridden = false;
    }
}

TCWorker* FindWorkerByName(const std::string& name)
{
    const auto found = gWorkers.find(name);
    return found == gWorkers.end() ? nullptr : found->second;
}

void ChangeAllTidiness(int mode, float amount)
{
    if (mode != 1)
        return;
    for (auto& [name, worker] : gWorkers) {
        if (!worker->IsActive())
            continue;
        worker->ChangeTidiness(amount);
        worker->Clean();
    }
}

TCWorker::~TCWorker() { Unregister(); }

void TCWorker::Unregister()
{
    const auto found = gWorkers.find(name_);
    if (found != gWorkers.end() && found->second == this)
        gWorkers.erase(found);
    if (record_ && record_->worker == this)
        record_->worker = nullptr;
    record_ = nullptr;
    table_ = nullptr;
    soilingTable_ = soilingFloor_ = soilingFront_ = cleaning_ = nullptr;
    upgradePart1_ = upgradePart2_ = nullptr;
}

void TCWorker::ClearParts()
{
    Unregister();
    TCItem::ClearParts();
}

void TCWorker::LoadSkin(pugi::xml_node node)
{
    Unregister();
    TCItem::LoadSkin(node);
    record_ = FindWorkerRecord(name_);
    if (!record_) {
        WriteLog("ERROR: No worker record for '%s'", name_.c_str());
        SetEffectVisible(false);
        active_ = false;
        return;
    }
    record_->worker = this;
    gWorkers[name_] = this;
    AddIdleTiming(*this, kIdleClips, record_->idle);
    upgradePart1_ = FindPart("worker_upgrade_1");
    upgradePart2_ = FindPart("worker_upgrade_2");
    FindTableParts();
}

void TCWorker::FindTableParts()
{
    const std::string suffix = name_.size() > kWorkerPrefix ? name_.substr(kWorkerPrefix) : std::string();
    table_ = FindItemByName("table" + suffix);
    soilingTable_ = table_ ? table_->FindPart("soiling_table" + suffix) : nullptr;
    soilingFloor_ = FindEitherPart(table_, "soiling_floor01", "soiling_floor02");
    soilingFront_ = FindEitherPart(table_, "soiling_front01", "soiling_front02");
    cleaning_ = FindEitherPart(table_, "cleaning", "cleaning_small");
    if (cleaning_)
        cleaning_->SetVisible(false);
}

void TCWorker::SetActive(bool active)
{
    // A worker without its record stays out of play.
    if (active && !record_)
        return;
    TCItem::SetActive(active);
    if (!active)
        return;
    ApplyUpgrade("");
    thing_.clear();
    state_ = kIdle;
    EnterState(kIdle, kIdle);
    tidiness_ = record_->hasStartTidiness ? record_->startTidiness : kFullTidiness;
    RefreshSoiling();
}

void TCWorker::ApplyUpgrade(const std::string&)
{
    tidinessUpgrade_ = gGameBoard && gGameBoard->IsUpgradeActive(name_, "tidiness");
    speedUpgrade_ = gGameBoard && gGameBoard->IsUpgradeActive(name_, "speed");
    if (upgradePart1_)
        upgradePart1_->SetVisible(tidinessUpgrade_);
    if (upgradePart2_)
        upgradePart2_->SetVisible(speedUpgrade_);
}

bool TCWorker::IsFrozen() const { return gGameBoard && gGameBoard->IsFrozen(); }

float TCWorker::GetWorkTime() const
{
    if (!record_)
        return 0.0f;
    return record_->workTime * (speedUpgrade_ ? record_->upgradeWorkSpeed : 1.0f);
}

float TCWorker::GetWorkProgress() const
{
    const float full = GetWorkTime();
    if (state_ != kWorking || full <= 0.0f)
        return -1.0f;
    return std::clamp(workTimeout_.Remaining() / full, 0.0f, 1.0f);
}

int TCWorker::GetSoilingAlpha() const { return 255 - static_cast<int>(tidiness_ * 2.55f); }

void TCWorker::ChangeTidiness(float delta)
{
    if (delta > 0.0f)
        tidiness_ = std::min(kFullTidiness, tidiness_ + delta);
    else if (!IsFrozen() && !TutorialForbids(kTidinessFalls))
        tidiness_ = std::max(0.0f, tidiness_ + delta);
    RefreshSoiling();
}

void TCWorker::RefreshSoiling()
{
    const float alpha = static_cast<float>(GetSoilingAlpha()) / 255.0f;
    for (TCItemPart* part : {soilingTable_, soilingFloor_, soilingFront_})
        if (part)
            part->SetAlpha(alpha);
}

bool TCWorker::CrossedLevel(float before, float after) const
{
    for (float level : {gConfig.redLevel, gConfig.yellowLevel, gConfig.greenLevel})
        if (before <= level && after > level)
            return true;
    return after >= kFullTidiness;
}

void TCWorker::Update()
{
    TCItem::Update();
    if (!active_ || !visible_ || !record_)
        return;
    switch (state_) {
    case kIdle:
    case kReady:
        if (tidiness_ < kFullTidiness && !TutorialForbids(kTidinessRises)) {
            const float before = tidiness_;
            ChangeTidiness(record_->tidinessUp * gFrameTime);
            if (CrossedLevel(before, tidiness_))
                SetState(state_);
        }
        break;
    case kBroken:
        workTimeout_.Extend(gFrameTime);
        break;
    case kWorking:
        if (TutorialForbids(kWorkProceeds) && !TutorialForbids(kGameRuns))
            workTimeout_.Extend(gFrameTime);
        if (!workTimeout_.IsPending()) {
            SetState(kReady);
            break;
        }
        if (!TutorialForbids(kTidinessFalls)) {
            const float factor = tidinessUpgrade_ ? record_->upgradeTidinessDown : 1.0f;
            ChangeTidiness(-record_->tidinessDown * gFrameTime * factor);
            if (tidiness_ <= 0.0f) {
                LevelGoals().ClearWorkerFlag();
                SetState(kBroken);
            }
        }
        break;
    default:
        break;
    }
}

void TCWorker::Clean()
{
    ShowCleaning(cleaning_);
    if (state_ == kBroken)
        SetState(kWorking);
}

bool TCWorker::OnUse(TCItem* other, bool testOnly)
{
    if (!other || other->GetName() != "boss" || !record_)
        return false;
    const auto* hands = dynamic_cast<const TCIHands*>(other);
    if (hands && (hands->GetHandItem(TCIHands::kPrimary) == "wash" || hands->GetHandItem(TCIHands::kSecondary) == "wash")) {
        if (!testOnly) {
            tidiness_ = kFullTidiness;
            RefreshSoiling();
            Clean();
            PlayGameSound("worker_clean");
        }
        return true;
    }
    switch (state_) {
    case kIdle:
        if (!testOnly)
            SetState(kWorking);
        return true;
    case kReady:
        // Whether a hand can take the product is the boss's own test, which must agree too.
        if (!testOnly)
            SetState(kIdle);
        return true;
    default:
        return false;
    }
}

void TCWorker::SetState(int state)
{
    // Per worker: one worker's change may set off another's.
    if (inStateChange_)
        return;
    inStateChange_ = true;
    const int from = state_;
    state_ = state;
    EnterState(from, state);
    inStateChange_ = false;
}

void TCWorker::StartWork()
{
    workTimeout_.Set(GetWorkTime());
    if (record_ && !record_->startSound.empty())
        PlayGameSound(record_->startSound);
}

void TCWorker::EnterState(int from, int to)
{
    switch (to) {
    case kIdle:
        PlayClip(from == kReady ? "ready_green_end" : "idle_green");
        break;
    case kBroken:
        if (from == kWorking) {
            PlayClip("switch_idle");
            PlayGameSound("worker_broke");
        } else {
            PlayClip("idle_broken_workplace");
        }
        break;
    case kReady:
        if (from == kReady) {
            PlayClip("ready_green_action");
            break;
        }
        if (from == kWorking) {
            PlayClip("switch_idle");
            ApplyTutorialRule(kProductReadyEvent);
        }
        if (record_)
            thing_ = record_->product;
        PlayGameSound("worker_finish");
        break;
    case kWorking:
        if (from == kIdle) {
            StartWork();
            ApplyTutorialRule(kWorkStartedEvent);
            PlayClip("switch_work");
        } else if (from == kBroken) {
            PlayClip("switch_work");
        } else if (from == kReady) {
            PlayClip("ready_green_end");
            StartWork();
        } else if (animation_ == "ready_green_end") {
            PlayClip("switch_work");
        } else {
            PlayClip(kWorkingClips[RandomInt(0, 3)]);
        }
        break;
    default:
        break;
    }
}

void TCWorker::SetMouseOver(Nubra::Point point, bool over)
{
    const bool was = mouseOver_;
    TCItem::SetMouseOver(point, over);
    if (!over || was || !record_)
        return;
    if (state_ == kIdle) {
        AddAnimationTiming("direct_character", record_->breakFrame, record_->breakTime, record_->breakTime);
        PlayClip("direct_character");
        hoverClip_ = true;
    } else if (state_ == kReady) {
        PlayClip("ready_green_action");
    }
}

void TCWorker::ScheduleAnimation(TCItemPart* part, const std::string& name)
{
    TCItem::ScheduleAnimation(part, name);
    if (name == "direct_character") {
        // Idling resumes once the mouse has left the worker.
        if (state_ == kIdle && hoverClip_ && !mouseOver_) {
            hoverClip_ = false;
            SetState(kIdle);
        }
        return;
    }
    if (name == "ready_green_begin" || name == "ready_green_end" || name == "switch_work" ||
        name == "switch_idle" || IsWorkingClip(name))
        SetState(state_);
}

bool TCWorker::GetStatusValue(float& value) const
{
    value = tidiness_;
    return record_ != nullptr;
}

bool TCWorker::GetBubbleText(std::string& text) const
{
    switch (state_) {
    case kBroken:
        text = "broken";
        break;
    case kReady:
        text = record_ ? record_->product : std::string();
        break;
    case kWorking:
        text = "working";
        break;
    default:
        text.clear();
        break;
    }
    return !text.empty();
}

std::string TCWorker::GetBubbleKind() const
{
    if (state_ == kBroken)
        return "broken";
    return state_ == kReady || state_ == kWorking ? "worker" : std::string();
}

bool TCWorker::GetProductType(std::string& type) const
{
    type = record_ ? record_->productType : std::string();
    return !type.empty();
}

TCStatusLevels TCWorker::GetStatusLevels() const
{
    return {gConfig.greenLevel, gConfig.yellowLevel, gConfig.redLevel};
}
