#pragma once
#include <signal.h>

#include <string>

namespace plat {

// Video (with its event queue), audio and timers, started once for the program's lifetime and
// shut down with this object. Starting the video side also turns SIGINT, SIGTERM, SIGHUP and
// SIGQUIT into a quit event, so a terminal's Ctrl+C or its closing reaches the program as a close
// request. Without a display (no DISPLAY or WAYLAND_DISPLAY) nothing starts, unless
// SDL_VIDEODRIVER names a driver.
class MediaSystems {
public:
    MediaSystems() = default;
    ~MediaSystems();
    MediaSystems(const MediaSystems&) = delete;
    MediaSystems& operator=(const MediaSystems&) = delete;

    bool Start(); // false, with Error() saying why, when any of them cannot start
    const std::string& Error() const { return error_; }

private:
    void ForwardSignals();

    bool started_ = false;
    bool forwarded_[2] = {};
    struct sigaction previous_[2] = {};
    std::string error_;
};

// The video driver in use ("x11", "wayland", "dummy" ...); empty before video has started.
std::string VideoDriverName();

} // namespace plat
