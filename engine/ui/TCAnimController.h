#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/ui/AnmFile.h"
#include "framework/graphics/SharedImage.h"

class TCEffect;
class TCTimer;

// Who a controller tells when a running clip is stopped: the item part that plays it.
class TCAnimOwner {
public:
    virtual ~TCAnimOwner() = default;
    virtual void OnAnimationStopped() = 0;
};

// Plays the clips of one animation file for one item part: clips by name or by numbered
// variant, the frame driven by an effect timer, with an optional cue frame that pauses.
class TCAnimController {
public:
    enum State { Idle = 0, Playing = 1, Paused = 2, Stopped = 3 };

    explicit TCAnimController(TCAnimOwner* owner);
    ~TCAnimController();
    TCAnimController(const TCAnimController&) = delete;
    TCAnimController& operator=(const TCAnimController&) = delete;

    // "anm\<name>.anm". A file that cannot be read whole and sound leaves the clips as they were.
    bool LoadAnm(const char* name);
    // The clip of that name, else one of name01..name09 at random.
    bool Play(const char* name, bool keepPosition);
    // A clip of the name's variants, keeping the timeline position and the state.
    void SelectClip(const char* name);
    // One step of the frame time; cueReached tells whether the cue frame or the end of a clip
    // that does not loop was reached.
    void Update(bool* cueReached);
    bool Pause();
    bool Resume();
    bool Stop();
    // Pauses at the frame when the timeline reaches it.
    void SetFrameMarker(int frame);
    void ClearFrameMarker();

    // While playing or paused, else null.
    const AnmClip* GetCurrentClip() const;
    const AnmFrame* GetCurrentFrame() const;
    // The current clip's sheet, once the clip has been selected.
    Nubra::MemoryImage* GetCurrentImage() const;
    float GetClipDuration() const;
    // Lets go of the clips' sheets; a clip fetches its sheet again when it is next selected.
    void ReleaseImages();
    int GetFrameIndex() const { return frame_; }
    int GetState() const { return state_; }
    void Unload();

private:
    void Select(int index, bool keepPosition);
    int FindClip(const std::string& name) const;
    const std::vector<int>& Group(const std::string& name);
    int PickFromGroup(const std::string& name);
    void SetControl(int id, int kind, float start, float end, bool active);

    TCAnimOwner* owner_;
    std::vector<AnmClip> clips_;
    std::vector<Nubra::SharedImageRef> images_; // fetched on a clip's first selection
    std::vector<bool> fetched_;
    bool loaded_ = false;
    int current_ = -1;
    std::map<std::string, std::vector<int>> groups_;
    int state_ = Idle;
    int frame_ = 0;
    std::unique_ptr<TCEffect> effect_;
    TCTimer* timer_ = nullptr;
    bool cue_ = false;
    int cueFrame_ = -1;
};
