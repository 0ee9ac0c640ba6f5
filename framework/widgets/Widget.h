#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "framework/graphics/Color.h"
#include "framework/widgets/WidgetContainer.h"

namespace Nubra {

class Image;

// Space kept free inside a widget's edges.
struct Insets {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// A rectangle of the screen that updates, draws and receives input. Input coordinates are the
// widget's own (0, 0 is its top-left corner) unless said otherwise.
class Widget : public WidgetContainer {
public:
    Widget();
    // Leaves its parent first, so nothing in the tree keeps pointing at it.
    ~Widget() override;

    // Called on a widget after a reorder placed it.
    virtual void OrderChanged() {}
    virtual void SetVisible(bool isVisible);

    // Colours: entries beyond the table read as opaque black (or the given default).
    virtual void SetColors(const int records[][4], int count);
    virtual void SetColors(const int records[][3], int count); // opaque
    virtual void SetColor(int index, const Color& color);
    virtual Color GetColor(int index, const Color& fallback) const;
    virtual Color GetColor(int index) const;

    virtual void SetDisabled(bool isDisabled);
    virtual void ShowHandCursor(bool on);
    virtual void Resize(const Rect& rect);
    virtual void Resize(int newX, int newY, int newWidth, int newHeight);
    virtual void Move(int newX, int newY);
    virtual bool WantsFocus() { return wantsFocus; }
    virtual void DrawOverlay(Graphics* g, int overlayPriority);
    virtual void DrawOverlay(Graphics* /*g*/) {}

    // Keyboard.
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void KeyChar(char16_t /*character*/) {}
    // Tab moves the focus along the tab chain, backwards with Shift held.
    virtual void KeyDown(int key);
    virtual void KeyUp(int /*key*/) {}

    // Mouse. Buttons: 0 left, 1 right, 2 middle. The click forms take the input queue's counts:
    // positive left, negative right (that many clicks), 3 middle.
    virtual void MouseEnter() {}
    virtual void MouseLeave() {}
    virtual void MouseMove(int /*x*/, int /*y*/) {}
    virtual void MouseDown(int /*x*/, int /*y*/, int /*button*/, int /*clickCount*/) {}
    virtual void MouseDown(int mouseX, int mouseY, int clicks);
    virtual void MouseUp(int /*x*/, int /*y*/, int /*button*/, int /*clickCount*/) {}
    virtual void MouseUp(int mouseX, int mouseY, int clicks);
    virtual void MouseUp(int /*x*/, int /*y*/) {}
    virtual void MouseDrag(int /*x*/, int /*y*/) {}
    virtual void MouseWheel(int /*delta*/) {}
    // Whether a point inside the widget's rectangle hits it; false lets the mouse through.
    virtual bool IsPointVisible(int /*x*/, int /*y*/) { return true; }

    // Text helpers, with the graphics' current font.
    // Centred across the widget with the baseline at y; returns the rectangle written.
    virtual Rect WriteCenteredLine(Graphics* g, int lineY, const std::wstring& text, const Color& textColor,
                                   const Color& shadowColor, const Point& shadowOffset);
    virtual Rect WriteCenteredLine(Graphics* g, int lineY, const std::wstring& text);
    virtual int WriteString(Graphics* g, const std::wstring& text, int textX, int textY, int textWidth = -1,
                            int justification = -1, bool draw = true, int offset = 0, int length = -1);
    virtual int WriteWordWrapped(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing = -1,
                                 int justification = -1);
    // The height the text takes word-wrapped to the width.
    virtual int DrawStringWordWrapped(Graphics* g, int wrapWidth, const std::wstring& text, int lineSpacing = -1);
    virtual int GetNumDigits(int number);
    // Draws a number's digits from an image of the ten digits 0-9 side by side.
    virtual void WriteNumberFromStrip(Graphics* g, int number, int numberX, int numberY, Image* strip,
                                      int spacing);
    // In the parent's coordinates.
    virtual bool Contains(int pointX, int pointY) const;
    virtual Rect GetInsetRect() const;

    bool visible = true;
    bool mouseVisible = true; // the hit test skips the widget but still searches its children
    bool disabled = false;
    bool hasFocus = false;
    bool isDown = false; // a mouse button went down on it and is still held
    bool isOver = false;
    bool hasTransparencies = false;
    std::vector<Color> colors;
    Insets insets;
    bool handCursor = false;
    bool wantsFocus = false;
    Widget* tabPrev = nullptr; // not owned
    Widget* tabNext = nullptr;

    static inline std::atomic<int> liveWidgets{0};
    // Whether text written through the helpers reads colour escapes.
    static inline bool writeColoredString = true;
};

} // namespace Nubra
