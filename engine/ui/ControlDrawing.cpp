#include "engine/ui/ControlDrawing.h"

#include "engine/core/TCDebugSettings.h"
#include "engine/ui/TCCandyWidget.h"
#include "framework/graphics/Graphics.h"

namespace {

int AlphaByte(const TCCandyWidget& widget) { return int(255.0f * widget.GetEffectiveAlpha()); }

} // namespace

void TintByEffectiveAlpha(Nubra::Graphics* g, const TCCandyWidget& widget)
{
    g->SetColor(Nubra::Color(255, 255, 255, AlphaByte(widget)));
    g->SetColorizeImages(true);
}

void DrawOutlineIfAsked(Nubra::Graphics* g, const TCCandyWidget& widget)
{
    if (!DebugSettings().DrawOutlines)
        return;
    g->SetColor(Nubra::Color(0, 0, 0, AlphaByte(widget)));
    g->DrawRect(0, 0, widget.width - 1, widget.height - 1);
}

void DrawThroughTransform(Nubra::Graphics* g, TCCandyWidget& widget, Nubra::Image* image)
{
    Nubra::Matrix3 matrix = widget.GetTransform();
    matrix.m[0][2] += float(widget.GetDrawOffset().x);
    matrix.m[1][2] += float(widget.GetDrawOffset().y);
    const Nubra::Rect bounds = widget.GetBoundsFor(matrix);
    Nubra::Graphics drawing(*g);
    drawing.clipRect = widget.GetScreenClipRect(&bounds);
    drawing.DrawImageMatrix(image, matrix, Nubra::Rect(0, 0, image->GetWidth(), image->GetHeight()), 0.0f, 0.0f);
}
