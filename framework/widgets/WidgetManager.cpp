#include "framework/widgets/WidgetManager.h"

#include <algorithm>

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/util/SectionProfiler.h"
#include "framework/widgets/Widget.h"

namespace Nubra {
namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyControl = 17;

uint32_t ButtonBitOf(int clicks)
{
    if (clicks == 3)
        return WidgetManager::kMiddleButton;
    return clicks < 0 ? WidgetManager::kRightButton : WidgetManager::kLeftButton;
}

Point LocalPoint(const Widget* widget, int screenX, int screenY)
{
    const Point origin = widget->GetAbsPos();
    return Point(screenX - origin.x, screenY - origin.y);
}

bool RectContains(const Rect& rect, int pointX, int pointY)
{
    return pointX >= rect.x && pointX < rect.x + rect.width && pointY >= rect.y && pointY < rect.y + rect.height;
}

// The hit test: top-most first, depth first. Everything met after the base-modal widget lies
// beneath it and gets the below-modal bits.
class HitTest {
public:
    HitTest(const Widget* baseModal, const FlagsMod& belowModalMod) : baseModal_(baseModal), belowMod_(belowModalMod) {}

    // `found` is set when the point fell inside a widget that takes the mouse, even one that
    // let the point through: the containers above it then look no further.
    Widget* Search(const WidgetContainer* container, int pointX, int pointY, uint32_t flags, bool& found, Point& local)
    {
        for (auto at = container->children.rbegin(); at != container->children.rend(); ++at) {
            Widget* child = *at;
            uint32_t childFlags = child->widgetFlagsMod.Apply(flags);
            if (belowModal_)
                childFlags = belowMod_.Apply(childFlags);
            if ((childFlags & kWidgetAllowMouse) && child->visible) {
                const int childX = pointX - child->x;
                const int childY = pointY - child->y;
                bool foundInside = false;
                if (Widget* hit = Search(child, childX, childY, childFlags, foundInside, local); hit || foundInside) {
                    found = true;
                    return hit;
                }
                if (child->mouseVisible && RectContains(child->GetInsetRect(), pointX, pointY)) {
                    found = true;
                    if (child->IsPointVisible(childX, childY)) {
                        local = Point(childX, childY);
                        return child;
                    }
                }
            }
            if (child == baseModal_)
                belowModal_ = true;
        }
        return nullptr;
    }

private:
    const Widget* baseModal_;
    FlagsMod belowMod_;
    bool belowModal_ = false;
};

} // namespace

WidgetManager::WidgetManager(NubraAppBase* application) : app(application) { manager = this; }

WidgetManager::~WidgetManager() { RemoveAllWidgets(false, false); }

uint32_t WidgetManager::GetWidgetFlags() const
{
    return hasFocus ? defaultWidgetFlags : lostFocusMod.Apply(defaultWidgetFlags);
}

void WidgetManager::InitModalFlags(ModalFlags& flags) const
{
    flags.isAbove = baseModalWidget == nullptr;
    flags.aboveFlags = GetWidgetFlags();
    flags.belowFlags = belowModalMod.Apply(flags.aboveFlags);
}

void WidgetManager::SetBaseModal(Widget* widget, const FlagsMod& belowMod)
{
    baseModalWidget = widget;
    belowModalMod = belowMod;
    if (!widget)
        return;
    if (belowMod.removeFlags & kWidgetAllowMouse) {
        if (hoveredWidget && IsBelow(hoveredWidget, widget)) {
            Widget* left = std::exchange(hoveredWidget, nullptr);
            LeaveWidget(left);
        }
        if (pressedWidget && IsBelow(pressedWidget, widget)) {
            Widget* released = std::exchange(pressedWidget, nullptr);
            ReleaseButtons(released, std::exchange(pressedButtonMask, 0u));
        }
    }
    if ((belowMod.removeFlags & kWidgetAllowFocus) && focusWidget && IsBelow(focusWidget, widget))
        std::exchange(focusWidget, nullptr)->LostFocus();
}

void WidgetManager::AddBaseModal(Widget* widget, const FlagsMod& belowMod)
{
    baseModalStack.push_back({widget, baseModalWidget, focusWidget, belowModalMod});
    SetBaseModal(widget, belowMod);
}

void WidgetManager::AddBaseModal(Widget* widget) { AddBaseModal(widget, defaultBelowModalMod); }

void WidgetManager::RemoveBaseModal(Widget* widget)
{
    auto top = std::find_if(baseModalStack.rbegin(), baseModalStack.rend(),
                            [widget](const BaseModalRecord& record) { return record.widget == widget; });
    if (top == baseModalStack.rend())
        return;
    if (top == baseModalStack.rbegin()) {
        PopBaseModal();
        // A null restored means the layer beneath lost its widget meanwhile: end it too.
        while (!baseModalWidget && !baseModalStack.empty())
            PopBaseModal();
        return;
    }
    // A layer ended out of order (an older modal widget hidden first): the layer above now
    // restores what this one would have, so closing it does not revive this widget's block.
    auto record = std::prev(top.base());
    auto above = std::next(record);
    above->savedBaseModal = record->savedBaseModal;
    above->savedFocus = record->savedFocus;
    above->savedBelowMod = record->savedBelowMod;
    baseModalStack.erase(record);
}

void WidgetManager::PopBaseModal()
{
    const BaseModalRecord record = baseModalStack.back();
    baseModalStack.pop_back();
    SetBaseModal(record.savedBaseModal, record.savedBelowMod);
    if (!focusWidget && record.savedFocus)
        SetFocus(record.savedFocus);
}

bool WidgetManager::MouseMove(int mouseX, int mouseY)
{
    NoteInput();
    if (pressedButtonMask)
        return MouseDrag(mouseX, mouseY);
    mouseIn = true;
    MousePosition(mouseX, mouseY);
    return true;
}

bool WidgetManager::MouseDrag(int mouseX, int mouseY)
{
    NoteInput();
    mouseIn = true;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    if (hoveredWidget && hoveredWidget != pressedWidget)
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
    Widget* dragged = pressedWidget;
    if (!dragged)
        return true;
    const Point local = LocalPoint(dragged, mouseX, mouseY);
    dragged->MouseDrag(local.x, local.y);
    // Hovered exactly while the pointer is over the pressed widget.
    Widget* under = GetWidgetAt(mouseX, mouseY);
    if (pressedWidget && under == pressedWidget) {
        if (!hoveredWidget) {
            hoveredWidget = under;
            EnterWidget(under);
        }
    } else if (hoveredWidget) {
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
    }
    return true;
}

bool WidgetManager::MouseDown(int mouseX, int mouseY, int clicks)
{
    NoteInput();
    const uint32_t button = ButtonBitOf(clicks);
    heldButtonMask |= button;
    MousePosition(mouseX, mouseY);
    if (popupWidget && !popupWidget->Contains(mouseX, mouseY)) {
        Widget* popup = std::exchange(popupWidget, nullptr);
        if (popup->parent)
            popup->parent->RemoveWidget(popup);
    }
    lastDownButton = clicks < 0 ? -1 : (clicks == 3 ? 2 : 1);
    Widget* target = pressedWidget ? pressedWidget : GetWidgetAt(mouseX, mouseY);
    // A press on no widget holds nothing: it must not hold up hover tracking until released.
    if (!target)
        return true;
    pressedButtonMask |= button;
    pressedWidget = target;
    if (target->WantsFocus())
        SetFocus(target);
    target->isDown = true;
    const Point local = LocalPoint(target, mouseX, mouseY);
    target->MouseDown(local.x, local.y, clicks);
    return true;
}

bool WidgetManager::MouseUp(int mouseX, int mouseY, int clicks)
{
    NoteInput();
    const uint32_t button = ButtonBitOf(clicks);
    heldButtonMask &= ~button;
    if (pressedWidget && (pressedButtonMask & button)) {
        Widget* released = pressedWidget;
        pressedButtonMask &= ~button;
        // Still down while another button holds it.
        if (!pressedButtonMask) {
            pressedWidget = nullptr;
            released->isDown = false;
        }
        const Point local = LocalPoint(released, mouseX, mouseY);
        released->MouseUp(local.x, local.y, clicks);
    }
    MousePosition(mouseX, mouseY);
    return true;
}

bool WidgetManager::MouseExit(int /*mouseX*/, int /*mouseY*/)
{
    NoteInput();
    mouseIn = false;
    if (hoveredWidget)
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
    return true;
}

bool WidgetManager::MouseWheel(int delta)
{
    NoteInput();
    if (focusWidget)
        focusWidget->MouseWheel(delta);
    return true;
}

bool WidgetManager::KeyChar(char16_t character)
{
    NoteInput();
    if (character == kKeyTab && IsKeyDown(kKeyControl)) {
        if (defaultTabWidget)
            defaultTabWidget->KeyChar(character);
    } else if (focusWidget) {
        focusWidget->KeyChar(character);
    }
    return true;
}

bool WidgetManager::KeyDown(int key)
{
    NoteInput();
    SetKeyHeld(key, true);
    if (focusWidget)
        focusWidget->KeyDown(key);
    return true;
}

bool WidgetManager::KeyUp(int key)
{
    NoteInput();
    SetKeyHeld(key, false);
    // Ctrl+Tab went to the default tab widget as a character; its release goes nowhere.
    if (key == kKeyTab && IsKeyDown(kKeyControl))
        return true;
    if (focusWidget)
        focusWidget->KeyUp(key);
    return true;
}

void WidgetManager::SetKeyHeld(int key, bool held)
{
    if (key >= 0 && key < kKeyCount)
        keyDown[size_t(key)] = held;
}

void WidgetManager::GotFocus()
{
    if (hasFocus)
        return;
    hasFocus = true;
    if (focusWidget)
        focusWidget->GotFocus();
}

void WidgetManager::LostFocus()
{
    if (!hasFocus)
        return;
    heldButtonMask = 0;
    // The releases will not arrive while another window has the keyboard.
    for (int key = 0; key < kKeyCount; ++key)
        if (keyDown[size_t(key)])
            KeyUp(key);
    hasFocus = false;
    if (focusWidget)
        focusWidget->LostFocus();
}

void WidgetManager::ReleaseAllButtons()
{
    if (!pressedWidget || !pressedButtonMask)
        return;
    Widget* released = std::exchange(pressedWidget, nullptr);
    ReleaseButtons(released, std::exchange(pressedButtonMask, 0u));
}

void WidgetManager::MapMousePosition(int& mouseX, int& mouseY) const
{
    // Before the rectangles are known the mapping is the identity.
    if (windowRect.width != 0)
        mouseX = int(int64_t(mouseX - windowRect.x) * screenRect.width / windowRect.width + screenRect.x);
    if (windowRect.height != 0)
        mouseY = int(int64_t(mouseY - windowRect.y) * screenRect.height / windowRect.height + screenRect.y);
}

void WidgetManager::SetScreenRects(const Rect& screen, const Rect& window)
{
    screenRect = screen;
    windowRect = window;
    width = screen.width + 2 * screen.x;
    height = screen.height + 2 * screen.y;
}

void WidgetManager::SetFocus(Widget* widget)
{
    if (widget == focusWidget)
        return;
    if (focusWidget)
        std::exchange(focusWidget, nullptr)->LostFocus();
    // A widget outside this tree cannot take the keyboard.
    if (!widget || widget->manager != this)
        return;
    focusWidget = widget;
    if (hasFocus)
        widget->GotFocus();
}

void WidgetManager::DisableWidget(Widget* widget)
{
    if (widget == hoveredWidget)
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
    if (widget == pressedWidget) {
        pressedWidget = nullptr;
        ReleaseButtons(widget, std::exchange(pressedButtonMask, 0u));
    }
    if (widget == focusWidget)
        std::exchange(focusWidget, nullptr)->LostFocus();
    if (widget == baseModalWidget)
        baseModalWidget = nullptr;
}

void WidgetManager::ForgetWidget(Widget* widget)
{
    for (BaseModalRecord& record : baseModalStack) {
        if (record.savedBaseModal == widget)
            record.savedBaseModal = nullptr;
        if (record.savedFocus == widget)
            record.savedFocus = nullptr;
    }
    // Its own layers end as if the widget had asked, so no record outlives it.
    auto hasLayer = [this, widget] {
        return std::any_of(baseModalStack.begin(), baseModalStack.end(),
                           [widget](const BaseModalRecord& record) { return record.widget == widget; });
    };
    while (hasLayer())
        RemoveBaseModal(widget);
    for (auto& overlay : deferredOverlays)
        if (overlay.first == widget)
            overlay.first = nullptr;
    if (popupWidget == widget)
        popupWidget = nullptr;
    if (defaultTabWidget == widget)
        defaultTabWidget = nullptr;
}

void WidgetManager::EnterWidget(Widget* widget)
{
    widget->isOver = true;
    widget->MouseEnter();
    if (widget->handCursor)
        widget->ShowHandCursor(true);
}

void WidgetManager::LeaveWidget(Widget* widget)
{
    widget->isOver = false;
    widget->MouseLeave();
    if (widget->handCursor)
        widget->ShowHandCursor(false);
}

void WidgetManager::ReleaseButtons(Widget* widget, uint32_t buttonMask)
{
    static constexpr std::pair<uint32_t, int> kReleases[] = {{kLeftButton, 1}, {kRightButton, -1}, {kMiddleButton, 3}};
    for (const auto& [button, clicks] : kReleases) {
        if (!(buttonMask & button))
            continue;
        widget->isDown = false;
        const Point local = LocalPoint(widget, lastMouseX, lastMouseY);
        widget->MouseUp(local.x, local.y, clicks);
    }
}

void WidgetManager::MousePosition(int mouseX, int mouseY)
{
    const bool moved = mouseX != lastMouseX || mouseY != lastMouseY;
    lastMouseX = mouseX;
    lastMouseY = mouseY;
    int localX = 0, localY = 0;
    Widget* under = GetWidgetAt(mouseX, mouseY, &localX, &localY);
    if (under == hoveredWidget) {
        if (under && moved)
            under->MouseMove(localX, localY);
        return;
    }
    if (hoveredWidget)
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
    // Leaving may have taken the new one out of the tree.
    if (!under || under->manager != this)
        return;
    hoveredWidget = under;
    EnterWidget(under);
    under->MouseMove(localX, localY);
}

void WidgetManager::RehupMouse()
{
    if (!pressedWidget) {
        if (mouseIn)
            MousePosition(lastMouseX, lastMouseY);
        return;
    }
    if (hoveredWidget && GetWidgetAt(lastMouseX, lastMouseY) != pressedWidget)
        LeaveWidget(std::exchange(hoveredWidget, nullptr));
}

Widget* WidgetManager::GetWidgetAt(int mouseX, int mouseY, int* localX, int* localY)
{
    HitTest test(baseModalWidget, belowModalMod);
    bool found = false;
    Point local;
    Widget* hit = test.Search(this, mouseX, mouseY, GetWidgetFlags(), found, local);
    if (!hit || hit->disabled)
        return nullptr;
    if (localX)
        *localX = local.x;
    if (localY)
        *localY = local.y;
    return hit;
}

bool WidgetManager::UpdateFrame()
{
    SectionProfiler::Scope section("WidgetManager::UpdateFrame");
    ModalFlags flags;
    InitModalFlags(flags);
    ++updateCount;
    lastUpdateCount = updateCount;
    UpdateAll(flags);
    return dirty;
}

bool WidgetManager::UpdateFrameF(float fraction)
{
    SectionProfiler::Scope section("WidgetManager::UpdateFrame");
    ModalFlags flags;
    InitModalFlags(flags);
    UpdateAllF(flags, fraction);
    return dirty;
}

bool WidgetManager::DrawScreen(NubraAppBase* overlayCaller)
{
    SectionProfiler::Scope section("WidgetManager::DrawScreen");
    ModalFlags flags;
    InitModalFlags(flags);
    const bool anyDirty = std::any_of(children.begin(), children.end(), [](const Widget* child) { return child->dirty; });
    lowestPendingOverlay = kNoPendingOverlay;
    deferredOverlays.clear();

    Graphics g(screenImage);
    currentGraphics = &g;
    // One lock of the screen's surface for the whole draw.
    auto* surfaceScreen = dynamic_cast<DDImage*>(screenImage);
    const bool locked = surfaceScreen && surfaceScreen->LockSurface();
    bool drawn = false;
    if (anyDirty) {
        Graphics screen(g);
        screen.Translate(-screenRect.x, -screenRect.y);
        const bool accelerated = app && app->Is3DAccelerated();
        WalkChildren([&](Widget* child) {
            if (child == baseModalWidget)
                flags.isAbove = true;
            if (child->dirty && child->visible) {
                Graphics childGraphics(screen);
                childGraphics.Translate(child->x, child->y);
                childGraphics.SetFastStretch(!accelerated);
                childGraphics.SetLinearBlend(accelerated);
                child->DrawAll(flags, &childGraphics);
                drawn = true;
            }
            // A hidden widget counts as drawn too, so showing it marks it afresh.
            child->dirty = false;
        });
        if (overlayCaller)
            overlayCaller->DrawOverlay(&screen);
    }
    DrawDeferredOverlays(kNoPendingOverlay);
    if (locked)
        surfaceScreen->UnlockSurface();
    currentGraphics = nullptr;
    dirty = false;
    return drawn;
}

void WidgetManager::DeferOverlay(Widget* widget, int32_t overlayPriority)
{
    deferredOverlays.emplace_back(widget, overlayPriority);
    lowestPendingOverlay = std::min(lowestPendingOverlay, overlayPriority);
}

void WidgetManager::DrawDeferredOverlays(int32_t maxPriority)
{
    if (!currentGraphics)
        return;
    for (;;) {
        int32_t nextLowest = kNoPendingOverlay;
        // By index: an overlay may defer another while it draws.
        for (size_t i = 0; i < deferredOverlays.size(); ++i) {
            auto [widget, overlayPriority] = deferredOverlays[i];
            if (!widget)
                continue;
            if (overlayPriority != lowestPendingOverlay) {
                nextLowest = std::min(nextLowest, overlayPriority);
                continue;
            }
            deferredOverlays[i].first = nullptr;
            Graphics overlay(*currentGraphics);
            const Point origin = widget->GetAbsPos();
            overlay.Translate(origin.x - screenRect.x, origin.y - screenRect.y);
            overlay.SetFastStretch(!overlay.linearBlend);
            widget->DrawOverlay(&overlay, overlayPriority);
        }
        lowestPendingOverlay = nextLowest;
        if (nextLowest == kNoPendingOverlay) {
            deferredOverlays.clear();
            return;
        }
        if (nextLowest >= maxPriority)
            return;
    }
}

} // namespace Nubra
