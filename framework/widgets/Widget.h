#pragma once
#include "framework/widgets/WidgetContainer.h"

namespace Nubra {

// A rectangle of the screen that updates, draws and receives input.
class Widget : public WidgetContainer {
public:
    Widget() = default;
    // Leaves its parent first, so nothing in the tree keeps pointing at it.
    ~Widget() override;

    bool visible = true;
};

} // namespace Nubra
