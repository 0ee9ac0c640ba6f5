#include "game/sim/TCPickItem.h"

#include <map>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/PolygonRegion.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TCItemPart.h"

namespace {

std::map<std::string, TCPickItem*>& PickItems()
{
    static std::map<std::string, TCPickItem*> items;
    return items;
}

void AppendNonEmpty(pugi::xml_node node, const char* child, const char* attribute, std::vector<std::string>& names)
{
    for (pugi::xml_node element : node.children(child)) {
        std::string name;
        if (XmlGetString(element, attribute, name) && !name.empty())
            names.push_back(name);
    }
}

} // namespace

TCPickItem* FindPickItemByName(const std::string& name)
{
    const auto found = PickItems().find(name);
    return found != PickItems().end() ? found->second : nullptr;
}

TCPickItem::~TCPickItem() { Unregister(); }

void TCPickItem::Unregister()
{
    const auto found = PickItems().find(name_);
    if (found != PickItems().end() && found->second == this)
        PickItems().erase(found);
}

void TCPickItem::LoadFromXml(pugi::xml_node node)
{
    TCItem::LoadFromXml(node);
    PickItems()[name_] = this;
    AppendNonEmpty(node, "select_block", "pair_item", pairNames_);
    AppendNonEmpty(node, "picks", "pick", nestedNames_);
    for (pugi::xml_node element : node.children("point")) {
        TCStandPoint& stand = standPoints_.emplace_back();
        XmlGetString(element, "owner", stand.owner);
        XmlGetString(element, "direction", stand.direction);
        XmlGetInt(element, "offs_x", stand.x);
        XmlGetInt(element, "offs_y", stand.y);
    }
    std::string region;
    XmlGetString(node, "rgn", region);
    bool stopped = false;
    region_ = ParsePointList(region, &stopped);
    if (stopped)
        WriteLog("WARNING: Object '%s': its region stops at a word that is not a number", name_.c_str());
}

void TCPickItem::ClearParts()
{
    TCItem::ClearParts();
    checks_ = {};
    Unregister();
}

void TCPickItem::LoadSkin(pugi::xml_node node)
{
    TCItem::LoadSkin(node);
    for (const std::string& name : pairNames_)
        if (TCItem* item = FindItemByName(name))
            pairs_.push_back(item);
    for (const std::string& name : nestedNames_) {
        TCPickItem* item = FindPickItemByName(name);
        if (!item)
            continue;
        // Nesting that leads back here would never end a hit test.
        if (item == this || item->Reaches(this)) {
            WriteLog("WARNING: Object '%s': nesting '%s' in it would make a circle; left out", name_.c_str(),
                     name.c_str());
            continue;
        }
        nested_.push_back(item);
    }
}

bool TCPickItem::Reaches(const TCPickItem* other) const
{
    for (const TCPickItem* item : nested_)
        if (item == other || item->Reaches(other))
            return true;
    return false;
}

void TCPickItem::ResetAnimation()
{
    TCItem::ResetAnimation();
    pairNames_.clear();
    pairs_.clear();
    nestedNames_.clear();
    nested_.clear();
}

void TCPickItem::SetActive(bool active)
{
    TCItem::SetActive(active);
    if (!active)
        return;
    for (int i = 0; i < 2; ++i) {
        checks_[i] = {FindPart("checkmark", i), false};
        if (checks_[i].part) {
            checks_[i].part->SetEffectVisible(false);
            checks_[i].part->PlayAnimation("idle", false);
        }
    }
}

bool TCPickItem::HitTest(Nubra::Point point) const
{
    return PolygonContains(region_, point) && !NestedClaims(point);
}

bool TCPickItem::NestedClaims(Nubra::Point point) const
{
    // A point that an object nested further in takes is the nested object's too, else an outer
    // object would take what its nested one gave to its own nested one.
    for (const TCPickItem* item : nested_)
        if (item->IsActive() && item->IsVisible() && (PolygonContains(item->region_, point) || item->NestedClaims(point)))
            return true;
    return false;
}

void TCPickItem::SetMouseOver(Nubra::Point point, bool over)
{
    TCItem::SetMouseOver(point, over);
    TCItem* owner = FindItemByName(GetPlaceOwner(name_));
    if (owner == this)
        owner = nullptr;
    if (owner)
        owner->SetMouseOver(point, over);
    for (TCItem* item : pairs_)
        if (item != this && item != owner)
            item->SetMouseOver(point, over);
}

const TCStandPoint* TCPickItem::FindStandPoint(const std::string& walker) const
{
    for (const TCStandPoint& stand : standPoints_)
        if (stand.owner == walker)
            return &stand;
    return nullptr;
}

void TCPickItem::ShowCheckmark()
{
    if (checks_[0].shown && checks_[1].shown) {
        WriteLog("Warning: object <%s> is over clicked... oh... slowly, please!", name_.c_str());
        return;
    }
    for (Check& check : checks_)
        if (check.part && !check.shown) {
            check.part->SetVisible(true);
            check.shown = true;
            return;
        }
}

void TCPickItem::HideCheckmark()
{
    for (int i = 1; i >= 0; --i)
        if (checks_[i].shown) {
            checks_[i].part->SetVisible(false);
            checks_[i].shown = false;
            return;
        }
}
