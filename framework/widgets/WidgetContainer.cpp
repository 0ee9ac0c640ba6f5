#include "framework/widgets/WidgetContainer.h"

#include <algorithm>
#include <iterator>

#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

namespace Nubra {

WidgetContainer::~WidgetContainer()
{
    for (Widget* child : children)
        child->parent = nullptr;
}

void WidgetContainer::AddWidget(Widget* widget)
{
    if (HasWidget(widget))
        return;
    // Above every child of equal z-order.
    auto at = children.end();
    while (at != children.begin() && (*std::prev(at))->zOrder > widget->zOrder)
        --at;
    children.insert(at, widget);
    widget->parent = this;
    widget->manager = manager;
    if (manager) {
        widget->AddedToManager(manager);
        widget->MarkDirty();
    }
    MarkDirty();
}

void WidgetContainer::RemoveWidget(Widget* widget)
{
    auto at = std::find(children.begin(), children.end(), widget);
    if (at == children.end())
        return;
    if (widget->manager) {
        widget->RemovedFromManager(widget->manager);
        widget->manager = nullptr;
        MarkDirty();
    }
    widget->parent = nullptr;
    for (ChildWalk* walk : walks_)
        if (walk->next == at) {
            ++walk->next;
            walk->moved = true;
        }
    children.erase(at);
}

bool WidgetContainer::HasWidget(Widget* widget) const
{
    return std::find(children.begin(), children.end(), widget) != children.end();
}

void WidgetContainer::MarkDirty()
{
    if (parent)
        parent->MarkChildDirty(this);
    else
        dirty = true;
}

void WidgetContainer::MarkChildDirty(WidgetContainer* child)
{
    if (child->dirty)
        return;
    MarkDirty();
    child->dirty = true;
}

void WidgetContainer::AddedToManager(WidgetManager* newManager)
{
    for (Widget* child : children) {
        child->manager = newManager;
        child->AddedToManager(newManager);
    }
    MarkDirty();
}

void WidgetContainer::RemovedFromManager(WidgetManager* oldManager)
{
    for (Widget* child : children) {
        child->RemovedFromManager(oldManager);
        child->manager = nullptr;
    }
}

void WidgetContainer::Update() { ++updateCount; }

void WidgetContainer::UpdateF(float) {}

template <typename Visit> void WidgetContainer::WalkChildren(Visit visit)
{
    ChildWalk walk{children.begin()};
    walks_.push_back(&walk);
    while (walk.next != children.end()) {
        walk.moved = false;
        Widget* child = *walk.next;
        visit(child);
        if (!walk.moved)
            ++walk.next;
    }
    walks_.erase(std::find(walks_.begin(), walks_.end(), &walk));
}

void WidgetContainer::ApplyMasks(ModalFlags& flags) const
{
    flags.overFlags = (flags.overFlags | flagsAddMask) & ~flagsRemoveMask;
    flags.underFlags = (flags.underFlags | flagsAddMask) & ~flagsRemoveMask;
}

void WidgetContainer::UpdateAll(ModalFlags& flags)
{
    const ModalFlags saved = flags;
    ApplyMasks(flags);
    if (flags.GetFlags() & kWidgetMarkDirtyEveryUpdate)
        MarkDirty();
    if (manager) {
        // At most once per manager step, however often the walk reaches this widget.
        if ((flags.GetFlags() & kWidgetUpdate) && manager->updateCount != lastUpdateCount) {
            lastUpdateCount = manager->updateCount;
            Update();
        }
        WalkChildren([&flags](Widget* child) { child->UpdateAll(flags); });
    }
    flags.overFlags = saved.overFlags;
    flags.underFlags = saved.underFlags;
}

void WidgetContainer::UpdateAllF(ModalFlags& flags, float fraction)
{
    const ModalFlags saved = flags;
    ApplyMasks(flags);
    if (manager) {
        if (flags.GetFlags() & kWidgetUpdate)
            UpdateF(fraction);
        WalkChildren([&flags, fraction](Widget* child) { child->UpdateAllF(flags, fraction); });
    }
    flags.overFlags = saved.overFlags;
    flags.underFlags = saved.underFlags;
}

} // namespace Nubra
