#pragma once
#include <algorithm>
#include <cstdint>
#include <list>
#include <vector>

#include "framework/graphics/Rect.h"

namespace Nubra {

class Graphics;
class Widget;
class WidgetManager;

// Widget flag bits.
enum WidgetFlag : uint32_t {
    kWidgetUpdate = 1,
    kWidgetMarkDirtyEveryUpdate = 2,
    kWidgetDraw = 4,
    kWidgetClip = 8,
    kWidgetAllowMouse = 16,
    kWidgetAllowFocus = 32,
};

// Bits a widget (or a modal layer) adds to and removes from the flags of everything it governs.
struct FlagsMod {
    uint32_t addFlags = 0;
    uint32_t removeFlags = 0;

    uint32_t Apply(uint32_t flags) const { return (flags | addFlags) & ~removeFlags; }
};

// The flags an update or draw pass carries down the tree: one set for widgets above the
// base-modal widget, one for those beneath it.
struct ModalFlags {
    uint32_t aboveFlags = 0;
    uint32_t belowFlags = 0;
    bool isAbove = true;

    uint32_t GetFlags() const { return isAbove ? aboveFlags : belowFlags; }
};

// A node of the widget tree: children kept in z-order (bottom first), not owned.
class WidgetContainer {
public:
    WidgetContainer() = default;
    virtual ~WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    virtual Rect GetRect() const { return Rect(x, y, width, height); }
    // Overlap in the same frame; rectangles that only touch do not intersect.
    virtual bool Intersects(const WidgetContainer* other) const;

    // Children. A widget added above every child of its z-order; one that sits in another
    // container leaves it first.
    virtual void AddWidget(Widget* widget);
    virtual void RemoveWidget(Widget* widget);
    virtual bool HasWidget(const Widget* widget) const;
    virtual void DisableWidget(Widget* /*widget*/) {}
    virtual void RemoveAllWidgets(bool deleteWidgets, bool recursive);
    virtual void SetFocus(Widget* /*widget*/) {}
    // True when a is met before b in a depth-first walk of this subtree, i.e. a lies beneath b.
    virtual bool IsBelow(const Widget* a, const Widget* b) const;

    // Reordering keeps z-order; only the place among equals changes.
    virtual void BringToFront(Widget* widget);
    virtual void BringToBack(Widget* widget);
    virtual void PutBehind(Widget* widget, Widget* reference);
    virtual void PutInFront(Widget* widget, Widget* reference);

    virtual Point GetAbsPos() const;

    // Dirty marking: "Full" also marks what the widget covers beneath it.
    virtual void MarkAllDirty();
    virtual void MarkChildDirty(WidgetContainer* child);
    virtual void MarkDirty();
    virtual void MarkChildDirtyFull(WidgetContainer* child);
    virtual void MarkDirtyFull();

    virtual void AddedToManager(WidgetManager* newManager);
    virtual void RemovedFromManager(WidgetManager* oldManager);

    virtual void Update() { ++updateCount; }
    virtual void UpdateAll(ModalFlags& flags);
    virtual void UpdateF(float /*fraction*/) {}
    virtual void UpdateAllF(ModalFlags& flags, float fraction);
    // `g` is already translated to this widget's top-left corner.
    virtual void Draw(Graphics* /*g*/) {}
    virtual void DrawAll(ModalFlags& flags, Graphics* g);

    virtual void NotifyAll();
    virtual void Notify() {}

    std::list<Widget*> children;
    WidgetManager* manager = nullptr;
    WidgetContainer* parent = nullptr;
    uint32_t lastUpdateCount = 0; // the manager's step in which Update last ran
    uint32_t updateCount = 0;
    bool dirty = false;
    int32_t x = 0, y = 0, width = 0, height = 0; // relative to the parent
    bool hasAlpha = false; // not opaque over its whole rectangle
    bool clip = true;
    FlagsMod widgetFlagsMod; // for this widget and its subtree
    int32_t priority = 0; // deferred overlays of lower priority are drawn beneath this widget
    int32_t zOrder = 0;

    // Containers with children that NotifyAll has reached.
    static inline uint32_t notifyAllCount = 0;

protected:
    using ChildList = std::list<Widget*>;

    // Visits the children bottom first; survives their removal and reordering on the way.
    template <typename Visit> void WalkChildren(Visit visit);

private:
    // Where a walk stands: unlinking the child it stands on moves it to the next one.
    struct ChildWalk {
        ChildList::iterator next;
        bool moved = false;
    };

    void Unlink(ChildList::iterator at);
    // Inserts by z-order, searching from `start`; the start only decides the place among equals.
    void InsertByZOrder(Widget* widget, ChildList::iterator start);
    enum class Place { Front, Back, Behind, InFront };
    void Reorder(Widget* widget, Place place, const Widget* reference);
    ChildList::iterator Find(const Widget* widget);
    void MarkAboveDirty(ChildList::iterator from, const WidgetContainer* area);
    void MarkBeneathDirty(ChildList::iterator from, const WidgetContainer* area);

    std::vector<ChildWalk*> walks_;
};

template <typename Visit> void WidgetContainer::WalkChildren(Visit visit)
{
    ChildWalk walk{children.begin()};
    walks_.push_back(&walk);
    while (walk.next != children.end()) {
        walk.moved = false;
        visit(*walk.next);
        if (!walk.moved)
            ++walk.next;
    }
    walks_.erase(std::find(walks_.begin(), walks_.end(), &walk));
}

} // namespace Nubra
