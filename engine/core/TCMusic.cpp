#include "engine/core/TCMusic.h"

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"

namespace {

std::unique_ptr<TCTracks> MakeTracks(const std::string& type)
{
    if (type == "stepbystep")
        return std::make_unique<TCTracksStepByStep>();
    if (type == "random")
        return std::make_unique<TCTracksRandom>();
    if (type == "sync")
        return std::make_unique<TCTracksSync>();
    return nullptr;
}

} // namespace

void TCMusic::LoadMusic(pugi::xml_node cfgRoot)
{
    ForEachNode(cfgRoot, "music/stream", [this](pugi::xml_node stream) {
        std::string name;
        if (!XmlGetString(stream, "name", name)) {
            WriteLog("TCMusic::LoadMusic failed. Stream node has no name");
            return false;
        }
        if (streams_.count(name)) {
            WriteLog("TCMusic::LoadMusic failed. Stream node with name '%s' already exists", name.c_str());
            return false;
        }
        std::string type = "stepbystep";
        XmlGetString(stream, "type", type);
        std::unique_ptr<TCTracks> tracks = MakeTracks(type);
        if (!tracks) {
            WriteLog("TCMusic::LoadMusic failed. Stream node with name '%s' has wrong type '%s'", name.c_str(),
                     type.c_str());
            return true;
        }
        for (pugi::xml_node track : stream.children("track")) {
            std::string path;
            if (!XmlGetString(track, "path", path)) {
                WriteLog("TCMusic::LoadMusic failed. Stream node '%s' has a track without path", name.c_str());
                return false;
            }
            tracks->Add(std::make_unique<TCMusicChannel>(path));
        }
        streams_[name] = std::move(tracks);
        return true;
    });
}

TCTracks* TCMusic::Find(const std::string& id) const
{
    const auto found = streams_.find(id);
    return found != streams_.end() ? found->second.get() : nullptr;
}

bool TCMusic::Change(const std::string& id)
{
    TCTracks* next = Find(id);
    if (!next && !id.empty())
        return true;
    if (TCTracks* playing = Find(current_)) {
        WriteLog("TCMusic::Change: Stopping music with ID '%s'", current_.c_str());
        playing->Stop();
    }
    if (next) {
        WriteLog("TCMusic::Change: Start playing music with ID '%s'", id.c_str());
        next->Play();
        current_ = id;
    }
    return true;
}

void TCMusic::Pause()
{
    if (TCTracks* playing = Find(current_))
        playing->Pause();
}

void TCMusic::Resume()
{
    if (TCTracks* playing = Find(current_))
        playing->Resume();
}

TCMusicChannel* TCMusic::GetSingleTrack(const std::string& id) const
{
    TCTracks* tracks = Find(id);
    return tracks && tracks->Count() == 1 ? tracks->Track(0) : nullptr;
}
