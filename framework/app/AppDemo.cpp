// The application object's demos: starting and ending a recording or a playback, the input a
// recording keeps and a playback gives back, and the keys that steer playback.
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "framework/app/CrashCatcher.h"
#include "framework/app/JumpListDialog.h"
#include "framework/app/NubraAppBase.h"
#include "framework/util/TwisterRandom.h"
#include "platform/Clock.h"

namespace Nubra {
namespace {

constexpr uint32_t kFastForwardDrawMs = 1000;

// The playback keys that jump to a time before the end of the recording, with that time.
struct JumpKey {
    char key;
    uint32_t seconds;
};
constexpr JumpKey kJumpKeys[] = {{'4', 120}, {'5', 90}, {'6', 60}, {'7', 30}, {'8', 10}, {'9', 5}};

// In the crash handler, once the report is written: what was recorded up to the crash.
void SaveRecordingAfterCrash()
{
    if (NubraAppBase* app = gNubraAppBase)
        app->WriteDemoFile();
}

} // namespace

bool NubraAppBase::ReadDemoFile(std::string* error)
{
    DemoRecording recording;
    if (!LoadDemoFile(demoFileName, productVersion, &recording, error))
        return false;
    randomSeed = recording.seed;
    SRand(randomSeed);
    demoJumpPoints = std::move(recording.jumpPoints);
    demoLength = recording.length;
    demoStream.StartPlaying(recording.stream);
    return true;
}

bool NubraAppBase::WriteDemoFile()
{
    if (!demoStream.IsRecording())
        return false;
    return SaveDemoFile(demoFileName.c_str(), randomSeed, productVersion, demoJumpBlock_, updateCount,
                        demoStream.Data());
}

void NubraAppBase::AddDemoJumpPoint(const std::string& name)
{
    if (!demoStream.IsRecording())
        return;
    demoJumpPoints.push_back({name, updateCount});
    demoJumpBlock_ = JumpPointBlock(demoJumpPoints);
}

void NubraAppBase::StartDemo()
{
    if (playingDemo) {
        savedMusicVolume = musicVolume;
        savedSfxVolume = sfxVolume;
        SetDemoChannel(&demoStream);
    } else if (recordingDemo) {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(demoFileName).parent_path(), ignored);
        demoJumpBlock_ = JumpPointBlock(demoJumpPoints);
        demoStream.StartRecording();
        SetDemoChannel(&demoStream);
        CrashCatcher::SetAfterReportHook(&SaveRecordingAfterCrash);
    }
}

void NubraAppBase::StopDemo()
{
    if (demoStream.IsRecording())
        CrashCatcher::SetAfterReportHook(nullptr);
    demoStream.Stop();
    if (GetDemoChannel() == &demoStream)
        SetDemoChannel(nullptr);
}

void NubraAppBase::RecordDemo(const DemoEvent& event)
{
    if (demoStream.IsRecording() && !shutDown)
        demoStream.Write(event);
}

// Small moves are kept relative to the last one; anything else, and a move that goes nowhere,
// as a position.
void NubraAppBase::RecordDemoMouseMove(int x, int y)
{
    const int dx = x - demoMouseX;
    const int dy = y - demoMouseY;
    const bool step = std::abs(dx) <= kDemoMaxStep && std::abs(dy) <= kDemoMaxStep && (dx != 0 || dy != 0);
    if (step)
        RecordDemo({true, kDemoMouseStep, {dx, dy}});
    else
        RecordDemo({false, kDemoMouseAt, {x, y}});
    demoMouseX = x;
    demoMouseY = y;
}

void NubraAppBase::DemoInputStep()
{
    if (!playingDemo || demoMarkerListOpen)
        return;
    while (std::optional<DemoEvent> event = demoStream.TakeDueInput())
        PlayDemoEvent(*event);
}

void NubraAppBase::PlayDemoEvent(const DemoEvent& event)
{
    const int32_t first = event.values[0];
    if (event.mouse) {
        if (event.command == kDemoMouseStep) {
            demoMouseX += first;
            demoMouseY += event.values[1];
            widgetManager->MouseMove(demoMouseX, demoMouseY);
        } else if (first != 0) {
            widgetManager->MouseDown(demoMouseX, demoMouseY, event.values[1]);
        } else {
            widgetManager->MouseUp(demoMouseX, demoMouseY, event.values[1]);
        }
        return;
    }
    switch (event.command) {
    case kDemoMouseAt:
        demoMouseX = first;
        demoMouseY = event.values[1];
        widgetManager->MouseMove(demoMouseX, demoMouseY);
        break;
    case kDemoActivation:
        active = first != 0;
        ReplayActivation();
        break;
    case kDemoMinimized: ReplaySize(first != 0 ? plat::kSizeMinimized : plat::kSizeRestored); break;
    case kDemoKeyDown: widgetManager->KeyDown(first); break;
    case kDemoKeyUp:
        KeyDown(first);
        widgetManager->KeyUp(first);
        break;
    case kDemoChar: widgetManager->KeyChar(char16_t(first)); break;
    case kDemoClose: Shutdown(); break;
    case kDemoMouseEnter:
        mouseInWindow = true;
        UpdateCursor();
        break;
    case kDemoMouseLeave: MouseLeftWindow(); break;
    case kDemoWheel: widgetManager->MouseWheel(first); break;
    case kDemoScreenSettings:
        windowed = first != 0;
        refreshRate = event.values[1];
        break;
    default: break;
    }
}

void NubraAppBase::PlayDemoScreenSettings()
{
    if (demoStream.DueEvent(kDemoScreenSettings))
        if (std::optional<DemoEvent> settings = demoStream.TakeDueInput())
            PlayDemoEvent(*settings);
}

bool NubraAppBase::DemoFastForward()
{
    auto wanted = [this] {
        if (demoStream.Ended())
            demoFastForwardToEnd = false; // nothing is left to reach
        return plat::MsBefore(updateCount, demoJumpTarget) || demoFastForwardToEnd;
    };
    while (wanted()) {
        if (!demoMutedForFastForward_ && !demoRedrawNow) {
            Mute(true);
            demoMutedForFastForward_ = true;
        }
        ResetUpdateTiming(false);
        if (!DoUpdateFrames())
            return true;
        UpdateFrameF(1.0f);
        const uint32_t now = plat::NowMs();
        if (now - lastFastForwardDraw_ >= kFastForwardDrawMs || demoRedrawNow) {
            demoRedrawNow = false;
            lastFastForwardDraw_ = now;
            DrawDirtyStuff();
            return true;
        }
    }
    if (demoMutedForFastForward_) {
        Unmute(true);
        demoMutedForFastForward_ = false;
    }
    return false;
}

void NubraAppBase::DemoControlChar(int character)
{
    for (const JumpKey& jump : kJumpKeys)
        if (character == jump.key) {
            const uint32_t back = uint32_t(uint64_t(jump.seconds) * 1000 / uint32_t(std::max(updatePeriod, 1)));
            demoJumpTarget = demoLength > back ? demoLength - back : 0;
            return;
        }
    switch (character) {
    case '+': updateMultiplier *= 1.5; break;
    case '-': updateMultiplier /= 1.5; break;
    case '=': updateMultiplier = 1.0; break;
    case '0': demoJumpTarget = demoLength; break;
    case 'M':
    case 'm': demoFastForwardToEnd = true; break;
    case 'N':
    case 'n':
        demoJumpTarget = updateCount + 1;
        demoRedrawNow = true;
        break;
    case 'P':
    case 'p':
        paused = !paused;
        ResetUpdateTiming(false);
        break;
    case 'L':
    case 'l': DoJumpListDialog(); break;
    case 'S':
    case 's':
        // Silence keeps what it replaced; sound comes back as it was.
        if (musicVolume != 0.0) {
            savedMusicVolume = musicVolume;
            SetMusicVolume(0.0);
        } else {
            SetMusicVolume(savedMusicVolume);
        }
        if (sfxVolume != 0.0) {
            savedSfxVolume = sfxVolume;
            SetSfxVolume(0.0);
        } else {
            SetSfxVolume(savedSfxVolume);
        }
        break;
    default: break;
    }
}

} // namespace Nubra
