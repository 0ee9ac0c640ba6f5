#pragma once
#include <memory>

namespace Nubra {

// Handles of the FMOD library; only the library looks inside them.
struct FSOUND_SAMPLE;
struct FSOUND_STREAM;
struct FMUSIC_MODULE;

constexpr int FSOUND_FREE = -1; // any free sample slot or channel
constexpr unsigned FSOUND_LOOP_OFF = 1;
constexpr unsigned FSOUND_LOOP_NORMAL = 2;
constexpr unsigned FSOUND_8BITS = 0x08;
constexpr unsigned FSOUND_MONO = 0x20;

// Where the entry points come from: the library loaded at run time, or a stand-in.
class FModLibrary {
public:
    virtual ~FModLibrary() = default;
    virtual void* Symbol(const char* name) = 0; // null when the library lacks it
};

// Opens the library, or gives null when it is absent.
using FModLibraryOpener = std::unique_ptr<FModLibrary> (*)();
// Null restores the opener of the real library.
void SetFModLibraryOpener(FModLibraryOpener opener);

// The library and the entry points the music interface calls. Booleans of the library are
// signed chars; volumes run 0-255 (samples) and 0-256 (songs).
struct FMOD_INSTANCE {
    std::unique_ptr<FModLibrary> library;

    signed char (*FSOUND_SetBufferSize)(int lengthMs) = nullptr;
    signed char (*FSOUND_SetHWND)(void* window) = nullptr;
    signed char (*FSOUND_Init)(int mixRate, int maxChannels, unsigned flags) = nullptr;
    void (*FSOUND_Close)() = nullptr;
    FSOUND_SAMPLE* (*FSOUND_Sample_Load)(int index, const char* name, unsigned mode, int memLength) = nullptr;
    FSOUND_SAMPLE* (*FSOUND_Sample_Alloc)(int index, int length, unsigned mode, int frequency, int volume, int pan,
                                          int priority) = nullptr;
    void (*FSOUND_Sample_Free)(FSOUND_SAMPLE* sample) = nullptr;
    signed char (*FSOUND_Sample_Lock)(FSOUND_SAMPLE* sample, int offset, int length, void** part1, void** part2,
                                      unsigned* length1, unsigned* length2) = nullptr;
    signed char (*FSOUND_Sample_Unlock)(FSOUND_SAMPLE* sample, void* part1, void* part2, unsigned length1,
                                        unsigned length2) = nullptr;
    signed char (*FSOUND_Sample_SetLoopPoints)(FSOUND_SAMPLE* sample, int loopStart, int loopEnd) = nullptr;
    unsigned (*FSOUND_Sample_GetLength)(FSOUND_SAMPLE* sample) = nullptr; // in samples
    signed char (*FSOUND_Sample_GetDefaults)(FSOUND_SAMPLE* sample, int* frequency, int* volume, int* pan,
                                             int* priority) = nullptr;
    unsigned (*FSOUND_Sample_GetMode)(FSOUND_SAMPLE* sample) = nullptr;
    int (*FSOUND_PlaySound)(int channel, FSOUND_SAMPLE* sample) = nullptr;
    signed char (*FSOUND_StopSound)(int channel) = nullptr;
    signed char (*FSOUND_SetVolume)(int channel, int volume) = nullptr;
    signed char (*FSOUND_SetPaused)(int channel, signed char paused) = nullptr;
    signed char (*FSOUND_SetLoopMode)(int channel, unsigned loopMode) = nullptr;
    signed char (*FSOUND_IsPlaying)(int channel) = nullptr;
    FSOUND_STREAM* (*FSOUND_Stream_OpenFile)(const char* name, unsigned mode, int memLength) = nullptr;
    signed char (*FSOUND_Stream_Close)(FSOUND_STREAM* stream) = nullptr;
    int (*FSOUND_Stream_Play)(int channel, FSOUND_STREAM* stream) = nullptr;
    FMUSIC_MODULE* (*FMUSIC_LoadSong)(const char* name) = nullptr;
    signed char (*FMUSIC_PlaySong)(FMUSIC_MODULE* module) = nullptr;
    signed char (*FMUSIC_StopSong)(FMUSIC_MODULE* module) = nullptr;
    signed char (*FMUSIC_SetLooping)(FMUSIC_MODULE* module, signed char looping) = nullptr;
    signed char (*FMUSIC_SetOrder)(FMUSIC_MODULE* module, int order) = nullptr;
    signed char (*FMUSIC_SetPaused)(FMUSIC_MODULE* module, signed char paused) = nullptr;
    signed char (*FMUSIC_SetMasterVolume)(FMUSIC_MODULE* module, int volume) = nullptr;
    signed char (*FMUSIC_IsPlaying)(FMUSIC_MODULE* module) = nullptr;
};

// The process's one instance, counted: the first caller loads the library and resolves every
// entry point. Null while the library or one of its entry points is missing (the reason goes
// to the debugger output); music is then silent. Each call is matched by a release.
FMOD_INSTANCE* GetFModInstance();
// The last release frees the library.
void ReleaseFModInstance();

} // namespace Nubra
