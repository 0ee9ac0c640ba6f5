#include "game/shell/TCEngine3.h"

#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCMusicChannel.h"
#include "engine/core/TCSound.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "game/shell/TCBoard_Splash.h"
#include "game/shell/TCMessageBox.h"
#include "game/shell/TCProfileStore.h"
#include "game/shell/WelcomeDialog.h"

TCEngine3* gTCEngine3 = nullptr;

namespace {

// The store outlives the engine; after it, texts show as their ids.
std::wstring EngineText(const std::string& id)
{
    return gTCEngine ? gTCEngine->GetLocalization().GetText(id) : Nubra::Utf8ToWString(id);
}

} // namespace

TCEngine3::TCEngine3()
{
    gTCEngine3 = this;
    productName = kProductName;
    title = L"";
    productVersion = "1.0";
    registryKey = "Trilvo Games\\Velmira Cafe";
}

TCEngine3::~TCEngine3()
{
    ForgetMessageBoxes();
    TheProfileStore().SetSettingsTarget(nullptr);
    if (gTCEngine3 == this)
        gTCEngine3 = nullptr;
}

void TCEngine3::Init()
{
    // The framework never allows it on its own.
    vsyncTimingAllowed = true;
    GetLocalization().Load();
    title = GetLocalization().GetText("app_title");
    TheProfileStore().SetTextSource(EngineText);
    TheProfileStore().SetSettingsTarget(&profileSettings_);
    TheProfileStore().Load();
    TCEngine::Init();
}

void TCEngine3::LoadingThreadProc()
{
    TCEngine::LoadingThreadProc();
    BuildMessageBoxes(this, UiRoot());
    splash_ = new TCBoard_Splash(this, UiRoot());
}

void TCEngine3::LoadingThreadCompleted()
{
    TCEngine::LoadingThreadCompleted();
    // The widget manager belongs to the main thread.
    AttachMessageBoxes(this);
    GetMusic().Change("menu");
    // On the main thread, which owns the widget tree.
    auto* first = new WelcomeDialog(this, UiRoot());
    first->SetVisible(false);
    widgetManager->AddWidget(first);
    // Last, so it lies on top; the first screen comes up when it ends.
    splash_->onEnded = [first] { first->Show(); };
    widgetManager->AddWidget(splash_);
    splash_->Show();
}

bool TCEngine3::UpdateAppStep(bool& updated)
{
    AskPendingQuit();
    return TCEngine::UpdateAppStep(updated);
}

void TCEngine3::AskPendingQuit()
{
    if (quitPending_ && !IsMessageBoxOpen()) {
        quitPending_ = false;
        Shutdown();
    }
}

void TCEngine3::Shutdown()
{
    if (!IsMainThread()) {
        TCEngine::Shutdown(); // comes back here on the main thread
        return;
    }
    if (shutDown)
        return;
    // A terminal's quit is not the player's to decline.
    if (quitBySystem) {
        SaveAndShutDown();
        return;
    }
    if (!completionHandled || (splash_ && splash_->visible))
        return;
    // One box at a time: a question asked inside another would take over its answer.
    if (IsMessageBoxOpen()) {
        quitPending_ = true;
        return;
    }
    // Without the box in the content there is no one to ask.
    if (!gConfirm2 || ShowMessageBox2("quit") == kMessageBoxYes)
        SaveAndShutDown();
}

void TCEngine3::SaveAndShutDown()
{
    TheProfileStore().SaveTables();
    TCEngine::Shutdown();
}

void TCEngine3::SwitchScreenMode(bool toWindowed, bool is3D, bool force)
{
    TCEngine::SwitchScreenMode(toWindowed, is3D, force);
    TheProfileStore().Header().windowed = windowed ? 1 : 0;
}

void TCEngine3::ProfileSettings::SetMusicVolume(int percent) { ::SetMusicVolume(percent); }

void TCEngine3::ProfileSettings::SetSoundVolume(int percent) { ::SetSoundVolume(percent); }

void TCEngine3::ProfileSettings::SwitchScreenMode(bool toWindowed)
{
    if (game_.window.IsOpen())
        game_.SwitchScreenMode(toWindowed);
    else
        game_.windowed = toWindowed;
}
