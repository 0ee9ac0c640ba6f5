#include "framework/graphics/DDInterface.h"

#include "framework/app/NubraAppBase.h" // the owner sets the screen mode, aspect and 3-D switches
#include "framework/graphics/D3DInterface.h"
#include "framework/graphics/D3DTester.h"
#include "framework/graphics/DDImage.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/DebugOut.h"
#include "platform/Gpu.h"
#include "platform/Window.h"
#include "platform/MediaSystems.h"
#include "platform/WindowPresenter.h"

#include <algorithm>

namespace Nubra {

namespace {

constexpr uint32_t kMinRefresh = 60;
constexpr uint32_t kMaxRefresh = 100;

plat::PixelRect ToPixelRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

std::vector<uint32_t> SaturationTable(int bits)
{
    const uint32_t max = bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1;
    std::vector<uint32_t> table(size_t(max) * 2 + 1);
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = uint32_t(std::min<size_t>(i, max));
    return table;
}

void FillConversionTable(uint32_t (&table)[256], uint32_t mask)
{
    for (uint32_t i = 0; i < 256; ++i)
        table[i] = uint32_t(uint64_t(i) * mask / 255) & mask;
}

} // namespace

DDInterface::DDInterface(NubraAppBase* app) : app(app), d3dInterface(std::make_unique<D3DInterface>()) {}

DDInterface::~DDInterface()
{
    Cleanup();
    d3dInterface.reset();
    AutoCrit lock(critSect);
    // Images that outlive the display keep their memory copies and forget it.
    for (DDImage* image : ddImageSet)
        image->DetachDisplay();
    ddImageSet.clear();
}

void DDInterface::UsePresenter(std::unique_ptr<plat::Presenter> fixed)
{
    AutoCrit lock(critSect);
    presenter = std::move(fixed);
    presenterFixed_ = presenter != nullptr;
}

std::string DDInterface::ResultToString(int code)
{
    static const char* const kNames[] = {"RESULT_OK",           "RESULT_FAIL",           "RESULT_DD_CREATE_FAIL",
                                         "RESULT_SURFACE_FAIL", "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL",
                                         "RESULT_INVALID_COLORDEPTH"};
    if (code < 0 || code >= int(std::size(kNames)))
        return "RESULT_UNKNOWN";
    return kNames[code];
}

bool DDInterface::GotDXError(bool failed, const std::string& step, const std::string& reason)
{
    if (!failed)
        return false;
    errorText = StrFormat("%s: %s", step.c_str(), reason.c_str());
    return true;
}

int DDInterface::Fail(int result, const std::string& step, const std::string& reason)
{
    GotDXError(true, step, reason);
    return result;
}

int DDInterface::FailPresenter(int result)
{
    errorText = presenter->Error();
    return result;
}

// "<what> is <width> x <height> [<ratio>]", for whoever reads the debug output.
void DDInterface::LogSize(const char* what, int32_t w, int32_t h, const AspectRatio& ratio) const
{
    plat::DebugOut(StrFormat("%-20s %4lu x %4lu [%2d:%2d]\n", what, (unsigned long)w, (unsigned long)h,
                             ratio.numerator, ratio.denominator));
}

int DDInterface::Init(plat::Window* newWindow, bool isWindowed)
{
    AutoCrit lock(critSect);
    initialized = false;
    Cleanup();
    errorText.clear();
    if (!presenterFixed_)
        presenter = newWindow && newWindow->Handle() ? std::make_unique<plat::WindowPresenter>(newWindow->Handle())
                                                      : nullptr;
    RunD3DTest();

    window = newWindow;
    windowed = isWindowed;
    width = app->width;
    height = app->height;
    aspect.Set(width, height);
    plat::DesktopMode desktop;
    const bool haveDesktop = presenter && presenter->Desktop(&desktop);
    desktopWidth = desktop.width;
    desktopHeight = desktop.height;
    desktopAspect.Set(desktopWidth, desktopHeight);
    displayWidth = width;
    displayHeight = height;
    displayAspect = aspect;
    letterboxed = false;
    presentationRect = Rect(0, 0, width, height);
    fullScreenBits = app->colorDepth;
    LogSize("Application requests", width, height, aspect);

    if (!presenter)
        return Fail(RESULT_DD_CREATE_FAIL, "SDL_CreateRenderer", "there is no window to show frames in");
    if (!haveDesktop)
        return FailPresenter(RESULT_DD_CREATE_FAIL);
    int placed = windowed ? PlaceWindowed() : PlaceFullScreen();
    app->presentationRect = presentationRect;
    if (placed != RESULT_OK)
        return placed;

    // The frame takes the desktop's depth in a window, and the asked depth full screen.
    const int depth = windowed ? desktop.format.bitsPerPixel : fullScreenBits;
    if (depth != 16 && depth != 32)
        return Fail(RESULT_INVALID_COLORDEPTH, "SDL_GetDesktopDisplayMode",
                    StrFormat("%d bits per pixel cannot be shown", depth));
    const plat::PixelFormat format = ChooseFormat(desktop, depth);
    BuildPixelTables(format);
    drawSurface = CreateSurface(width, height, false);
    if (!drawSurface || width <= 0 || height <= 0)
        return Fail(RESULT_SURFACE_FAIL, "CreateSurface DrawSurface",
                    StrFormat("no %d x %d frame", int(width), int(height)));

    presenter->SetVSync(!windowed || app->waitForVSync);
    presenter->PreferAcceleration(is3D);
    if (!presenter->Start(width, height, format, displayWidth, displayHeight))
        return FailPresenter(RESULT_DD_CREATE_FAIL);
    LogSize("Draw buffer is", width, height, aspect);
    SetRefreshRate(presenter->RefreshRate());
    SetVideoOnlyDraw(videoOnlyDraw);

    if (is3D && !d3dInterface->Init(this)) {
        errorText = "3D init error: " + gD3DErrorText;
        return RESULT_3D_INIT_FAIL;
    }
    ++initCount;
    initialized = true;
    return RESULT_OK;
}

int DDInterface::PlaceWindowed()
{
    plat::DebugOut(StrFormat("Hack aspect is                   [%2d:%2d]\n", app->windowAspect.numerator,
                             app->windowAspect.denominator));
    if (!presenter->SetFullScreen(false))
        return FailPresenter(RESULT_FAIL);
    if (app->windowAspectForced && aspect < app->windowAspect) {
        letterboxed = true;
        displayAspect = app->windowAspect;
        displayWidth = displayAspect.numerator * height / displayAspect.denominator;
        displayHeight = height;
        presenter->SetClientSize(displayWidth, displayHeight);
        if (app->stretchToWideScreen) {
            width = displayWidth;
            aspect = displayAspect;
            presentationRect = Rect(0, 0, displayWidth, displayHeight);
        } else {
            presentationRect = Rect((displayWidth - width) / 2, 0, width, height);
        }
    }
    LogSize("Window is", displayWidth, displayHeight, displayAspect);
    return RESULT_OK;
}

int DDInterface::PlaceFullScreen()
{
    LogSize("Desktop is", desktopWidth, desktopHeight, desktopAspect);
    // The desktop keeps its mode: a narrower frame is centred in it, or widened to its shape.
    if (aspect < desktopAspect) {
        letterboxed = true;
        displayWidth = desktopWidth;
        displayHeight = desktopHeight;
        displayAspect = desktopAspect;
        if (app->stretchToWideScreen) {
            aspect = desktopAspect;
            width = aspect.numerator * height / aspect.denominator;
            presentationRect = Rect(0, 0, desktopWidth, desktopHeight);
        } else {
            int shown = width * desktopHeight / height;
            presentationRect = Rect((desktopWidth - shown) / 2, 0, shown, desktopHeight);
        }
    }
    LogSize("Display is", displayWidth, displayHeight, displayAspect);
    if (!presenter->SetFullScreen(true))
        return FailPresenter(RESULT_EXCLUSIVE_FAIL);
    return RESULT_OK;
}

plat::PixelFormat DDInterface::ChooseFormat(const plat::DesktopMode& desktop, int depth) const
{
    // 16-bit colour only when asked for; the desktop's own channel layout when it has that depth.
    const int bits = depth == 16 || app->colorDepth == 16 ? 16 : 32;
    if (desktop.format.bitsPerPixel == bits)
        return desktop.format;
    return bits == 16 ? plat::PixelFormat::RGB565() : plat::PixelFormat::XRGB8888();
}

void DDInterface::SetRefreshRate(int reported)
{
    refreshRate = uint32_t(std::max(reported, 0));
    if (refreshRate < kMinRefresh || refreshRate > kMaxRefresh) {
        refreshRate = refreshRate < kMinRefresh ? kMinRefresh : kMaxRefresh;
        app->refreshRateUnknown = true;
    }
    millisecondsPerFrame = 1000 / refreshRate;
}

void DDInterface::BuildPixelTables(const plat::PixelFormat& format)
{
    SetPixelFormat(format.bitsPerPixel, format.redMask, format.greenMask, format.blueMask);
    rgbOrder = blueMask < greenMask && greenMask < redMask;
    redAddTable = SaturationTable(redBits);
    greenAddTable = SaturationTable(greenBits);
    blueAddTable = SaturationTable(blueBits);
    FillConversionTable(redConvertTable, redMask);
    FillConversionTable(greenConvertTable, greenMask);
    FillConversionTable(blueConvertTable, blueMask);
}

std::shared_ptr<plat::Surface> DDInterface::CreateSurface(int surfaceWidth, int surfaceHeight, bool videoMemory)
{
    AutoCrit lock(critSect);
    if (rgbBits != 16 && rgbBits != 32)
        return nullptr;
    auto surface = std::make_shared<plat::Surface>(surfaceWidth, surfaceHeight,
                                                   plat::PixelFormat{rgbBits, redMask, greenMask, blueMask});
    surface->videoMemory = videoMemory;
    return surface;
}

void DDInterface::ClearDDSurface(plat::Surface* surface)
{
    plat::SurfaceLock pixels;
    if (!surface || !surface->Lock(&pixels))
        return;
    const size_t rowBytes = size_t(surface->Width()) * size_t(pixels.format.BytesPerPixel());
    for (int y = 0; y < surface->Height(); ++y)
        std::fill_n(pixels.pixels + size_t(y) * size_t(pixels.pitch), rowBytes, uint8_t(0));
    surface->Unlock();
}

bool DDInterface::Redraw(const Rect*)
{
    AutoCrit lock(critSect);
    if (!initialized)
        return false;
    inRedraw = true;
    if (is3D) {
        if (!gD3DErrorText.empty()) {
            // The card's road failed during the frame: draw in software from now on.
            inRedraw = false;
            is3D = false;
            return false;
        }
        d3dInterface->Flush();
        return PresentAccelerated();
    }
    // No front buffer keeps earlier frames: the whole frame goes every time.
    plat::Surface& frame = videoOnlyDraw && secondarySurface ? *secondarySurface : *drawSurface;
    const bool shown = presenter->Present(frame, {0, 0, width, height}, ToPixelRect(presentationRect));
    inRedraw = false;
    if (!shown)
        errorText = presenter->Error();
    return shown;
}

// The frame is the card's target texture. A present that fails there goes on in software.
bool DDInterface::PresentAccelerated()
{
    const bool shown = d3dInterface->Present(Rect(0, 0, width, height), presentationRect, displayWidth, displayHeight);
    inRedraw = false;
    if (!shown) {
        errorText = "Redraw 3D: " + (presenter->GetGpu() ? presenter->GetGpu()->Error() : std::string("no renderer"));
        is3D = false;
    }
    // Pixels the card lost come back only when every widget draws again.
    if (d3dInterface->TakeFrameLost() && app->widgetManager)
        app->widgetManager->MarkAllDirty();
    return shown;
}

void DDInterface::SetVideoOnlyDraw(bool flag)
{
    AutoCrit lock(critSect);
    videoOnlyDraw = flag;
    if (videoOnlyDraw && !secondarySurface) {
        secondarySurface = CreateSurface(width, height, true);
        if (secondarySurface)
            secondarySurface->writeOnly = true;
        else
            videoOnlyDraw = false;
    }
    screenImage.reset();
    screenImage = std::make_unique<DDImage>(this);
    screenImage->SetSurface(videoOnlyDraw ? secondarySurface : drawSurface);
    screenImage->wantsVideoMemory = videoOnlyDraw;
    screenImage->videoMemoryWriteOnly = videoOnlyDraw;
    screenImage->SetImageMode(false, false);
}

bool DDInterface::SetCursorImage(Image* image)
{
    AutoCrit lock(critSect);
    if (image == cursorImage)
        return false;
    cursorImage = image;
    ShowCursorImage();
    return true;
}

bool DDInterface::ShowCursorImage()
{
    auto* picture = dynamic_cast<MemoryImage*>(cursorImage);
    const uint32_t* pixels = picture ? picture->GetBits() : nullptr;
    if (!pixels) {
        cursor.Reset();
        return false;
    }
    // The picture centred in the cursor area, whose centre is the hot spot.
    std::vector<uint32_t> area(size_t(cursorWidth) * size_t(cursorHeight), 0);
    const int left = (cursorWidth - picture->width) / 2, top = (cursorHeight - picture->height) / 2;
    for (int y = std::max(0, -top); y < picture->height && top + y < cursorHeight; ++y)
        for (int x = std::max(0, -left); x < picture->width && left + x < cursorWidth; ++x)
            area[size_t(top + y) * size_t(cursorWidth) + size_t(left + x)] =
                pixels[size_t(y) * size_t(picture->width) + size_t(x)];
    return cursor.Show(area.data(), cursorWidth, cursorHeight, cursorWidth / 2, cursorHeight / 2);
}

void DDInterface::SetCursorPos(int x, int y)
{
    AutoCrit lock(critSect);
    cursorX = x;
    cursorY = y;
}

void DDInterface::AddDDImage(DDImage* image)
{
    AutoCrit lock(critSect);
    ddImageSet.insert(image);
}

void DDInterface::RemoveDDImage(DDImage* image)
{
    AutoCrit lock(critSect);
    ddImageSet.erase(image);
}

void DDInterface::Remove3DData(MemoryImage* image)
{
    if (d3dInterface)
        d3dInterface->RemoveImage(image);
}

bool DDInterface::RunD3DTest()
{
    if (d3dTester || (!app->test3D && !app->autoEnable3D))
        return false;
    d3dTester = std::make_unique<D3DTester>(app);
    d3dTester->SetVidMemLimits(app->minVidMemory3D, app->recommendedVidMemory3D);
    // A repeat start with the same driver and program takes the stored outcome and touches no card.
    const std::string key = plat::VideoDriverName() + " " + app->productVersion + " " + app->GetProductVersion();
    d3dTester->TestD3DOrRecall(presenter ? presenter->GetGpu() : nullptr, key);
    const std::optional<bool> decision = D3DTestDecision(app->autoEnable3D, d3dTester->IsFirstTime(),
                                                         d3dTester->GetFailureReason(), d3dTester->GetWarning());
    if (decision) {
        is3D = *decision;
        app->hardwareAccelerationDecidedByTest = true;
    }
    return true;
}

std::optional<bool> DDInterface::D3DTestDecision(bool autoEnable, bool firstTime, const std::string& failureReason,
                                                 const std::string& warning)
{
    if (!failureReason.empty())
        return false;
    if (warning.empty())
        return autoEnable ? std::optional<bool>(true) : std::nullopt;
    // A doubtful card leaves a choice the player made alone.
    return firstTime ? std::optional<bool>(false) : std::nullopt;
}

void DDInterface::Cleanup()
{
    AutoCrit lock(critSect);
    initialized = false;
    if (d3dInterface)
        d3dInterface->Cleanup();
    screenImage.reset();
    drawSurface.reset();
    secondarySurface.reset();
    if (presenter)
        presenter->Stop();
}

} // namespace Nubra
