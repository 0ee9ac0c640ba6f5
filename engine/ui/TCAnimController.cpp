#include "engine/ui/TCAnimController.h"

#include <algorithm>
#include <cstdio>

#include "engine/core/EngineHelpers.h"
#include "engine/core/GameClock.h"
#include "engine/core/Log.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCTextureTable.h"
#include "engine/core/XmlHelpers.h"

namespace {

enum Binding { kFrame = 1, kClip = 2, kCueFlag = 3 };
enum Control { kFrameRange = 0, kEndPoint = 1, kCuePoint = 2 };

const AnmClip* ClipOf(const TCCallbackRecord* record)
{
    return static_cast<const AnmClip*>(record->effect->GetBinding(kClip));
}

void SetFrame(const TCCallbackRecord* record, int frame)
{
    const AnmClip* clip = ClipOf(record);
    if (!clip || clip->frames.empty())
        return;
    *static_cast<int*>(record->effect->GetBinding(kFrame)) = std::clamp(frame, 0, int(clip->frames.size()) - 1);
}

void RaiseCue(const TCCallbackRecord* record) { *static_cast<bool*>(record->effect->GetBinding(kCueFlag)) = true; }

int FrameCallback(const TCCallbackRecord* record)
{
    if (const AnmClip* clip = ClipOf(record))
        SetFrame(record, int(float(clip->frames.size() - 1) * record->progress));
    return 1;
}

int EndCallback(const TCCallbackRecord* record)
{
    RaiseCue(record);
    return 1;
}

// A point's progress is the timeline position in seconds.
int CueCallback(const TCCallbackRecord* record)
{
    RaiseCue(record);
    if (const AnmClip* clip = ClipOf(record))
        SetFrame(record, int(float(clip->fps) * record->progress));
    return 1;
}

// By control id.
const TCControlCallback kCallbacks[] = {FrameCallback, EndCallback, CueCallback};

float DurationOf(const AnmClip& clip)
{
    return clip.fps > 0 && clip.frames.size() > 1 ? float(clip.frames.size()) / float(clip.fps) : 0.0f;
}

} // namespace

TCAnimController::TCAnimController(TCAnimOwner* owner) : owner_(owner), effect_(std::make_unique<TCEffect>("TCAnimController"))
{
    timer_ = effect_->AddTimer(1);
    TCTimer::Params params;
    params.mask = TCTimer::Params::Duration | TCTimer::Params::Dir | TCTimer::Params::TimerType;
    params.duration = 0.0f;
    params.direction = TCTimer::Forward;
    params.type = TCTimer::Usual;
    params.active = false;
    timer_->SetParams(params);
    SetControl(kFrameRange, TCTimerControl::Range, 0.0f, 0.0f, false);
    SetControl(kEndPoint, TCTimerControl::Point, 0.0f, 0.0f, false);
    SetControl(kCuePoint, TCTimerControl::Point, 0.0f, 0.0f, false);
    effect_->SetBinding(kFrame, &frame_);
    effect_->SetBinding(kClip, nullptr);
    effect_->SetBinding(kCueFlag, &cue_);
}

TCAnimController::~TCAnimController() = default;

bool TCAnimController::LoadAnm(const char* name)
{
    frame_ = 0;
    const std::string path = std::string("anm\\") + name + ".anm";
    bool opened = false;
    const std::vector<char> bytes = ReadWholeFile(path.c_str(), opened);
    if (!opened)
        return false;
    std::vector<AnmClip> clips;
    std::string error;
    if (!ParseAnm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), clips, error)) {
        WriteLog("WARNING: animation file '%s' refused: %s", path.c_str(), error.c_str());
        return false;
    }
    clips_ = std::move(clips);
    images_.assign(clips_.size(), {});
    fetched_.assign(clips_.size(), false);
    groups_.clear(); // their indices were the old file's
    loaded_ = true;
    ClearFrameMarker();
    if (current_ >= int(clips_.size())) {
        current_ = -1;
        effect_->SetBinding(kClip, nullptr);
    }
    Select(current_, false);
    return true;
}

void TCAnimController::SetControl(int id, int kind, float start, float end, bool active)
{
    TCTimerControl control;
    control.kind = uint32_t(kind) | TCTimerControl::HasFunction;
    control.id = id;
    control.start = start;
    control.end = end;
    control.function = kCallbacks[id];
    control.effect = effect_.get();
    control.active = active;
    if (!timer_->ReplaceControl(control))
        timer_->AddControl(control);
}

void TCAnimController::Select(int index, bool keepPosition)
{
    if (index < 0 || index >= int(clips_.size()))
        return;
    const AnmClip& clip = clips_[index];
    double kept = 0.0;
    if (keepPosition)
        kept = timer_->GetPosition();
    else
        frame_ = 0;
    if (!fetched_[index]) {
        images_[index] = LoadSharedImage(clip.file);
        fetched_[index] = true;
    }
    const float duration = DurationOf(clip);
    if (keepPosition && kept > duration)
        kept = 0.0;

    TCTimer::Params params;
    params.mask = TCTimer::Params::Duration | TCTimer::Params::Dir | TCTimer::Params::TimerType;
    params.duration = duration;
    params.direction = clip.loop == AnmClip::OnceBackward ? TCTimer::Backward : TCTimer::Forward;
    params.type = clip.loop == AnmClip::Looped ? TCTimer::Cycle : TCTimer::Usual;
    params.active = duration > 0.0f;
    timer_->SetParams(params);
    if (keepPosition)
        timer_->SetPosition(kept);

    SetControl(kFrameRange, TCTimerControl::Range, 0.0f, duration, duration > 0.0f);
    // A backward clip ends at the start of its timeline.
    const float end = clip.loop == AnmClip::OnceBackward ? 0.0f : duration;
    SetControl(kEndPoint, TCTimerControl::Point, end, end,
               clip.loop != AnmClip::Looped && clip.frames.size() > 1 && duration > 0.0f);
    effect_->SetBinding(kClip, &clips_[index]);
    current_ = index;
}

int TCAnimController::FindClip(const std::string& name) const
{
    for (size_t i = 0; i < clips_.size(); ++i)
        if (clips_[i].name == name)
            return int(i);
    return -1;
}

const std::vector<int>& TCAnimController::Group(const std::string& name)
{
    auto [group, inserted] = groups_.try_emplace(name);
    if (!inserted)
        return group->second;
    for (int k = 1; k <= 9; ++k) {
        char suffix[8];
        std::snprintf(suffix, sizeof suffix, "%02d", k);
        const int index = FindClip(name + suffix);
        if (index < 0)
            break;
        group->second.push_back(index);
    }
    return group->second;
}

int TCAnimController::PickFromGroup(const std::string& name)
{
    const std::vector<int>& group = Group(name);
    if (group.empty())
        return -1;
    // RandomInt excludes its upper bound, so every variant can come up.
    return group.size() == 1 ? group[0] : group[size_t(RandomInt(0, int(group.size())))];
}

bool TCAnimController::Play(const char* name, bool keepPosition)
{
    if (!loaded_ || !name || !*name)
        return false;
    int index = FindClip(name);
    if (index < 0)
        index = PickFromGroup(name);
    if (index < 0)
        return false;
    if (!keepPosition)
        Stop();
    Select(index, keepPosition);
    state_ = Playing;
    return true;
}

void TCAnimController::SelectClip(const char* name)
{
    if (!name)
        return;
    const int index = PickFromGroup(name);
    if (index >= 0)
        Select(index, true);
}

void TCAnimController::Update(bool* cueReached)
{
    bool reached = false;
    if (state_ == Playing) {
        effect_->UpdateTimers(gFrameTime);
        // A clip selected since the cue was set may have no rate to place the cue by.
        if (cueFrame_ >= 0 && cue_ && current_ >= 0 && clips_[current_].fps > 0) {
            timer_->SetPosition(double(cueFrame_ + 1) / double(clips_[current_].fps));
            ClearFrameMarker();
            if (state_ == Playing) {
                state_ = Paused;
                timer_->SetActive(false);
            }
        }
        reached = cue_;
        cue_ = false;
    }
    if (cueReached)
        *cueReached = reached;
}

bool TCAnimController::Pause()
{
    if (state_ != Playing)
        return false;
    state_ = Paused;
    timer_->SetActive(false);
    return true;
}

bool TCAnimController::Resume()
{
    if (state_ != Paused)
        return false;
    state_ = Playing;
    timer_->SetActive(true);
    return true;
}

bool TCAnimController::Stop()
{
    if (state_ != Playing && state_ != Paused)
        return false;
    ClearFrameMarker();
    state_ = Stopped;
    if (timer_->IsActive() && owner_)
        owner_->OnAnimationStopped();
    timer_->SetControlActive(kFrameRange, false);
    timer_->SetControlActive(kEndPoint, false);
    timer_->SetActive(false);
    timer_->Restart();
    return true;
}

void TCAnimController::SetFrameMarker(int frame)
{
    // Without a clip, a rate or a frame on its timeline there is nowhere to put the cue.
    if (!loaded_ || current_ < 0 || frame < 0)
        return;
    const AnmClip& clip = clips_[current_];
    if (clip.fps <= 0 || frame > int(clip.frames.size()))
        return;
    const float at = float(frame) / float(clip.fps);
    SetControl(kCuePoint, TCTimerControl::Point, at, at, true);
    cueFrame_ = frame;
}

void TCAnimController::ClearFrameMarker()
{
    timer_->SetControlActive(kCuePoint, false);
    cueFrame_ = -1;
}

const AnmClip* TCAnimController::GetCurrentClip() const
{
    if ((state_ != Playing && state_ != Paused) || current_ < 0)
        return nullptr;
    return &clips_[current_];
}

const AnmFrame* TCAnimController::GetCurrentFrame() const
{
    const AnmClip* clip = GetCurrentClip();
    if (!clip || frame_ < 0 || frame_ >= int(clip->frames.size()))
        return nullptr;
    return &clip->frames[frame_];
}

Nubra::MemoryImage* TCAnimController::GetCurrentImage() const { return current_ >= 0 ? images_[current_] : nullptr; }

float TCAnimController::GetClipDuration() const
{
    if (!loaded_ || current_ < 0)
        return 0.0f;
    return DurationOf(clips_[current_]);
}

void TCAnimController::ReleaseImages()
{
    for (Nubra::SharedImageRef& image : images_)
        image.Release();
    fetched_.assign(clips_.size(), false);
}

void TCAnimController::Unload()
{
    Stop();
    effect_->SetBinding(kClip, nullptr);
    clips_.clear();
    images_.clear();
    fetched_.clear();
    groups_.clear();
    loaded_ = false;
    current_ = -1;
}
