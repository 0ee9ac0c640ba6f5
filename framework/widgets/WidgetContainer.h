#pragma once
#include <cstdint>
#include <list>
#include <vector>

namespace Nubra {

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

// The flags an update or draw pass carries down the tree: one set for widgets above the
// base-modal widget, one for those beneath it.
struct ModalFlags {
    uint32_t overFlags = 0;
    uint32_t underFlags = 0;
    bool isOver = true;

    uint32_t GetFlags() const { return isOver ? overFlags : underFlags; }
};

// A node of the widget tree: children kept in z-order (bottom first), not owned.
class WidgetContainer {
public:
    WidgetContainer() = default;
    virtual ~WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    virtual void AddWidget(Widget* widget);
    virtual void RemoveWidget(Widget* widget);
    virtual bool HasWidget(Widget* widget) const;

    virtual void MarkDirty();
    virtual void MarkChildDirty(WidgetContainer* child);

    virtual void AddedToManager(WidgetManager* manager);
    virtual void RemovedFromManager(WidgetManager* manager);

    virtual void Update();
    virtual void UpdateAll(ModalFlags& flags);
    virtual void UpdateF(float fraction);
    virtual void UpdateAllF(ModalFlags& flags, float fraction);

    std::list<Widget*> children;
    WidgetManager* manager = nullptr;
    WidgetContainer* parent = nullptr;
    uint32_t lastUpdateCount = 0;
    uint32_t updateCount = 0;
    bool dirty = false;
    int32_t x = 0, y = 0, width = 0, height = 0;
    uint32_t flagsAddMask = 0, flagsRemoveMask = 0;
    int32_t zOrder = 0;

private:
    // A walk over the children that survives their removal: removing the child the walk stands
    // on moves the walk to the next one.
    struct ChildWalk {
        std::list<Widget*>::iterator next;
        bool moved = false;
    };
    template <typename Visit> void WalkChildren(Visit visit);
    void ApplyMasks(ModalFlags& flags) const;

    std::vector<ChildWalk*> walks_;
};

} // namespace Nubra
