#pragma once

namespace Nubra {
class Graphics;
class Image;
} // namespace Nubra
class TCCandyWidget;

// White at the widget's alpha times its ancestors', tinting every image drawn after it, so a
// fading dialog fades whatever it holds.
void TintByEffectiveAlpha(Nubra::Graphics* g, const TCCandyWidget& widget);
// The developer's frame around the widget, at the same alpha.
void DrawOutlineIfAsked(Nubra::Graphics* g, const TCCandyWidget& widget);
// An image of the widget's own rendering, through its transform and draw offset, clipped to its
// bounds on screen, in the graphics' current colour.
void DrawThroughTransform(Nubra::Graphics* g, TCCandyWidget& widget, Nubra::Image* image);
