#pragma once
#include "framework/widgets/ButtonWidget.h"

namespace Nubra {

// A dialog's button: drawn from one frame image stretched as a nine-part box, or from states
// side by side in it (the source rectangles pick them). Without a frame image it is a plain
// button.
class DialogButton : public ButtonWidget {
public:
    DialogButton(Image* frameImage, int id, ButtonListener* listener);

    void Draw(Graphics* g) override;

    Image* frameImage; // not owned
    int pressedShiftX = 1; // the pressed look and its label move by this much
    int pressedShiftY = 1;
    int labelOffsetX = 0;
    int labelOffsetY = 0;

private:
    void DrawFrame(Graphics* g, const Rect& srcRect, int shiftX, int shiftY);
};

} // namespace Nubra
