#pragma once
#include <pugixml.hpp>

#include <list>
#include <map>
#include <memory>
#include <string>

#include "game/sim/BoardObjects.h"
#include "game/sim/TCItem.h"

class TCItemPart;

// The level's objects: every object the factory made, in creation order, found by name (the
// first of a name wins), with the two the game knows by name, "boss" and "bonus" (the last of
// a name wins).
class TCItemList : public TCBoardScene {
public:
    TCItemList() = default;
    TCItemList(const TCItemList&) = delete;
    TCItemList& operator=(const TCItemList&) = delete;
    ~TCItemList() override { DestroyAll(); }

    // The scene's "objects/object" elements through the factory; an unknown class is skipped.
    void CreateObjects(pugi::xml_node sceneRoot) override;
    // Each object's look for the level; an object the level does not list stays out of it.
    void ApplyLevel(pugi::xml_node level) override;
    void ForEachItem(const std::function<void(TCBoardItem&)>& visit) override;
    void ForEachPickable(const std::function<void(TCBoardItem&)>& visit) override;
    TCBoardItem* FindItem(const std::string& name) override { return Find(name); }
    void ResetAnimations() override { ResetAllAnimations(); }
    void DestroyAll() override;

    TCItem* Add(std::unique_ptr<TCItem> item);
    TCItem* Find(const std::string& name) const;
    const std::list<std::unique_ptr<TCItem>>& GetItems() const { return items_; }
    TCItem* GetBoss() const { return boss_; }
    TCItem* GetBonus() const { return bonus_; }

    // On every active object.
    void HideAllActive();
    void ActivateAllActive();
    void UpdateAllActive();
    void ResetAllAnimations();

private:
    std::list<std::unique_ptr<TCItem>> items_;
    std::map<std::string, TCItem*> names_;
    TCItem* boss_ = nullptr;
    TCItem* bonus_ = nullptr;
};

// The one list of the run.
TCItemList& GetItemList();
TCItem* FindItemByName(const std::string& name);

// A new object of the factory's class of that exact name; null for a class it does not know.
std::unique_ptr<TCItem> CreateItem(const std::string& className);

// "item:part", or "item:part$n" for the n-th part of that name counting from 1; null, with a
// warning, when the object or the part is missing.
TCItemPart* FindPartByPath(const std::string& path);

// Who serves at a place: "table<n>" is worker<n>'s, "client_place<n>" client<n>'s and
// "client_sit_place<n>" client_sit<n>'s. Empty when no one owns it.
std::string GetPlaceOwner(const std::string& place);
// Where the boss serves a client: "client_sit<n>" at "client_sit_place<n>", any other
// "client<s>" at "client_place<s>".
std::string GetClientPlace(const std::string& client);
