#include "framework/app/NubraAppBase.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "framework/app/CrashCatcher.h"
#include "framework/audio/FModMusicInterface.h"
#include "framework/data/ResourceManager.h"
#include "framework/graphics/ImageLib.h"
#include "framework/util/PathUtils.h"
#include "framework/util/StringUtils.h"
#include "framework/util/TwisterRandom.h"
#include "framework/widgets/Dialog.h"
#include "platform/CRand.h"
#include "platform/Clock.h"
#include "platform/DebugOut.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/SettingsStore.h"
#include "platform/Thread.h"

namespace Nubra {

NubraAppBase* gNubraAppBase = nullptr;

NubraAppBase::NubraAppBase()
{
    programFolder = plat::ExeDir();
    productVersion = GetProductVersion();
    startTick = plat::NowMs();
    lastDrawTime = startTick;
    nextDrawTime = startTick;
    strings_ = {
        {"DIALOG_BUTTON_OK", L"OK"},
        {"DIALOG_BUTTON_CANCEL", L"CANCEL"},
        {"UPDATE_CHECK_TITLE", L"Update Check"},
        {"UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ..."},
        {"UP_TO_DATE_TITLE", L"Up to Date"},
        {"UP_TO_DATE_BODY", L"There are no updates available for this product at this time."},
        {"NEW_VERSION_TITLE", L"New Version"},
        {"NEW_VERSION_BODY",
         L"There is an update available for this product.  Would you like to visit the web site to download it?"},
    };
    widgetManager = std::make_unique<WidgetManager>(this);
    resourceManager = std::make_unique<ResourceManager>(this, this);
    SetImageHost(this);
    gNubraAppBase = this;
}

NubraAppBase::~NubraAppBase()
{
    WaitForLoadingThread();
    NubraAppBase::Shutdown();
    // The display may have left the graphics card's road on its own during the run.
    if (ddInterface)
        hardwareAcceleration = ddInterface->is3D;
    ConfirmHardwareAcceleration();
    RegistryWriteBoolean("Is3D", hardwareAcceleration);
    WriteDemoFile();
    StopDemo();

    // Each dialog leaves the widget tree as it goes.
    for (auto& entry : dialogMap)
        delete entry.second;
    dialogMap.clear();
    updateNesting = 0;
    ProcessSafeDeleteWidgets();
    widgetManager.reset();
    resourceManager.reset();
    DeleteSharedImages();
    musicInterface.reset();
    // Before the media systems shut down with the members; the display draws in the window.
    cursors_.Release();
    ddInterface.reset();
    window.Close();
    instanceGuard_.Release();
    if (GetImageHost() == this)
        SetImageHost(nullptr);
    if (gNubraAppBase == this)
        gNubraAppBase = nullptr;
}

bool NubraAppBase::IsMainThread() const
{
    std::thread::id main = mainThreadId_.load();
    return main == std::thread::id() || main == std::this_thread::get_id();
}

void NubraAppBase::Init()
{
    mainThreadId_ = std::this_thread::get_id();
    if (shutDown)
        return;
    // A crash from here on, the settings' first read included, leaves its report in our folder.
    SetAppDataFolder(plat::UserDataDir(makerName, productName));
    CrashCatcher::SetReportFolder(GetAppDataFolder());
    if (!media_.Start()) {
        MsgBox(GetString("MEDIA_UNAVAILABLE_BODY", L"This application needs a display and sound output to run: ")
                   + StringToWString(media_.Error()),
               GetString("MEDIA_UNAVAILABLE_TITLE", L"Cannot start"), plat::MsgBoxButtons::Ok,
               plat::MsgBoxIcon::Error);
        DoExit(1);
    }

    ImageLib::InitJPEG2000();
    PreInitHook();
    ReadFromRegistry();

    if (!demoFileName.starts_with('/'))
        demoFileName = GetAppDataFolder() + demoFileName;

    if (!commandLineRead)
        ReadCommandLine();
    if (screenSaverMode)
        singleInstance = false;

    if (!ChangeDirHook(programFolder)) {
        std::error_code error;
        std::filesystem::current_path(programFolder, error);
        if (error)
            plat::DebugOut("Cannot enter the program folder " + programFolder + ": " + error.message() + "\n");
    }

    if (!instanceGuard_.Acquire(productName))
        NotifyRunningInstance();

    randomSeed = plat::NowMs();
    SRand(randomSeed);
    if (playingDemo) {
        std::string error;
        if (!ReadDemoFile(&error)) {
            playingDemo = false;
            Popup(error);
            DoExit(0);
        }
    }
    // The seed a played demo recorded, so that the run repeats.
    plat::CSRand(randomSeed);
    StartDemo();

    PreDisplayHook();
    widgetManager->width = width;
    widgetManager->height = height;
    int desktopWidth = 0, desktopHeight = 0;
    if (plat::UsableDesktopSize(&desktopWidth, &desktopHeight)
        && !WindowFitsDesktop(desktopWidth, desktopHeight, width, height)) {
        windowed = false;
        fullScreenForced = true;
    }
    MakeWindow();
    if (playingDemo)
        PlayDemoScreenSettings();

    SetSfxVolume(sfxVolume);
    musicInterface = CreateMusicInterface();
    SetMusicVolume(musicVolume);

    InitHook();
    initialized = true;
}

bool WindowFitsDesktop(int desktopWidth, int desktopHeight, int width, int height)
{
    return desktopWidth > width && desktopHeight > height;
}

void NubraAppBase::Start()
{
    if (shutDown)
        return;
    if (loadingThreadWanted)
        StartLoadingThread();
    window.Show();

    uint32_t start = plat::NowMs();
    inMainLoop = true;
    lastTimingCheck = start;
    hasTimingCheck = true;
    lastDrawTime = start;
    nextDrawTime = start;
    MainLoop();

    ProcessSafeDeleteWidgets();
    inMainLoop = false;
    WaitForLoadingThread();
    WriteRunStatistics(plat::NowMs() - start);
    PreTerminate();
    StoreSettings();
}

// One replacement of the settings file rather than one per value.
void NubraAppBase::StoreSettings()
{
    plat::SettingsBatch batch;
    WriteToRegistry();
}

void NubraAppBase::WriteRunStatistics(uint32_t runMs) const
{
    plat::DebugOut(StrFormat("Seconds       = %g\r\n", runMs / 1000.0));
    plat::DebugOut(StrFormat("Sleep Count   = %d\r\n", int(sleepCount)));
    plat::DebugOut(StrFormat("Update Count  = %d\r\n", int(updateCount)));
    plat::DebugOut(StrFormat("Draw Count    = %d\r\n", int(drawCount)));
    plat::DebugOut(StrFormat("Draw Time     = %d\r\n", int(drawTime)));
    plat::DebugOut(StrFormat("Screen Blt    = %d\r\n", int(screenBltTime)));
    if (drawTime + screenBltTime > 0)
        plat::DebugOut(StrFormat("Avg FPS       = %d\r\n", int(uint64_t(drawCount) * 1000 / (drawTime + screenBltTime))));
}

void NubraAppBase::Shutdown()
{
    if (!IsMainThread()) {
        shutdownRequested = true;
        return;
    }
    if (shutDown)
        return;
    leaveUpdateLoop = true;
    shutDown = true;
    ShutdownHook();
    if (playingDemo) {
        SetMusicVolume(savedMusicVolume);
        SetSfxVolume(savedSfxVolume);
    }
    if (musicInterface)
        musicInterface->StopAllMusic();
    window.Hide();
    if (registryRead)
        StoreSettings();
    ImageLib::CloseJPEG2000();
}

void NubraAppBase::DoExit(int code)
{
    shutDown = true;
    plat::ExitNow(code);
}

void NubraAppBase::StartLoadingThread()
{
    if (loadingThreadStarted)
        return;
    loadingInProgress = true;
    plat::SetThreadPriority(plat::ThreadPriority::AboveNormal);
    loadingThreadStarted = true;
    loadingThread_ = std::thread(&NubraAppBase::RunLoadingThread, this);
}

void NubraAppBase::RunLoadingThread()
{
    LoadingThreadProc();
    plat::DebugOut(StrFormat("Resource Loading Time: %d\r\n", int(plat::NowMs() - startTick)));
    loadingCompleted = true;
}

void NubraAppBase::WaitForLoadingThread()
{
    while (loadingThreadStarted && !loadingCompleted)
        plat::SleepMs(20);
    if (loadingThread_.joinable())
        loadingThread_.join();
}

double NubraAppBase::GetLoadingProgress() const
{
    if (completionHandled)
        return 1.0;
    int32_t total = loadingStepsTotal;
    if (!loadingThreadStarted || total <= 0)
        return 0.0;
    return std::clamp(double(loadingStepsDone) / total, 0.0, 1.0);
}

bool NubraAppBase::ChangeDirHook(const std::string& path)
{
    (void)path;
    return false;
}

void NubraAppBase::NotifyRunningInstance()
{
    if (!singleInstance)
        return;
    plat::InstanceGuard::NotifyRunning(productName, 0, 0);
    DoExit(0);
}

void NubraAppBase::HandleNotifyGameMessage(int type, int parameter)
{
    (void)parameter;
    if (type == 0)
        window.RestoreAndRaise();
}

std::wstring NubraAppBase::GetString(const std::string& id, const std::wstring& fallback) const
{
    auto found = strings_.find(id);
    return found == strings_.end() ? fallback : found->second;
}

void NubraAppBase::SetString(const std::string& id, const std::wstring& text) { strings_[id] = text; }

void NubraAppBase::SetSfxVolume(double volume) { sfxVolume = volume; }

void NubraAppBase::SetMusicVolume(double volume)
{
    musicVolume = volume;
    if (musicInterface)
        musicInterface->SetVolume(IsMuted() ? 0.0 : volume);
}

void NubraAppBase::ApplyVolumes()
{
    SetMusicVolume(musicVolume);
    SetSfxVolume(sfxVolume);
}

void NubraAppBase::Mute(bool automatic)
{
    ++muteCount;
    if (automatic)
        ++autoMuteCount;
    ApplyVolumes();
}

void NubraAppBase::Unmute(bool automatic)
{
    // An automatic unmute only undoes an automatic mute: the first activation of the window
    // must not take back the player's own mute.
    if (automatic && autoMuteCount == 0)
        return;
    muteCount = std::max(muteCount - 1, 0);
    if (automatic)
        --autoMuteCount;
    ApplyVolumes();
}

std::unique_ptr<MusicInterface> NubraAppBase::CreateMusicInterface()
{
    if (noMusic)
        return std::make_unique<MusicInterface>();
    if (!useFMod)
        return std::make_unique<BassMusicInterface>();
    auto fmod = std::make_unique<FModMusicInterface>();
    if (!fmod->IsAvailable())
        return std::make_unique<MusicInterface>(); // the library is missing: play on in silence
    return fmod;
}

plat::MsgBoxResult NubraAppBase::MsgBox(const std::wstring& text, const std::wstring& title,
                                        plat::MsgBoxButtons buttons, plat::MsgBoxIcon icon)
{
    // Texts keep Windows line ends; the box wants plain ones.
    std::wstring body = text;
    std::erase(body, L'\r');
    BeginPopup();
    plat::MsgBoxResult result = plat::ShowMessageBox(WStringToUtf8(title), WStringToUtf8(body), buttons, icon);
    EndPopup();
    return result;
}

void NubraAppBase::Popup(const std::string& text) { PopupW(StringToWString(text)); }

void NubraAppBase::PopupW(const std::wstring& text)
{
    MsgBox(text, GetString("FATAL_ERROR", L"FATAL ERROR"), plat::MsgBoxButtons::Ok, plat::MsgBoxIcon::Error);
}

void NubraAppBase::AddMemoryImage(MemoryImage* image)
{
    AutoCrit lock(imageLock);
    imageRegistry.insert(image);
}

void NubraAppBase::RemoveMemoryImage(MemoryImage* image)
{
    {
        AutoCrit lock(imageLock);
        imageRegistry.erase(image);
    }
    Remove3DData(image);
}

// Textures live with the display, which drops them; without one there are none.
void NubraAppBase::Remove3DData(MemoryImage* image)
{
    if (ddInterface)
        ddInterface->Remove3DData(image);
}

bool NubraAppBase::Is3DAccelerated() { return ddInterface && ddInterface->is3D; }

// Until the display is set up it has no pixel format to convert pictures to.
NativeDisplay* NubraAppBase::GetNativeDisplay()
{
    return ddInterface && ddInterface->rgbBits != 0 ? ddInterface.get() : nullptr;
}

std::string NubraAppBase::GetProductVersion() const { return NUBRA_PRODUCT_VERSION; }

std::string NubraAppBase::GetAppDataFolder() const { return Nubra::GetAppDataFolder(); }

void NubraAppBase::ConfirmHardwareAcceleration()
{
    const std::wstring title = GetString("HARDWARE_ACCEL_CONFIRMATION", L"Hardware Acceleration Confirmation");
    auto keepOn = [&](const char* id, const wchar_t* text) {
        return MsgBox(GetString(id, text), title, plat::MsgBoxButtons::YesNo, plat::MsgBoxIcon::Question)
               == plat::MsgBoxResult::Yes;
    };
    if (hardwareAcceleration && hardwareAccelerationSwitched && !hardwareAccelerationStored
        && !hardwareAccelerationDecidedByTest)
        hardwareAcceleration = keepOn("HARDWARE_ACCEL_SWITCHED_ON",
                                      L"Hardware Acceleration was switched on during this session.\r\n"
                                      L"If this resulted in slower performance, it should be switched off.\r\n"
                                      L"Would you like to keep Hardware Acceleration switched on?");
    if (hardwareAccelerationProblem && !screenSaverMode)
        hardwareAcceleration = keepOn("HARDWARE_ACCEL_NOT_WORKING",
                                      L"Hardware Acceleration may not have been working correctly during this session.\r\n"
                                      L"If you noticed graphics problems, you may want to turn off Hardware Acceleration.\r\n"
                                      L"Would you like to keep Hardware Acceleration switched on?");
}

} // namespace Nubra
