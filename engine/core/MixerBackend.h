#pragma once
#include <array>
#include <mutex>
#include <vector>

#include "engine/core/IAudioBackend.h"

// The audio back end over a mixer of numbered channel slots that a finished sound frees for the
// next one. It keeps what the mixer does not: handles that go stale when their slot is reused,
// groups, the game's own pauses apart from PauseAll's, and the channel workers.
class MixerBackend : public IAudioBackend {
public:
    static constexpr int kSlots = 32;

    bool Start() override;
    void Stop() override;

    SampleId LoadSample(const char* path) override;
    void UnloadSample(SampleId sample) override;
    ChannelId PlaySample(SampleId sample, bool loop, int group, int volume, int pan) override;
    void PauseSample(SampleId sample, bool pause) override;
    void StopSample(SampleId sample) override;

    ChannelStatus GetChannelStatus(ChannelId channel) override;
    void StartChannel(ChannelId channel) override;
    void StopChannel(ChannelId channel) override;
    void PauseChannel(ChannelId channel, bool pause) override;
    void SetChannelVolume(ChannelId channel, int volume) override;
    void SetChannelPan(ChannelId channel, int pan) override;
    void SetChannelWorker(ChannelId channel, ChannelWorker worker, void* object, uint32_t periodMs) override;
    void SetGroupVolume(int group, int volume) override;

    void PauseAll(bool pause) override;
    void Tick(uint32_t nowMs) override;

    static int SlotOf(ChannelId channel);

    bool IsStarted() const { return started_; }
    bool IsPausedAll() const { return pausedAll_; }
    // What the mixer does with the channel, whoever asked for it: silent when paused for any reason.
    bool IsChannelSilenced(ChannelId channel);
    // The mixer's volume of the channel (0-128), -1 for a stale handle.
    int GetChannelMixVolume(ChannelId channel);

protected:
    // Mixer chunks are opaque here; each mixer knows its own.
    using Chunk = void*;

    virtual bool OpenMixer() = 0;
    virtual void CloseMixer() = 0;
    virtual Chunk LoadChunk(const char* path) = 0; // null on failure
    virtual void FreeChunk(Chunk chunk) = 0;
    virtual int PlayChunk(Chunk chunk, bool loop) = 0; // the slot, or -1 when none is free
    virtual bool SlotActive(int slot) = 0;             // playing or paused
    virtual bool SlotPaused(int slot) = 0;
    virtual void HaltSlot(int slot) = 0;
    virtual void PauseSlot(int slot) = 0;
    virtual void ResumeSlot(int slot) = 0;
    virtual void SetSlotVolume(int slot, int volume) = 0; // 0-128
    virtual int GetSlotVolume(int slot) = 0;
    virtual void SetSlotPanning(int slot, int left, int right) = 0; // 0-255 each

private:
    struct Slot {
        uint32_t generation = 0; // 0: never played
        SampleId sample = 0;
        int group = 0;
        bool pausedByGame = false;
        bool heldByPauseAll = false;
    };
    struct Worker {
        ChannelId channel;
        ChannelWorker function;
        void* object;
        uint32_t periodMs;
        uint32_t dueMs;
    };

    // The slot of a handle whose sound is still in the mixer, else -1.
    int LiveSlot(ChannelId channel);
    Chunk FindChunk(SampleId sample);
    void ApplyPause(int slot);
    template <typename Action>
    void ForEachSlotOf(SampleId sample, Action action);

    bool started_ = false;
    bool pausedAll_ = false;
    uint32_t generation_ = 0;
    std::array<Slot, kSlots> slots_{};
    std::vector<Worker> workers_;

    std::mutex samplesMutex_; // samples load on the loading thread
    std::vector<Chunk> samples_;
};
