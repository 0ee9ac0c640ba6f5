// The application object's outside services and developer aids: the browser, the clipboard,
// the developer keys, the profiler report and the screen-saver error log.
#include <cstdio>
#include <ctime>

#include "framework/app/NubraAppBase.h"
#include "framework/util/SectionProfiler.h"
#include "framework/util/StringUtils.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/VirtualKeys.h"

namespace Nubra {
namespace {

constexpr int kVkF2 = plat::kVkF1 + 1;
constexpr int kVkF3 = plat::kVkF1 + 2;
constexpr int kVkF8 = plat::kVkF1 + 7;
constexpr int kVkF10 = plat::kVkF1 + 9;
constexpr int kVkF11 = plat::kVkF1 + 10;

} // namespace

void NubraAppBase::OpenURL(const std::string& address, bool quitWhenOpen)
{
    urlAddress_ = address;
    urlQuitWhenOpen_ = quitWhenOpen;
    urlOpening_ = plat::UrlOpener().Open(address);
    PollUrlOpening(); // an opener that cannot even start is known at once
}

void NubraAppBase::PollUrlOpening()
{
    if (!urlOpening_)
        return;
    const plat::UrlOpening::Status status = urlOpening_->Poll();
    if (status == plat::UrlOpening::Status::Running)
        return;
    urlOpening_.reset();
    if (status == plat::UrlOpening::Status::Succeeded)
        URLOpenSucceeded(urlAddress_);
    else
        URLOpenFailed(urlAddress_);
}

void NubraAppBase::URLOpenFailed(const std::string& address)
{
    (void)address;
    urlOpening_.reset();
}

void NubraAppBase::URLOpenSucceeded(const std::string& address)
{
    (void)address;
    urlOpening_.reset();
    if (urlQuitWhenOpen_)
        Shutdown();
}

void NubraAppBase::CopyToClipboard(const std::wstring& text) { plat::SetClipboardText(WStringToUtf8(text)); }

std::wstring NubraAppBase::GetClipboard() { return Utf8ToWString(plat::GetClipboardText()); }

bool NubraAppBase::DebugKeyDownEx(int key, bool control, bool alt)
{
    (void)key;
    (void)control;
    (void)alt;
    return false;
}

bool NubraAppBase::DebugKeyDown(int key)
{
    const bool controlHeld = widgetManager->IsKeyDown(plat::kVkControl);
    switch (key) {
    case kVkF2:
        if (!SectionProfiler::IsProfiling()) {
            SectionProfiler::StartProfiling();
        } else {
            SectionProfiler::StopProfiling();
            MsgBox(StringToWString(SectionProfiler::GetProfileReport()), L"Perf Results", plat::MsgBoxButtons::Ok,
                   plat::MsgBoxIcon::Information);
        }
        ResetUpdateTiming(false);
        return false;
    case kVkF3:
        if (controlHeld) {
            overlayMode = (overlayMode + 1) % 2;
            overlayOn = true;
        } else {
            overlayOn = !overlayOn;
        }
        widgetManager->MarkAllDirty();
        return false;
    case kVkF8:
        if (controlHeld) {
            Set3DAcceleration(!hardwareAcceleration, true);
            MsgBox(StrFormatW(L"3D-Mode: %ls", hardwareAcceleration ? L"ON" : L"OFF"), L"Mode Switch",
                   plat::MsgBoxButtons::Ok, plat::MsgBoxIcon::Information);
        } else {
            MsgBox(StrFormatW(L"%dx%d %ls, %d Hz, 3-D %ls", width, height,
                              physicallyWindowed ? L"windowed" : L"full screen", refreshRate,
                              hardwareAcceleration ? L"on" : L"off"),
                   L"Video Stats", plat::MsgBoxButtons::Ok, plat::MsgBoxIcon::Information);
        }
        return true;
    case kVkF10: return true;
    case kVkF11:
        if (controlHeld)
            DumpProgramInfo();
        else
            TakeScreenshot();
        return true;
    default: return false;
    }
}

void NubraAppBase::LogScreenSaverError(const std::string& text)
{
    const std::string path = DataFolder() + "ScrError.txt";
    FILE* file = std::fopen(path.c_str(), screenSaverLogStarted_ ? "a+" : "w");
    if (!file)
        return;
    screenSaverLogStarted_ = true;
    std::time_t now = std::time(nullptr);
    char timeOfDay[16] = "";
    std::tm local{};
    if (localtime_r(&now, &local))
        std::strftime(timeOfDay, sizeof(timeOfDay), "%H:%M:%S", &local);
    std::fprintf(file, "%s %s %u\n", text.c_str(), timeOfDay, plat::NowMs());
    std::fclose(file);
}

} // namespace Nubra
