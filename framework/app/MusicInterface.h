#pragma once

namespace Nubra {

// The application's music player. This base plays nothing: every operation is ignored.
class MusicInterface {
public:
    virtual ~MusicInterface() = default;

    virtual void StopAllMusic() {}
    virtual void SetVolume(double volume) { (void)volume; } // the master music volume, 0..1
    virtual void Update() {}                                // once per update step
};

} // namespace Nubra
