// The application object's window: its mode, the display on it, focus, the mouse pointer and
// the system message boxes.
#include <algorithm>
#include <iterator>

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/DDImage.h"
#include "framework/util/StringUtils.h"
#include "platform/Clock.h"

namespace Nubra {
namespace {

constexpr int kWindowMargin = 4; // pixels the window keeps inside the usable desktop
constexpr uint32_t kRestoreRetryMs = 1000;

plat::SystemCursor SystemCursorFor(int number)
{
    static constexpr plat::SystemCursor kByNumber[] = {
        plat::SystemCursor::Arrow,    plat::SystemCursor::Hand,   plat::SystemCursor::Drag,
        plat::SystemCursor::IBeam,    plat::SystemCursor::No,     plat::SystemCursor::SizeAll,
        plat::SystemCursor::SizeNESW, plat::SystemCursor::SizeNS, plat::SystemCursor::SizeNWSE,
        plat::SystemCursor::SizeWE,   plat::SystemCursor::Wait,   plat::SystemCursor::Hidden,
        plat::SystemCursor::Hidden,
    };
    if (number < 0 || number >= int(std::size(kByNumber)))
        return plat::SystemCursor::Arrow;
    return kByNumber[number];
}

} // namespace

void NubraAppBase::OpenMainWindow()
{
    if (!window.Open(WStringToUtf8(title), width, height)) {
        PopupW(GetString("FAILED_CREATE_WINDOW", L"Failed to create the main window."));
        DoExit(1);
    }
    const bool fullScreen = !windowed && !playingDemo;
    window.SetFullScreen(fullScreen);
    plat::WindowRect usable;
    if (!fullScreen) {
        window.SetClientSize(width, height);
        if (plat::UsableDesktop(&usable)) {
            plat::WindowRect place =
                plat::PlaceWindow(usable, window.Borders(), width, height, preferredX, preferredY, kWindowMargin);
            window.MoveTo(place.x, place.y);
        }
    }
    physicallyWindowed = !fullScreen;
    ApplyScreenSaverPermission();
}

// Switching modes keeps the one window (full screen covers the desktop without a mode change),
// so focus and position messages keep arriving for it throughout.
void NubraAppBase::MakeWindow()
{
    OpenMainWindow();
    if (!ddInterface) {
        ddInterface = std::make_unique<DDInterface>(this);
        bool is3D = false;
        if (RegistryReadBoolean("Is3D", &is3D)) {
            ddInterface->is3D = is3D;
            hardwareAccelerationStored = true;
        }
    }
    const int result = InitDisplay();
    if (result != RESULT_OK && !HandleDisplayResult(result))
        return; // a window in the other mode has been made instead
    displayLost = false;
    if (minimized) {
        minimized = false;
        if (muteOnFocusLoss)
            Unmute(true);
    }
    RehupFocus();
    ApplyImageLoadOptions();
    widgetManager->MarkAllDirty();
    StartWindowTimer();
}

int NubraAppBase::InitDisplay()
{
    DeleteImagesNativeData();
    const int result = ddInterface->Init(&window, physicallyWindowed);
    hardwareAcceleration = ddInterface->is3D;
    if (result == RESULT_OK) {
        refreshRate = int32_t(ddInterface->refreshRate);
        RecordDemo({false, kDemoScreenSettings, {windowed ? 1 : 0, std::clamp(refreshRate, 0, 255)}});
        widgetManager->screenImage = ddInterface->GetScreenImage();
        widgetManager->MarkAllDirty();
    }
    return result;
}

// True when the display now runs on this window; false when MakeWindow has been run again for
// the other mode. Ends the program when nothing is left to try.
bool NubraAppBase::HandleDisplayResult(int result)
{
    const bool fullScreenRefused = result == RESULT_EXCLUSIVE_FAIL || result == RESULT_DISPCHANGE_FAIL;
    if (!physicallyWindowed && fullScreenRefused) {
        fullScreenFailed = true;
        windowed = true;
        MakeWindow();
        return false;
    }
    if (physicallyWindowed && result == RESULT_INVALID_COLORDEPTH) {
        if (fullScreenFailed)
            FailDisplay(result);
        windowed = false;
        fullScreenForced = true;
        MakeWindow();
        return false;
    }
    // Whatever the graphics card's road refused, software drawing may still work.
    if (Is3DAccelerated()) {
        Set3DAcceleration(false, true);
        return true;
    }
    FailDisplay(result);
}

void NubraAppBase::FailDisplay(int result)
{
    if (result == RESULT_INVALID_COLORDEPTH)
        PopupW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
    else
        PopupW(GetString("FAILED_INIT_DIRECTDRAW", L"Failed to initialize DirectDraw: ")
               + StringToWString(DDInterface::ResultToString(result) + " " + ddInterface->errorText));
    DoExit(1);
}

void NubraAppBase::Set3DAcceleration(bool on, bool reinitialise)
{
    if (ddInterface && ddInterface->is3D != on) {
        hardwareAccelerationSwitched = true;
        ddInterface->is3D = on;
        hardwareAcceleration = on;
        if (reinitialise) {
            const int result = InitDisplay();
            if (result != RESULT_OK && on) {
                Set3DAcceleration(false, true);
                return;
            }
            if (result != RESULT_OK)
                FailDisplay(result);
        }
    }
    ApplyImageLoadOptions();
    widgetManager->MarkAllDirty();
}

void NubraAppBase::SwitchScreenMode(bool toWindowed, bool is3D, bool force)
{
    if (fullScreenForced)
        toWindowed = false;
    if (toWindowed == windowed && !force) {
        Set3DAcceleration(is3D, true);
        return;
    }
    Set3DAcceleration(is3D, false);
    windowed = toWindowed;
    MakeWindow();
    window.Show(!showWithoutActivation);
    ResetUpdateTiming(false);
}

void NubraAppBase::SwitchScreenMode(bool toWindowed) { SwitchScreenMode(toWindowed, Is3DAccelerated(), false); }

void NubraAppBase::SwitchScreenMode() { SwitchScreenMode(windowed, Is3DAccelerated(), true); }

bool NubraAppBase::RestoreLostDisplay()
{
    if (!displayLost)
        return true;
    // Away from the player: full screen waits for the player's return, a window tries now and then.
    const uint32_t now = plat::NowMs();
    if (!active && (!physicallyWindowed || now - lastDisplayRestoreTry_ < kRestoreRetryMs))
        return false;
    lastDisplayRestoreTry_ = now;
    if (minimized)
        return false;
    int desktopWidth = 0, desktopHeight = 0;
    if (physicallyWindowed && plat::UsableDesktopSize(&desktopWidth, &desktopHeight)
        && !WindowFitsDesktop(desktopWidth, desktopHeight, width, height)) {
        if (fullScreenFailed) {
            PopupW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
            Shutdown();
            return false;
        }
        fullScreenForced = true;
        SwitchScreenMode(false);
        return !displayLost;
    }
    const int result = InitDisplay();
    if (result == RESULT_OK || HandleDisplayResult(result))
        displayLost = false;
    widgetManager->MarkAllDirty();
    return !displayLost;
}

void NubraAppBase::HideApp()
{
    SetMusicVolume(0.0);
    window.Hide();
    hidden = true;
    UpdateCursor();
}

void NubraAppBase::RehupFocus()
{
    const bool focus = active && !minimized;
    if (focus == hasFocus)
        return;
    hasFocus = focus;
    if (!focus) {
        if (muteOnFocusLoss)
            Mute(true);
        widgetManager->LostFocus();
        LostFocus();
        window.CaptureMouse(false);
        widgetManager->ReleaseAllButtons();
    } else {
        if (muteOnFocusLoss)
            Unmute(true);
        widgetManager->GotFocus();
        GotFocus();
    }
}

void NubraAppBase::ApplyScreenSaverPermission()
{
    // The saver may start only over a window, and not before the game is ready.
    plat::AllowScreenSaver(physicallyWindowed && completionHandled);
}

void NubraAppBase::UpdateCursor()
{
    if (!ddInterface)
        return;
    const bool known = cursorNumber >= 0 && cursorNumber < kCursorCount;
    Image* picture = known && !hidden && mouseInWindow ? cursorImages[cursorNumber] : nullptr;
    if (picture && (customCursors || playingDemo || cursorNumber == 12)) {
        // The display shows the picture as the pointer, in place of the system's.
        ddInterface->SetCursorImage(picture);
        return;
    }
    ddInterface->SetCursorImage(nullptr);
    cursors_.ShowSystem(hidden || !mouseInWindow ? plat::SystemCursor::Arrow : SystemCursorFor(cursorNumber));
}

void NubraAppBase::SetCursor(int number)
{
    cursorNumber = number;
    UpdateCursor();
}

void NubraAppBase::SetCursorImage(int number, Image* image)
{
    if (number < 0 || number >= kCursorCount)
        return;
    cursorImages[number] = image;
    UpdateCursor();
}

void NubraAppBase::EnableCustomCursors(bool enable)
{
    customCursors = enable;
    UpdateCursor();
}

void NubraAppBase::BeginPopup() { popupShown_ = !physicallyWindowed; }

void NubraAppBase::EndPopup()
{
    popupShown_ = false;
    ResetUpdateTiming(false);
    // The box took every key release and button release while it was up.
    widgetManager->keyDown.fill(0);
    controlDown = false;
    altDown = false;
    if (widgetManager->pressedWidget) {
        widgetManager->ReleaseAllButtons();
        window.CaptureMouse(false);
    }
}

} // namespace Nubra
