#include "engine/core/TCTimer.h"

#include <algorithm>
#include <cmath>

#include "engine/core/XmlHelpers.h"
#include "platform/Clock.h"

namespace {

// A tiny duration against a long step would otherwise cost one pass per period.
constexpr double kMaxPeriodsPerStep = 1000.0;

} // namespace

TCTimer::TCTimer(TCEffect* owner) : owner_(owner) {}

TCTimer::~TCTimer() = default;

void TCTimer::LoadFromXml(const pugi::xml_node& node)
{
    if (!node)
        return;
    static const std::pair<const char*, Type> kTypes[] = {
        {"usual", Usual}, {"self_destructive", SelfDestructive}, {"cycle", Cycle}, {"ping_pong", PingPong}};
    std::string word;
    if (XmlGetString(node, "type", word))
        for (const auto& [name, type] : kTypes)
            if (word == name)
                type_ = type;
    XmlGetFloat(node, "ftime", duration_);
    if (XmlGetString(node, "direction", word)) {
        if (word == "forward") {
            direction_ = Forward;
            position_ = 0.0;
        } else if (word == "backward") {
            direction_ = Backward;
            position_ = duration_;
        }
    }
    for (pugi::xml_node control : node.children("control"))
        LoadControl(control);
}

void TCTimer::LoadControl(const pugi::xml_node& node)
{
    TCTimerControl control;
    XmlGetInt(node, "id", control.id);
    XmlGetFloat(node, "starttime", control.start);
    XmlGetFloat(node, "endtime", control.end);
    std::string function;
    if (XmlGetString(node, "function", function)) {
        control.function = FindControlCallback(function);
        control.params = LoadControlParams(node, function);
        control.kind |= TCTimerControl::HasFunction;
    }
    std::string kind;
    XmlGetString(node, "type", kind);
    control.kind |= kind == "point" ? TCTimerControl::Point : kind == "range" ? TCTimerControl::Range : TCTimerControl::None;
    control.effect = owner_;
    XmlGetBool(node, "active", control.active);
    AddControl(control);
}

// The attributes the parameter table declares for the function, each read as its declared type.
TCCallBackParams* TCTimer::LoadControlParams(const pugi::xml_node& node, const std::string& function)
{
    const auto found = GetCallbackParamTable().find(function);
    if (found == GetCallbackParamTable().end())
        return nullptr;
    auto params = std::make_unique<TCCallBackParams>();
    for (const TCCallbackParamDef& def : found->second) {
        const char* name = def.name.c_str();
        int i = 0;
        float f = 0.0f;
        bool b = false;
        if (def.type == TCParamType::Int && XmlGetInt(node, name, i))
            params->SetInt(def.name, i);
        else if (def.type == TCParamType::Float && XmlGetFloat(node, name, f))
            params->SetFloat(def.name, f);
        else if (def.type == TCParamType::Bool && XmlGetBool(node, name, b))
            params->SetBool(def.name, b);
    }
    if (params->empty())
        return nullptr;
    AdoptParams(params.get());
    return params.release();
}

void TCTimer::StampStart() { startStamp_ = static_cast<double>(plat::NowMs()); }

bool TCTimer::IsRunningForward() const
{
    if (type_ == PingPong)
        return pingPongForward_;
    return direction_ != Backward;
}

void TCTimer::Restart()
{
    position_ = direction_ == Backward ? duration_ : 0.0;
    finished_ = false;
    StampStart();
}

void TCTimer::Update(double dt)
{
    if (!active_ || finished_)
        return;
    stepGuard_ = false;
    double t = dt;
    if (duration_ > 0.0f) {
        const double periods = std::floor(t / duration_);
        if (periods > kMaxPeriodsPerStep) {
            // Skip an even number of whole periods: a ping-pong timer ends where it would have.
            const double skipped = 2.0 * std::floor((periods - kMaxPeriodsPerStep) / 2.0);
            t -= skipped * duration_;
        }
        // A callback that changes the parameters sets the guard, and nothing moves after that.
        while (t > duration_ && !finished_ && !stepGuard_) {
            if (!hold_)
                Advance(duration_);
            if (duration_ <= 0.0f)
                break;
            t -= duration_;
        }
    }
    if (!stepGuard_ && !finished_)
        Advance(t);
}

void TCTimer::Advance(double d)
{
    if (IsRunningForward())
        AdvanceForward(d);
    else
        AdvanceBackward(d);
}

void TCTimer::AdvanceForward(double d)
{
    const double old = position_;
    position_ += d;
    if (duration_ == kEndless || position_ < duration_) {
        ProcessControls(old, position_);
        return;
    }
    if (type_ == Usual || type_ == SelfDestructive) {
        finished_ = true;
        expired_ = expired_ || type_ == SelfDestructive;
        ProcessControls(old, duration_);
        return;
    }
    if (type_ != Cycle && type_ != PingPong)
        return;
    ProcessControls(old, duration_);
    if (stepGuard_)
        return;
    if (type_ == PingPong) {
        position_ = duration_ - static_cast<float>(position_ - duration_);
        if (position_ != duration_)
            ProcessControls(duration_, position_);
        pingPongForward_ = false;
    } else {
        position_ -= duration_;
        if (position_ != 0.0)
            ProcessControls(0.0, position_);
    }
}

void TCTimer::AdvanceBackward(double d)
{
    const double old = position_;
    position_ -= d;
    if (duration_ == kEndless || position_ > 0.0) {
        ProcessControls(old, position_);
        return;
    }
    if (type_ == Usual || type_ == SelfDestructive) {
        finished_ = true;
        expired_ = expired_ || type_ == SelfDestructive;
        ProcessControls(old, 0.0);
        return;
    }
    if (type_ != Cycle && type_ != PingPong)
        return;
    ProcessControls(old, 0.0);
    if (stepGuard_)
        return;
    if (type_ == PingPong) {
        position_ = -position_;
        if (position_ != 0.0)
            ProcessControls(0.0, position_);
        pingPongForward_ = true;
    } else {
        position_ += duration_;
        if (position_ != duration_)
            ProcessControls(duration_, position_);
    }
}

float TCTimer::RangeProgress(const TCTimerControl& control) const
{
    const double progress = (position_ - control.start) / (control.end - control.start);
    return static_cast<float>(std::min(progress, 1.0));
}

// Boundary events carry 0 at the range's start and 1 at its end; the one the pass meets first
// comes first.
void TCTimer::DecideRange(TCTimerControl& c, double a, double b, std::vector<Event>& events) const
{
    const double s = c.start, e = c.end;
    auto emit = [&](float progress) {
        events.push_back({c.function, {static_cast<int>(c.kind), c.id, c.effect, c.userWord, progress, c.params}});
    };
    if (a <= b) {
        if (a <= s && e <= b) {
            emit(0.0f);
            emit(1.0f);
        } else if (a <= s && s <= b && e > b) {
            if (!c.inside)
                emit(0.0f);
            emit(RangeProgress(c));
            c.inside = true;
        } else if (s < a && a < e && e <= b) {
            if (c.inside)
                emit(1.0f);
            c.inside = false;
        } else if (s < a && b <= e) {
            emit(RangeProgress(c));
            if (e == b)
                emit(1.0f);
        }
        return;
    }
    if (b <= s && e <= a) {
        emit(1.0f);
        emit(0.0f);
    } else if (s <= b && b <= e && e <= a) {
        if (!c.inside)
            emit(1.0f);
        emit(RangeProgress(c));
        c.inside = true;
    } else if (b <= s && s < a && a < e) {
        if (c.inside)
            emit(0.0f);
        c.inside = false;
    } else if (s <= b && a < e) {
        emit(RangeProgress(c));
        if (s == b)
            emit(0.0f);
    }
}

// Decide every control's events first, then call them in control order: a callback may change
// this timer's controls, and it must not see a half-walked list.
void TCTimer::ProcessControls(double a, double b)
{
    std::vector<Event> events;
    for (TCTimerControl& control : controls_) {
        if (!control.active)
            continue;
        if (control.kind == TCTimerControl::Point) {
            const double s = control.start;
            const bool passed = a <= b ? (a <= s && s <= b) : (b <= s && s <= a);
            if (passed)
                events.push_back({control.function, {TCTimerControl::Point, control.id, control.effect,
                                                     control.userWord, static_cast<float>(b), control.params}});
        } else if (control.kind == TCTimerControl::Range) {
            DecideRange(control, a, b, events);
        }
    }
    for (const Event& event : events)
        if (event.function)
            event.function(&event.record);
}

void TCTimer::SetParams(const Params& params)
{
    const bool wasActive = active_;
    hold_ = (params.mask & Params::Hold) != 0;
    if (params.mask & Params::Duration) {
        stepGuard_ = true;
        duration_ = params.duration;
        position_ = 0.0;
    }
    if (params.mask & Params::TimerType)
        type_ = params.type;
    if (params.mask & Params::Dir) {
        direction_ = params.direction;
        pingPongForward_ = direction_ == Forward;
    }
    active_ = params.active && duration_ > 0.0f;
    if (direction_ == Backward)
        position_ = duration_;
    if (active_ != wasActive)
        StampStart();
}

void TCTimer::GetParams(Params& params) const
{
    if (hold_)
        params.mask &= Params::Hold;
    if (params.mask & Params::Duration)
        params.duration = duration_;
    if (params.mask & Params::Dir)
        params.direction = direction_;
    if (params.mask & Params::TimerType)
        params.type = type_;
    params.active = active_;
}

TCTimerControl TCTimer::Normalised(const TCTimerControl& control)
{
    TCTimerControl copy = control;
    if (!(copy.kind & TCTimerControl::HasFunction))
        copy.function = nullptr;
    copy.kind &= ~uint32_t(TCTimerControl::HasFunction);
    copy.inside = false;
    return copy;
}

bool TCTimer::AddControl(const TCTimerControl& control)
{
    controls_.push_back(Normalised(control));
    return true;
}

TCTimerControl* TCTimer::FindControl(int id)
{
    const auto found = std::find_if(controls_.begin(), controls_.end(), [id](const TCTimerControl& c) { return c.id == id; });
    return found == controls_.end() ? nullptr : &*found;
}

bool TCTimer::ReplaceControl(const TCTimerControl& control)
{
    TCTimerControl* existing = FindControl(control.id);
    if (!existing)
        return false;
    *existing = Normalised(control);
    return true;
}

bool TCTimer::RemoveControl(int id)
{
    TCTimerControl* existing = FindControl(id);
    if (!existing)
        return false;
    controls_.erase(controls_.begin() + (existing - controls_.data()));
    return true;
}

bool TCTimer::SetControlActive(int id, bool active)
{
    TCTimerControl* existing = FindControl(id);
    if (!existing)
        return false;
    existing->active = active;
    return true;
}

void TCTimer::AdoptParams(TCCallBackParams* params)
{
    if (params)
        ownedParams_.emplace_back(params);
}
