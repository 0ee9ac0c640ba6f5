#include "framework/graphics/AnimInfo.h"

#include <cstddef>
#include <numeric>

namespace Nubra {

void AnimInfo::SetPerFrameDelay(int frame, int delay)
{
    if (frame < 0)
        return;
    if (perFrameDelay.size() <= size_t(frame))
        perFrameDelay.resize(size_t(frame) + 1, 0);
    perFrameDelay[size_t(frame)] = delay;
}

void AnimInfo::Compute(int celCount, int beginDelay, int endDelay)
{
    numCels = celCount < 1 ? 1 : celCount;
    if (frameDelay < 1)
        frameDelay = 1;

    if (animType == PingPong && numCels >= 2) {
        frameMap.clear();
        for (int cel = 0; cel < numCels; ++cel)
            frameMap.push_back(cel);
        for (int cel = numCels - 2; cel >= 1; --cel)
            frameMap.push_back(cel);
    }
    if (!frameMap.empty())
        numCels = int32_t(frameMap.size());

    if (beginDelay > 0)
        SetPerFrameDelay(0, beginDelay);
    if (endDelay > 0)
        SetPerFrameDelay(numCels - 1, endDelay);

    if (!perFrameDelay.empty()) {
        perFrameDelay.resize(size_t(numCels), 0);
        for (int32_t& delay : perFrameDelay)
            if (delay < 1)
                delay = frameDelay;
        totalAnimTime = std::accumulate(perFrameDelay.begin(), perFrameDelay.end(), int32_t(0));
    } else {
        totalAnimTime = numCels * frameDelay;
    }
}

} // namespace Nubra
