#pragma once
#include <pugixml.hpp>

#include <memory>
#include <string>

#include "engine/core/IAudioBackend.h"

// A sound effect declared in "cfg\cfg.xml": one loaded sample, played by name, in a group that
// is paused, resumed and stopped together. Nothing here reaches the back end while sound is down.
class TCSound {
public:
    // Reads "name", "group", "path" and "loop", gives a new group name the next group id and
    // loads the sample (a file that does not load leaves none: its plays are then refused).
    explicit TCSound(pugi::xml_node element);
    TCSound(const TCSound&) = delete;
    TCSound& operator=(const TCSound&) = delete;

    // At the sound volume, never looped; the channel is not kept.
    void Play();
    // Counted: only the first pause and the last resume reach the sample's channels.
    void Pause();
    void Resume();
    void Stop();
    // Stops and frees the sample.
    void Unload();

    const std::string& Name() const { return name_; }
    const std::string& Path() const { return path_; }
    int GroupId() const { return groupId_; }
    bool Loops() const { return loop_; }
    IAudioBackend::SampleId Sample() const { return sample_; }

private:
    std::string name_;
    std::string path_;
    int groupId_ = 0;
    bool loop_ = false;
    IAudioBackend::SampleId sample_ = 0;
    int pauses_ = 0;
};

// One sound a caller controls while it plays. It keeps its sound alive, so it may outlive the
// table.
class TCSoundChannel {
public:
    explicit TCSoundChannel(std::shared_ptr<TCSound> sound) : sound_(std::move(sound)) {}

    // Starts the sound afresh (looped when it is declared so) once the last play has ended;
    // while it lasts, starts it again from a pause.
    void Play();
    void Stop();
    // Counted, as a sound's.
    void Pause();
    void Resume();
    // Pan 0-100 (50 centred) and volume 0-100, rounded.
    void SetPan(float pan);
    void SetVolume(float volume);

    IAudioBackend::ChannelId Channel() const { return channel_; }

private:
    std::shared_ptr<TCSound> sound_;
    IAudioBackend::ChannelId channel_ = 0;
    int pauses_ = 0;
};

// Builds a sound of every "sounds/sound" element, in order; a later sound of the same name
// replaces (and frees) the earlier one.
void LoadSounds(pugi::xml_node cfgRoot);
// An empty or unlisted name does nothing.
void PlaySound(const std::string& name);
// Null while sound is down or for an unlisted name.
std::unique_ptr<TCSoundChannel> CreateSoundChannel(const std::string& name);
void PauseAllSounds();
void ResumeAllSounds();
// An unlisted group does nothing.
void PauseSoundGroup(const std::string& group);
void ResumeSoundGroup(const std::string& group);
void StopSoundGroup(const std::string& group);
// 0-100, at once for every group and for later plays.
void SetSoundVolume(int volume);
int GetSoundVolume();
// While the application is muted every sound plays at volume 0; the volume itself is kept.
void SetSoundsSilenced(bool silenced);
// Stops and frees every sound and forgets the groups.
void FreeSounds();
// With the developer switch SoundLog, "<kind>(<channel>): <path>" to the debugger output.
void LogSoundPlay(const char* kind, IAudioBackend::ChannelId channel, const std::string& path);
