#include "engine/core/SoundLibrary.h"

#include <atomic>


namespace {

std::atomic<bool> gSoundUp{false};
SoundLibrary* gSoundLibrary = nullptr;

} // namespace

SoundLibrary::SoundLibrary(std::unique_ptr<IAudioBackend> backend) : backend_(std::move(backend))
{
    gSoundUp = false;
    gSoundLibrary = this;
}

SoundLibrary::~SoundLibrary()
{
    if (references_ > 0) {
        references_ = 1;
        Stop();
    }
    if (gSoundLibrary == this)
        gSoundLibrary = nullptr;
}

void SoundLibrary::UseBackend(std::unique_ptr<IAudioBackend> backend)
{
    if (references_ == 0)
        backend_ = std::move(backend);
}

bool SoundLibrary::Start()
{
    if (references_ > 0) {
        ++references_;
        return true;
    }
    if (!backend_ || !backend_->Start())
        return false;
    references_ = 1;
    gSoundUp = true;
    return true;
}

void SoundLibrary::Stop()
{
    if (references_ == 0 || --references_ > 0)
        return;
    gSoundUp = false;
    backend_->Stop();
}

bool StartSound() { return gSoundLibrary && gSoundLibrary->Start(); }

void StopSound()
{
    if (gSoundLibrary)
        gSoundLibrary->Stop();
}

bool IsSoundUp() { return gSoundUp; }

IAudioBackend* GetAudioBackend() { return IsSoundUp() && gSoundLibrary ? gSoundLibrary->Backend() : nullptr; }
