#include "game/sim/TCMoveItem.h"

#include <cmath>

#include "engine/core/GameClock.h"
#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/XmlHelpers.h"
#include "game/sim/TCBoardCore.h"
#include "game/sim/TCGraph.h"
#include "game/sim/TCItemPart.h"
#include "game/sim/TCPickItem.h"

namespace {

std::map<std::string, TCPersonRecord>& Persons()
{
    static std::map<std::string, TCPersonRecord> persons;
    return persons;
}

std::map<std::string, TCMoveItem*>& MoveItems()
{
    static std::map<std::string, TCMoveItem*> items;
    return items;
}

void MarkBoardDirty()
{
    if (gGameBoard)
        gGameBoard->MarkZOrderDirty();
}

} // namespace

void LoadPersons(pugi::xml_node config)
{
    Persons().clear();
    ForEachNode(config, "perses/pers", [](pugi::xml_node node) {
        TCPersonRecord person;
        XmlGetString(node, "name", person.name);
        XmlGetFloat(node, "move_speed", person.moveSpeed);
        for (pugi::xml_node element : node.children("orientations")) {
            std::string name;
            TCPersonRecord::Orientation orientation;
            XmlGetString(element, "orientation", name);
            XmlGetString(element, "actual_orientation", orientation.actual);
            XmlGetInt(element, "ofs_x", orientation.x);
            XmlGetInt(element, "ofs_y", orientation.y);
            person.orientations[name] = orientation;
        }
        Persons()[person.name] = std::move(person);
        return true;
    });
}

TCPersonRecord* FindPerson(const std::string& name)
{
    const auto found = Persons().find(name);
    return found != Persons().end() ? &found->second : nullptr;
}

std::string OrientationFor(Nubra::Point step, const std::string& current)
{
    const int dx = step.x;
    const int up = -step.y;
    if (dx == 0 && up == 0)
        return current;
    if (dx == 0)
        return up > 0 ? "t" : "b";
    if (up == 0)
        return dx > 0 ? "r" : "l";
    const double length = std::sqrt(double(dx) * dx + double(up) * up);
    const double fromLevel = std::acos(std::abs(dx) / length) * 180.0 / M_PI;
    // Clockwise from up, by quadrant.
    const double angle = dx > 0 ? (up > 0 ? 90.0 - fromLevel : 90.0 + fromLevel)
                                : (up < 0 ? 270.0 - fromLevel : 270.0 + fromLevel);
    struct Bound {
        double above;
        const char* name;
    };
    static const Bound kBounds[] = {{11.25, "tr"},  {78.75, "r"},  {101.25, "br"}, {168.75, "b"},
                                    {191.25, "bl"}, {258.75, "l"}, {281.25, "tl"}, {348.75, "t"}};
    const char* name = "t";
    for (const Bound& bound : kBounds)
        if (angle > bound.above)
            name = bound.name;
    return name;
}

TCMoveItem* FindMoveItemByName(const std::string& name)
{
    const auto found = MoveItems().find(name);
    return found != MoveItems().end() ? found->second : nullptr;
}

TCMoveItem::~TCMoveItem() { Unregister(); }

void TCMoveItem::Unregister()
{
    const auto found = MoveItems().find(name_);
    if (found != MoveItems().end() && found->second == this)
        MoveItems().erase(found);
}

void TCMoveItem::LoadFromXml(pugi::xml_node node)
{
    TCItem::LoadFromXml(node);
    XmlGetString(node, "start_point", start_);
    current_ = start_;
}

void TCMoveItem::LoadSkin(pugi::xml_node node)
{
    TCItem::LoadSkin(node);
    MoveItems()[name_] = this;
}

void TCMoveItem::ResetAnimation()
{
    TCItem::ResetAnimation();
    Unregister();
}

void TCMoveItem::BindPerson()
{
    const TCPersonRecord* person = FindPerson(name_);
    person_.reset();
    if (person)
        person_ = *person;
    else
        WriteLog("WARNING: No person record '%s': the object cannot walk", name_.c_str());
}

void TCMoveItem::SetActive(bool active)
{
    targets_.clear();
    SetDelayedNotify(0.0f, 0);
    moving_ = false;
    carried_ = nullptr;
    if (active) {
        walker_ = gGameBoard ? gGameBoard->GetGraph(name_) : nullptr;
        if (!walker_)
            WriteLog("WARNING: No graph '%s': the object stays where it is", name_.c_str());
        current_ = start_;
        PlaceAt(current_);
        orientation_ = "b";
    } else {
        walker_ = nullptr;
    }
    TCItem::SetActive(active);
}

void TCMoveItem::PlaceAt(const std::string& point)
{
    Nubra::Point position;
    if (!walker_ || !walker_->GetPointPos(point, position.x, position.y))
        return;
    current_ = point;
    SetPosition(position);
    SetFloorLines();
}

void TCMoveItem::SetFloorLines()
{
    const Nubra::Point at = GetPosition();
    for (const auto& part : parts_)
        part->SetFloorLine({{{at.x - 20, at.y}, at, {at.x + 20, at.y}}});
}

bool TCMoveItem::WalkTo(const std::string& point, float speed)
{
    if (!active_ || point == current_ || !walker_ || !walker_->SetStart(current_) || !walker_->FindRoute(point, speed))
        return false;
    current_ = point;
    moving_ = true;
    return true;
}

void TCMoveItem::AddTarget(TCPickItem* target)
{
    targets_.push_back(target);
    target->ShowCheckmark();
}

void TCMoveItem::SetCarried(TCPickItem* item)
{
    if (carried_)
        carried_->ResetClickCount();
    carried_ = item;
}

void TCMoveItem::ClearTargets()
{
    for (TCPickItem* target : targets_)
        target->HideCheckmark();
    targets_.clear();
}

void TCMoveItem::Update()
{
    TCItem::Update();
    const float step = DebugSettings().BossSlowSpeed ? gFrameTime / 10.0f : gFrameTime;
    if (moving_)
        Walk(step);
    if (!targets_.empty() && !IsBusy())
        ServeFirstTarget();
    if (returnHome_ && targets_.empty() && current_ != start_ && !IsBusy())
        WalkTo(start_);
    if (hideWhenIdle_) {
        const bool shown = carried_ || current_ != start_ || IsBusy();
        if (shown != visible_)
            SetVisible(shown);
    }
    OnStep();
    RunTrail(step);
}

void TCMoveItem::SetTrail(bool on, float rate, float period)
{
    if (on && !trail_.on)
        trail_.elapsed = 0.0f;
    trail_.on = on;
    trail_.rate = rate;
    trail_.period = period;
}

void TCMoveItem::RunTrail(float step)
{
    for (const auto& part : parts_)
        part->AgeTrail(trail_.rate * step);
    if (!trail_.on)
        return;
    trail_.elapsed += step;
    if (trail_.elapsed < trail_.period)
        return;
    for (const auto& part : parts_)
        part->AddTrailEntry();
    trail_.elapsed = 0.0f;
}

void TCMoveItem::Walk(float step)
{
    // Only a walk begun by WalkTo reaches here, so the walker exists.
    walker_->SetSpeed(GetMoveSpeed());
    Nubra::Point position = GetPosition(), direction{0, 0};
    moving_ = walker_->Advance(step, position, direction);
    TurnTo(direction);
    SetPosition(position);
    SetFloorLines();
    MarkBoardDirty();
}

void TCMoveItem::TurnTo(Nubra::Point step)
{
    const std::string name = OrientationFor(step, orientation_);
    orientation_ = name;
    SetOrient(name);
    for (const auto& part : parts_)
        part->SetOrient(name, true);
}

void TCMoveItem::ServeFirstTarget()
{
    TCPickItem* target = targets_.front();
    if (current_ == target->GetName()) {
        Notify(kNotifyArrived);
        if (target->OnUse(this, true) && OnUse(target, true)) {
            target->OnUse(this, false);
            OnUse(target, false);
            target->ResetClickCount();
            target->HideCheckmark();
            targets_.pop_front();
        } else {
            for (TCPickItem* queued : targets_)
                queued->ResetClickCount();
            ClearTargets();
        }
    } else if (!WalkTo(target->GetName())) {
        ClearTargets();
    }
    MarkBoardDirty();
}
