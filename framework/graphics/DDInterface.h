#pragma once
#include "framework/graphics/NativeDisplay.h"
#include "framework/graphics/Rect.h"
#include "framework/util/CriticalSection.h"
#include "framework/util/Timing.h"
#include "platform/ColorCursor.h"
#include "platform/Presenter.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace plat {
class Window;
}

namespace Nubra {

class D3DInterface;
class D3DTester;
class DDImage;
class Image;
class MemoryImage;
class NubraAppBase;

// What Init reports.
enum DisplayResult : int {
    RESULT_OK = 0,
    RESULT_FAIL = 1,
    RESULT_DD_CREATE_FAIL = 2,
    RESULT_SURFACE_FAIL = 3,
    RESULT_EXCLUSIVE_FAIL = 4, // full screen refused
    RESULT_DISPCHANGE_FAIL = 5,
    RESULT_INVALID_COLORDEPTH = 6,
    RESULT_3D_INIT_FAIL = 7, // the rest worked; drawing with the graphics card did not start
};

// The display: the frame every draw goes into, its pixel format and the tables the software
// blitters read, the live surface-backed images, the mouse pointer picture, and presenting a
// finished frame in the window or full screen (the desktop's mode is never changed: a frame of
// another shape is placed in the middle, or stretched to the desktop's shape when asked).
class DDInterface : public NativeDisplay {
public:
    explicit DDInterface(NubraAppBase* app);
    ~DDInterface() override;
    DDInterface(const DDInterface&) = delete;
    DDInterface& operator=(const DDInterface&) = delete;

    // From now on frames go to this presenter, whatever window Init is given (tests use a
    // headless one). Without one, Init presents in the window it is given.
    void UsePresenter(std::unique_ptr<plat::Presenter> presenter);
    plat::Presenter* GetPresenter() { return presenter.get(); }

    // Sets the display up for the window (again after a mode switch); a DisplayResult.
    int Init(plat::Window* window, bool windowed);
    void Cleanup();
    static std::string ResultToString(int code);
    // False when not failed; else records "step: reason" as the error text.
    bool GotDXError(bool failed, const std::string& step, const std::string& reason);

    // A surface in the display's pixel format; null before Init or with an unusable format.
    std::shared_ptr<plat::Surface> CreateSurface(int width, int height, bool videoMemory);
    void ClearDDSurface(plat::Surface* surface);
    // Shows the whole frame (a clip only says what changed). False when not set up or when
    // presenting failed, with the error text set; a failure recorded by the graphics card's
    // road turns that road off.
    bool Redraw(const Rect* clip = nullptr);
    DDImage* GetScreenImage() { return screenImage.get(); }
    // Draws frames straight into a second, write-only surface.
    void SetVideoOnlyDraw(bool flag);

    // The mouse pointer: the image centred in the 64 x 64 cursor area, its centre the hot spot,
    // drawn by the system. False when it is the current one already. Null brings back the
    // system's arrow.
    bool SetCursorImage(Image* image);
    // The system moves the pointer picture itself: only remembered.
    void SetCursorPos(int x, int y);

    void AddDDImage(DDImage* image);
    void RemoveDDImage(DDImage* image);
    void Remove3DData(MemoryImage* image);
    // The graphics card test, once per display, when the application asks for it or for 3-D by
    // default; it may switch 3-D on or off. False when it did not run.
    bool RunD3DTest();
    // What a test's outcome does to 3-D: on, off, or nothing (nullopt).
    static std::optional<bool> D3DTestDecision(bool autoEnable, bool firstTime, const std::string& failureReason,
                                               const std::string& warning);

    NubraAppBase* app; // not owned
    std::unique_ptr<D3DInterface> d3dInterface;
    std::unique_ptr<D3DTester> d3dTester; // null until the test has run
    bool is3D = true;
    CriticalSection critSect; // the display lock
    bool inRedraw = false;

    std::shared_ptr<plat::Surface> drawSurface;
    std::shared_ptr<plat::Surface> secondarySurface; // video-only drawing
    int32_t width = 0; // of the frame
    int32_t height = 0;
    AspectRatio aspect;
    int32_t desktopWidth = 0;
    int32_t desktopHeight = 0;
    AspectRatio desktopAspect;
    bool letterboxed = false;
    int32_t displayWidth = 0; // the window's client area, or the full-screen display
    int32_t displayHeight = 0;
    AspectRatio displayAspect;
    Rect presentationRect; // where the frame shows on the display
    int32_t fullScreenBits = 32;
    uint32_t refreshRate = 60;
    uint32_t millisecondsPerFrame = 16;

    // Saturation tables: entry i = min(i, max), 2 x max + 1 entries, max the channel's largest value.
    std::vector<uint32_t> redAddTable, greenAddTable, blueAddTable;
    // Conversion tables: entry i = (i x mask / 255) & mask, an 8-bit value in the channel's place.
    uint32_t redConvertTable[256] = {};
    uint32_t greenConvertTable[256] = {};
    uint32_t blueConvertTable[256] = {};
    bool rgbOrder = false; // the masks run blue < green < red

    bool initialized = false;
    plat::Window* window = nullptr;
    bool windowed = true;
    std::unique_ptr<DDImage> screenImage;
    std::set<DDImage*> ddImageSet; // the live surface-backed images
    bool videoOnlyDraw = false;
    uint32_t initCount = 0;

    int32_t cursorWidth = 64;
    int32_t cursorHeight = 64;
    int32_t cursorX = 0;
    int32_t cursorY = 0;
    Image* cursorImage = nullptr; // not owned
    plat::ColorCursor cursor;

    std::string errorText;

private:
    int PlaceWindowed();
    int PlaceFullScreen();
    plat::PixelFormat ChooseFormat(const plat::DesktopMode& desktop, int depth) const;
    void SetRefreshRate(int reported);
    void BuildPixelTables(const plat::PixelFormat& format);
    int Fail(int result, const std::string& step, const std::string& reason);
    int FailPresenter(int result);
    void LogSize(const char* what, int32_t w, int32_t h, const AspectRatio& ratio) const;
    bool ShowCursorImage();
    bool PresentAccelerated();

    std::unique_ptr<plat::Presenter> presenter;
    bool presenterFixed_ = false;
};

} // namespace Nubra
