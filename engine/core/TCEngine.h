#pragma once
#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"

class IAudioBackend;
class PakInterface;
class SoundLibrary;
class TCCursorSet;
class TCFont;
class TCLocalization;
class TCMusic;
class TCParticleRegistry;
class TCTextureTable;

namespace Nubra {
class Font;
} // namespace Nubra
class TCDialog;

// What the engine needs of the current game board: the hand-back of a loaded level.
class TCIGameBoard {
public:
    virtual ~TCIGameBoard() = default;
    // On the main thread, in the first step after the level-loading thread finished.
    virtual void OnLevelLoaded() = 0;
};

// The studio's application class: the engine-wide tables and start-up of the engine layer.
class TCEngine : public Nubra::NubraAppBase {
public:
    TCEngine();
    ~TCEngine() override;

    void Init() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    bool UpdateAppStep(bool& updated) override;
    void LostFocus() override;
    void GotFocus() override;
    void KeyDown(int key) override;
    void DrawOverlay(Nubra::Graphics* g) override;
    // The framework's mute (focus loss, demo fast-forward) silences the engine's own output.
    void SetSfxVolume(double volume) override;
    void SetMusicVolume(double volume) override;

    virtual void ShowMainMenu() {}
    virtual void HideMainMenu() {}
    // Around a level load: the game covers the screen while the level-loading thread runs.
    virtual void ShowLoadScreen() {}
    virtual void HideLoadScreen() {}

    // The game loads it before Init, so the window's title can come from it.
    TCLocalization& GetLocalization() { return *localization_; }
    TCMusic& GetMusic() { return *music_; }

    // Reading a variable that was never set creates it empty.
    std::wstring& GetTextVar(const std::string& name);
    void SetTextVar(const std::string& name, const std::wstring& text);
    void SetTextVar(const std::string& name, int value);

    // Null for a name the UI document declares no font under.
    Nubra::Font* GetFont(const std::string& name) const;

    // Runs a level load on its own thread with the framework's loading handshake: the main
    // thread gets more of the processor until the loop sees the load completed.
    void StartLevelLoading(std::function<void()> load);
    // Until the level-loading thread, if any, has ended.
    void WaitForLevelLoading();

    TCCursorSet& GetCursorSet() { return *cursors_; }

protected:
    // The back end sound starts on; tests give a fake.
    virtual std::unique_ptr<IAudioBackend> CreateAudioBackend();

    // The loaders of the engine's tables, in the order start-up calls them. Each reads what it
    // needs under a root that is empty when its document is missing.
    virtual void LoadEffects();
    virtual void LoadEffectConstants();
    virtual void LoadCallbackParamTable();
    virtual void LoadMusic(pugi::xml_node cfgRoot);
    virtual void LoadSounds(pugi::xml_node cfgRoot);
    virtual void LoadTextures(pugi::xml_node uiRoot);
    virtual void LoadFonts(pugi::xml_node uiRoot);
    virtual void LoadCursors(pugi::xml_node uiRoot);
    // Before loading has completed the mode waits for the main thread, which owns the pointer.
    virtual void SetCursorMode(const std::string& mode);
    virtual void ShowCursorSet(bool show);

    // The UI document as the loading thread read it, for the screens built from it afterwards;
    // empty when it is missing.
    pugi::xml_node UiRoot() const { return uiConfig_.node; }
    // The game's configuration document, kept the same way for the game board's own sections.
    pugi::xml_node CfgRoot() const { return gameConfig_.node; }

private:
    void OpenPaks();

    // First, so that it goes last: everything else may still read files while it is destroyed.
    std::unique_ptr<PakInterface> paks_;
    std::unique_ptr<SoundLibrary> soundLibrary_;
    std::unique_ptr<TCFont> fonts_;
    std::unique_ptr<TCMusic> music_;
    std::unique_ptr<TCLocalization> localization_;
    std::unique_ptr<TCTextureTable> textures_;
    std::unique_ptr<TCCursorSet> cursors_;
    std::unique_ptr<TCParticleRegistry> particles_;
    std::string pendingCursorMode_;
    XmlNodeRef uiConfig_;
    XmlNodeRef gameConfig_;
    std::map<std::string, std::wstring> textVars_;
    std::thread levelThread_;
    uint32_t levelLoads_ = 0;
};

// The engine, set by its constructor.
extern TCEngine* gTCEngine;
// The full-screen dialog over every screen that WidgetsLock raises to hold input back.
extern TCDialog* gRootDialog;
// Set by the game while a board is current.
extern TCIGameBoard* gCurrentBoard;

// Effect callbacks may name these.
void WidgetsLock();
void WidgetsUnlock();
