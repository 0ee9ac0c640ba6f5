#pragma once
#include <string>

namespace plat {

// Video (with its event queue), audio and timers, started once for the program's lifetime and
// shut down with this object. Starting the video side also turns SIGINT and SIGTERM into a quit
// event, so a terminal's Ctrl+C reaches the program as a close request.
class MediaSystems {
public:
    MediaSystems() = default;
    ~MediaSystems();
    MediaSystems(const MediaSystems&) = delete;
    MediaSystems& operator=(const MediaSystems&) = delete;

    bool Start(); // false, with Error() saying why, when any of them cannot start
    const std::string& Error() const { return error_; }

private:
    bool started_ = false;
    std::string error_;
};

} // namespace plat
