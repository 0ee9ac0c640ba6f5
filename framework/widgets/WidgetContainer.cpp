#include "framework/widgets/WidgetContainer.h"

#include <algorithm>
#include <iterator>

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

namespace Nubra {
namespace {

// Applies a widget's bits to both flag words of a pass and gives them back at the end of the
// scope; whether the pass is above the base-modal widget is not given back.
class ScopedFlagsMod {
public:
    ScopedFlagsMod(ModalFlags& flags, const FlagsMod& mod) : flags_(flags), saved_(flags)
    {
        flags.aboveFlags = mod.Apply(flags.aboveFlags);
        flags.belowFlags = mod.Apply(flags.belowFlags);
    }
    ~ScopedFlagsMod()
    {
        flags_.aboveFlags = saved_.aboveFlags;
        flags_.belowFlags = saved_.belowFlags;
    }
    ScopedFlagsMod(const ScopedFlagsMod&) = delete;
    ScopedFlagsMod& operator=(const ScopedFlagsMod&) = delete;

private:
    ModalFlags& flags_;
    const ModalFlags saved_;
};

// Disconnects a subtree from its manager, deepest first: the manager forgets every pointer to
// it, and what it covered is marked for redrawing.
void DetachFromManager(Widget* widget)
{
    WidgetManager* manager = widget->manager;
    if (!manager)
        return;
    // A copy: the callbacks below may rearrange the children.
    const std::vector<Widget*> children(widget->children.begin(), widget->children.end());
    for (Widget* child : children)
        DetachFromManager(child);
    manager->DisableWidget(widget);
    manager->ForgetWidget(widget);
    widget->RemovedFromManager(manager);
    widget->MarkChildDirtyFull(widget);
    widget->manager = nullptr;
}

enum class Met { Neither, First, Second };

// Which of two widgets a depth-first walk in list order (bottom first) meets first.
Met MetFirst(const WidgetContainer* container, const Widget* first, const Widget* second)
{
    for (const Widget* child : container->children) {
        if (child == second)
            return Met::Second;
        if (child == first)
            return Met::First;
        if (Met met = MetFirst(child, first, second); met != Met::Neither)
            return met;
    }
    return Met::Neither;
}

} // namespace

WidgetContainer::~WidgetContainer()
{
    for (Widget* child : children)
        child->parent = nullptr;
}

bool WidgetContainer::Intersects(const WidgetContainer* other) const
{
    const Rect a = GetRect();
    const Rect b = other->GetRect();
    const int left = std::max(a.x, b.x);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int top = std::max(a.y, b.y);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    return right > left && bottom > top;
}

WidgetContainer::ChildList::iterator WidgetContainer::Find(const Widget* widget)
{
    return std::find(children.begin(), children.end(), widget);
}

bool WidgetContainer::HasWidget(const Widget* widget) const
{
    return std::find(children.begin(), children.end(), widget) != children.end();
}

void WidgetContainer::InsertByZOrder(Widget* widget, ChildList::iterator start)
{
    auto at = start;
    while (at != children.end() && (*at)->zOrder < widget->zOrder)
        ++at;
    while (at != children.begin() && (*std::prev(at))->zOrder > widget->zOrder)
        --at;
    children.insert(at, widget);
}

void WidgetContainer::Unlink(ChildList::iterator at)
{
    for (ChildWalk* walk : walks_)
        if (walk->next == at) {
            ++walk->next;
            walk->moved = true;
        }
    children.erase(at);
}

void WidgetContainer::AddWidget(Widget* widget)
{
    if (!widget || HasWidget(widget))
        return;
    // One place in the tree at a time.
    if (widget->parent)
        widget->parent->RemoveWidget(widget);
    InsertByZOrder(widget, children.end());
    widget->parent = this;
    widget->manager = manager;
    if (manager) {
        widget->AddedToManager(manager);
        widget->MarkDirtyFull();
        manager->RehupMouse();
    }
    MarkDirty();
}

void WidgetContainer::RemoveWidget(Widget* widget)
{
    if (!HasWidget(widget))
        return;
    DetachFromManager(widget);
    widget->parent = nullptr;
    // Looked up again: the detaching callbacks may have moved it.
    if (auto at = Find(widget); at != children.end())
        Unlink(at);
}

void WidgetContainer::RemoveAllWidgets(bool deleteWidgets, bool recursive)
{
    while (!children.empty()) {
        Widget* child = children.front();
        RemoveWidget(child);
        if (recursive)
            child->RemoveAllWidgets(deleteWidgets, recursive);
        if (deleteWidgets)
            delete child;
    }
}

bool WidgetContainer::IsBelow(const Widget* a, const Widget* b) const { return MetFirst(this, a, b) == Met::First; }

void WidgetContainer::Reorder(Widget* widget, Place place, const Widget* reference)
{
    auto at = Find(widget);
    if (at == children.end())
        return;
    auto referenceAt = children.end();
    if (place == Place::Behind || place == Place::InFront) {
        referenceAt = Find(reference);
        if (referenceAt == children.end() || reference == widget)
            return;
    }
    Unlink(at);
    switch (place) {
    case Place::Front:
        InsertByZOrder(widget, children.end());
        break;
    case Place::Back:
        InsertByZOrder(widget, children.begin());
        break;
    case Place::Behind:
        InsertByZOrder(widget, referenceAt);
        break;
    case Place::InFront:
        InsertByZOrder(widget, std::next(referenceAt));
        break;
    }
    widget->OrderChanged();
}

void WidgetContainer::BringToFront(Widget* widget) { Reorder(widget, Place::Front, nullptr); }

void WidgetContainer::BringToBack(Widget* widget) { Reorder(widget, Place::Back, nullptr); }

void WidgetContainer::PutBehind(Widget* widget, Widget* reference) { Reorder(widget, Place::Behind, reference); }

void WidgetContainer::PutInFront(Widget* widget, Widget* reference) { Reorder(widget, Place::InFront, reference); }

Point WidgetContainer::GetAbsPos() const
{
    if (!parent)
        return Point(x, y);
    const Point origin = parent->GetAbsPos();
    return Point(origin.x + x, origin.y + y);
}

void WidgetContainer::MarkAllDirty()
{
    MarkDirty();
    for (Widget* child : children) {
        child->dirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::MarkDirty()
{
    if (parent)
        parent->MarkChildDirty(this);
    else
        dirty = true;
}

void WidgetContainer::MarkDirtyFull()
{
    if (parent)
        parent->MarkChildDirtyFull(this);
    else
        dirty = true;
}

void WidgetContainer::MarkChildDirty(WidgetContainer* child)
{
    if (child->dirty)
        return;
    MarkDirty();
    child->dirty = true;
    // Below the root, redrawing the top-level ancestor redraws the child.
    if (parent)
        return;
    if (child->hasAlpha) {
        MarkChildDirtyFull(child);
        return;
    }
    if (auto at = std::find(children.begin(), children.end(), child); at != children.end())
        MarkAboveDirty(std::next(at), child);
}

void WidgetContainer::MarkChildDirtyFull(WidgetContainer* child)
{
    MarkDirtyFull();
    child->dirty = true;
    if (parent)
        return;
    auto at = std::find(children.begin(), children.end(), child);
    if (at == children.end())
        return;
    MarkBeneathDirty(at, child);
    MarkAboveDirty(std::next(at), child);
}

void WidgetContainer::MarkBeneathDirty(ChildList::iterator from, const WidgetContainer* area)
{
    // Down to the first opaque widget that covers the area whole: nothing beneath it shows.
    const Rect shown = area->GetRect().Intersection(GetRect());
    const Point topLeft(shown.x, shown.y);
    const Point bottomRight(shown.x + shown.width - 1, shown.y + shown.height - 1);
    for (auto at = from; at != children.begin();) {
        Widget* below = *--at;
        if (!below->visible)
            continue;
        if (!below->hasTransparencies && !below->hasAlpha && below->Contains(topLeft.x, topLeft.y)
            && below->Contains(bottomRight.x, bottomRight.y)) {
            below->MarkDirty();
            return;
        }
        if (below->Intersects(area))
            MarkChildDirty(below);
    }
}

void WidgetContainer::MarkAboveDirty(ChildList::iterator from, const WidgetContainer* area)
{
    for (auto at = from; at != children.end(); ++at)
        if ((*at)->visible && (*at)->Intersects(area))
            MarkChildDirty(*at);
}

void WidgetContainer::AddedToManager(WidgetManager* newManager)
{
    WalkChildren([newManager](Widget* child) {
        child->manager = newManager;
        child->AddedToManager(newManager);
    });
    MarkDirty();
}

void WidgetContainer::RemovedFromManager(WidgetManager* oldManager)
{
    WalkChildren([oldManager](Widget* child) {
        if (!child->manager)
            return; // already detached
        oldManager->DisableWidget(child);
        child->RemovedFromManager(oldManager);
        child->manager = nullptr;
    });
}

void WidgetContainer::UpdateAll(ModalFlags& flags)
{
    ScopedFlagsMod scope(flags, widgetFlagsMod);
    if (flags.GetFlags() & kWidgetMarkDirtyEveryUpdate)
        MarkDirty();
    if (!manager)
        return;
    // At most once per manager step, however often the walk reaches this widget.
    if ((flags.GetFlags() & kWidgetUpdate) && manager->updateCount != lastUpdateCount) {
        lastUpdateCount = manager->updateCount;
        Update();
    }
    WalkChildren([this, &flags](Widget* child) {
        if (manager && child == manager->baseModalWidget)
            flags.isAbove = true;
        child->UpdateAll(flags);
    });
}

void WidgetContainer::UpdateAllF(ModalFlags& flags, float fraction)
{
    ScopedFlagsMod scope(flags, widgetFlagsMod);
    if (!manager)
        return;
    if (flags.GetFlags() & kWidgetUpdate)
        UpdateF(fraction);
    WalkChildren([this, &flags, fraction](Widget* child) {
        if (manager && child == manager->baseModalWidget)
            flags.isAbove = true;
        child->UpdateAllF(flags, fraction);
    });
}

void WidgetContainer::DrawAll(ModalFlags& flags, Graphics* g)
{
    if (manager && priority > manager->lowestPendingOverlay)
        manager->DrawDeferredOverlays(priority);
    ScopedFlagsMod scope(flags, widgetFlagsMod);
    if (clip && (flags.GetFlags() & kWidgetClip))
        g->ClipRect(0, 0, width, height);
    if (flags.GetFlags() & kWidgetDraw) {
        g->PushState();
        Draw(g);
        g->PopState();
    }
    WalkChildren([this, &flags, g](Widget* child) {
        // A hidden child counts as drawn too, so showing it marks it afresh.
        if (!child->visible) {
            child->dirty = false;
            return;
        }
        if (manager && child == manager->baseModalWidget)
            flags.isAbove = true;
        Graphics childGraphics(*g);
        childGraphics.Translate(child->x, child->y);
        child->DrawAll(flags, &childGraphics);
        child->dirty = false;
    });
}

void WidgetContainer::NotifyAll()
{
    Notify();
    if (!children.empty())
        ++notifyAllCount;
    WalkChildren([](Widget* child) { child->NotifyAll(); });
}

} // namespace Nubra
