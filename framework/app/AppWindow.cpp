// The application object's window and the queue through which its messages reach the game.
#include "framework/app/NubraAppBase.h"
#include "framework/app/StringUtils.h"
#include "framework/graphics/DDImage.h"

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
    int result = InitDisplay();
    if (result != RESULT_OK) {
        PopupW(GetString("FAILED_INIT_DIRECTDRAW", L"Failed to initialize DirectDraw: ")
               + StringToWString(DDInterface::ResultToString(result) + " " + ddInterface->errorText));
        DoExit(1);
    }
}

int NubraAppBase::InitDisplay()
{
    if (!ddInterface)
        ddInterface = std::make_unique<DDInterface>(this);
    DeleteImagesNativeData();
    int result = ddInterface->Init(&window, physicallyWindowed);
    if (result != RESULT_OK && ddInterface->is3D) {
        // The software road shows everything the graphics card would.
        ddInterface->is3D = false;
        result = ddInterface->Init(&window, physicallyWindowed);
    }
    if (result == RESULT_OK) {
        refreshRate = int32_t(ddInterface->refreshRate);
        widgetManager->screenImage = ddInterface->GetScreenImage();
        widgetManager->MarkAllDirty();
    }
    return result;
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
