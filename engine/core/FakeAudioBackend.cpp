#include "engine/core/FakeAudioBackend.h"

#include <string>

#include "framework/data/PakFile.h"

FakeAudioBackend::~FakeAudioBackend() { MixerBackend::Stop(); }

void FakeAudioBackend::Finish(int slot) { slots_.at(slot) = {}; }

bool FakeAudioBackend::OpenMixer()
{
    Record("open");
    return deviceAvailable;
}

void FakeAudioBackend::CloseMixer()
{
    Record("close");
    slots_ = {};
}

MixerBackend::Chunk FakeAudioBackend::LoadChunk(const char* path)
{
    Record(std::string("load ") + path);
    Nubra::PFILE* file = Nubra::PakFileOpen(path, "rb");
    if (!file)
        return nullptr;
    Nubra::PakFileClose(file);
    return new std::string(path);
}

void FakeAudioBackend::FreeChunk(Chunk chunk)
{
    Record("free " + *static_cast<std::string*>(chunk));
    delete static_cast<std::string*>(chunk);
}

int FakeAudioBackend::PlayChunk(Chunk chunk, bool loop)
{
    for (int slot = 0; slot < kSlots; ++slot) {
        if (!slots_[slot].active) {
            slots_[slot] = {true, false, 128};
            Record("play " + std::to_string(slot) + " " + *static_cast<std::string*>(chunk) + (loop ? " loop" : ""));
            return slot;
        }
    }
    return -1;
}

bool FakeAudioBackend::SlotActive(int slot) { return slots_[slot].active; }
bool FakeAudioBackend::SlotPaused(int slot) { return slots_[slot].active && slots_[slot].paused; }

void FakeAudioBackend::HaltSlot(int slot)
{
    if (slots_[slot].active)
        Record("halt " + std::to_string(slot));
    slots_[slot] = {};
}

void FakeAudioBackend::PauseSlot(int slot)
{
    Record("pause " + std::to_string(slot));
    slots_[slot].paused = true;
}

void FakeAudioBackend::ResumeSlot(int slot)
{
    Record("resume " + std::to_string(slot));
    slots_[slot].paused = false;
}

void FakeAudioBackend::SetSlotVolume(int slot, int volume)
{
    Record("volume " + std::to_string(slot) + " " + std::to_string(volume));
    slots_[slot].volume = volume;
}

int FakeAudioBackend::GetSlotVolume(int slot) { return slots_[slot].volume; }

void FakeAudioBackend::SetSlotPanning(int slot, int left, int right)
{
    Record("pan " + std::to_string(slot) + " " + std::to_string(left) + " " + std::to_string(right));
}
