#include "engine/core/TCLocalization.h"

#include "engine/core/XmlHelpers.h"
#include "framework/util/StringUtils.h"

bool TCLocalization::Load(const char* path)
{
    const XmlDocument document = OpenXmlFile(path);
    if (!document)
        return true;
    ForEachNode(XmlSelectNode(*document, "root"), "loc", [this](pugi::xml_node element) {
        std::string id;
        if (XmlGetString(element, "id", id)) {
            std::wstring text;
            XmlGetWideString(element, "text", text);
            texts_.emplace(id, text);
        }
        return true;
    });
    return true;
}

std::wstring TCLocalization::GetText(const std::string& id) const
{
    const auto found = texts_.find(id);
    return found != texts_.end() ? found->second : L"$" + Nubra::Utf8ToWString(id);
}
