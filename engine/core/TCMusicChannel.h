#pragma once
#include <list>
#include <string>

#include "engine/core/IAudioBackend.h"

// One music track: a looping sample, loaded on its first play. Every play is a voice of its own
// (channel and fade level), so an old play fading out never touches a newer one.
class TCMusicChannel {
public:
    explicit TCMusicChannel(std::string path) : path_(std::move(path)) {}
    ~TCMusicChannel();
    TCMusicChannel(const TCMusicChannel&) = delete;
    TCMusicChannel& operator=(const TCMusicChannel&) = delete;

    // From silence up to the music volume in one second, or at once.
    void Play(bool fadeIn);
    // Down to silence in two seconds, or at once; the sample goes once no play of it sounds.
    void Stop(bool fadeOut);
    // These act on the latest play.
    void Pause();
    void Resume();
    void SetPan(float pan);
    void SetVolume(int volume);

    const std::string& Path() const { return path_; }
    IAudioBackend::SampleId Sample() const { return sample_; }
    // The latest play's channel, 0 when it has ended.
    IAudioBackend::ChannelId Channel() const { return current_ ? current_->channel : 0; }

private:
    struct Voice {
        TCMusicChannel* track;
        IAudioBackend::ChannelId channel;
        float level; // 0-1 of the music volume
    };
    static void FadeIn(IAudioBackend::ChannelId channel, void* voice);
    static void FadeOut(IAudioBackend::ChannelId channel, void* voice);
    // Plays that ended on their own (or were stopped from outside) leave their voices behind.
    void ForgetEndedVoices(IAudioBackend& audio);
    void SetLevel(Voice& voice, float level);
    // Stops the voice and forgets it; the sample goes when `unload` and nothing else sounds.
    void End(Voice& voice, bool unload);

    std::string path_;
    IAudioBackend::SampleId sample_ = 0;
    std::list<Voice> voices_; // stable addresses: the workers hold them
    Voice* current_ = nullptr;
};

// The music volume 0-100, for every track at once; starts at 100.
void SetMusicVolume(int volume);
int GetMusicVolume();
// While the application is muted the music plays at volume 0; the volume itself is kept.
void SetMusicSilenced(bool silenced);
