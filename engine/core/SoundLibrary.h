#pragma once
#include <memory>

#include "engine/core/IAudioBackend.h"

// The engine's hold on its audio back end, started and stopped by reference count. Its
// existence registers it as the process's one library; every sound and music call first asks
// IsSoundUp().
class SoundLibrary {
public:
    // Starts with sound down; without a back end, sound cannot start.
    explicit SoundLibrary(std::unique_ptr<IAudioBackend> backend = nullptr);
    ~SoundLibrary();
    SoundLibrary(const SoundLibrary&) = delete;
    SoundLibrary& operator=(const SoundLibrary&) = delete;

    // Replaces the back end while sound is down.
    void UseBackend(std::unique_ptr<IAudioBackend> backend);
    bool Start();
    void Stop();
    IAudioBackend* Backend() { return backend_.get(); }

private:
    std::unique_ptr<IAudioBackend> backend_;
    int references_ = 0;
};

// The first call opens the output; sound stays down when that fails (a later call tries again).
bool StartSound();
// The last release stops the back end.
void StopSound();
bool IsSoundUp();
// The back end while sound is up, else null.
IAudioBackend* GetAudioBackend();
