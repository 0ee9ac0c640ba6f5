#pragma once
#include <cstdint>
#include <vector>

namespace Nubra {

// How the cels of a multi-cel image animate.
class AnimInfo {
public:
    enum Type { None = 0, Once = 1, PingPong = 2, Loop = 3 };

    // Grows the per-frame delays to reach the frame when needed (new delays 0).
    void SetPerFrameDelay(int frame, int delay);
    // Turns cels into frames: builds the ping-pong map, places the begin and end delays,
    // fills missing delays with the frame delay and sums the total time.
    void Compute(int celCount, int beginDelay, int endDelay);

    int32_t animType = None;
    int32_t frameDelay = 1; // of a frame without its own delay; at least 1 after Compute
    int32_t numCels = 1; // frames after Compute
    std::vector<int32_t> perFrameDelay; // empty, or one per frame
    std::vector<int32_t> frameMap; // cel of each frame; empty means frame i shows cel i
    int32_t totalAnimTime = 0;
};

} // namespace Nubra
