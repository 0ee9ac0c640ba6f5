#pragma once
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "Utf16File.h"
#include "engine/core/FakeAudioBackend.h"
#include "engine/core/SoundLibrary.h"
#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "engine/core/XmlHelpers.h"

namespace fixtures {

// The fake back end noting each call the engine makes of it, as "PlaySample 1 loop=0 group=2
// volume=100 pan=50"; calls the back end makes of itself are left out.
class RecordingAudio : public FakeAudioBackend {
public:
    std::vector<std::string> log;

    SampleId LoadSample(const char* path) override
    {
        Scope scope(*this);
        const SampleId sample = FakeAudioBackend::LoadSample(path);
        Note(scope, "LoadSample ", path, " -> ", sample);
        return sample;
    }
    void UnloadSample(SampleId sample) override { Forward([&] { MixerBackend::UnloadSample(sample); }, "UnloadSample ", sample); }
    ChannelId PlaySample(SampleId sample, bool loop, int group, int volume, int pan) override
    {
        Scope scope(*this);
        const ChannelId channel = FakeAudioBackend::PlaySample(sample, loop, group, volume, pan);
        Note(scope, "PlaySample ", sample, " loop=", loop, " group=", group, " volume=", volume, " pan=", pan);
        return channel;
    }
    void PauseSample(SampleId sample, bool pause) override
    {
        Forward([&] { MixerBackend::PauseSample(sample, pause); }, "PauseSample ", sample, pause);
    }
    void StopSample(SampleId sample) override { Forward([&] { MixerBackend::StopSample(sample); }, "StopSample ", sample); }
    void StartChannel(ChannelId channel) override { Forward([&] { MixerBackend::StartChannel(channel); }, "StartChannel ", channel); }
    void StopChannel(ChannelId channel) override { Forward([&] { MixerBackend::StopChannel(channel); }, "StopChannel ", channel); }
    void PauseChannel(ChannelId channel, bool pause) override
    {
        Forward([&] { MixerBackend::PauseChannel(channel, pause); }, "PauseChannel ", channel, pause);
    }
    void SetChannelVolume(ChannelId channel, int volume) override
    {
        Forward([&] { MixerBackend::SetChannelVolume(channel, volume); }, "SetChannelVolume ", channel, volume);
    }
    void SetChannelPan(ChannelId channel, int pan) override
    {
        Forward([&] { MixerBackend::SetChannelPan(channel, pan); }, "SetChannelPan ", channel, pan);
    }
    void SetGroupVolume(int group, int volume) override
    {
        Forward([&] { MixerBackend::SetGroupVolume(group, volume); }, "SetGroupVolume ", group, volume);
    }

private:
    struct Scope {
        explicit Scope(RecordingAudio& audio) : audio(audio), outer(audio.depth_++ == 0) {}
        ~Scope() { --audio.depth_; }
        RecordingAudio& audio;
        bool outer;
    };
    template <typename... Parts>
    void Note(const Scope& scope, const Parts&... parts)
    {
        if (!scope.outer)
            return;
        std::ostringstream line;
        ((line << parts), ...);
        log.push_back(line.str());
    }
    // The call is qualified, so it goes to the back end's own body and not back here.
    template <typename Call, typename First, typename... Rest>
    void Forward(Call call, const char* name, First first, Rest... rest)
    {
        Scope scope(*this);
        call();
        if constexpr (sizeof...(Rest) == 0)
            Note(scope, name, first);
        else
            Note(scope, name, first, ' ', rest...);
    }

    int depth_ = 0;
};

// Sound up at full volume on a recording back end, with sound files in a folder of their own and the
// configuration given as text.
class AudioFixture {
public:
    AudioFixture()
    {
        auto audio = std::make_unique<RecordingAudio>();
        audio_ = audio.get();
        library_.UseBackend(std::move(audio));
        library_.Start();
        // The volumes are process-wide: each test starts from the engine's own.
        SetSoundVolume(100);
        SetSoundsSilenced(false);
        SetMusicVolume(100);
        SetMusicSilenced(false);
        audio_->log.clear();
    }
    ~AudioFixture() { library_.Stop(); }

    RecordingAudio& Audio() { return *audio_; }
    // An empty file that the fake back end loads as a sample.
    std::string SoundFile(const std::string& name)
    {
        std::ofstream(folder_.File(name)) << "";
        return folder_.File(name);
    }
    // The "root" of a configuration document; %D in the text stands for the sound folder.
    pugi::xml_node Config(std::string text)
    {
        for (size_t at = text.find("%D"); at != std::string::npos; at = text.find("%D", at))
            text.replace(at, 2, folder_.File(""));
        document_ = CreateXmlDocument();
        LoadXmlBuffer(text.data(), text.size(), *document_);
        return document_->child("root");
    }

private:
    TempFolder folder_{"audio_fixture"};
    SoundLibrary library_;
    RecordingAudio* audio_ = nullptr;
    XmlDocument document_;
};

} // namespace fixtures
