// The fixed-step scheduler of the application object: update steps at a fixed period however
// fast or slow drawing is, drawing only when something changed, sleeping when idle.
#include <algorithm>
#include <cmath>

#include "framework/app/NubraAppBase.h"
#include "framework/util/SectionProfiler.h"
#include "framework/widgets/Widget.h"
#include "platform/Clock.h"
#include "platform/Thread.h"

namespace Nubra {
namespace {

constexpr double kMaxTimeBehindMs = 200.0;
constexpr int32_t kRelaxMs = 1000;
constexpr uint32_t kForcedPresentMs = 1000;
constexpr uint32_t kFastCheckMaxMs = 800;
constexpr int32_t kFastChecksToGiveUp = 3;
constexpr int32_t kMaxLoadingYieldMs = 250;

// Raised while drawing and while deferred widgets are deleted: neither may run inside the other.
int gDeleteReentrancy = 0;

class ReentrancyScope {
public:
    ReentrancyScope() { ++gDeleteReentrancy; }
    ~ReentrancyScope() { --gDeleteReentrancy; }
    ReentrancyScope(const ReentrancyScope&) = delete;
    ReentrancyScope& operator=(const ReentrancyScope&) = delete;
};

// Displays that do not say their rate report 0; nothing below 24 Hz is a real refresh rate.
float UsableRefreshRate(int32_t hz) { return hz < 24 ? 60.0f : float(hz); }

// The scheduler's pace for one pass.
struct StepTiming {
    float frameTime;    // ms per step
    float stepFraction; // update steps per step of the scheduler
};

} // namespace

void NubraAppBase::MainLoop()
{
    if (shutDown)
        return;
    do {
        leaveUpdateLoop = false;
        UpdateApp();
    } while (!shutDown);
}

bool NubraAppBase::UpdateApp()
{
    bool updated = false;
    do {
        if (!UpdateAppStep(updated))
            return false;
    } while (!updated);
    return true;
}

bool NubraAppBase::UpdateAppStep(bool& updated)
{
    updated = false;
    if (leaveUpdateLoop)
        return false;
    if (updateState == 3)
        updateState = 0;
    ++updateNesting;
    if (updateState == 0) {
        PumpMessages();
        DemoInputStep();
        if (!ProcessDeferredMessages(true))
            updateState = 1;
    } else {
        uint32_t before = updateCount;
        Process(true);
        updated = updateCount != before;
    }
    --updateNesting;
    return true;
}

void NubraAppBase::PumpMessages()
{
    plat::Message message;
    while (!shutDown && plat::PollMessage(message))
        WindowProc(message);
    if (!shutDown)
        SynthesizeTimer();
    int32_t type = 0, parameter = 0;
    while (!shutDown && instanceGuard_.Receive(&type, &parameter))
        HandleNotifyGameMessage(type, parameter);
}

bool NubraAppBase::VSyncTimingOn() const
{
    return !playingDemo && vsyncTimingAllowed && !nothingDrawnLastTime && !vsyncBroken
           && (!physicallyWindowed || (waitForVSync && !vsyncUnusableWindowed));
}

void NubraAppBase::UpdateTimeBehind()
{
    uint32_t now = plat::NowMs();
    if (hasTimingCheck) {
        uint32_t elapsed = now - lastTimingCheck;
        timeBehind = std::min(timeBehind + elapsed, kMaxTimeBehindMs);
        relaxCounter = int32_t(std::max<int64_t>(int64_t(relaxCounter) - elapsed, 0));
    }
    lastTimingCheck = now;
    hasTimingCheck = true;
}

void NubraAppBase::ResetUpdateTiming(bool relax)
{
    timeBehind = 0.0;
    lastTimingCheck = plat::NowMs();
    hasTimingCheck = true;
    if (relax)
        relaxCounter = kRelaxMs;
}

bool NubraAppBase::Process(bool allowSleep)
{
    if (shutdownRequested.exchange(false))
        Shutdown();

    const bool vsyncTiming = VSyncTimingOn();
    StepTiming timing{float(updatePeriod) / float(updateMultiplier), 1.0f};
    if (vsyncTiming) {
        float refresh = UsableRefreshRate(refreshRate);
        timing.frameTime = (1000.0f / refresh) / float(updateMultiplier);
        timing.stepFraction = 1000.0f / (float(updatePeriod) * refresh);
    }

    if (playingDemo && DemoFastForward())
        return true;

    // Halted: messages are still pumped, at the update period rather than flat out.
    if (paused || updateMultiplier <= 0.0) {
        updateState = 3;
        ProcessSafeDeleteWidgets();
        if (!allowSleep)
            return false;
        plat::SleepMs(uint32_t(std::max(updatePeriod, 1)));
        return true;
    }

    const uint32_t now = plat::NowMs();
    uint32_t slept = 0;
    if (!vsyncTiming)
        UpdateTimeBehind();

    bool drawBranch = updateState != 1 && updateState != 2;
    if (updateState == 1) {
        ++updatesSinceDraw;
        const int limit = int(std::ceil(updateMultiplier * 10.0));
        double threshold = timing.frameTime;
        if (vsyncTiming)
            threshold = updatedSinceDraw ? std::trunc(timing.frameTime * 0.75f) : 0.0;
        if ((updatesSinceDraw >= limit && completionHandled) || threshold > timeBehind) {
            drawBranch = true;
        } else {
            // Steps that come faster than the display refreshes mean its vertical sync does not
            // pace us: after three such runs, time the steps by the clock for good.
            if (!playingDemo && updateMultiplier == 1.0
                && ++stepsSinceFastCheck >= (updatePeriod + 999) / updatePeriod) {
                if (now - lastFastCheckTime <= kFastCheckMaxMs) {
                    if (++fastCheckCount >= kFastChecksToGiveUp)
                        vsyncBroken = true;
                } else {
                    fastCheckCount = 0;
                }
                lastFastCheckTime = now;
                stepsSinceFastCheck = 0;
            }
            if (DoUpdateFrames())
                updateState = 2;
            updatedSinceDraw = true;
        }
    } else if (updateState == 2) {
        updateState = 3;
        updateFraction += timing.stepFraction - 1.0;
        ProcessSafeDeleteWidgets();
        while (updateFraction >= 1.0) {
            DemoInputStep();
            ++updatesSinceDraw;
            if (!DoUpdateFrames())
                break;
            ProcessSafeDeleteWidgets();
            updateFraction -= 1.0;
        }
        UpdateFrameF(timing.stepFraction);
        ProcessSafeDeleteWidgets();
        timeBehind -= timing.frameTime;
        if (vsyncTiming)
            timeBehind -= 0.2;
        timeBehind = std::max(timeBehind, 0.0);
        if (relaxCounter > 0)
            timeBehind = 0.0;
    }

    if (drawBranch) {
        updateState = 3;
        updatesSinceDraw = 0;
        if (updatedSinceDraw) {
            DrawDirtyStuff();
        } else {
            // Rounded up: a sleep of less than the remainder would only spin until it has passed.
            int sleepMs = int(std::ceil(timing.frameTime - timeBehind));
            if (sleepMs > 0) {
                if (!allowSleep)
                    return false;
                ++sleepCount;
                plat::SleepMs(uint32_t(sleepMs));
                slept = uint32_t(sleepMs);
            }
        }
    }

    // Leave the loading thread about two thirds of the processor.
    if (loadingInProgress) {
        int32_t pass = int32_t(plat::NowMs() - now);
        int32_t yield = std::min(2 * (pass - int32_t(slept)) - int32_t(slept), kMaxLoadingYieldMs);
        if (yield >= 0) {
            if (!allowSleep)
                return false;
            plat::SleepMs(uint32_t(yield));
        }
    }

    ProcessSafeDeleteWidgets();
    return true;
}

bool NubraAppBase::DoUpdateFrames()
{
    SectionProfiler::Scope section("NubraAppBase::DoUpdateFrames");
    if (playingDemo) {
        // The loading completes where the recording has it, once the loading thread is done.
        if (!completionHandled && demoStream.DueEvent(kDemoLoadingCompleted)) {
            if (!loadingCompleted)
                return false;
            demoStream.ConsumeEvent();
            HandleLoadingCompletion();
        }
        // What the recording has before this update must happen first.
        if (demoStream.Due())
            return false;
    } else if (loadingCompleted && !completionHandled) {
        // Before the hook, whose own recorded reads must follow it on playback.
        RecordDemo({false, kDemoLoadingCompleted, {}});
        HandleLoadingCompletion();
    }
    UpdateFrames();
    return true;
}

void NubraAppBase::HandleLoadingCompletion()
{
    plat::SetThreadPriority(plat::ThreadPriority::Normal);
    completionHandled = true;
    loadingInProgress = false;
    ApplyScreenSaverPermission();
    LoadingThreadCompleted();
}

void NubraAppBase::UpdateFrames()
{
    ++updateCount;
    if (!minimized && widgetManager->UpdateFrame())
        ++stepsWithChange;
    if (musicInterface)
        musicInterface->Update();
    CleanSharedImages();
}

void NubraAppBase::UpdateFrameF(float fraction)
{
    if (vsyncTimingAllowed && !minimized)
        widgetManager->UpdateFrameF(fraction);
}

bool NubraAppBase::DrawDirtyStuff()
{
    SectionProfiler::Scope section("NubraAppBase::DrawDirtyStuff");
    ReentrancyScope reentrancy;
    const uint32_t start = plat::NowMs();
    auto finishWithoutPresent = [this] {
        updatedSinceDraw = false;
        nothingDrawnLastTime = true;
        return false;
    };

    // A lost display only tries to come back; nothing is drawn until it has.
    if (displayLost) {
        Redraw();
        return finishWithoutPresent();
    }

    inDraw = true;
    const bool drawn = widgetManager->DrawScreen(this);
    inDraw = false;
    const uint32_t drawnAt = plat::NowMs();
    if (!drawn && drawnAt - lastDrawTime < kForcedPresentMs && !forceRedraw)
        return finishWithoutPresent();
    if (plat::MsBefore(drawnAt, nextDrawTime))
        return finishWithoutPresent();

    ++drawCount;
    nothingDrawnLastTime = false;
    drawTime += drawnAt - start;

    if (waitForVSync && physicallyWindowed && vsyncUnusableWindowed) {
        uint32_t frameMs = uint32_t(1000.0f / UsableRefreshRate(refreshRate));
        uint32_t since = plat::NowMs() - lastDrawTime;
        if (since < frameMs)
            plat::SleepMs(frameMs - since);
    }

    const uint32_t now = plat::NowMs();
    lastDrawTime = now;
    Redraw();
    UpdateTimeBehind();
    const uint32_t presented = plat::NowMs();
    screenBltTime += presented - now;

    updatedSinceDraw = false;
    forceRedraw = false;
    // While the loading thread works, draws are spaced out to leave it the processor.
    if (loadingThreadStarted && !loadingCompleted) {
        nextDrawTime += std::max<uint32_t>(presented - start, 15) + 35;
        if (plat::MsBefore(now, nextDrawTime))
            return true;
    }
    nextDrawTime = now;
    return true;
}

bool NubraAppBase::Redraw()
{
    SectionProfiler::Scope section("NubraAppBase::Redraw");
    if (displayLost)
        return RestoreLostDisplay();
    const bool shown = ddInterface && ddInterface->Redraw();
    // A frame that could not be shown means the display must be set up again.
    if (!shown && ddInterface && ddInterface->initialized)
        displayLost = true;
    return shown;
}

void NubraAppBase::SafeDeleteWidget(Widget* widget)
{
    // Asked twice, it must still be deleted once.
    for (const auto& entry : deferredDeletes_)
        if (entry.second == widget)
            return;
    deferredDeletes_.emplace_back(updateNesting, widget);
}

void NubraAppBase::ProcessSafeDeleteWidgets()
{
    if (gDeleteReentrancy > 0)
        return;
    ReentrancyScope reentrancy;
    // Taken out first: a destructor may ask for more deletions.
    std::list<std::pair<int, Widget*>> due;
    for (auto it = deferredDeletes_.begin(); it != deferredDeletes_.end();) {
        auto next = std::next(it);
        if (it->first >= updateNesting)
            due.splice(due.end(), deferredDeletes_, it);
        it = next;
    }
    for (auto& entry : due)
        delete entry.second;
}

} // namespace Nubra
