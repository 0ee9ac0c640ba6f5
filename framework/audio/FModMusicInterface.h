#pragma once
#include "framework/audio/FModInstance.h"
#include "framework/audio/MusicInterface.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Nubra {

struct PcmFormat;

// Tracker songs and sample music through the FMOD library, with volume fades run by Update.
// Sample music plays on the channel numbered by its song id. Without the library
// (IsAvailable false) it is as silent as the base and loads nothing.
class FModMusicInterface : public MusicInterface {
public:
    FModMusicInterface();  // takes a share of the library
    ~FModMusicInterface() override; // frees the samples, then its share
    FModMusicInterface(const FModMusicInterface&) = delete;
    FModMusicInterface& operator=(const FModMusicInterface&) = delete;

    bool IsAvailable() const { return fmod_ != nullptr; }

    bool LoadMusic(int songId, const std::string& fileName) override; // a tracker song
    void PlayMusic(int songId, int offset, bool noLoop) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    // Raises the volume from where it stands to the cap; starts the song when it is stopped.
    void FadeIn(int songId, int offset, double speed, bool noLoop) override;
    void FadeOut(int songId, bool stopSong, double speed) override;
    void FadeOutAll(bool stopSong, double speed) override;
    void SetSongVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override; // tracker songs only
    void SetVolume(double volume) override;
    void Update() override;

    // Sample music from "<intro>.ogg" played once and "<loop>.ogg" repeated after it, as one
    // sample. Both parts must have the same sample layout.
    virtual bool LoadSampleMusicWithLoop(int songId, const std::string& introFile, const std::string& loopFile,
                                         bool repeat);
    // Sample music from "<fileName>.ogg" (the name comes without extension).
    virtual bool LoadSampleMusic(int songId, const std::string& fileName, bool repeat);

    // master x volume x scale, truncated toward zero: the library's volume.
    static int ScaledVolume(double master, double volume, int scale);
    // Where the decoded sample of a music file is cached: "<data folder><file's folder>/cached/
    // <name>.wav"; empty (no cache) while there is no data folder.
    static std::string SampleCachePath(const std::string& fileName);

    struct SongInfo {
        FSOUND_SAMPLE* sample = nullptr;
        FMUSIC_MODULE* module = nullptr; // null for sample music
        double volume = 0.0;
        double volumeStep = 0.0; // added each update; negative while fading out
        double volumeCap = 1.0;
        bool stopWhenFadedOut = false;
        bool repeat = false;
    };

    std::map<int, SongInfo> songs;
    double masterVolume = 1.0;
    int32_t songVolumeScale = 100;
    int32_t sampleVolumeScale = 100;

private:
    SongInfo* Find(int songId);
    void FileSong(int songId, const SongInfo& song);
    bool FileSample(int songId, FSOUND_SAMPLE* sample, bool repeat); // false for no sample
    void StartSample(int songId, const SongInfo& song);
    void ApplyVolume(int songId, const SongInfo& song);
    // Decoded sample music: the cache when it holds the file, else the ".ogg", cached for later.
    FSOUND_SAMPLE* LoadCachedSample(const std::string& fileName);
    PcmFormat SampleFormat(FSOUND_SAMPLE* sample);
    std::vector<uint8_t> ReadSampleData(FSOUND_SAMPLE* sample, size_t length);
    bool WriteSampleData(FSOUND_SAMPLE* sample, const std::vector<uint8_t>& data);

    FMOD_INSTANCE* fmod_;
};

} // namespace Nubra
