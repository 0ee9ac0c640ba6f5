#include "engine/core/TCMusicChannel.h"

#include <algorithm>
#include <cmath>

#include "engine/core/SoundLibrary.h"
#include "engine/core/TCSound.h"

namespace {

constexpr int kMusicGroup = -1;
constexpr float kFadeStep = 0.05f;
constexpr uint32_t kFadeInPeriodMs = 50;
constexpr uint32_t kFadeOutPeriodMs = 100;

int gMusicVolume = 100;
bool gSilenced = false;

int MusicOutputVolume() { return gSilenced ? 0 : gMusicVolume; }

void ApplyMusicVolume()
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->SetGroupVolume(kMusicGroup, MusicOutputVolume());
}

} // namespace

void SetMusicVolume(int volume)
{
    gMusicVolume = volume;
    ApplyMusicVolume();
}

int GetMusicVolume() { return gMusicVolume; }

void SetMusicSilenced(bool silenced)
{
    if (silenced == gSilenced)
        return;
    gSilenced = silenced;
    ApplyMusicVolume();
}

TCMusicChannel::~TCMusicChannel()
{
    while (!voices_.empty())
        End(voices_.front(), true);
}

void TCMusicChannel::Play(bool fadeIn)
{
    IAudioBackend* audio = GetAudioBackend();
    if (!audio)
        return;
    ForgetEndedVoices(*audio);
    if (sample_ == 0)
        sample_ = audio->LoadSample(path_.c_str());
    const auto channel = audio->PlaySample(sample_, true, kMusicGroup, 0, 50);
    LogSoundPlay("Play1", channel, path_);
    if (channel == 0)
        return;
    current_ = &voices_.emplace_back(Voice{this, channel, 0.0f});
    if (fadeIn)
        audio->SetChannelWorker(channel, FadeIn, current_, kFadeInPeriodMs);
    else
        SetLevel(*current_, 1.0f);
}

void TCMusicChannel::Stop(bool fadeOut)
{
    IAudioBackend* audio = GetAudioBackend();
    if (!audio || !current_)
        return;
    if (fadeOut)
        audio->SetChannelWorker(current_->channel, FadeOut, current_, kFadeOutPeriodMs);
    else
        End(*current_, false);
}

void TCMusicChannel::Pause()
{
    if (IAudioBackend* audio = GetAudioBackend(); audio && current_)
        audio->PauseChannel(current_->channel, true);
}

void TCMusicChannel::Resume()
{
    if (IAudioBackend* audio = GetAudioBackend(); audio && current_)
        audio->PauseChannel(current_->channel, false);
}

void TCMusicChannel::SetPan(float pan)
{
    if (IAudioBackend* audio = GetAudioBackend(); audio && current_)
        audio->SetChannelPan(current_->channel, static_cast<int>(std::lround(pan)));
}

void TCMusicChannel::SetVolume(int volume)
{
    if (IAudioBackend* audio = GetAudioBackend(); audio && current_)
        audio->SetChannelVolume(current_->channel, volume);
}

void TCMusicChannel::ForgetEndedVoices(IAudioBackend& audio)
{
    // Their workers went with their channels, so nothing refers to them any more.
    for (auto voice = voices_.begin(); voice != voices_.end();) {
        if (audio.GetChannelStatus(voice->channel) != IAudioBackend::Stopped) {
            ++voice;
            continue;
        }
        if (current_ == &*voice)
            current_ = nullptr;
        voice = voices_.erase(voice);
    }
}

void TCMusicChannel::SetLevel(Voice& voice, float level)
{
    voice.level = level;
    const int volume = static_cast<int>(std::lround(level * static_cast<float>(MusicOutputVolume())));
    if (IAudioBackend* audio = GetAudioBackend())
        audio->SetChannelVolume(voice.channel, std::clamp(volume, 0, 100));
}

void TCMusicChannel::FadeIn(IAudioBackend::ChannelId channel, void* object)
{
    auto& voice = *static_cast<Voice*>(object);
    // Half a step of slack: twenty float steps of 0.05 need not sum to exactly 1.
    const bool done = voice.level + kFadeStep >= 1.0f - kFadeStep / 2;
    voice.track->SetLevel(voice, done ? 1.0f : voice.level + kFadeStep);
    if (done)
        GetAudioBackend()->SetChannelWorker(channel, nullptr, nullptr, 0);
}

void TCMusicChannel::FadeOut(IAudioBackend::ChannelId, void* object)
{
    auto& voice = *static_cast<Voice*>(object);
    if (voice.level - kFadeStep > kFadeStep / 2)
        voice.track->SetLevel(voice, voice.level - kFadeStep);
    else
        voice.track->End(voice, true); // last use of the voice: it is freed here
}

void TCMusicChannel::End(Voice& voice, bool unload)
{
    if (IAudioBackend* audio = GetAudioBackend()) {
        audio->SetChannelWorker(voice.channel, nullptr, nullptr, 0);
        audio->StopChannel(voice.channel);
    }
    if (current_ == &voice)
        current_ = nullptr;
    voices_.remove_if([&](const Voice& entry) { return &entry == &voice; });
    if (!unload || sample_ == 0)
        return;
    IAudioBackend* audio = GetAudioBackend();
    const bool sounding = audio && std::any_of(voices_.begin(), voices_.end(), [&](const Voice& entry) {
        return audio->GetChannelStatus(entry.channel) != IAudioBackend::Stopped;
    });
    if (!sounding) {
        if (audio)
            audio->UnloadSample(sample_);
        sample_ = 0;
    }
}
