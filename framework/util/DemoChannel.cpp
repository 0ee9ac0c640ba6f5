#include "framework/util/DemoChannel.h"

#include <atomic>

namespace Nubra {
namespace {

std::atomic<DemoChannel*> gDemoChannel{nullptr};

} // namespace

DemoChannel* GetDemoChannel()
{
    return gDemoChannel.load(std::memory_order_acquire);
}

void SetDemoChannel(DemoChannel* channel)
{
    gDemoChannel.store(channel, std::memory_order_release);
}

} // namespace Nubra
