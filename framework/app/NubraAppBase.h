#pragma once
#include <atomic>
#include <cstdint>
#include <deque>
#include <future>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "framework/app/DemoFile.h"
#include "framework/app/DemoStream.h"
#include "framework/audio/MusicInterface.h"
#include "framework/graphics/DDInterface.h"
#include "framework/graphics/ImageHost.h"
#include "framework/graphics/SharedImage.h"
#include "framework/text/ImageFontHost.h"
#include "framework/util/CriticalSection.h"
#include "framework/util/Timing.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Cursors.h"
#include "platform/Events.h"
#include "platform/InstanceGuard.h"
#include "platform/MediaSystems.h"
#include "platform/MessageBox.h"
#include "platform/UrlOpener.h"
#include "platform/Window.h"

namespace Nubra {

class Buffer;
class Dialog;
class ResourceManager;
class Graphics;
class Image;
struct Rect;
class Widget;

// The one application object: settings of the run, the window, the widget tree, the music
// player, the loading thread and the fixed-step main loop. The program entry constructs it,
// calls Init and Start once each on the main thread, then deletes it. Engine and game classes
// derive from it and plug in through the virtual hooks.
class NubraAppBase : public ButtonListener, public DialogListener, public ImageHost, public ImageFontHost {
public:
    NubraAppBase();
    ~NubraAppBase() override;

    // Lifecycle (main thread).
    virtual void Init();
    virtual void Start();
    // From any thread; off the main thread it only asks the loop to shut down on its next pass.
    virtual void Shutdown();
    // Ends the process with the code at once: flags shut down and flushes the output first.
    [[noreturn]] void DoExit(int code);

    // Hooks; empty unless overridden.
    virtual void PreInitHook() {}
    virtual void PreDisplayHook() {}
    virtual void InitHook() {}
    virtual void ShutdownHook() {}
    virtual void PreTerminate() {}
    virtual void LoadingThreadProc() {} // on the loading thread
    virtual void LoadingThreadCompleted() {} // once, on the main thread, after LoadingThreadProc returned
    virtual void KeyDown(int key) { (void)key; }
    virtual void GotFocus() {}
    virtual void LostFocus() {}
    virtual void CloseRequest() {}
    virtual void DrawOverlay(Graphics* g) { (void)g; } // on top of the widgets at every draw
    virtual bool ChangeDirHook(const std::string& path); // true when it made the folder current itself
    virtual void HandleNotifyGameMessage(int type, int parameter);
    virtual void NotifyRunningInstance();

    // Settings storage; the application's values are read in Init and written at the end.
    virtual void ReadFromRegistry();
    virtual void WriteToRegistry();

    // The user's settings under "SOFTWARE\<registry key>"; a value name may begin with subkeys
    // ("Test3D\RuntimeError"). Each is false, with its outputs untouched, when the value cannot
    // be had; without a registry key nothing is read or written. While a demo records, every
    // result goes into it; while one plays, the recorded results stand in for the store.
    bool RegistryWrite(const std::string& valueName, uint32_t type, const uint8_t* data, uint32_t size);
    bool RegistryWriteString(const std::string& valueName, const std::string& text);
    bool RegistryWriteInteger(const std::string& valueName, int32_t value);
    bool RegistryWriteBoolean(const std::string& valueName, bool value);
    // size: the buffer's capacity in, the value's size out. A value larger than the buffer fails.
    bool RegistryRead(const std::string& valueName, uint32_t* type, uint8_t* buffer, uint32_t* size);
    bool RegistryReadInteger(const std::string& valueName, int32_t* value); // only a 4-byte number
    bool RegistryReadBoolean(const std::string& valueName, bool* value);
    bool RegistryReadString(const std::string& valueName, std::string* text); // at most 4096 bytes
    bool RegistryEraseValue(const std::string& valueName);

    // A whole file of the data-file layer (archives, else disk), demo-aware unless dontRecord.
    bool ReadBufferFromFile(const std::string& fileName, Buffer* out, bool dontRecord = false);
    // Makes any value demo-aware: recording keeps it, playing replaces it by the recorded one.
    void DemoSyncBuffer(Buffer* buffer);
    void DemoSyncBool(bool* value);
    void DemoSyncString(std::string* text);

    // Demo recording and playback, switched on by the command-line options. Both begin in Init
    // once the random seed is set; a recording is written when the object goes (or at a crash).
    // While playing, only a close reaches the game from the player: the keys steer playback.
    bool ReadDemoFile(std::string* error); // the file of demoFileName; error: the reason to show
    bool WriteDemoFile(); // async-signal-safe: the crash handler saves the recording with it
    // Recording: names the current update as a place that playback can jump to.
    void AddDemoJumpPoint(const std::string& name);
    // Playing: runs the recorded input that is due before the next update step.
    void DemoInputStep();
    // Playing: a typed character that steers playback (speed, jumps, pause, sound, marker list).
    virtual void DemoControlChar(int character);

    // Command line.
    virtual void ReadCommandLine();
    virtual void HandleCmdLineParam(const std::string& text) { (void)text; }
    virtual void ParseCommandLine(const std::string& option, const std::string& value);

    // Texts of the framework, by id; an application may replace any of them.
    std::wstring GetString(const std::string& id, const std::wstring& fallback) const;
    void SetString(const std::string& id, const std::wstring& text);

    // Dialogs, by id.
    virtual Dialog* NewDialog(int id, bool modal, const std::wstring& title, const std::wstring& text,
                              const std::wstring& footer, int buttonMode);
    virtual Dialog* DoDialog(int id, bool modal, const std::wstring& title, const std::wstring& text,
                             const std::wstring& footer, int buttonMode);
    virtual void AddDialog(Dialog* dialog);
    virtual void AddDialog(int id, Dialog* dialog);
    virtual Dialog* GetDialog(int id) const;
    virtual bool KillDialog(Dialog* dialog);
    virtual bool KillDialog(int id);
    virtual bool KillDialog(int id, bool removeWidget, bool deleteWidget);
    virtual int GetDialogCount() const { return static_cast<int>(dialogMap.size()); }
    using ButtonListener::ButtonPress;
    void DialogButtonPress(int dialogId, int buttonId) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;

    // Widgets are deleted here once the update that may still use them has returned.
    virtual void SafeDeleteWidget(Widget* widget);
    // True before the main loop has claimed a thread, too.
    bool IsMainThread() const;

    // Sound volumes (0..1) and mutes.
    virtual double GetSfxVolume() const { return sfxVolume; }
    virtual double GetMusicVolume() const { return musicVolume; }
    virtual bool IsMuted() const { return muteCount > 0; }
    bool IsMutedByUser() const { return muteCount - autoMuteCount > 0; } // what "Muted" keeps
    virtual void SetSfxVolume(double volume);
    virtual void SetMusicVolume(double volume);
    virtual void Mute(bool automatic);
    virtual void Unmute(bool automatic);
    // Silent with no music; the FMOD player when chosen and present; else the BASS one.
    virtual std::unique_ptr<MusicInterface> CreateMusicInterface();

    // Loading thread.
    virtual double GetLoadingProgress() const;
    void WaitForLoadingThread();

    // System message boxes, each bracketed by BeginPopup and EndPopup. Afterwards the time
    // spent in the box is not caught up, and no key or button counts as still held.
    virtual void BeginPopup();
    virtual void EndPopup();
    plat::MsgBoxResult MsgBox(const std::wstring& text, const std::wstring& title, plat::MsgBoxButtons buttons,
                              plat::MsgBoxIcon icon);
    void Popup(const std::string& text);
    void PopupW(const std::wstring& text) override;

    std::string GetProductVersion() const;
    std::string GetAppDataFolder() const;

    // The registry of live images; images made without a host of their own register here.
    void AddMemoryImage(MemoryImage* image) override;
    void RemoveMemoryImage(MemoryImage* image) override;
    void Remove3DData(MemoryImage* image) override;
    bool Is3DAccelerated() override;
    NativeDisplay* GetNativeDisplay() override;
    void RequestSharedImageCleanup() override { sharedImageCleanup = true; }

    // Images shared by (file name, variant): loaded once, by the first caller; a caller that
    // asks while that load runs waits for it. A name beginning with '!' gives an empty image
    // for the caller to fill. The handle holds no image when the file could not be read.
    SharedImageRef GetSharedImage(const std::string& fileName, const std::string& variant, bool* created) override;
    // Frees the shared images that lost their last handle, once asked to (after each update step).
    void CleanSharedImages();
    // A new display image holding the file's picture; null when it cannot be read.
    virtual MemoryImage* GetImage(const std::string& fileName, bool commitBits);
    // A new display image holding the rectangle of the image (or all of it).
    MemoryImage* CopyImage(Image* image, const Rect& rect);
    MemoryImage* CopyImage(Image* image);
    // One image operation on every live image.
    virtual void ApplyImageLoadOptions();
    virtual void DeleteImagesNativeData();
    virtual void DeleteImagesDerivedBuffers();
    // The developer's image memory report, in "_dump" under the data folder.
    void DumpProgramInfo();
    // The screen as the next free "<n>.png" in "_screenshots" under the data folder.
    bool TakeScreenshot();

    // Main loop and frame timing.
    virtual void MainLoop();
    virtual bool UpdateApp();
    virtual bool UpdateAppStep(bool& updated);
    virtual bool Process(bool allowSleep);
    virtual bool DoUpdateFrames();
    virtual void UpdateFrames();
    virtual void UpdateFrameF(float fraction);
    virtual bool DrawDirtyStuff();
    virtual bool Redraw();
    void ResetUpdateTiming(bool relax);
    void ProcessSafeDeleteWidgets();

    // Window and display. MakeWindow opens the window in the chosen mode (windowed at the
    // preferred place, or covering the desktop) and starts the display on it, falling back to
    // the other mode or to software drawing when the display refuses; it ends the program when
    // nothing works.
    virtual void MakeWindow();

    // Starts the display driver on the window in its current mode: a DisplayResult.
    virtual int InitDisplay();
    // Switches drawing through the accelerated path on or off; with reinitialise, at once.
    void Set3DAcceleration(bool on, bool reinitialise);
    // Remakes the window and display when the mode differs (or force is set); otherwise only
    // applies the 3-D choice. Full screen stays when the desktop has no room for a window.
    virtual void SwitchScreenMode(bool windowed, bool is3D, bool force);
    void SwitchScreenMode(bool windowed);
    void SwitchScreenMode(); // the current mode and 3-D choice again
    // After a failed present: tries to bring the display back; true when it is back.
    bool RestoreLostDisplay();
    virtual void HideApp(); // silent and out of sight until the program ends

    // Messages from the system. WindowProc queues input (and acts at once only on what cannot
    // wait); the main loop replays the queue into the widget manager.
    void WindowProc(const plat::Message& message);
    // Replays queued messages (only the first when single); true when any remain.
    bool ProcessDeferredMessages(bool single);
    size_t QueuedMessageCount() const { return deferredMessages_.size(); }
    // Recomputes whether the player is with the program, and tells the widgets and the hooks.
    void RehupFocus();
    virtual bool IsAltKeyUsed(int character); // true swallows the Alt combination
    // Developer keys while debug keys are enabled; true when the key was taken.
    virtual bool DebugKeyDown(int key);
    virtual bool DebugKeyDownEx(int key, bool control, bool alt);

    // Mouse pointer: numbers 0 arrow, 1 hand, 2 drag, 3 I-beam, 4 no, 5 size-all, 6 NE-SW,
    // 7 N-S, 8 NW-SE, 9 W-E, 10 wait, 11 and 12 none. A picture set for a number replaces
    // its shape, through the display, while custom cursors are enabled (always for 12).
    static constexpr int kCursorCount = 13;
    virtual void UpdateCursor();
    void SetCursor(int number);
    void SetCursorImage(int number, Image* image); // null clears; the caller keeps the image
    void EnableCustomCursors(bool enable);
    plat::SystemCursor ShownSystemCursor() const { return cursors_.Current(); }

    void CopyToClipboard(const std::wstring& text);
    std::wstring GetClipboard();

    // Opens the address in the browser; the outcome arrives through one of the two below once
    // the desktop has answered. With quitWhenOpen, success shuts the program down.
    virtual void OpenURL(const std::string& address, bool quitWhenOpen);
    virtual void URLOpenFailed(const std::string& address);
    virtual void URLOpenSucceeded(const std::string& address);

    // Appends "text time-of-day tick-count" to ScrError.txt in the per-user data folder; the
    // first line of a run starts the file anew.
    void LogScreenSaverError(const std::string& text);

    // Settings of the run.
    std::string productName = "Product";
    std::wstring title = L"NubraApp";
    std::string registryKey;
    std::string makerName;
    std::string programFolder;
    std::string demoFolderName = "nubraapp";
    std::string demoFileName = "nubraapp.dmo";
    std::string productVersion;
    int32_t width = 1024;
    int32_t height = 768;
    int32_t colorDepth = 32;
    bool windowed = false;
    bool physicallyWindowed = true;
    bool fullScreenForced = false;
    int32_t preferredX = -1;
    int32_t preferredY = -1;
    int32_t updatePeriod = 10; // ms
    double updateMultiplier = 1.0;
    bool noMusic = false;
    bool useFMod = false;
    double musicVolume = 0.85;
    double sfxVolume = 0.85;
    double savedMusicVolume = 0.0;
    double savedSfxVolume = 0.0;
    int32_t muteCount = 0;
    int32_t autoMuteCount = 0;
    int32_t refreshRate = 100;
    bool waitForVSync = false;
    bool vsyncTimingAllowed = false;
    bool vsyncUnusableWindowed = true;
    bool vsyncBroken = false;
    bool customCursors = false;
    bool singleInstance = true;
    bool screenSaverMode = false;
    bool lastRunClean = true;
    bool inputLocked = false; // set by the engine while input must not reach the game

    // Window, focus and input state.
    bool active = true;      // the program is the one the player works with
    bool minimized = false;
    bool hidden = false;     // by HideApp
    bool hasFocus = false;   // active and not minimised
    bool mouseInWindow = false;
    bool muteOnFocusLoss = true;
    bool fullScreenFailed = false;
    bool displayLost = false; // a present failed; drawing waits until the display is back
    bool showWithoutActivation = false;
    bool controlDown = false;
    bool altDown = false;
    bool debugKeysEnabled = false;
    bool debugKeysAllowed = false; // the developer setting that lets Ctrl+Shift+D enable debug keys
    bool overlayOn = false;
    int overlayMode = 0; // 0 frame rate, 1 mouse position
    uint32_t lastInputTime = 0;
    int32_t cursorNumber = 0;
    Image* cursorImages[kCursorCount] = {};
    bool paused = false;
    bool recordingDemo = false;
    bool playingDemo = false;
    uint32_t startTick = 0;
    uint32_t randomSeed = 0;

    // Demo state: the stream stamps its events with the update count. Recorded reads belong on
    // the main thread: the stream keeps one order of events.
    DemoStream demoStream{updateCount};
    std::vector<DemoJumpPoint> demoJumpPoints;
    uint32_t demoLength = 0;     // updates in the recording played
    uint32_t demoJumpTarget = 0; // playback runs without drawing until this update
    bool demoFastForwardToEnd = false;
    bool demoRedrawNow = false;
    bool demoMarkerListOpen = false; // the player's input goes to the marker list meanwhile
    int32_t demoMouseX = 0; // where the recorded mouse is, the base of its relative moves
    int32_t demoMouseY = 0;

    // What the display driver reads, and what it reports back.
    bool windowAspectForced = false; // a window narrower than this aspect is widened to it
    AspectRatio windowAspect{4, 3};
    bool stretchToWideScreen = false; // a widened display gets a frame of its width
    bool refreshRateUnknown = false; // the display's rate was unknown or out of range
    Rect presentationRect; // where the frame shows in the window or on the screen

    // The 3-D choice, and what the display code records about it during the run.
    bool hardwareAcceleration = false;
    bool hardwareAccelerationSwitched = false;
    bool hardwareAccelerationStored = false;
    bool hardwareAccelerationDecidedByTest = false;
    bool hardwareAccelerationProblem = false;
    // The graphics card test: whether it runs, whether a card that passes it gets 3-D, and the
    // card memory it asks for, in megabytes.
    bool test3D = true;
    bool autoEnable3D = true;
    uint32_t minVidMemory3D = 6;
    uint32_t recommendedVidMemory3D = 14;

    // Lifecycle flags. Those shared with other threads are atomic.
    bool initialized = false;
    bool leaveUpdateLoop = false;
    bool registryRead = false;
    bool commandLineRead = false;
    bool closedByUser = false;
    bool quitBySystem = false; // the last close came from outside the window (a signal)
    bool inMainLoop = false;
    bool loadingThreadWanted = true;
    std::atomic<bool> shutDown{false};
    std::atomic<bool> shutdownRequested{false};
    std::atomic<bool> loadingThreadStarted{false};
    std::atomic<bool> loadingCompleted{false};
    std::atomic<bool> completionHandled{false};
    std::atomic<bool> loadingInProgress{false};
    std::atomic<int32_t> loadingStepsTotal{0};
    std::atomic<int32_t> loadingStepsDone{0};
    std::atomic<bool> sharedImageCleanup{false}; // a shared image lost its last reference

    // Owned parts.
    std::unique_ptr<WidgetManager> widgetManager;
    std::unique_ptr<ResourceManager> resourceManager;
    std::unique_ptr<MusicInterface> musicInterface;
    plat::Window window;
    std::unique_ptr<DDInterface> ddInterface; // after the window: it goes first
    std::map<int, Dialog*> dialogMap;
    std::set<MemoryImage*> imageRegistry; // under imageLock
    CriticalSection imageLock;

    // Statistics of the run.
    uint32_t updateCount = 0;
    uint32_t drawCount = 0;
    uint32_t sleepCount = 0;
    uint32_t drawTime = 0;      // ms
    uint32_t screenBltTime = 0; // ms
    uint32_t stepsWithChange = 0;

protected:
    // Frame timing state.
    double timeBehind = 0.0; // ms not yet consumed by update steps
    uint32_t lastTimingCheck = 0;
    bool hasTimingCheck = false;
    int32_t relaxCounter = 0;
    double updateFraction = 0.0;
    int updateState = 0; // 0 pump messages, 1 may update, 2 updated, 3 drawn or slept
    int updateNesting = 0;
    int updatesSinceDraw = 0;
    bool updatedSinceDraw = true;
    bool nothingDrawnLastTime = false;
    bool inDraw = false;
    bool forceRedraw = false;
    uint32_t lastDrawTime = 0;
    uint32_t nextDrawTime = 0;
    int32_t fastCheckCount = 0;
    uint32_t lastFastCheckTime = 0;
    int32_t stepsSinceFastCheck = 0;

    // Asks whether to keep 3-D acceleration on when the run has given reason to; the answer
    // becomes hardwareAcceleration.
    void ConfirmHardwareAcceleration();

private:
    // Demo.
    void StartDemo();
    void StopDemo();
    void RecordDemo(const DemoEvent& event);
    void RecordDemoMouseMove(int x, int y);
    void PlayDemoEvent(const DemoEvent& event);
    void PlayDemoScreenSettings();
    // Playing: runs the updates up to a jump target without drawing (but once a second); true
    // when the pass is over.
    bool DemoFastForward();
    Buffer demoJumpBlock_; // the jump points as a file stores them, ready for a crash
    bool demoMutedForFastForward_ = false;
    uint32_t lastFastForwardDraw_ = 0;

    void HandleLoadingCompletion();
    bool VSyncTimingOn() const;
    void UpdateTimeBehind();
    void PumpMessages();
    void StartLoadingThread();
    void RunLoadingThread();
    void ApplyVolumes();
    void WriteRunStatistics(uint32_t runMs) const;
    void StoreSettings(); // WriteToRegistry as one batch
    std::string DemoFolder() const;
    // A folder under the per-user data folder, emptied first when asked.
    // The per-user data folder, with a trailing '/': what the program writes goes there, never
    // beside the program.
    std::string DataFolder() const;
    std::string OutputFolder(const std::string& name, bool empty) const;
    // An empty image of the display.
    MemoryImage* NewDisplayImage();
    void ForEachImage(void (MemoryImage::*operation)());
    // At the end of the run; handles still held elsewhere must not be used after it.
    void DeleteSharedImages();

    // A shared image, and the moment its first caller has stored the image.
    struct SharedImageRecord {
        SharedImage shared;
        std::shared_future<void> loaded;
    };

    plat::MediaSystems media_;
    plat::InstanceGuard instanceGuard_;
    std::atomic<std::thread::id> mainThreadId_{};
    std::thread loadingThread_;
    std::map<std::string, std::wstring> strings_;
    std::list<std::pair<int, Widget*>> deferredDeletes_;
    std::deque<plat::Message> deferredMessages_;
    std::map<std::pair<std::string, std::string>, SharedImageRecord> sharedImages_; // under imageLock

    // Window and input.
    void OpenMainWindow();
    bool HandleDisplayResult(int result);
    [[noreturn]] void FailDisplay(int result);
    bool QueueMessage(const plat::Message& message);
    void ReplayMessage(const plat::Message& message);
    void ReplayKeyDown(int key);
    void ReplayMouse(const plat::Message& message);
    void UpdateMouseMapping();
    void ReplaySize(int32_t sizeKind);
    void ReplayActivation();
    void ReplayTimer();
    void MouseLeftWindow();
    void PollUrlOpening();
    void StartWindowTimer();
    void SynthesizeTimer();
    void ApplyScreenSaverPermission();
    bool displayDriverMade_ = false;
    bool popupShown_ = false;
    bool windowTimerRunning_ = false;
    uint32_t lastWindowTimer_ = 0;
    uint32_t lastDisplayRestoreTry_ = 0;
    plat::CursorSet cursors_;
    std::unique_ptr<plat::UrlOpening> urlOpening_;
    std::string urlAddress_;
    bool urlQuitWhenOpen_ = false;
    bool screenSaverLogStarted_ = false;
};

// The application object, set by its constructor.
extern NubraAppBase* gNubraAppBase;

// A usable desktop area must be larger than the game screen in both directions for a window.
bool WindowFitsDesktop(int desktopWidth, int desktopHeight, int width, int height);

} // namespace Nubra
