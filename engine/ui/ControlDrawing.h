#pragma once

namespace Nubra {
class Graphics;
}
class TCCandyWidget;

// White at the widget's alpha times its ancestors', tinting every image drawn after it, so a
// fading dialog fades whatever it holds.
void TintByEffectiveAlpha(Nubra::Graphics* g, const TCCandyWidget& widget);
// The developer's frame around the widget, at the same alpha.
void DrawOutlineIfAsked(Nubra::Graphics* g, const TCCandyWidget& widget);
