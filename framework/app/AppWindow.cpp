// The application object's window and the queue through which its messages reach the game.
#include "framework/app/NubraAppBase.h"
#include "framework/app/StringUtils.h"

namespace Nubra {

void NubraAppBase::MakeWindow()
{
    // Until the display driver draws into it, the window is a plain one in either mode: a blank
    // full-screen surface would only hide the desktop.
    if (!window.Open(WStringToUtf8(title), width, height)) {
        PopupW(GetString("FAILED_CREATE_WINDOW", L"Failed to create the main window."));
        DoExit(1);
    }
    physicallyWindowed = true;
    refreshRate = window.RefreshRate();
}

void NubraAppBase::SetCursor(int number) { cursorNumber = number; }

void NubraAppBase::EnableCustomCursors(bool enable) { customCursors = enable; }

void NubraAppBase::WindowProc(const plat::Message& message)
{
    switch (message.kind) {
    case plat::MessageKind::Close:
        // One close request waiting is enough.
        if (!deferredMessages_.empty() && deferredMessages_.back().kind == plat::MessageKind::Close)
            return;
        deferredMessages_.push_back(message);
        CloseRequest();
        return;
    default: return;
    }
}

bool NubraAppBase::ProcessDeferredMessages(bool single)
{
    while (!deferredMessages_.empty()) {
        plat::Message message = deferredMessages_.front();
        deferredMessages_.pop_front();
        switch (message.kind) {
        case plat::MessageKind::Close:
            closedByUser = true;
            Shutdown();
            break;
        default: break;
        }
        if (single)
            break;
    }
    return !deferredMessages_.empty();
}

} // namespace Nubra
