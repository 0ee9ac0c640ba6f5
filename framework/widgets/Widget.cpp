#include "framework/widgets/Widget.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/Font.h"
#include "framework/widgets/WidgetManager.h"

namespace Nubra {
namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyShift = 16;
constexpr int kCursorPointer = 0;
constexpr int kCursorHand = 1;

struct ButtonClick {
    int button; // 0 left, 1 right, 2 middle
    int count;
};

// The input queue's click value: positive left clicks, negative right clicks, 3 middle.
ButtonClick ButtonClickOf(int clicks)
{
    if (clicks == 3)
        return {2, 1};
    if (clicks < 0)
        return {1, -clicks};
    return {0, clicks};
}

// Text written through the helpers follows the helpers' colour-escape setting for the call.
class ScopedColoredString {
public:
    explicit ScopedColoredString(Graphics* g) : g_(g), saved_(g->writeColoredString)
    {
        g->SetWriteColoredString(Widget::writeColoredString);
    }
    ~ScopedColoredString() { g_->SetWriteColoredString(saved_); }
    ScopedColoredString(const ScopedColoredString&) = delete;
    ScopedColoredString& operator=(const ScopedColoredString&) = delete;

private:
    Graphics* g_;
    bool saved_;
};

} // namespace

Widget::Widget() { ++liveWidgets; }

Widget::~Widget()
{
    --liveWidgets;
    if (parent)
        parent->RemoveWidget(this);
}

void Widget::SetVisible(bool isVisible)
{
    if (visible == isVisible)
        return;
    visible = isVisible;
    if (visible)
        MarkDirty();
    else
        MarkDirtyFull();
    if (manager)
        manager->RehupMouse();
}

void Widget::SetColors(const int records[][4], int count)
{
    colors.clear();
    for (int k = 0; k < count; ++k)
        SetColor(k, Color(records[k][0], records[k][1], records[k][2], records[k][3]));
    MarkDirty();
}

void Widget::SetColors(const int records[][3], int count)
{
    colors.clear();
    for (int k = 0; k < count; ++k)
        SetColor(k, Color(records[k][0], records[k][1], records[k][2]));
    MarkDirty();
}

void Widget::SetColor(int index, const Color& color)
{
    if (index < 0)
        return;
    if (size_t(index) >= colors.size())
        colors.resize(size_t(index) + 1);
    colors[size_t(index)] = color;
    MarkDirty();
}

Color Widget::GetColor(int index, const Color& fallback) const
{
    if (index < 0 || size_t(index) >= colors.size())
        return fallback;
    return colors[size_t(index)];
}

Color Widget::GetColor(int index) const { return GetColor(index, Color()); }

void Widget::SetDisabled(bool isDisabled)
{
    if (disabled == isDisabled)
        return;
    disabled = isDisabled;
    if (disabled && manager)
        manager->DisableWidget(this);
    MarkDirty();
    if (disabled || !manager)
        return;
    // Enabled under the mouse: it is entered at once, not on the next move.
    const Point origin = parent ? parent->GetAbsPos() : Point();
    if (Contains(manager->lastMouseX - origin.x, manager->lastMouseY - origin.y))
        manager->MousePosition(manager->lastMouseX, manager->lastMouseY);
}

void Widget::ShowHandCursor(bool on)
{
    if (manager && manager->app)
        manager->app->SetCursor(on ? kCursorHand : kCursorPointer);
}

void Widget::Resize(const Rect& rect) { Resize(rect.x, rect.y, rect.width, rect.height); }

void Widget::Resize(int newX, int newY, int newWidth, int newHeight)
{
    if (x == newX && y == newY && width == newWidth && height == newHeight)
        return;
    MarkDirtyFull();
    x = newX;
    y = newY;
    width = newWidth;
    height = newHeight;
    // The new area as fully as the old: what lies above or beneath it there changes too.
    MarkDirtyFull();
    if (manager)
        manager->RehupMouse();
}

void Widget::Move(int newX, int newY) { Resize(newX, newY, width, height); }

void Widget::DrawOverlay(Graphics* g, int /*overlayPriority*/) { DrawOverlay(g); }

void Widget::GotFocus() { hasFocus = true; }

void Widget::LostFocus() { hasFocus = false; }

void Widget::KeyDown(int key)
{
    if (key != kKeyTab || !manager)
        return;
    if (manager->IsKeyDown(kKeyShift)) {
        if (tabPrev)
            manager->SetFocus(tabPrev);
    } else if (tabNext) {
        manager->SetFocus(tabNext);
    }
}

void Widget::MouseDown(int mouseX, int mouseY, int clicks)
{
    const ButtonClick click = ButtonClickOf(clicks);
    MouseDown(mouseX, mouseY, click.button, click.count);
}

void Widget::MouseUp(int mouseX, int mouseY, int clicks)
{
    MouseUp(mouseX, mouseY);
    const ButtonClick click = ButtonClickOf(clicks);
    MouseUp(mouseX, mouseY, click.button, click.count);
}

Rect Widget::WriteCenteredLine(Graphics* g, int lineY, const std::wstring& text, const Color& textColor,
                               const Color& shadowColor, const Point& shadowOffset)
{
    Font* font = g->GetFont();
    if (!font)
        return Rect();
    const int textWidth = font->StringWidth(text);
    const int lineX = (width - textWidth) / 2;
    g->SetColor(shadowColor);
    g->DrawString(text, lineX + shadowOffset.x, lineY + shadowOffset.y);
    g->SetColor(textColor);
    g->DrawString(text, lineX, lineY);
    return Rect(lineX + std::min(shadowOffset.x, 0), lineY + std::min(shadowOffset.y, 0) - font->GetAscent(),
                textWidth + std::abs(shadowOffset.x), font->GetHeight() + std::abs(shadowOffset.y));
}

Rect Widget::WriteCenteredLine(Graphics* g, int lineY, const std::wstring& text)
{
    Font* font = g->GetFont();
    if (!font)
        return Rect();
    const int textWidth = font->StringWidth(text);
    const int lineX = (width - textWidth) / 2;
    g->DrawString(text, lineX, lineY);
    return Rect(lineX, lineY - font->GetAscent(), textWidth, font->GetHeight());
}

int Widget::WriteString(Graphics* g, const std::wstring& text, int textX, int textY, int textWidth,
                        int justification, bool draw, int offset, int length)
{
    ScopedColoredString colored(g);
    return g->WriteString(text, textX, textY, textWidth, justification, draw, offset, length);
}

int Widget::WriteWordWrapped(Graphics* g, const Rect& rect, const std::wstring& text, int lineSpacing,
                             int justification)
{
    ScopedColoredString colored(g);
    return g->WriteWordWrapped(rect, text, lineSpacing, justification);
}

int Widget::DrawStringWordWrapped(Graphics* g, int wrapWidth, const std::wstring& text, int lineSpacing)
{
    return g->GetWordWrappedHeight(wrapWidth, text, lineSpacing);
}

int Widget::GetNumDigits(int number)
{
    int digits = 1;
    for (long long power = 10; number >= power; power *= 10)
        ++digits;
    return digits;
}

void Widget::WriteNumberFromStrip(Graphics* g, int number, int numberX, int numberY, Image* strip, int spacing)
{
    if (!strip)
        return;
    const int digitWidth = strip->GetWidth() / 10;
    const int stripHeight = strip->GetHeight();
    // The strip has no minus sign: a negative number shows its digits.
    const std::string digits = std::to_string(std::llabs(static_cast<long long>(number)));
    int offset = 0;
    for (char digitChar : digits) {
        const int digit = digitChar - '0';
        Graphics cell(*g);
        cell.ClipRect(numberX + offset, numberY, digitWidth, stripHeight);
        cell.DrawImage(strip, numberX + offset - digit * digitWidth, numberY);
        offset += digitWidth + spacing;
    }
}

bool Widget::Contains(int pointX, int pointY) const
{
    return pointX >= x && pointX < x + width && pointY >= y && pointY < y + height;
}

Rect Widget::GetInsetRect() const
{
    return Rect(x + insets.left, y + insets.top, width - insets.left - insets.right,
                height - insets.top - insets.bottom);
}

} // namespace Nubra
