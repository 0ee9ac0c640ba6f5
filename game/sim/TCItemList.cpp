#include "game/sim/TCItemList.h"

#include <cstdlib>
#include <span>
#include <string_view>

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCBoss.h"
#include "game/sim/TCClient.h"
#include "game/sim/TCItemBonus.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCPeriodItem.h"
#include "game/sim/TCPickItem.h"
#include "game/sim/TCStatusItems.h"
#include "game/sim/TCTray.h"
#include "game/sim/TCWorker.h"

namespace {

using Create = std::unique_ptr<TCItem> (*)();

template <class Item>
std::unique_ptr<TCItem> Make()
{
    return std::make_unique<Item>();
}

struct ItemClass {
    const char* name;
    Create create;
};

// Searched in order, by exact name.
const ItemClass kItemClasses[] = {
    {"item", Make<TCItem>},
    {"pickable", Make<TCPickItem>},
    {"boss", Make<TCBoss>},
    {"worker", Make<TCWorker>},
    {"tray", Make<TCTray>},
    {"status_bubble", Make<TCStatus_Bubble>},
    {"trash_bin", Make<TCTrash>},
    {"status_hp_worker", Make<TCStatus_HP_Worker>},
    {"status_hp_client", Make<TCStatus_HP_Client>},
    {"client", Make<TCClientStand>},
    {"client_sit", Make<TCClientSit>},
    {"period_item", Make<TCPeriodItem>},
    {"item_bonus", Make<TCItemBonus>},
};

// The first object of a level's list whose name is that, walking the descendants of "objects".
pugi::xml_node FindLevelObject(pugi::xml_node level, const std::string& name)
{
    for (pugi::xml_node objects : level.children("objects")) {
        const pugi::xml_node found = objects.find_node([&name](pugi::xml_node node) {
            return std::string_view(node.name()) == "object" && node.attribute("name") &&
                   name == node.attribute("name").value();
        });
        if (found)
            return found;
    }
    return {};
}

struct PlacePair {
    std::string_view place, owner;
};

// Longest first, so that a family's place is not taken for a standing client's.
constexpr PlacePair kPlacePairs[] = {
    {"client_sit_place", "client_sit"},
    {"client_place", "client"},
    {"table", "worker"},
};

} // namespace

std::unique_ptr<TCItem> CreateItem(const std::string& className)
{
    for (const ItemClass& row : kItemClasses)
        if (className == row.name)
            return row.create();
    return nullptr;
}

TCItem* TCItemList::Add(std::unique_ptr<TCItem> item)
{
    TCItem* added = items_.emplace_back(std::move(item)).get();
    names_.try_emplace(added->GetName(), added);
    if (added->GetName() == "boss")
        boss_ = added;
    else if (added->GetName() == "bonus")
        bonus_ = added;
    return added;
}

void TCItemList::CreateObjects(pugi::xml_node sceneRoot)
{
    for (pugi::xml_node node : sceneRoot.child("objects").children("object")) {
        std::string className, name;
        XmlGetString(node, "class", className);
        XmlGetString(node, "name", name);
        std::unique_ptr<TCItem> item = CreateItem(className);
        if (!item) {
            WriteLog("WARNING: Unknown object class '%s' for object '%s'", className.c_str(), name.c_str());
            continue;
        }
        item->LoadFromXml(node);
        Add(std::move(item));
    }
}

void TCItemList::ApplyLevel(pugi::xml_node level)
{
    for (const auto& item : items_) {
        if (const pugi::xml_node node = FindLevelObject(level, item->GetName())) {
            item->LoadSkin(node);
        } else {
            item->SetEffectVisible(false);
            item->SetActiveFlag(false);
        }
    }
}

void TCItemList::ForEachItem(const std::function<void(TCBoardItem&)>& visit)
{
    for (const auto& item : items_)
        visit(*item);
}

void TCItemList::ForEachPickable(const std::function<void(TCBoardItem&)>& visit) { ForEachItem(visit); }

TCItem* TCItemList::Find(const std::string& name) const
{
    const auto found = names_.find(name);
    return found != names_.end() ? found->second : nullptr;
}

void TCItemList::DestroyAll()
{
    names_.clear();
    boss_ = nullptr;
    bonus_ = nullptr;
    items_.clear();
}

void TCItemList::HideAllActive()
{
    for (const auto& item : items_)
        if (item->IsActive())
            item->SetActive(false);
}

void TCItemList::ActivateAllActive()
{
    for (const auto& item : items_)
        if (item->IsActive())
            item->SetActive(true);
}

void TCItemList::UpdateAllActive()
{
    for (const auto& item : items_)
        if (item->IsActive())
            item->Update();
}

void TCItemList::ResetAllAnimations()
{
    for (const auto& item : items_)
        if (item->IsActive())
            item->ResetAnimation();
}

TCItemList& GetItemList()
{
    // Never destroyed: an exit() with a level on the board (the display lost) would otherwise run
    // the objects' destructors after the registries they leave are gone.
    static TCItemList* const list = new TCItemList;
    return *list;
}

TCItem* FindItemByName(const std::string& name) { return GetItemList().Find(name); }

TCItemPart* FindPartByPath(const std::string& path)
{
    const size_t colon = path.find(':');
    const std::string itemName = path.substr(0, colon);
    TCItem* item = FindItemByName(itemName);
    if (!item) {
        WriteLog("WARNING: Item not found '%s'", itemName.c_str());
        return nullptr;
    }
    std::string partName = colon == std::string::npos ? std::string() : path.substr(colon + 1);
    int number = 1;
    if (const size_t dollar = partName.find('$'); dollar != std::string::npos) {
        number = std::atoi(partName.c_str() + dollar + 1);
        partName.resize(dollar);
    }
    TCItemPart* part = number >= 1 ? item->FindPart(partName, number - 1) : nullptr;
    if (!part)
        WriteLog("WARNING: Invalid part name '%s'", partName.c_str());
    return part;
}

std::string GetPlaceOwner(const std::string& place)
{
    for (const PlacePair& pair : kPlacePairs)
        if (place.starts_with(pair.place))
            return std::string(pair.owner) + place.substr(pair.place.size());
    return {};
}

std::string GetClientPlace(const std::string& client)
{
    // Only the clients' pairs, longest first: "client_sit01" sits at "client_sit_place01".
    for (const PlacePair& pair : std::span(kPlacePairs).first(2))
        if (client.starts_with(pair.owner))
            return std::string(pair.place) + client.substr(pair.owner.size());
    return {};
}
