#include "engine/ui/ControlXml.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/TCCandyWidget.h"

bool ReadHexColor(pugi::xml_node node, const char* name, Nubra::Color& out)
{
    std::string text;
    if (!XmlGetString(node, name, text))
        return false;
    out = Nubra::Color(int(uint32_t(std::strtoul(text.c_str(), nullptr, 16))));
    return true;
}

pugi::xml_node ChildWithId(pugi::xml_node node, const char* element, const char* id)
{
    for (pugi::xml_node child : node.children(element))
        if (std::strcmp(child.attribute("id").value(), id) == 0)
            return child;
    return {};
}

bool ReadTextStyle(pugi::xml_node control, const char* id, TCTextStyle& style)
{
    pugi::xml_node node = ChildWithId(control, "textattr", id);
    if (!node)
        return false;
    style = TCTextStyle();
    if (!ReadHexColor(node, "color", style.color))
        WriteLog("WARNING: text style \"%s\" has no colour; opaque white stands in", id);
    style.hoverColor = style.color;
    style.disabledColor = style.color;
    ReadHexColor(node, "hcolor", style.hoverColor);
    ReadHexColor(node, "dcolor", style.disabledColor);
    std::string font;
    if (XmlGetString(node, "font", font) && gTCEngine)
        style.font = gTCEngine->GetFont(font);
    return true;
}

TCTexture* LoadStateTexture(TCCandyWidget& control, pugi::xml_node node, const char* name, int id)
{
    pugi::xml_node element = ChildWithId(node, "texture", name);
    if (!element)
        return nullptr;
    auto* texture = new TCTexture();
    texture->LoadFromXml(element, control.width, control.height);
    control.AddTexture(id, texture);
    return texture;
}

void LoadStateTextures(TCCandyWidget& control, pugi::xml_node node,
                       std::initializer_list<std::pair<const char*, int>> textures)
{
    for (const auto& [name, id] : textures)
        LoadStateTexture(control, node, name, id);
}

bool HasFrames(const TCTexture* texture) { return texture && texture->GetCurrentFrame(); }

void ShowNormalOrDisabledLook(TCTexture* normal, TCTexture* disabledLook, bool disabled)
{
    const bool showDisabled = disabled && HasFrames(disabledLook);
    if (normal)
        normal->SetVisible(!showDisabled);
    if (disabledLook)
        disabledLook->SetVisible(showDisabled);
}
