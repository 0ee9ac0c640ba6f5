#include "framework/widgets/WidgetManager.h"

#include "framework/app/SectionProfiler.h"
#include "framework/widgets/Widget.h"

namespace Nubra {

WidgetManager::WidgetManager(NubraAppBase* application) : app(application) { manager = this; }

ModalFlags WidgetManager::InitModalFlags() const
{
    ModalFlags flags;
    flags.overFlags = defaultWidgetFlags;
    flags.underFlags = defaultWidgetFlags;
    flags.isOver = true;
    return flags;
}

bool WidgetManager::UpdateFrame()
{
    SectionProfiler::Scope section("WidgetManager::UpdateFrame");
    ModalFlags flags = InitModalFlags();
    ++updateCount;
    lastUpdateCount = updateCount;
    UpdateAll(flags);
    return dirty;
}

bool WidgetManager::UpdateFrameF(float fraction)
{
    SectionProfiler::Scope section("WidgetManager::UpdateFrame");
    ModalFlags flags = InitModalFlags();
    UpdateAllF(flags, fraction);
    return dirty;
}

bool WidgetManager::DrawScreen()
{
    SectionProfiler::Scope section("WidgetManager::DrawScreen");
    bool drawn = false;
    for (Widget* child : children) {
        if (child->dirty && child->visible) {
            child->dirty = false;
            drawn = true;
        }
    }
    dirty = false;
    return drawn;
}

} // namespace Nubra
