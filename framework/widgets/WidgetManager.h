#pragma once
#include <array>
#include <cstdint>
#include <list>
#include <utility>
#include <vector>

#include "framework/widgets/WidgetContainer.h"

namespace Nubra {

class Image;
class NubraAppBase;

// The root of the widget tree and the one door through which input reaches widgets: it tracks
// the hovered, pressed and focus widgets and the held keys, keeps a stack of base-modal layers
// that shut input off beneath a modal widget, runs the update steps and draws what is dirty.
// Mouse coordinates are the game screen's.
class WidgetManager : public WidgetContainer {
public:
    static constexpr int kKeyCount = 255; // key codes from here on are routed but not tracked
    static constexpr int32_t kNoPendingOverlay = 0x7fffffff;
    // Bits of the held and pressed button masks.
    enum ButtonBit : uint32_t { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

    explicit WidgetManager(NubraAppBase* application);
    // Detaches the widgets that are still in the tree; deletes none.
    ~WidgetManager() override;

    // Flags and modal layers.
    uint32_t GetWidgetFlags() const;
    void InitModalFlags(ModalFlags& flags) const;
    // Widgets beneath `widget` get `belowMod` applied to their flags.
    void SetBaseModal(Widget* widget, const FlagsMod& belowMod);
    void AddBaseModal(Widget* widget, const FlagsMod& belowMod);
    void AddBaseModal(Widget* widget); // with the default base-modal bits: no mouse, no focus beneath
    void PushBaseModal(Widget* widget, const FlagsMod& belowMod) { AddBaseModal(widget, belowMod); }
    void PushBaseModal(Widget* widget) { AddBaseModal(widget); }
    // Ends the widget's layer wherever it lies on the stack; the layer above it inherits what it
    // had saved. Ending the top layer restores the one beneath.
    void RemoveBaseModal(Widget* widget);

    // Input, already translated to virtual-key codes. Clicks: positive left (that many),
    // negative right, 3 middle. Each returns true.
    bool MouseMove(int mouseX, int mouseY);
    bool MouseDrag(int mouseX, int mouseY);
    bool MouseDown(int mouseX, int mouseY, int clicks);
    bool MouseUp(int mouseX, int mouseY, int clicks);
    bool MouseExit(int mouseX = 0, int mouseY = 0); // the position is not needed
    bool MouseWheel(int delta);
    bool KeyChar(char16_t character);
    bool KeyDown(int key);
    bool KeyUp(int key);
    // The application was activated or deactivated.
    void GotFocus();
    void LostFocus();
    void ReleaseAllButtons();
    // Window coordinates to game coordinates.
    void MapMousePosition(int& mouseX, int& mouseY) const;
    void SetScreenRects(const Rect& screen, const Rect& window);
    bool IsKeyDown(int key) const { return key >= 0 && key < kKeyCount && keyDown[size_t(key)]; }

    // Widget state.
    void SetFocus(Widget* widget) override;
    // Drops hover, press, focus and base-modal standing from the widget.
    void DisableWidget(Widget* widget) override;
    // Forgets every other pointer to a widget that leaves the tree.
    void ForgetWidget(Widget* widget);
    void EnterWidget(Widget* widget);
    void LeaveWidget(Widget* widget);
    void ReleaseButtons(Widget* widget, uint32_t buttonMask);
    // Hover tracking at a new position.
    void MousePosition(int mouseX, int mouseY);
    // Hover again after the tree changed under a still mouse.
    void RehupMouse();
    // The top-most enabled widget that takes the mouse at the point, with the point in its own
    // coordinates; null for none.
    Widget* GetWidgetAt(int mouseX, int mouseY, int* localX = nullptr, int* localY = nullptr);

    // Update and draw.
    bool UpdateFrame(); // true when something was marked dirty since the last draw
    bool UpdateFrameF(float fraction); // between steps; the update count does not move
    // Draws the dirty top-level widgets into the screen image, then the caller's overlay on top;
    // true when any widget was drawn.
    bool DrawScreen(NubraAppBase* overlayCaller = nullptr);
    // An overlay drawn above every widget of lower priority during the current screen draw.
    void DeferOverlay(Widget* widget, int32_t overlayPriority);
    void DrawDeferredOverlays(int32_t maxPriority);

    struct BaseModalRecord {
        Widget* widget;
        Widget* savedBaseModal;
        Widget* savedFocus;
        FlagsMod savedBelowMod;
    };

    Widget* defaultTabWidget = nullptr; // gets Ctrl+Tab
    Graphics* currentGraphics = nullptr; // during a screen draw only
    NubraAppBase* app;
    Image* screenImage = nullptr; // not owned
    Widget* popupWidget = nullptr; // removed when a press lands outside it
    std::vector<std::pair<Widget*, int32_t>> deferredOverlays;
    int32_t lowestPendingOverlay = kNoPendingOverlay;
    bool hasFocus = true; // the application's
    Widget* focusWidget = nullptr;
    Widget* pressedWidget = nullptr; // took the last press while a button is held
    Widget* hoveredWidget = nullptr;
    Widget* baseModalWidget = nullptr;
    FlagsMod lostFocusMod; // on the default flags while the application lacks focus
    FlagsMod belowModalMod; // on the widgets beneath the base-modal widget
    FlagsMod defaultBelowModalMod{0, kWidgetAllowMouse | kWidgetAllowFocus};
    std::list<BaseModalRecord> baseModalStack; // the top last
    Rect screenRect;
    Rect windowRect;
    bool mouseIn = false;
    int32_t lastMouseX = 0;
    int32_t lastMouseY = 0;
    uint32_t pressedButtonMask = 0; // held on the pressed widget
    uint32_t heldButtonMask = 0; // held at all
    uint32_t lastInputUpdateCount = 0;
    std::array<uint8_t, kKeyCount> keyDown{};
    int32_t lastDownButton = 0; // 1 left, -1 right, 2 middle
    uint32_t defaultWidgetFlags = kWidgetUpdate | kWidgetDraw | kWidgetClip | kWidgetAllowMouse | kWidgetAllowFocus;

private:
    void PopBaseModal();
    void SetKeyHeld(int key, bool held); // codes the table does not track are ignored
    void NoteInput() { lastInputUpdateCount = updateCount; }
};

} // namespace Nubra
