#pragma once
#include <array>
#include <string>
#include <vector>

#include "engine/core/MixerBackend.h"

// A back end for tests: a simulated mixer with no output. Samples load when their file opens.
// It records what reaches the mixer ("pause 3", "volume 3 64", ...) and lets a test end a sound
// as if it had finished.
class FakeAudioBackend : public MixerBackend {
public:
    ~FakeAudioBackend() override;

    // The sound in the slot ends, as a finished one does.
    void Finish(int slot);

    bool deviceAvailable = true;
    std::vector<std::string> calls;

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

private:
    struct FakeSlot {
        bool active = false;
        bool paused = false;
        int volume = 128;
    };
    void Record(const std::string& call) { calls.push_back(call); }

    std::array<FakeSlot, kSlots> slots_{};
};
