#pragma once
#include <cstdint>

#include "framework/widgets/WidgetContainer.h"

namespace Nubra {

class NubraAppBase;

// The root of the widget tree: runs the update steps and draws what is dirty.
class WidgetManager : public WidgetContainer {
public:
    explicit WidgetManager(NubraAppBase* app);

    // One update step of every widget; true when something was marked dirty since the last draw.
    bool UpdateFrame();
    // A fractional step between two update steps; the update count does not move.
    bool UpdateFrameF(float fraction);
    // Draws the dirty top-level widgets; true when any was drawn.
    bool DrawScreen();

    NubraAppBase* app;
    uint32_t defaultWidgetFlags = kWidgetUpdate | kWidgetDraw | kWidgetClip | kWidgetAllowMouse | kWidgetAllowFocus;

private:
    ModalFlags InitModalFlags() const;
};

} // namespace Nubra
