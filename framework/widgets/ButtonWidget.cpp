#include "framework/widgets/ButtonWidget.h"

#include <algorithm>
#include <initializer_list>

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/SysFont.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetManager.h"

namespace Nubra {

ButtonWidget::ButtonWidget(int buttonId, ButtonListener* buttonListener) : id(buttonId), listener(buttonListener)
{
    hasAlpha = true;
    static constexpr int kColours[][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};
    SetColors(kColours, 6);
}

ButtonWidget::~ButtonWidget() = default;

void ButtonWidget::SetFont(Font* newFont)
{
    font = newFont;
    if (newFont != ownFont.get())
        ownFont.reset();
}

void ButtonWidget::EnsureFont(int pointSize, int charSet)
{
    if (font || label.empty())
        return;
    ownFont = std::make_unique<SysFont>(gNubraAppBase, kDefaultFontFace, pointSize, charSet);
    font = ownFont.get();
}

void ButtonWidget::SetDisabled(bool isDisabled)
{
    Widget::SetDisabled(isDisabled);
    if (disabledImage)
        MarkDirty();
}

bool ButtonWidget::HoverChangesLook() const
{
    return isDown || HasOverLook() || GetColor(kLabel) != GetColor(kLabelOver);
}

Color ButtonWidget::OverColour() const { return Color(255, 255, 255, int(overAlpha * 255)); }

void ButtonWidget::MouseEnter()
{
    if (overAlphaFadeInSpeed == 0.0 && overAlpha > 0.0)
        overAlpha = 0.0;
    if (HoverChangesLook())
        MarkDirty();
    if (listener)
        listener->ButtonMouseEnter(id);
}

void ButtonWidget::MouseLeave()
{
    if (overAlphaSpeed == 0.0 && overAlpha > 0.0)
        overAlpha = 0.0;
    else if (overAlphaSpeed > 0.0 && overAlpha == 0.0)
        overAlpha = 1.0; // the highlight fades out from full
    if (HoverChangesLook())
        MarkDirty();
    if (listener)
        listener->ButtonMouseLeave(id);
}

void ButtonWidget::MouseMove(int mouseX, int mouseY)
{
    if (listener)
        listener->ButtonMouseMove(id, mouseX, mouseY);
}

void ButtonWidget::MouseDown(int, int, int, int clickCount)
{
    if (listener)
        listener->ButtonPress(id, clickCount);
    MarkDirty();
}

void ButtonWidget::MouseUp(int, int, int, int)
{
    // A click completes only over the button, and not while the application is in the background.
    if (isOver && manager && manager->hasFocus && listener)
        listener->ButtonDepress(id);
    MarkDirty();
}

void ButtonWidget::Update()
{
    Widget::Update();
    if (isDown && isOver && listener)
        listener->ButtonDownTick(id);
    if (isOver) {
        if (overAlphaFadeInSpeed > 0.0 && overAlpha < 1.0) {
            overAlpha = std::min(overAlpha + overAlphaFadeInSpeed, 1.0);
            MarkDirty();
        }
    } else if (!isDown && overAlpha > 0.0) {
        overAlpha = overAlphaSpeed > 0.0 ? std::max(overAlpha - overAlphaSpeed, 0.0) : 0.0;
        MarkDirty();
    }
}

void ButtonWidget::DrawButtonImage(Graphics* g, Image* image, const Rect& srcRect, int drawX, int drawY)
{
    if (srcRect.width == 0)
        g->DrawImage(image, drawX, drawY);
    else
        g->DrawImage(image, drawX, drawY, srcRect);
}

void ButtonWidget::DrawLabel(Graphics* g, int colourIndex, int labelX, int labelY)
{
    if (!font)
        return;
    g->SetFont(font);
    g->SetColor(GetColor(colourIndex));
    g->DrawString(label, labelX, labelY);
}

void ButtonWidget::Draw(Graphics* g)
{
    if (drawNothing)
        return;
    EnsureFont(10, 0);
    const bool pressed = IsButtonDown() != inverted;
    int labelX = 0, labelY = 0;
    if (font) {
        const int labelWidth = font->StringWidth(label);
        labelX = labelJustify == kCentred ? (width - labelWidth) / 2 : labelJustify == kRight ? width - labelWidth : 0;
        labelY = font->GetAscent() + (height - font->GetHeight()) / 2;
    }
    int labelColour = isOver ? kLabelOver : kLabel;
    if (!HasLook(buttonImage, normalRect) && !HasLook(downImage, downRect)) {
        DrawPlainBox(g, pressed);
        if (pressed) {
            ++labelX;
            ++labelY;
        }
    } else {
        DrawImages(g, pressed);
        if (pressed)
            labelColour = kLabelOver;
    }
    DrawLabel(g, labelColour, labelX, labelY);
}

void ButtonWidget::DrawPlainBox(Graphics* g, bool pressed)
{
    if (frameDrawOff)
        return;
    const int w = width, h = height;
    auto fill = [g, this](int colour, std::initializer_list<Rect> rects) {
        g->SetColor(GetColor(colour));
        for (const Rect& rect : rects)
            g->FillRect(rect);
    };
    fill(kBackground, {Rect(0, 0, w, h)});
    const int topLeft = pressed ? kDarkEdge : kLightEdge;
    const int bottomRight = pressed ? kLightEdge : kDarkEdge;
    fill(topLeft, {Rect(0, 0, w - 1, 1), Rect(0, 0, 1, h - 1)});
    fill(bottomRight, {Rect(0, h - 1, w, 1), Rect(w - 1, 0, 1, h)});
    if (pressed)
        fill(kMiddleEdge, {Rect(1, 1, w - 3, 1), Rect(1, 1, 1, h - 3)});
    else
        fill(kMiddleEdge, {Rect(1, h - 2, w - 2, 1), Rect(w - 2, 1, 1, h - 2)});
}

void ButtonWidget::DrawImages(Graphics* g, bool pressed)
{
    if (pressed) {
        if (HasLook(downImage, downRect))
            DrawButtonImage(g, LookImage(downImage), downRect, 0, 0);
        else if (HasOverLook())
            DrawButtonImage(g, LookImage(overImage), overRect, 0, 0);
        else
            DrawButtonImage(g, buttonImage, normalRect, 1, 1);
        return;
    }
    const bool hasButton = HasLook(buttonImage, normalRect);
    if (disabled && HasLook(disabledImage, disabledRect)) {
        DrawButtonImage(g, LookImage(disabledImage), disabledRect, 0, 0);
    } else if (overAlpha > 0.0 && HasOverLook()) {
        if (overAlpha < 1.0 && hasButton)
            DrawButtonImage(g, buttonImage, normalRect, 0, 0);
        Graphics faded(*g);
        faded.SetColorizeImages(true);
        faded.SetColor(OverColour());
        DrawButtonImage(&faded, LookImage(overImage), overRect, 0, 0);
    } else if ((isOver || isDown) && HasOverLook()) {
        DrawButtonImage(g, LookImage(overImage), overRect, 0, 0);
    } else if (hasButton) {
        DrawButtonImage(g, buttonImage, normalRect, 0, 0);
    }
}

} // namespace Nubra
