#pragma once
#include <pugixml.hpp>

#include <functional>
#include <string>
#include <vector>

#include "framework/graphics/Rect.h"

namespace Nubra {
class Graphics;
}

// Where a walker stands to use an object, for the graph named by the owner, in board pixels.
struct TCStandPoint {
    std::string owner;
    std::string direction;
    int x = 0;
    int y = 0;
};

// What the board needs of a game object: stepping, stage entry and, for the pickable ones, the
// mouse. Game objects implement it; the board never owns them.
class TCBoardItem {
public:
    virtual ~TCBoardItem() = default;
    virtual const std::string& GetName() const = 0;
    virtual bool IsActive() const = 0;
    virtual bool IsVisible() const = 0;
    // Sets the active flag and lets the object come into play or leave it.
    virtual void SetActive(bool active) = 0;
    // One simulation step, with the frame time.
    virtual void Update() = 0;
    // Raises an event on the object's effect.
    virtual void RunEvent(const char* name) = 0;

    // Pickable objects override these; any other object is never hit.
    virtual bool HitTest(Nubra::Point point) const
    {
        (void)point;
        return false;
    }
    virtual bool IsPickable(bool hit) const
    {
        (void)hit;
        return false;
    }
    virtual void SetMouseOver(Nubra::Point point, bool over)
    {
        (void)point;
        (void)over;
    }
    virtual void IncClickCount() {}
    // The stand point a pickable object gives for that graph, if any.
    virtual const TCStandPoint* FindStandPoint(const std::string& graph) const
    {
        (void)graph;
        return nullptr;
    }
};

// The level's objects as the board walks them.
class TCBoardScene {
public:
    virtual ~TCBoardScene() = default;
    // Level load, on the loading thread: the objects of the scene document's root, then their
    // look for the level.
    virtual void CreateObjects(pugi::xml_node sceneRoot) = 0;
    virtual void ApplyLevel(pugi::xml_node level) = 0;
    // Every object, in creation order.
    virtual void ForEachItem(const std::function<void(TCBoardItem&)>& visit) = 0;
    // The pickable objects, in the order hovering tests them.
    virtual void ForEachPickable(const std::function<void(TCBoardItem&)>& visit) = 0;
    virtual TCBoardItem* FindItem(const std::string& name) = 0;
    // Level unload, first: the objects in play let go of their clips' images.
    virtual void ResetAnimations() {}
    // Level unload: every object is destroyed; the board has let go of them first.
    virtual void DestroyAll() = 0;
};

// One drawable piece of a game object.
class TCBoardPart {
public:
    virtual ~TCBoardPart() = default;
    virtual bool IsOwnerVisible() const = 0;
    virtual bool IsDrawable() const = 0;
    virtual void Draw(Nubra::Graphics& graphics) = 0;
    // Where the part lies on the board, for the developer outlines.
    virtual Nubra::Rect GetOutline() const = 0;
};

// Puts the level's parts in depth order.
class TCZOrder {
public:
    virtual ~TCZOrder() = default;
    virtual void Rebuild() = 0;
    virtual const std::vector<TCBoardPart*>& GetOrder() const = 0;
    virtual void Clear() = 0;
};
