// Messages from the system: what the window procedure acts on at once, what it queues, and the
// replay of the queue into the widget manager between update steps.
#include <algorithm>

#include "framework/app/NubraAppBase.h"
#include "platform/Clock.h"
#include "platform/VirtualKeys.h"

namespace Nubra {
namespace {

using plat::Message;
using plat::MessageKind;

bool IsSystemChange(MessageKind kind) { return kind == MessageKind::SysColorChange || kind == MessageKind::DisplayChange; }

bool IsInput(MessageKind kind)
{
    return plat::IsKeyMessage(kind) || plat::IsMouseMessage(kind) || kind == MessageKind::MouseWheel;
}

bool IsKeyPress(MessageKind kind) { return kind == MessageKind::KeyDown || kind == MessageKind::SysKeyDown; }

bool IsKeyRelease(MessageKind kind) { return kind == MessageKind::KeyUp || kind == MessageKind::SysKeyUp; }

// The click numbers the widget manager takes: positive left, negative right, 3 middle.
int ClicksFor(MessageKind kind)
{
    switch (kind) {
    case MessageKind::LButtonDown:
    case MessageKind::LButtonUp: return 1;
    case MessageKind::LButtonDouble: return 2;
    case MessageKind::RButtonDown:
    case MessageKind::RButtonUp: return -1;
    case MessageKind::RButtonDouble: return -2;
    default: return 3;
    }
}

} // namespace

void NubraAppBase::WindowProc(const Message& message)
{
    switch (message.kind) {
    case MessageKind::Paint:
        if (initialized && !hidden && inMainLoop)
            Redraw();
        return;
    case MessageKind::DisplayLost: displayLost = true; return;
    case MessageKind::SysChar: return; // there is no system menu for an Alt combination to open
    case MessageKind::ActivateApp:
        if (!playingDemo)
            active = message.first != 0;
        break;
    default: break;
    }
    if (IsInput(message.kind) && popupShown_)
        return; // a message box has the player's attention
    if (IsKeyPress(message.kind) || IsKeyRelease(message.kind)) {
        const bool down = IsKeyPress(message.kind);
        if (message.first == plat::kVkControl)
            controlDown = down;
        if (message.first == plat::kVkMenu)
            altDown = down;
        if (down && DebugKeyDownEx(message.first, controlDown, altDown))
            return;
    }
    // A played demo brings its own input: the player's keys steer the playback instead.
    if (playingDemo && !demoMarkerListOpen) {
        if (IsKeyPress(message.kind)) {
            DebugKeyDown(message.first);
            return;
        }
        if (message.kind == MessageKind::Char) {
            DemoControlChar(message.first);
            return;
        }
    }
    if (QueueMessage(message) && message.kind == MessageKind::Close)
        CloseRequest();
}

bool NubraAppBase::QueueMessage(const Message& message)
{
    if (!deferredMessages_.empty()) {
        const MessageKind last = deferredMessages_.back().kind;
        // Nothing after a close counts; timer ticks and system changes are news only once.
        if (last == MessageKind::Close || (message.kind == MessageKind::Timer && last == MessageKind::Timer))
            return false;
    }
    if (IsSystemChange(message.kind)
        && std::any_of(deferredMessages_.begin(), deferredMessages_.end(),
                       [](const Message& queued) { return IsSystemChange(queued.kind); }))
        return false;
    deferredMessages_.push_back(message);
    return true;
}

bool NubraAppBase::ProcessDeferredMessages(bool single)
{
    while (!deferredMessages_.empty()) {
        Message message = deferredMessages_.front();
        deferredMessages_.pop_front();
        ReplayMessage(message);
        if (single)
            break;
    }
    return !deferredMessages_.empty();
}

void NubraAppBase::ReplayMessage(const Message& message)
{
    // A played demo brings its own input; only the player's wish to quit is heard, and the
    // marker list's input while it is open.
    if (playingDemo && message.kind != MessageKind::Close && !demoMarkerListOpen)
        return;
    switch (message.kind) {
    case MessageKind::KeyDown: ReplayKeyDown(message.first); break;
    case MessageKind::SysKeyDown:
        if (message.first == plat::kVkReturn && !fullScreenForced && !fullScreenFailed) {
            lastInputTime = plat::NowMs();
            SwitchScreenMode(!windowed);
            widgetManager->keyDown.fill(0);
            controlDown = false;
            altDown = false;
        } else {
            ReplayKeyDown(message.first);
        }
        break;
    case MessageKind::KeyUp:
    case MessageKind::SysKeyUp:
        lastInputTime = plat::NowMs();
        RecordDemo({false, kDemoKeyUp, {message.first}});
        KeyDown(message.first);
        widgetManager->KeyUp(message.first);
        break;
    case MessageKind::Char:
        lastInputTime = plat::NowMs();
        RecordDemo({false, kDemoChar, {int32_t(char16_t(message.first))}});
        widgetManager->KeyChar(char16_t(message.first));
        break;
    case MessageKind::Move:
        // Only a window in its normal state tells where the player wants it next time.
        if (physicallyWindowed && window.IsShown() && !window.IsFullScreen() && !window.IsMinimised()
            && !window.IsMaximised()) {
            plat::WindowRect place = window.FrameCorner();
            preferredX = place.x;
            preferredY = place.y;
        }
        break;
    case MessageKind::Size: ReplaySize(message.first); break;
    case MessageKind::SysColorChange:
    case MessageKind::DisplayChange: widgetManager->MarkAllDirty(); break;
    case MessageKind::ActivateApp:
        if (hidden || shutDown)
            break;
        RecordDemo({false, kDemoActivation, {active ? 1 : 0}});
        ReplayActivation();
        break;
    case MessageKind::Timer: ReplayTimer(); break;
    case MessageKind::MouseWheel: {
        const int notches = std::clamp(message.first / 120, -128, 127); // what a recording holds
        RecordDemo({false, kDemoWheel, {notches}});
        widgetManager->MouseWheel(notches);
        break;
    }
    case MessageKind::MouseEnter:
        if (!mouseInWindow) {
            RecordDemo({false, kDemoMouseEnter, {}});
            mouseInWindow = true;
            UpdateCursor();
        }
        break;
    case MessageKind::MouseLeave:
        if (mouseInWindow)
            MouseLeftWindow();
        break;
    case MessageKind::Close:
        RecordDemo({false, kDemoClose, {}});
        closedByUser = true;
        quitBySystem = message.first == plat::kCloseProcessQuit;
        Shutdown();
        break;
    default:
        if (plat::IsMouseMessage(message.kind))
            ReplayMouse(message);
        break;
    }
}

void NubraAppBase::ReplayKeyDown(int key)
{
    lastInputTime = plat::NowMs();
    // The keys held as the replay has them, not as the window procedure last saw them.
    if (debugKeysAllowed && key == 'D' && widgetManager->IsKeyDown(plat::kVkControl)
        && widgetManager->IsKeyDown(plat::kVkShift))
        debugKeysEnabled = !debugKeysEnabled;
    if (debugKeysEnabled && DebugKeyDown(key))
        return;
    RecordDemo({false, kDemoKeyDown, {key}});
    widgetManager->KeyDown(key);
}

void NubraAppBase::ReplayMouse(const Message& message)
{
    if (hidden)
        return;
    int x = message.first;
    int y = message.second;
    UpdateMouseMapping();
    widgetManager->MapMousePosition(x, y);
    if (demoStream.IsRecording()) {
        // A recorded position has 12 bits: the run uses what its replay will see.
        x = std::clamp(x, 0, kDemoMaxCoordinate);
        y = std::clamp(y, 0, kDemoMaxCoordinate);
        RecordDemoMouseMove(x, y);
    }
    lastInputTime = plat::NowMs();
    widgetManager->MouseMove(x, y);
    if (!mouseInWindow) {
        RecordDemo({false, kDemoMouseEnter, {}});
        mouseInWindow = true;
        UpdateCursor();
    }
    switch (message.kind) {
    case MessageKind::MouseMove: break;
    case MessageKind::LButtonUp:
    case MessageKind::RButtonUp:
    case MessageKind::MButtonUp:
        RecordDemo({true, kDemoMouseButton, {0, ClicksFor(message.kind)}});
        widgetManager->MouseUp(x, y, ClicksFor(message.kind));
        if (widgetManager->heldButtonMask == 0)
            window.CaptureMouse(false);
        break;
    default:
        // A drag that leaves the window still belongs to the game.
        window.CaptureMouse(true);
        RecordDemo({true, kDemoMouseButton, {1, ClicksFor(message.kind)}});
        widgetManager->MouseDown(x, y, ClicksFor(message.kind));
        break;
    }
}

// The display is scaled to the window (full screen, or a desktop with scaling): mouse positions
// go back to the frame's pixels by the window's size as it is now, which the window manager may
// have changed since the display was set up.
void NubraAppBase::UpdateMouseMapping()
{
    if (!ddInterface || !ddInterface->initialized)
        return;
    const plat::WindowRect client = window.ClientRect();
    const Rect& frame = ddInterface->presentationRect;
    const plat::PixelRect shown = plat::FitToOutput({frame.x, frame.y, frame.width, frame.height},
                                                    ddInterface->displayWidth, ddInterface->displayHeight,
                                                    client.width, client.height);
    widgetManager->SetScreenRects(Rect(0, 0, ddInterface->width, ddInterface->height),
                                  Rect(shown.x, shown.y, shown.width, shown.height));
}

void NubraAppBase::ReplaySize(int32_t sizeKind)
{
    if (shutDown)
        return;
    const bool nowMinimised = sizeKind == plat::kSizeMinimized;
    RecordDemo({false, kDemoMinimized, {nowMinimised ? 1 : 0}});
    if (nowMinimised != minimized && muteOnFocusLoss) {
        if (nowMinimised)
            Mute(true);
        else
            Unmute(true);
    }
    if (minimized && !nowMinimised)
        widgetManager->MarkAllDirty();
    minimized = nowMinimised;
    RehupFocus();
    if (sizeKind == plat::kSizeMaximized)
        SwitchScreenMode(false);
}

void NubraAppBase::ReplayTimer()
{
    if (inMainLoop && !hidden)
        PollUrlOpening();
}

void NubraAppBase::ReplayActivation()
{
    RehupFocus();
    if (active && !physicallyWindowed)
        widgetManager->MarkAllDirty();
}

void NubraAppBase::MouseLeftWindow()
{
    RecordDemo({false, kDemoMouseLeave, {}});
    widgetManager->MouseExit(widgetManager->lastMouseX, widgetManager->lastMouseY);
    mouseInWindow = false;
    UpdateCursor();
}

void NubraAppBase::StartWindowTimer()
{
    windowTimerRunning_ = true;
    lastWindowTimer_ = plat::NowMs();
}

// The window's timer: one tick per update period at most, however late the pump comes.
void NubraAppBase::SynthesizeTimer()
{
    const uint32_t now = plat::NowMs();
    if (!windowTimerRunning_ || now - lastWindowTimer_ < uint32_t(std::max(updatePeriod, 1)))
        return;
    lastWindowTimer_ = now;
    WindowProc({MessageKind::Timer});
}

bool NubraAppBase::IsAltKeyUsed(int character) { return character == 13 || character == 'r' || character == 'R'; }

} // namespace Nubra
