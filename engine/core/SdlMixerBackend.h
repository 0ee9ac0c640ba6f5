#pragma once
#include "engine/core/MixerBackend.h"

// The audio back end over SDL2_mixer. Samples are read through the data-file layer. Nothing
// here runs on the mixer's own thread: channel ends are seen by polling.
class SdlMixerBackend : public MixerBackend {
public:
    ~SdlMixerBackend() override;

protected:
    bool OpenMixer() override;
    void CloseMixer() override;
    Chunk LoadChunk(const char* path) override;
    void FreeChunk(Chunk chunk) override;
    int PlayChunk(Chunk chunk, bool loop) override;
    bool SlotActive(int slot) override;
    bool SlotPaused(int slot) override;
    void HaltSlot(int slot) override;
    void PauseSlot(int slot) override;
    void ResumeSlot(int slot) override;
    void SetSlotVolume(int slot, int volume) override;
    int GetSlotVolume(int slot) override;
    void SetSlotPanning(int slot, int left, int right) override;
};
