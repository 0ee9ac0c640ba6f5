#include "game/sim/TCTray.h"

#include "engine/core/XmlHelpers.h"
#include "game/sim/TCItemList.h"
#include "game/sim/TutorialPort.h"

void TCUsedPickItem::SetActive(bool active)
{
    TCPickItem::SetActive(active);
    if (!active)
        return;
    SetAnimation("idle", false);
    inUse_ = false;
}

void TCUsedPickItem::ScheduleAnimation(TCItemPart* part, const std::string& name)
{
    TCPickItem::ScheduleAnimation(part, name);
    if (!inUse_ || changing_)
        return;
    changing_ = true;
    SetAnimation("idle", false);
    inUse_ = false;
    changing_ = false;
}

void TCUsedPickItem::PlayUse()
{
    changing_ = true;
    SetAnimation("activation", false);
    inUse_ = true;
    changing_ = false;
}

void TCTray::LoadFromXml(pugi::xml_node node)
{
    TCPickItem::LoadFromXml(node);
    XmlGetString(node, "thing", thing_);
}

bool TCTray::OnUse(TCItem* other, bool testOnly)
{
    if (other == nullptr || other != GetItemList().GetBoss())
        return false;
    if (testOnly)
        return true;
    PlayUse();
    ApplyTutorialRule(kTutorialTrayUsed);
    return false;
}

bool TCTrash::OnUse(TCItem* other, bool testOnly)
{
    if (!other->HasName("boss"))
        return false;
    if (testOnly)
        return true;
    PlayUse();
    return false;
}
