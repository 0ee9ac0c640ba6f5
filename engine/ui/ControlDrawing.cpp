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
