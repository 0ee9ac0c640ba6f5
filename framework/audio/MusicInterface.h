#pragma once
#include <string>

namespace Nubra {

// The application's music player. This base plays nothing: every operation is ignored and
// LoadMusic fails; it serves when music is switched off. Song ids are the caller's.
class MusicInterface {
public:
    virtual ~MusicInterface() = default;

    virtual bool LoadMusic(int songId, const std::string& fileName);
    virtual void PlayMusic(int songId, int offset, bool noLoop);
    virtual void StopMusic(int songId);
    virtual void PauseMusic(int songId);
    virtual void ResumeMusic(int songId);
    virtual void StopAllMusic() {}
    virtual void UnloadMusic(int songId);
    virtual void UnloadAllMusic() {}
    virtual void PauseAllMusic() {}
    virtual void ResumeAllMusic() {}
    // Volumes run from 0 to 1; a speed is the volume change per update step; an offset of -1
    // keeps the song's position.
    virtual void FadeIn(int songId, int offset, double speed, bool noLoop);
    virtual void FadeOut(int songId, bool stopSong, double speed);
    virtual void FadeOutAll(bool stopSong, double speed);
    virtual void SetSongVolume(int songId, double volume);
    virtual void SetSongLimit(int songId, double value);
    virtual bool IsPlaying(int songId);
    virtual void SetVolume(double volume) { (void)volume; } // the master music volume
    virtual void SetSongGain(int songId, double value);
    virtual void Update() {} // once per update step
};

// The music player the game runs with: it accepts every song and plays nothing.
class BassMusicInterface : public MusicInterface {
public:
    bool LoadMusic(int songId, const std::string& fileName) override;
};

} // namespace Nubra
