#include "engine/core/TCTracks.h"

#include "engine/core/Log.h"
#include "platform/CRand.h"

void TCTracks::Play()
{
    current_ = Next();
    if (!current_)
        return;
    WriteLog("TCTracks::Play: Current track is '%s'", current_->Path().c_str());
    current_->Play(true);
}

void TCTracks::Stop()
{
    if (!current_)
        return;
    WriteLog("TCTracks::Stop: Current track is '%s'", current_->Path().c_str());
    current_->Stop(true);
    current_ = nullptr;
}

void TCTracks::Resume()
{
    if (!current_)
        return;
    WriteLog("TCTracks::Resume: Current track is '%s'", current_->Path().c_str());
    current_->Resume();
}

void TCTracks::Pause()
{
    if (!current_)
        return;
    WriteLog("TCTracks::Pause: Current track is '%s'", current_->Path().c_str());
    current_->Pause();
}

void TCTracks::Add(std::unique_ptr<TCMusicChannel> track) { tracks_.push_back(std::move(track)); }

TCMusicChannel* TCTracksStepByStep::Next()
{
    if (tracks_.empty())
        return nullptr;
    if (next_ >= tracks_.size())
        next_ = 0;
    return tracks_[next_++].get();
}

void TCTracksRandom::Add(std::unique_ptr<TCMusicChannel> track)
{
    bag_.push_back(track.get());
    TCTracks::Add(std::move(track));
}

TCMusicChannel* TCTracksRandom::Next()
{
    if (tracks_.size() < 2)
        return tracks_.empty() ? nullptr : tracks_[0].get();
    if (bag_.size() <= 1) {
        // The last of a cycle cannot open the next one.
        TCMusicChannel* last = bag_.empty() ? nullptr : bag_[0];
        bag_.clear();
        for (const auto& track : tracks_)
            if (track.get() != last)
                bag_.push_back(track.get());
        if (last)
            return last;
    }
    double r = 0;
    do
        r = plat::CRand() / double(plat::kCRandMax);
    while (r == 1.0);
    const auto at = bag_.begin() + static_cast<ptrdiff_t>(r * double(bag_.size()));
    TCMusicChannel* track = *at;
    bag_.erase(at);
    return track;
}

template <typename Action>
void TCTracksSync::ForEachTrack(const char* operation, Action action)
{
    std::string paths;
    for (const auto& track : tracks_) {
        action(*track);
        paths += "'" + track->Path() + "'\n";
    }
    WriteLog("\nTCTracksSync::%s: The tracks are %s", operation, paths.c_str());
}

void TCTracksSync::Play()
{
    ForEachTrack("Play", [](TCMusicChannel& track) { track.Play(true); });
}

void TCTracksSync::Stop()
{
    ForEachTrack("Stop", [](TCMusicChannel& track) { track.Stop(true); });
}

void TCTracksSync::Resume()
{
    ForEachTrack("Resume", [](TCMusicChannel& track) { track.Resume(); });
}

void TCTracksSync::Pause()
{
    ForEachTrack("Pause", [](TCMusicChannel& track) { track.Pause(); });
}
