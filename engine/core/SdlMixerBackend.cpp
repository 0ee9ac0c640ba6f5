#include "engine/core/SdlMixerBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "engine/core/Log.h"
#include "framework/data/PakFile.h"

namespace {

Nubra::PFILE* PakOf(SDL_RWops* ops) { return static_cast<Nubra::PFILE*>(ops->hidden.unknown.data1); }

Sint64 PakSize(SDL_RWops* ops)
{
    Nubra::PFILE* file = PakOf(ops);
    const long at = Nubra::PakFileTell(file);
    Nubra::PakFileSeek(file, 0, 2);
    const long size = Nubra::PakFileTell(file);
    Nubra::PakFileSeek(file, at, 0);
    return size;
}

Sint64 PakSeek(SDL_RWops* ops, Sint64 offset, int whence)
{
    const int origin = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? 1 : 2;
    if (Nubra::PakFileSeek(PakOf(ops), static_cast<long>(offset), origin) != 0)
        return -1;
    return Nubra::PakFileTell(PakOf(ops));
}

size_t PakRead(SDL_RWops* ops, void* buffer, size_t size, size_t count)
{
    return Nubra::PakFileRead(buffer, size, count, PakOf(ops));
}

size_t PakWrite(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int PakClose(SDL_RWops* ops)
{
    Nubra::PakFileClose(PakOf(ops));
    SDL_FreeRW(ops);
    return 0;
}

// An SDL stream over a file of the data-file layer; it closes the file when closed itself.
SDL_RWops* OpenPakStream(const char* path)
{
    Nubra::PFILE* file = Nubra::PakFileOpen(path, "rb");
    if (!file)
        return nullptr;
    SDL_RWops* ops = SDL_AllocRW();
    if (!ops) {
        Nubra::PakFileClose(file);
        return nullptr;
    }
    ops->size = PakSize;
    ops->seek = PakSeek;
    ops->read = PakRead;
    ops->write = PakWrite;
    ops->close = PakClose;
    ops->type = SDL_RWOPS_UNKNOWN;
    ops->hidden.unknown.data1 = file;
    return ops;
}

} // namespace

SdlMixerBackend::~SdlMixerBackend() { MixerBackend::Stop(); }

bool SdlMixerBackend::OpenMixer()
{
    // Some drivers list no device yet open a default one, so only opening tells.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        WriteLog("WARNING: no sound: %s", Mix_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(kSlots);
    return true;
}

void SdlMixerBackend::CloseMixer()
{
    Mix_HaltChannel(-1);
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

MixerBackend::Chunk SdlMixerBackend::LoadChunk(const char* path)
{
    SDL_RWops* stream = OpenPakStream(path);
    return stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
}

void SdlMixerBackend::FreeChunk(Chunk chunk) { Mix_FreeChunk(static_cast<Mix_Chunk*>(chunk)); }

int SdlMixerBackend::PlayChunk(Chunk chunk, bool loop)
{
    return Mix_PlayChannel(-1, static_cast<Mix_Chunk*>(chunk), loop ? -1 : 0);
}

bool SdlMixerBackend::SlotActive(int slot) { return Mix_Playing(slot) != 0 || Mix_Paused(slot) != 0; }
bool SdlMixerBackend::SlotPaused(int slot) { return Mix_Paused(slot) != 0; }
void SdlMixerBackend::HaltSlot(int slot) { Mix_HaltChannel(slot); }
void SdlMixerBackend::PauseSlot(int slot) { Mix_Pause(slot); }
void SdlMixerBackend::ResumeSlot(int slot) { Mix_Resume(slot); }
void SdlMixerBackend::SetSlotVolume(int slot, int volume) { Mix_Volume(slot, volume); }
int SdlMixerBackend::GetSlotVolume(int slot) { return Mix_Volume(slot, -1); }
void SdlMixerBackend::SetSlotPanning(int slot, int left, int right)
{
    Mix_SetPanning(slot, static_cast<Uint8>(left), static_cast<Uint8>(right));
}
