#pragma once
#include <array>

#include "framework/graphics/Color.h"

namespace Nubra {
class Font;
}

// One way a control writes its text; a style without a font is not drawn.
struct TCTextStyle {
    Nubra::Font* font = nullptr; // from the engine's font table
    Nubra::Color color = Nubra::Color::White;
    Nubra::Color hoverColor = Nubra::Color::White;
    Nubra::Color disabledColor = Nubra::Color::White;
};

// Written in index order, so the shadow lies under the others.
enum TCTextStyleIndex { kStyleShadow, kStyleStroke, kStyleNormal, kStyleGradient, kTextStyleCount };
using TCTextStyles = std::array<TCTextStyle, kTextStyleCount>;
extern const char* const kTextStyleNames[kTextStyleCount];
