#include "framework/audio/MusicInterface.h"

namespace Nubra {

bool MusicInterface::LoadMusic(int, const std::string&) { return false; }
void MusicInterface::PlayMusic(int, int, bool) {}
void MusicInterface::StopMusic(int) {}
void MusicInterface::PauseMusic(int) {}
void MusicInterface::ResumeMusic(int) {}
void MusicInterface::UnloadMusic(int) {}
void MusicInterface::FadeIn(int, int, double, bool) {}
void MusicInterface::FadeOut(int, bool, double) {}
void MusicInterface::FadeOutAll(bool, double) {}
void MusicInterface::SetSongVolume(int, double) {}
void MusicInterface::SetSongLimit(int, double) {}
bool MusicInterface::IsPlaying(int) { return false; }
void MusicInterface::SetSongGain(int, double) {}

bool BassMusicInterface::LoadMusic(int, const std::string&) { return true; }

} // namespace Nubra
