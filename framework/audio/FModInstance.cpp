#include "framework/audio/FModInstance.h"

#include "framework/util/StringUtils.h"
#include "platform/DebugOut.h"
#include "platform/DynamicLibrary.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <type_traits>

namespace Nubra {

namespace {

// The library keeps the name and the decorated entry names it was built with; no Linux build
// of it exists, so unless a stand-in is installed the music stays silent.
constexpr const char* kLibraryName = "fmod.dll";

class LoadedLibrary : public FModLibrary {
public:
    LoadedLibrary() : library_(kLibraryName) {}
    bool IsLoaded() const { return library_.IsLoaded(); }
    void* Symbol(const char* name) override { return library_.Symbol(name); }

private:
    plat::DynamicLibrary library_;
};

std::unique_ptr<FModLibrary> OpenRealLibrary()
{
    auto library = std::make_unique<LoadedLibrary>();
    if (!library->IsLoaded())
        return nullptr;
    return library;
}

std::mutex gMutex;
FModLibraryOpener gOpener = nullptr;
int32_t gRefCount = 0;
std::unique_ptr<FMOD_INSTANCE> gInstance;

// The entry points in the library's order; the name of the first missing one goes to `missing`.
bool ResolveEntryPoints(FMOD_INSTANCE& f, std::string* missing)
{
    auto resolve = [&](const char* name, auto& entry) {
        void* symbol = f.library->Symbol(name);
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(symbol);
        if (!symbol)
            *missing = name;
        return symbol != nullptr;
    };
    return resolve("_FSOUND_SetBufferSize@4", f.FSOUND_SetBufferSize)
        && resolve("_FSOUND_SetHWND@4", f.FSOUND_SetHWND) && resolve("_FSOUND_Init@12", f.FSOUND_Init)
        && resolve("_FSOUND_Close@0", f.FSOUND_Close) && resolve("_FSOUND_Sample_Load@16", f.FSOUND_Sample_Load)
        && resolve("_FSOUND_Sample_Alloc@28", f.FSOUND_Sample_Alloc)
        && resolve("_FSOUND_Sample_Free@4", f.FSOUND_Sample_Free)
        && resolve("_FSOUND_Sample_Lock@28", f.FSOUND_Sample_Lock)
        && resolve("_FSOUND_Sample_Unlock@20", f.FSOUND_Sample_Unlock)
        && resolve("_FSOUND_Sample_SetLoopPoints@12", f.FSOUND_Sample_SetLoopPoints)
        && resolve("_FSOUND_Sample_GetLength@4", f.FSOUND_Sample_GetLength)
        && resolve("_FSOUND_Sample_GetDefaults@20", f.FSOUND_Sample_GetDefaults)
        && resolve("_FSOUND_Sample_GetMode@4", f.FSOUND_Sample_GetMode)
        && resolve("_FSOUND_PlaySound@8", f.FSOUND_PlaySound) && resolve("_FSOUND_StopSound@4", f.FSOUND_StopSound)
        && resolve("_FSOUND_SetVolume@8", f.FSOUND_SetVolume) && resolve("_FSOUND_SetPaused@8", f.FSOUND_SetPaused)
        && resolve("_FSOUND_SetLoopMode@8", f.FSOUND_SetLoopMode)
        && resolve("_FSOUND_IsPlaying@4", f.FSOUND_IsPlaying)
        && resolve("_FSOUND_Stream_OpenFile@12", f.FSOUND_Stream_OpenFile)
        && resolve("_FSOUND_Stream_Close@4", f.FSOUND_Stream_Close)
        && resolve("_FSOUND_Stream_Play@8", f.FSOUND_Stream_Play)
        && resolve("_FMUSIC_LoadSong@4", f.FMUSIC_LoadSong) && resolve("_FMUSIC_PlaySong@4", f.FMUSIC_PlaySong)
        && resolve("_FMUSIC_StopSong@4", f.FMUSIC_StopSong) && resolve("_FMUSIC_SetLooping@8", f.FMUSIC_SetLooping)
        && resolve("_FMUSIC_SetOrder@8", f.FMUSIC_SetOrder) && resolve("_FMUSIC_SetPaused@8", f.FMUSIC_SetPaused)
        && resolve("_FMUSIC_SetMasterVolume@8", f.FMUSIC_SetMasterVolume)
        && resolve("_FMUSIC_IsPlaying@4", f.FMUSIC_IsPlaying);
}

// A missing library is no reason to end the game: the music goes silent instead.
std::unique_ptr<FMOD_INSTANCE> LoadInstance()
{
    auto instance = std::make_unique<FMOD_INSTANCE>();
    instance->library = (gOpener ? gOpener : OpenRealLibrary)();
    if (!instance->library) {
        plat::DebugOut("Can't find fmod.dll.\n");
        return nullptr;
    }
    std::string missing;
    if (!ResolveEntryPoints(*instance, &missing)) {
        plat::DebugOut(StrFormat("%s function not found in fmod.dll\n", missing.c_str()));
        return nullptr;
    }
    if (!instance->FSOUND_Init(44100, 32, 0)) {
        plat::DebugOut("FSOUND_Init failed: music is off\n");
        return nullptr;
    }
    return instance;
}

} // namespace

void SetFModLibraryOpener(FModLibraryOpener opener)
{
    std::lock_guard lock(gMutex);
    gOpener = opener;
}

FMOD_INSTANCE* GetFModInstance()
{
    std::lock_guard lock(gMutex);
    ++gRefCount;
    if (!gInstance)
        gInstance = LoadInstance();
    return gInstance.get();
}

void ReleaseFModInstance()
{
    std::lock_guard lock(gMutex);
    if (--gRefCount >= 1)
        return;
    gRefCount = 0;
    if (gInstance)
        gInstance->FSOUND_Close();
    gInstance.reset();
}

} // namespace Nubra
