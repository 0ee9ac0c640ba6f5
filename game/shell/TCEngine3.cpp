#include "game/shell/TCEngine3.h"

#include "engine/core/XmlHelpers.h"

TCEngine3* gTCEngine3 = nullptr;

namespace {

// The window's title from the texts, read on its own until the localisation table exists; an
// unlisted text shows as "$" and its id, as every missing text does.
std::wstring ReadAppTitle()
{
    XmlDocument texts = OpenXmlFile("cfg\\loc.xml");
    pugi::xml_node entry = texts ? XmlSelectNode(*texts, "root/loc[@id='app_title']") : pugi::xml_node();
    std::wstring title = L"$app_title";
    XmlGetWideString(entry, "text", title);
    return title;
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
    title = ReadAppTitle();
    TCEngine::Init();
}
