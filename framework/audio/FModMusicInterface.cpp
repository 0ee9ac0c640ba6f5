#include "framework/audio/FModMusicInterface.h"

#include "framework/audio/WaveFile.h"
#include "framework/util/PathUtils.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>

namespace Nubra {

FModMusicInterface::FModMusicInterface() : fmod_(GetFModInstance()) {}

FModMusicInterface::~FModMusicInterface()
{
    if (fmod_)
        for (auto& [id, song] : songs)
            if (song.sample) {
                fmod_->FSOUND_StopSound(id);
                fmod_->FSOUND_Sample_Free(song.sample);
            }
    ReleaseFModInstance();
}

int FModMusicInterface::ScaledVolume(double master, double volume, int scale)
{
    return int(master * volume * scale);
}

std::string FModMusicInterface::SampleCachePath(const std::string& fileName)
{
    std::string dataFolder = GetAppDataFolder();
    if (dataFolder.empty())
        return std::string();
    // The music's folder, relative and kept inside the data folder.
    std::string folder;
    std::string dir = GetFileDir(fileName);
    for (size_t start = 0; start < dir.size();) {
        size_t end = std::min(dir.find_first_of("/\\", start), dir.size());
        std::string part = dir.substr(start, end - start);
        if (part == "..")
            part = "_";
        if (!part.empty() && part != ".")
            folder += part + "/";
        start = end + 1;
    }
    return AddTrailingSlash(dataFolder) + folder + "cached/" + GetFileName(fileName, true) + ".wav";
}

FModMusicInterface::SongInfo* FModMusicInterface::Find(int songId)
{
    if (!fmod_)
        return nullptr;
    auto found = songs.find(songId);
    return found == songs.end() ? nullptr : &found->second;
}

void FModMusicInterface::FileSong(int songId, const SongInfo& song)
{
    if (SongInfo* old = Find(songId); old && old->sample) {
        fmod_->FSOUND_StopSound(songId);
        fmod_->FSOUND_Sample_Free(old->sample);
    }
    songs[songId] = song;
}

bool FModMusicInterface::FileSample(int songId, FSOUND_SAMPLE* sample, bool repeat)
{
    if (!sample)
        return false;
    SongInfo song;
    song.sample = sample;
    song.repeat = repeat;
    FileSong(songId, song);
    return true;
}

bool FModMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    if (!fmod_)
        return false;
    FMUSIC_MODULE* module = fmod_->FMUSIC_LoadSong(plat::ResolvePath(fileName).c_str());
    if (!module)
        return false;
    SongInfo song;
    song.module = module;
    FileSong(songId, song);
    return true;
}

bool FModMusicInterface::LoadSampleMusic(int songId, const std::string& fileName, bool repeat)
{
    if (!fmod_)
        return false;
    return FileSample(songId, LoadCachedSample(fileName), repeat);
}

bool FModMusicInterface::LoadSampleMusicWithLoop(int songId, const std::string& introFile,
                                                 const std::string& loopFile, bool repeat)
{
    if (!fmod_)
        return false;
    FSOUND_SAMPLE* intro = LoadCachedSample(introFile);
    FSOUND_SAMPLE* loop = intro ? LoadCachedSample(loopFile) : nullptr;
    FSOUND_SAMPLE* joined = nullptr;
    if (loop) {
        PcmFormat format = SampleFormat(intro);
        PcmFormat loopFormat = SampleFormat(loop);
        unsigned introLength = fmod_->FSOUND_Sample_GetLength(intro);
        unsigned loopLength = fmod_->FSOUND_Sample_GetLength(loop);
        int frequency = 0, volume = 255, pan = 128, priority = 255;
        fmod_->FSOUND_Sample_GetDefaults(intro, &frequency, &volume, &pan, &priority);
        bool sameLayout = format.BlockAlign() == loopFormat.BlockAlign() && format.BlockAlign() > 0;
        bool fits = uint64_t(introLength) + loopLength <= uint64_t(INT32_MAX) / 4 && loopLength > 0;
        if (sameLayout && fits)
            joined = fmod_->FSOUND_Sample_Alloc(FSOUND_FREE, int(introLength + loopLength),
                                                fmod_->FSOUND_Sample_GetMode(intro), frequency, volume, pan, priority);
        if (joined) {
            size_t align = size_t(format.BlockAlign());
            std::vector<uint8_t> data = ReadSampleData(intro, introLength * align);
            std::vector<uint8_t> loopData = ReadSampleData(loop, loopLength * align);
            data.insert(data.end(), loopData.begin(), loopData.end());
            WriteSampleData(joined, data);
            fmod_->FSOUND_Sample_SetLoopPoints(joined, int(introLength), int(introLength + loopLength - 1));
        }
    }
    for (FSOUND_SAMPLE* part : {intro, loop})
        if (part)
            fmod_->FSOUND_Sample_Free(part);
    return FileSample(songId, joined, repeat);
}

FSOUND_SAMPLE* FModMusicInterface::LoadCachedSample(const std::string& fileName)
{
    std::string cacheFile = SampleCachePath(fileName);
    if (!cacheFile.empty()) {
        plat::MakeDirs(GetFileDir(cacheFile));
        if (FSOUND_SAMPLE* cached = fmod_->FSOUND_Sample_Load(FSOUND_FREE, cacheFile.c_str(), 0, 0))
            return cached;
    }
    FSOUND_SAMPLE* sample = fmod_->FSOUND_Sample_Load(FSOUND_FREE, plat::ResolvePath(fileName + ".ogg").c_str(), 0, 0);
    if (sample && !cacheFile.empty()) {
        PcmFormat format = SampleFormat(sample);
        std::vector<uint8_t> data =
            ReadSampleData(sample, size_t(fmod_->FSOUND_Sample_GetLength(sample)) * size_t(format.BlockAlign()));
        WriteWaveFile(cacheFile, format, {data});
    }
    return sample;
}

PcmFormat FModMusicInterface::SampleFormat(FSOUND_SAMPLE* sample)
{
    unsigned mode = fmod_->FSOUND_Sample_GetMode(sample);
    PcmFormat format;
    int volume = 0, pan = 0, priority = 0;
    fmod_->FSOUND_Sample_GetDefaults(sample, &format.sampleRate, &volume, &pan, &priority);
    format.channels = mode & FSOUND_MONO ? 1 : 2;
    format.bitsPerSample = mode & FSOUND_8BITS ? 8 : 16;
    return format;
}

std::vector<uint8_t> FModMusicInterface::ReadSampleData(FSOUND_SAMPLE* sample, size_t length)
{
    void* parts[2] = {};
    unsigned lengths[2] = {};
    std::vector<uint8_t> data;
    if (length == 0 || length > size_t(INT32_MAX)
        || !fmod_->FSOUND_Sample_Lock(sample, 0, int(length), &parts[0], &parts[1], &lengths[0], &lengths[1]))
        return data;
    for (int i = 0; i < 2; ++i)
        if (parts[i])
            data.insert(data.end(), static_cast<uint8_t*>(parts[i]), static_cast<uint8_t*>(parts[i]) + lengths[i]);
    fmod_->FSOUND_Sample_Unlock(sample, parts[0], parts[1], lengths[0], lengths[1]);
    return data;
}

bool FModMusicInterface::WriteSampleData(FSOUND_SAMPLE* sample, const std::vector<uint8_t>& data)
{
    void* parts[2] = {};
    unsigned lengths[2] = {};
    if (data.empty() || data.size() > size_t(INT32_MAX)
        || !fmod_->FSOUND_Sample_Lock(sample, 0, int(data.size()), &parts[0], &parts[1], &lengths[0], &lengths[1]))
        return false;
    size_t copied = 0;
    for (int i = 0; i < 2; ++i) {
        size_t count = parts[i] ? std::min(size_t(lengths[i]), data.size() - copied) : 0;
        if (count)
            std::memcpy(parts[i], data.data() + copied, count);
        copied += count;
    }
    fmod_->FSOUND_Sample_Unlock(sample, parts[0], parts[1], lengths[0], lengths[1]);
    return copied == data.size();
}

void FModMusicInterface::StartSample(int songId, const SongInfo& song)
{
    fmod_->FSOUND_PlaySound(songId, song.sample);
    fmod_->FSOUND_SetLoopMode(songId, song.repeat ? FSOUND_LOOP_NORMAL : FSOUND_LOOP_OFF);
}

void FModMusicInterface::ApplyVolume(int songId, const SongInfo& song)
{
    if (song.module)
        fmod_->FMUSIC_SetMasterVolume(song.module, ScaledVolume(masterVolume, song.volume, songVolumeScale));
    else
        fmod_->FSOUND_SetVolume(songId, ScaledVolume(masterVolume, song.volume, sampleVolumeScale));
}

void FModMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    SongInfo* song = Find(songId);
    if (!song)
        return;
    song->volume = song->volumeCap;
    song->volumeStep = 0.0;
    if (song->module) {
        ApplyVolume(songId, *song);
        fmod_->FMUSIC_SetLooping(song->module, !noLoop);
        fmod_->FMUSIC_PlaySong(song->module);
        fmod_->FMUSIC_SetOrder(song->module, offset);
    } else {
        StartSample(songId, *song);
        ApplyVolume(songId, *song);
    }
}

void FModMusicInterface::StopMusic(int songId)
{
    SongInfo* song = Find(songId);
    if (!song)
        return;
    song->volume = 0.0;
    if (song->module)
        fmod_->FMUSIC_StopSong(song->module);
    else
        fmod_->FSOUND_StopSound(songId);
}

void FModMusicInterface::PauseMusic(int songId)
{
    if (SongInfo* song = Find(songId))
        song->module ? fmod_->FMUSIC_SetPaused(song->module, true) : fmod_->FSOUND_SetPaused(songId, true);
}

void FModMusicInterface::ResumeMusic(int songId)
{
    if (SongInfo* song = Find(songId))
        song->module ? fmod_->FMUSIC_SetPaused(song->module, false) : fmod_->FSOUND_SetPaused(songId, false);
}

void FModMusicInterface::StopAllMusic()
{
    for (auto& entry : songs)
        StopMusic(entry.first);
}

void FModMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    SongInfo* song = Find(songId);
    if (!song)
        return;
    song->volumeStep = speed;
    if (!song->module) {
        if (!fmod_->FSOUND_IsPlaying(songId))
            StartSample(songId, *song);
        ApplyVolume(songId, *song);
        return;
    }
    ApplyVolume(songId, *song);
    fmod_->FMUSIC_SetLooping(song->module, !noLoop);
    if (!fmod_->FMUSIC_IsPlaying(song->module))
        fmod_->FMUSIC_PlaySong(song->module);
    if (offset != -1)
        fmod_->FMUSIC_SetOrder(song->module, offset);
}

void FModMusicInterface::FadeOut(int songId, bool stopSong, double speed)
{
    if (SongInfo* song = Find(songId)) {
        song->volumeStep = -speed;
        song->stopWhenFadedOut = stopSong;
    }
}

void FModMusicInterface::FadeOutAll(bool stopSong, double speed)
{
    for (auto& entry : songs)
        FadeOut(entry.first, stopSong, speed);
}

void FModMusicInterface::SetSongVolume(int songId, double volume)
{
    if (SongInfo* song = Find(songId)) {
        song->volume = volume;
        ApplyVolume(songId, *song);
    }
}

bool FModMusicInterface::IsPlaying(int songId)
{
    SongInfo* song = Find(songId);
    return song && song->module && fmod_->FMUSIC_IsPlaying(song->module);
}

void FModMusicInterface::SetVolume(double volume)
{
    masterVolume = volume;
    if (fmod_)
        for (auto& [id, song] : songs)
            ApplyVolume(id, song);
}

void FModMusicInterface::Update()
{
    if (!fmod_)
        return;
    for (auto& [id, song] : songs) {
        if (song.volumeStep == 0.0)
            continue;
        song.volume += song.volumeStep;
        if (song.volume > song.volumeCap) {
            song.volume = song.volumeCap;
            song.volumeStep = 0.0;
        } else if (song.volume < 0.0) {
            song.volume = 0.0;
            song.volumeStep = 0.0;
            if (song.stopWhenFadedOut)
                StopMusic(id);
        }
        ApplyVolume(id, song);
    }
}

} // namespace Nubra
