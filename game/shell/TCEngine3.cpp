#include "game/shell/TCEngine3.h"

#include "engine/core/TCLocalization.h"
#include "engine/core/TCMusic.h"
#include "engine/core/XmlHelpers.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
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
    TCEngine::Init();
}

void TCEngine3::LoadingThreadCompleted()
{
    TCEngine::LoadingThreadCompleted();
    GetMusic().Change("menu");
    // On the main thread, which owns the widget tree.
    XmlDocument ui = OpenXmlFile("cfg\\ui.xml");
    if (ui)
        widgetManager->AddWidget(new WelcomeDialog(this, ui->child("root")));
}
