#pragma once
#include <memory>
#include <vector>

#include "engine/core/TCMusicChannel.h"

// A music stream's play list. Playing takes the next track with a fade-in; stopping fades the
// current one out.
class TCTracks {
public:
    virtual ~TCTracks() = default;

    virtual void Play();
    virtual void Stop();
    virtual void Resume();
    virtual void Pause();
    virtual void Add(std::unique_ptr<TCMusicChannel> track);
    // Null when the policy picks none.
    virtual TCMusicChannel* Next() { return nullptr; }

    size_t Count() const { return tracks_.size(); }
    TCMusicChannel* Track(size_t index) const { return tracks_.at(index).get(); }
    TCMusicChannel* Current() const { return current_; }

protected:
    std::vector<std::unique_ptr<TCMusicChannel>> tracks_;
    TCMusicChannel* current_ = nullptr;
};

// One after another, from the first again after the last.
class TCTracksStepByStep : public TCTracks {
public:
    TCMusicChannel* Next() override;

private:
    size_t next_ = 0;
};

// Every track once per cycle in random order, and never the same one twice in a row.
class TCTracksRandom : public TCTracks {
public:
    void Add(std::unique_ptr<TCMusicChannel> track) override;
    TCMusicChannel* Next() override;

private:
    std::vector<TCMusicChannel*> bag_; // not drawn yet in this cycle
};

// All tracks at once, kept in step.
class TCTracksSync : public TCTracks {
public:
    void Play() override;
    void Stop() override;
    void Resume() override;
    void Pause() override;

private:
    template <typename Action>
    void ForEachTrack(const char* operation, Action action);
};
