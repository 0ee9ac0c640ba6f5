#include "game/sim/TCPeriodItem.h"

#include <map>

#include "engine/core/EngineHelpers.h"
#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/Products.h"
#include "game/sim/TCBoss.h"

namespace {

std::map<std::string, TCPeriodRecord>& PeriodRecords()
{
    static std::map<std::string, TCPeriodRecord> records;
    return records;
}

} // namespace

void LoadPeriodItems(pugi::xml_node config)
{
    ClearPeriodItems();
    ForEachNode(config, "period_items/period_item", [](pugi::xml_node node) {
        std::string name;
        if (XmlGetString(node, "name", name)) {
            TCPeriodRecord record;
            XmlGetFloat(node, "timeout_min", record.minPause);
            XmlGetFloat(node, "timeout_max", record.maxPause);
            PeriodRecords().try_emplace(name, record);
        }
        return true;
    });
}

void ClearPeriodItems() { PeriodRecords().clear(); }

const TCPeriodRecord* FindPeriodRecord(const std::string& name)
{
    const auto found = PeriodRecords().find(name);
    return found != PeriodRecords().end() ? &found->second : nullptr;
}

void TCPeriodItem::LoadFromXml(pugi::xml_node node)
{
    TCPickItem::LoadFromXml(node);
    XmlGetString(node, "thing", thing_);
    if (!thing_.empty() && thing_ != "super" && !IsProductCode(thing_))
        WriteLog("WARNING: Object '%s' offers '%s', which is not a product code", name_.c_str(), thing_.c_str());
    record_.reset();
    if (const TCPeriodRecord* record = FindPeriodRecord(name_))
        record_ = *record;
    else
        WriteLog("WARNING: No period record '%s': the object is ready at once", name_.c_str());
}

void TCPeriodItem::StartPause()
{
    countdown_.Set(record_ ? RandomFloat(record_->minPause, record_->maxPause) : 0.0f);
}

void TCPeriodItem::SetActive(bool active)
{
    TCPickItem::SetActive(active);
    if (!active)
        return;
    state_ = kWaiting;
    SetAnimation("idle", false);
    StartPause();
}

void TCPeriodItem::SetState(int state)
{
    if (changing_)
        return;
    changing_ = true;
    if (state == kWaiting) {
        if (state_ == kWaiting) {
            SetAnimation("idle", false);
        } else {
            SetAnimation("deactivation", false);
            StartPause();
        }
    } else {
        SetAnimation(state_ == kWaiting ? "activation" : "ready", false);
    }
    state_ = state;
    changing_ = false;
}

void TCPeriodItem::Update()
{
    TCPickItem::Update();
    if (visible_ && state_ == kWaiting && !countdown_.IsPending())
        SetState(kReady);
}

void TCPeriodItem::ScheduleAnimation(TCItemPart* part, const std::string& name)
{
    TCPickItem::ScheduleAnimation(part, name);
    if (name == "activation" || name == "deactivation")
        SetState(state_);
}

bool TCPeriodItem::OnUse(TCItem* other, bool testOnly)
{
    if (!other->HasName("boss") || state_ != kReady)
        return false;
    if (const auto* boss = dynamic_cast<const TCBoss*>(other); boss && !boss->CanTakeItem())
        return false;
    if (testOnly)
        return true;
    SetState(kWaiting);
    return false;
}
