#pragma once
#include <cstdint>

// The sound library the engine plays through: samples played on channels, channel groups and
// a pause of all output. Volumes and pans run 0-100 (pan 50 is the centre).
class IAudioBackend {
public:
    // 0 is "none"; a handle is never reused, so one kept after its sound ended stays harmless.
    using ChannelId = uint32_t;
    // 0 is "none"; 1-based otherwise.
    using SampleId = uint32_t;
    // Called with its channel and object every period until removed.
    using ChannelWorker = void (*)(ChannelId channel, void* object);

    enum ChannelStatus { Stopped = 0, Playing = 1, Paused = 2 };

    virtual ~IAudioBackend() = default;

    // Opens the output; false leaves the game silent.
    virtual bool Start() = 0;
    // Stops every channel, frees every sample and closes the output.
    virtual void Stop() = 0;

    // May run on a loading thread.
    virtual SampleId LoadSample(const char* path) = 0;
    virtual void UnloadSample(SampleId sample) = 0;
    // 0 when the sample is unknown or no channel is free.
    virtual ChannelId PlaySample(SampleId sample, bool loop, int group, int volume, int pan) = 0;
    // These act on every channel of the sample.
    virtual void PauseSample(SampleId sample, bool pause) = 0;
    virtual void StopSample(SampleId sample) = 0;

    // The game's own view: a channel held by PauseAll still reports Playing.
    virtual ChannelStatus GetChannelStatus(ChannelId channel) = 0;
    virtual void StartChannel(ChannelId channel) = 0;
    virtual void StopChannel(ChannelId channel) = 0;
    virtual void PauseChannel(ChannelId channel, bool pause) = 0;
    virtual void SetChannelVolume(ChannelId channel, int volume) = 0;
    virtual void SetChannelPan(ChannelId channel, int pan) = 0;
    // First due a period after it is set, on plat::NowMs(). A null worker removes the channel's
    // worker; one may remove itself while it runs. A worker goes with its channel.
    virtual void SetChannelWorker(ChannelId channel, ChannelWorker worker, void* object, uint32_t periodMs) = 0;
    // Music plays in group -1.
    virtual void SetGroupVolume(int group, int volume) = 0;

    // Holds all output; resuming leaves the channels the game paused itself paused.
    virtual void PauseAll(bool pause) = 0;
    // Runs the due channel workers; called on the main thread at every step.
    virtual void Tick(uint32_t nowMs) = 0;
};
