#include "engine/core/TCEngine.h"

#include "engine/core/DataRoot.h"
#include "engine/core/EffectFile.h"
#include "engine/core/Log.h"
#include "engine/core/PakInterface.h"
#include "engine/core/SdlMixerBackend.h"
#include "engine/core/SoundLibrary.h"
#include "engine/core/TCCursorSet.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCFont.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCSound.h"
#include "engine/core/TCTextureTable.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/TCDialog.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/CRand.h"
#include "platform/Clock.h"
#include "platform/Thread.h"

TCEngine* gTCEngine = nullptr;
TCDialog* gRootDialog = nullptr;
TCIGameBoard* gCurrentBoard = nullptr;

TCEngine::TCEngine()
{
    // Everything the constructors and the entry read is relative to the data root, so enter it
    // now; the framework's own change of folder later agrees.
    programFolder = DataRoot();
    SetWorkingDirectoryToExe();
    OpenPaks();

    width = 1024;
    height = 768;
    productName = "Tarrow1";
    title = L"";
    productVersion = "1.0";
    registryKey = "Trilvo Games\\Tarrow5";
    gTCEngine = this;

    soundLibrary_ = std::make_unique<SoundLibrary>();
    music_ = std::make_unique<TCMusic>();
    DebugSettings().hooks.reloadEffects = [] { ::LoadEffectConstants(); };
    fonts_ = std::make_unique<TCFont>(this);
    localization_ = std::make_unique<TCLocalization>();
    textures_ = std::make_unique<TCTextureTable>();
    gTextureTable = textures_.get();
    cursors_ = std::make_unique<TCCursorSet>(this);
    particles_ = std::make_unique<TCParticleRegistry>();
    gParticleRegistry = particles_.get();

    // Hidden until something locks the widgets.
    gRootDialog = new TCDialog(nullptr, this);
    gRootDialog->Resize(0, 0, 1024, 768);
    // Clear: what lies beneath still shows while it holds the input.
    gRootDialog->hasAlpha = true;
    widgetManager->AddWidget(gRootDialog);
}

TCEngine::~TCEngine()
{
    // The loading threads write the tables freed below.
    WaitForLoadingThread();
    WaitForLevelLoading();

    widgetManager->RemoveAllWidgets(true, false);
    gRootDialog = nullptr;
    textVars_.clear();
    FreeSounds();
    music_.reset();
    soundLibrary_.reset(); // releases sound when Init started it
    fonts_.reset();
    // Systems that outlive the engine let go of their textures here.
    gParticleRegistry = nullptr;
    particles_.reset();
    // Last, since the widgets and cursors gone before held handles on it.
    cursors_.reset();
    gTextureTable = nullptr;
    textures_.reset();
    ReleaseEffects();
    if (gTCEngine == this)
        gTCEngine = nullptr;
}

// Later archives replace the entries of earlier ones. The layer exists even when a developer
// ignores the archives: the engine's own character reads and searches go through it to the disk.
void TCEngine::OpenPaks()
{
    paks_ = std::make_unique<PakInterface>();
    if (DebugSettings().IgnorePaks)
        return;
    for (const char* name : {"loc.pak", "data.pak", "mod.pak"})
        paks_->AddPakFile(DataRoot() + name);
}

std::unique_ptr<IAudioBackend> TCEngine::CreateAudioBackend() { return std::make_unique<SdlMixerBackend>(); }

void TCEngine::Init()
{
    NubraAppBase::Init();
    DebugSettings().CreateFonts(*this);
    // The framework has seeded the random generator already, from the demo when one plays;
    // seeding again here would break replays.
    LoadEffects();
    LoadEffectConstants();
    soundLibrary_->UseBackend(CreateAudioBackend());
    StartSound();
}

// The tables' loaders share these names, hence the qualified calls.
void TCEngine::LoadEffects() { ::LoadEffects(); }
void TCEngine::LoadEffectConstants() { ::LoadEffectConstants(); }
void TCEngine::LoadCallbackParamTable() { ::LoadCallbackParamTable(); }
void TCEngine::LoadSounds(pugi::xml_node cfgRoot) { ::LoadSounds(cfgRoot); }
void TCEngine::LoadMusic(pugi::xml_node cfgRoot) { music_->LoadMusic(cfgRoot); }

void TCEngine::LoadingThreadProc()
{
    // Each thread has its own generator; deriving it from the run's seed lets demos replay.
    plat::CSRand(randomSeed + 1);
    LoadCallbackParamTable();
    gameConfig_ = OpenXmlRoot("cfg\\cfg.xml");
    LoadMusic(CfgRoot());
    LoadSounds(CfgRoot());
    uiConfig_ = OpenXmlRoot("cfg\\ui.xml");
    LoadTextures(UiRoot());
    LoadFonts(UiRoot());
    LoadCursors(UiRoot());
    SetCursorMode("normal");
    ShowCursorSet(false);
}

void TCEngine::LoadFonts(pugi::xml_node uiRoot) { fonts_->LoadFonts(uiRoot); }

Nubra::Font* TCEngine::GetFont(const std::string& name) const { return fonts_->Find(name); }

void TCEngine::LoadTextures(pugi::xml_node uiRoot) { textures_->Load(uiRoot); }

void TCEngine::LoadCursors(pugi::xml_node uiRoot) { cursors_->Load(uiRoot); }

void TCEngine::SetCursorMode(const std::string& mode)
{
    if (!completionHandled) {
        pendingCursorMode_ = mode;
        return;
    }
    cursors_->SetCursor(mode);
}

void TCEngine::ShowCursorSet(bool show)
{
    if (show)
        cursors_->Show();
    else
        cursors_->Hide();
}

void TCEngine::LoadingThreadCompleted()
{
    cursors_->SetCursor(pendingCursorMode_);
    ShowCursorSet(true);
}

bool TCEngine::UpdateAppStep(bool& updated)
{
    // The start-up load is the framework's; a level load that has completed ends here.
    if (completionHandled && loadingInProgress && loadingCompleted) {
        loadingInProgress = false;
        plat::SetThreadPriority(plat::ThreadPriority::Normal);
        if (gCurrentBoard) {
            SetLogTimeBase(plat::NowMs());
            gCurrentBoard->OnLevelLoaded();
        }
    }
    if (IAudioBackend* audio = GetAudioBackend())
        audio->Tick(plat::NowMs());
    return NubraAppBase::UpdateAppStep(updated);
}

void TCEngine::LostFocus()
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->PauseAll(true);
}

void TCEngine::GotFocus()
{
    if (IAudioBackend* audio = GetAudioBackend())
        audio->PauseAll(false);
}

void TCEngine::KeyDown(int key) { DebugSettings().OnKeyDown(key); }

void TCEngine::DrawOverlay(Nubra::Graphics* g)
{
    DebugSettings().DrawOverlay(*g);
    // The pointer goes over everything.
    cursors_->Draw(g);
}

void TCEngine::SetSfxVolume(double volume)
{
    NubraAppBase::SetSfxVolume(volume);
    SetSoundsSilenced(IsMuted());
}

void TCEngine::SetMusicVolume(double volume)
{
    NubraAppBase::SetMusicVolume(volume);
    SetMusicSilenced(IsMuted());
}

std::wstring& TCEngine::GetTextVar(const std::string& name) { return textVars_[name]; }

void TCEngine::SetTextVar(const std::string& name, const std::wstring& text) { textVars_[name] = text; }

void TCEngine::SetTextVar(const std::string& name, int value) { textVars_[name] = std::to_wstring(value); }

void TCEngine::WaitForLevelLoading()
{
    if (levelThread_.joinable())
        levelThread_.join();
}

void TCEngine::StartLevelLoading(std::function<void()> load)
{
    WaitForLevelLoading();
    plat::SetThreadPriority(plat::ThreadPriority::AboveNormal);
    loadingInProgress = true;
    loadingCompleted = false;
    const uint32_t seed = randomSeed + 1 + ++levelLoads_;
    levelThread_ = std::thread([this, seed, load = std::move(load)] {
        plat::CSRand(seed);
        load();
        loadingCompleted = true;
    });
}

void WidgetsLock()
{
    if (!gTCEngine || !gRootDialog)
        return;
    gTCEngine->widgetManager->BringToFront(gRootDialog);
    gRootDialog->SetVisible(true);
    // Reordering alone marks nothing for redraw.
    gRootDialog->MarkDirty();
}

void WidgetsUnlock()
{
    if (gRootDialog)
        gRootDialog->SetVisible(false);
}
