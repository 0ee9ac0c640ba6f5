#pragma once
#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>

#include "engine/core/TCTracks.h"

// The music player: named streams from "cfg\cfg.xml", one of them current. A change fades the
// old stream's track out while the new one fades in.
class TCMusic {
public:
    // Reads "music/stream" in order. A stream without a name, a second stream of one name or a
    // track without a path ends the reading; a stream of an unknown type is skipped.
    void LoadMusic(pugi::xml_node cfgRoot);
    // Stops the current stream and starts the named one, the current one too (it starts over).
    // An unknown name changes nothing; the empty name only stops the music.
    bool Change(const std::string& id);
    void Pause();
    void Resume();
    // The track of a stream of exactly one track, else null.
    TCMusicChannel* GetSingleTrack(const std::string& id) const;

    const std::string& CurrentId() const { return current_; }

private:
    TCTracks* Find(const std::string& id) const;

    std::string current_;
    std::map<std::string, std::unique_ptr<TCTracks>> streams_;
};
