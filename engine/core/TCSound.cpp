#include "engine/core/TCSound.h"

#include <cmath>
#include <map>
#include <mutex>

#include "engine/core/EngineHelpers.h"
#include "engine/core/SoundLibrary.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/XmlHelpers.h"

namespace {

constexpr int kFrequency = 44100; // what the library's play call is given; the mixer keeps its own rate
constexpr int kCentre = 50;

// Filled on the loading thread; the main thread may already play (a key's click) or silence
// them meanwhile. The back end is called outside the lock where a file is read.
std::mutex gTableMutex;
std::map<std::string, std::shared_ptr<TCSound>> gSounds;
std::map<std::string, int> gGroups;
int gLastGroupId = 0;
int gSoundVolume = 100;
bool gSilenced = false;

int PlayVolume() { return gSilenced ? 0 : gSoundVolume; }

int GroupIdOf(const std::string& group)
{
    std::lock_guard lock(gTableMutex);
    auto [entry, added] = gGroups.try_emplace(group, 0);
    if (added)
        entry->second = ++gLastGroupId;
    return entry->second;
}

std::shared_ptr<TCSound> FindSound(const std::string& name)
{
    std::lock_guard lock(gTableMutex);
    const auto found = gSounds.find(name);
    return found != gSounds.end() ? found->second : nullptr;
}

template <typename Action>
void ForEachSoundOfGroup(const std::string& group, Action action)
{
    std::lock_guard lock(gTableMutex);
    const auto found = gGroups.find(group);
    if (found == gGroups.end())
        return;
    for (auto& [name, sound] : gSounds)
        if (sound->GroupId() == found->second)
            action(*sound);
}

void ApplyGroupVolumes()
{
    std::lock_guard lock(gTableMutex);
    if (IAudioBackend* audio = GetAudioBackend())
        for (const auto& [name, id] : gGroups)
            audio->SetGroupVolume(id, PlayVolume());
}

} // namespace

void LogSoundPlay(const char* kind, IAudioBackend::ChannelId channel, const std::string& path)
{
    if (DebugSettings().SoundLog)
        DebugPrint("%s(%d): %s\n", kind, static_cast<int>(channel), path.c_str());
}

TCSound::TCSound(pugi::xml_node element)
{
    std::string group;
    XmlGetString(element, "name", name_);
    XmlGetString(element, "group", group);
    XmlGetString(element, "path", path_);
    XmlGetBool(element, "loop", loop_);
    groupId_ = GroupIdOf(group);
    if (IAudioBackend* audio = GetAudioBackend())
        sample_ = audio->LoadSample(path_.c_str());
}

void TCSound::Play()
{
    if (IAudioBackend* audio = GetAudioBackend()) {
        const auto channel = audio->PlaySample(sample_, false, groupId_, PlayVolume(), kCentre);
        LogSoundPlay("Play2", channel, path_);
    }
}

void TCSound::Pause()
{
    IAudioBackend* audio = GetAudioBackend();
    if (audio && pauses_++ == 0)
        audio->PauseSample(sample_, true);
}

void TCSound::Resume()
{
    // A resume without a pause is ignored, or the next pause would not pause.
    IAudioBackend* audio = GetAudioBackend();
    if (audio && pauses_ > 0 && --pauses_ == 0)
        audio->PauseSample(sample_, false);
}

void TCSound::Stop()
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->StopSample(sample_);
}

void TCSound::Unload()
{
    if (IAudioBackend* audio = GetAudioBackend()) {
        audio->StopSample(sample_);
        audio->UnloadSample(sample_);
    }
    sample_ = 0;
}

void TCSoundChannel::Play()
{
    IAudioBackend* audio = GetAudioBackend();
    if (!audio)
        return;
    if (audio->GetChannelStatus(channel_) == IAudioBackend::Stopped) {
        channel_ = audio->PlaySample(sound_->Sample(), sound_->Loops(), sound_->GroupId(), PlayVolume(), kCentre);
        LogSoundPlay("Play3", channel_, sound_->Path());
    } else {
        audio->StartChannel(channel_);
    }
}

void TCSoundChannel::Stop()
{
    IAudioBackend* audio = GetAudioBackend();
    if (audio && audio->GetChannelStatus(channel_) != IAudioBackend::Stopped)
        audio->StopChannel(channel_);
}

void TCSoundChannel::Pause()
{
    IAudioBackend* audio = GetAudioBackend();
    if (audio && pauses_++ == 0)
        audio->PauseChannel(channel_, true);
}

void TCSoundChannel::Resume()
{
    IAudioBackend* audio = GetAudioBackend();
    if (audio && pauses_ > 0 && --pauses_ == 0)
        audio->PauseChannel(channel_, false);
}

void TCSoundChannel::SetPan(float pan)
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->SetChannelPan(channel_, static_cast<int>(std::lround(pan)));
}

void TCSoundChannel::SetVolume(float volume)
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->SetChannelVolume(channel_, static_cast<int>(std::lround(volume)));
}

void LoadSounds(pugi::xml_node cfgRoot)
{
    ForEachNode(cfgRoot, "sounds/sound", [](pugi::xml_node element) {
        auto sound = std::make_shared<TCSound>(element);
        {
            std::lock_guard lock(gTableMutex);
            sound.swap(gSounds[sound->Name()]);
        }
        // Nothing can reach a replaced sound any more, so its sample goes with it.
        if (sound)
            sound->Unload();
        return true;
    });
}

void PlaySound(const std::string& name)
{
    if (auto sound = name.empty() ? nullptr : FindSound(name))
        sound->Play();
}

std::unique_ptr<TCSoundChannel> CreateSoundChannel(const std::string& name)
{
    auto sound = IsSoundUp() ? FindSound(name) : nullptr;
    return sound ? std::make_unique<TCSoundChannel>(std::move(sound)) : nullptr;
}

void PauseAllSounds()
{
    std::lock_guard lock(gTableMutex);
    for (auto& [name, sound] : gSounds)
        sound->Pause();
}

void ResumeAllSounds()
{
    std::lock_guard lock(gTableMutex);
    for (auto& [name, sound] : gSounds)
        sound->Resume();
}

void PauseSoundGroup(const std::string& group)
{
    ForEachSoundOfGroup(group, [](TCSound& sound) { sound.Pause(); });
}

void ResumeSoundGroup(const std::string& group)
{
    ForEachSoundOfGroup(group, [](TCSound& sound) { sound.Resume(); });
}

void StopSoundGroup(const std::string& group)
{
    ForEachSoundOfGroup(group, [](TCSound& sound) { sound.Stop(); });
}

void SetSoundVolume(int volume)
{
    gSoundVolume = volume;
    ApplyGroupVolumes();
}

int GetSoundVolume() { return gSoundVolume; }

void SetSoundsSilenced(bool silenced)
{
    if (silenced == gSilenced)
        return;
    gSilenced = silenced;
    ApplyGroupVolumes();
}

void FreeSounds()
{
    std::map<std::string, std::shared_ptr<TCSound>> sounds;
    {
        std::lock_guard lock(gTableMutex);
        sounds.swap(gSounds);
        gGroups.clear();
        gLastGroupId = 0;
    }
    for (auto& [name, sound] : sounds)
        sound->Unload();
}
