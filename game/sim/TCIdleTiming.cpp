#include "game/sim/TCIdleTiming.h"

#include "engine/core/XmlHelpers.h"
#include "game/sim/TCItem.h"

void ReadIdleTiming(pugi::xml_node node, const char* minName, const char* maxName, TCIdleTiming& out)
{
    XmlGetInt(node, "idle_stop_frame", out.stopFrame);
    XmlGetFloat(node, minName, out.restartMin);
    XmlGetFloat(node, maxName, out.restartMax);
}

void AddIdleTiming(TCItem& item, std::span<const char* const> clips, const TCIdleTiming& timing)
{
    for (const char* clip : clips)
        item.AddAnimationTiming(clip, timing.stopFrame, timing.restartMin, timing.restartMax);
}
