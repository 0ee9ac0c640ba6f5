#include "engine/core/TutorialEvents.h"

namespace {

// Main thread only.
std::function<void(int)>& TutorialListener()
{
    static std::function<void(int)> listener;
    return listener;
}

} // namespace

void SetTutorialListener(std::function<void(int event)> listener) { TutorialListener() = std::move(listener); }

void SendTutorialEvent(int event)
{
    // Copied: the listener may set another while it runs.
    if (const std::function<void(int)> listener = TutorialListener())
        listener(event);
}
