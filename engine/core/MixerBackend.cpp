#include "engine/core/MixerBackend.h"

#include <algorithm>

#include "platform/Clock.h"

namespace {

constexpr int kSlotBits = 6;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenerations = (1u << (32 - kSlotBits)) - 1;

int MixVolume(int volume) { return std::clamp(volume, 0, 100) * 128 / 100; }

} // namespace

int MixerBackend::SlotOf(ChannelId channel) { return static_cast<int>(channel & kSlotMask); }

bool MixerBackend::Start()
{
    if (!started_)
        started_ = OpenMixer();
    return started_;
}

void MixerBackend::Stop()
{
    if (!started_)
        return;
    for (int slot = 0; slot < kSlots; ++slot)
        HaltSlot(slot);
    {
        std::lock_guard lock(samplesMutex_);
        for (Chunk chunk : samples_)
            if (chunk)
                FreeChunk(chunk);
        samples_.clear();
    }
    slots_ = {};
    workers_.clear();
    pausedAll_ = false;
    CloseMixer();
    started_ = false;
}

IAudioBackend::SampleId MixerBackend::LoadSample(const char* path)
{
    if (!started_ || !path)
        return 0;
    Chunk chunk = LoadChunk(path);
    if (!chunk)
        return 0;
    std::lock_guard lock(samplesMutex_);
    samples_.push_back(chunk);
    return static_cast<SampleId>(samples_.size());
}

MixerBackend::Chunk MixerBackend::FindChunk(SampleId sample)
{
    std::lock_guard lock(samplesMutex_);
    return sample >= 1 && sample <= samples_.size() ? samples_[sample - 1] : nullptr;
}

void MixerBackend::UnloadSample(SampleId sample)
{
    Chunk chunk = FindChunk(sample);
    if (!chunk)
        return;
    StopSample(sample);
    FreeChunk(chunk);
    std::lock_guard lock(samplesMutex_);
    samples_[sample - 1] = nullptr; // ids are not reused
}

IAudioBackend::ChannelId MixerBackend::PlaySample(SampleId sample, bool loop, int group, int volume, int pan)
{
    Chunk chunk = started_ ? FindChunk(sample) : nullptr;
    if (!chunk)
        return 0;
    const int slot = PlayChunk(chunk, loop);
    if (slot < 0 || slot >= kSlots)
        return 0;
    generation_ = generation_ % kGenerations + 1;
    slots_[slot] = {generation_, sample, group, false, false};
    const ChannelId channel = (generation_ << kSlotBits) | static_cast<uint32_t>(slot);
    SetChannelVolume(channel, volume);
    SetChannelPan(channel, pan);
    if (pausedAll_)
        ApplyPause(slot);
    return channel;
}

int MixerBackend::LiveSlot(ChannelId channel)
{
    const uint32_t slot = channel & kSlotMask;
    if (!started_ || channel == 0 || slot >= kSlots || slots_[slot].generation != channel >> kSlotBits)
        return -1;
    return SlotActive(static_cast<int>(slot)) ? static_cast<int>(slot) : -1;
}

// The mixer pauses a slot when the game or PauseAll wants it paused.
void MixerBackend::ApplyPause(int slot)
{
    Slot& record = slots_[slot];
    record.heldByPauseAll = pausedAll_ && !record.pausedByGame;
    if (record.pausedByGame || record.heldByPauseAll)
        PauseSlot(slot);
    else
        ResumeSlot(slot);
}

template <typename Action>
void MixerBackend::ForEachSlotOf(SampleId sample, Action action)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        const Slot& record = slots_[slot];
        if (record.generation != 0 && record.sample == sample && SlotActive(slot))
            action((record.generation << kSlotBits) | static_cast<uint32_t>(slot));
    }
}

void MixerBackend::PauseSample(SampleId sample, bool pause)
{
    ForEachSlotOf(sample, [&](ChannelId channel) { PauseChannel(channel, pause); });
}

void MixerBackend::StopSample(SampleId sample)
{
    ForEachSlotOf(sample, [&](ChannelId channel) { StopChannel(channel); });
}

IAudioBackend::ChannelStatus MixerBackend::GetChannelStatus(ChannelId channel)
{
    const int slot = LiveSlot(channel);
    if (slot < 0)
        return Stopped;
    return slots_[slot].pausedByGame ? Paused : Playing;
}

void MixerBackend::StartChannel(ChannelId channel) { PauseChannel(channel, false); }

void MixerBackend::StopChannel(ChannelId channel)
{
    const int slot = LiveSlot(channel);
    if (slot >= 0)
        HaltSlot(slot);
}

void MixerBackend::PauseChannel(ChannelId channel, bool pause)
{
    const int slot = LiveSlot(channel);
    if (slot < 0)
        return;
    slots_[slot].pausedByGame = pause;
    ApplyPause(slot);
}

void MixerBackend::SetChannelVolume(ChannelId channel, int volume)
{
    const int slot = LiveSlot(channel);
    if (slot >= 0)
        SetSlotVolume(slot, MixVolume(volume));
}

void MixerBackend::SetChannelPan(ChannelId channel, int pan)
{
    const int slot = LiveSlot(channel);
    if (slot < 0)
        return;
    pan = std::clamp(pan, 0, 100);
    SetSlotPanning(slot, std::min(255, (100 - pan) * 255 / 50), std::min(255, pan * 255 / 50));
}

void MixerBackend::SetGroupVolume(int group, int volume)
{
    for (int slot = 0; slot < kSlots; ++slot)
        if (slots_[slot].generation != 0 && slots_[slot].group == group && SlotActive(slot))
            SetSlotVolume(slot, MixVolume(volume));
}

void MixerBackend::SetChannelWorker(ChannelId channel, ChannelWorker worker, void* object, uint32_t periodMs)
{
    // Removal only marks the entry, so a worker may remove itself while Tick walks the list.
    for (Worker& entry : workers_)
        if (entry.channel == channel)
            entry.function = nullptr;
    if (worker && LiveSlot(channel) >= 0)
        workers_.push_back({channel, worker, object, periodMs, plat::NowMs() + periodMs});
}

void MixerBackend::Tick(uint32_t nowMs)
{
    // Index walk: a worker may add workers, which can move the list.
    for (size_t i = 0; i < workers_.size(); ++i) {
        Worker& entry = workers_[i];
        if (!entry.function)
            continue;
        if (LiveSlot(entry.channel) < 0) {
            entry.function = nullptr;
            continue;
        }
        if (plat::MsBefore(nowMs, entry.dueMs))
            continue;
        // After a stall the next call comes a period from now, not in a burst.
        entry.dueMs = plat::MsBefore(nowMs, entry.dueMs + entry.periodMs) ? entry.dueMs + entry.periodMs
                                                                           : nowMs + entry.periodMs;
        const ChannelWorker function = entry.function;
        function(entry.channel, entry.object);
    }
    std::erase_if(workers_, [](const Worker& entry) { return !entry.function; });
}

void MixerBackend::PauseAll(bool pause)
{
    if (!started_ || pause == pausedAll_)
        return;
    pausedAll_ = pause;
    for (int slot = 0; slot < kSlots; ++slot) {
        Slot& record = slots_[slot];
        if (record.generation == 0 || !SlotActive(slot))
            continue;
        // Only what PauseAll held comes back: the game's own pauses stay.
        if (pause && !record.pausedByGame) {
            record.heldByPauseAll = true;
            PauseSlot(slot);
        } else if (!pause && record.heldByPauseAll) {
            record.heldByPauseAll = false;
            ResumeSlot(slot);
        }
    }
}

bool MixerBackend::IsChannelSilenced(ChannelId channel)
{
    const int slot = LiveSlot(channel);
    return slot >= 0 && SlotPaused(slot);
}

int MixerBackend::GetChannelMixVolume(ChannelId channel)
{
    const int slot = LiveSlot(channel);
    return slot >= 0 ? GetSlotVolume(slot) : -1;
}
