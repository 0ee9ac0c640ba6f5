#include "framework/widgets/DialogButton.h"

#include "framework/graphics/Graphics.h"
#include "framework/text/Font.h"

namespace Nubra {

DialogButton::DialogButton(Image* frame, int buttonId, ButtonListener* buttonListener)
    : ButtonWidget(buttonId, buttonListener), frameImage(frame)
{
    handCursor = true;
    static constexpr int kColours[][3] = {{255, 255, 255}, {255, 255, 255}, {0, 0, 0},
                                          {255, 255, 255}, {132, 132, 132}, {212, 212, 212}};
    SetColors(kColours, 6);
}

void DialogButton::DrawFrame(Graphics* g, const Rect& srcRect, int shiftX, int shiftY)
{
    g->DrawImageBox(srcRect, Rect(shiftX, shiftY, width, height), frameImage);
}

void DialogButton::Draw(Graphics* g)
{
    if (drawNothing)
        return;
    if (!frameImage) {
        ButtonWidget::Draw(g);
        return;
    }
    EnsureFont(12, 1);
    const bool down = IsButtonDown();
    const int shiftX = down ? pressedShiftX : 0;
    const int shiftY = down ? pressedShiftY : 0;
    if (normalRect.width == 0) {
        DrawFrame(g, Rect(0, 0, frameImage->GetWidth(), frameImage->GetHeight()), shiftX, shiftY);
    } else if (disabled && disabledRect.width > 0 && disabledRect.height > 0) {
        DrawFrame(g, disabledRect, 0, 0);
    } else if (down) {
        DrawFrame(g, downRect, 0, 0);
    } else if (overAlpha <= 0.0) {
        DrawFrame(g, isOver ? overRect : normalRect, 0, 0);
    } else {
        if (overAlpha < 1.0)
            DrawFrame(g, normalRect, 0, 0);
        Graphics faded(*g);
        faded.SetColorizeImages(true);
        faded.SetColor(OverColour());
        DrawFrame(&faded, overRect, 0, 0);
    }
    if (!font)
        return;
    const int ascent = font->GetAscent();
    const int labelX = labelOffsetX + ((width - font->StringWidth(label)) >> 1); // halves round down
    const int labelY = labelOffsetY + (ascent + height - ascent / 6 - font->GetAscentPadding() - 1) / 2;
    DrawLabel(g, isOver ? kLabelOver : kLabel, labelX + shiftX, labelY + shiftY);
}

} // namespace Nubra
