#include "engine/core/TCFont.h"

#include "engine/core/Log.h"
#include "engine/core/XmlHelpers.h"
#include "framework/text/FontData.h"
#include "framework/text/ImageFont.h"
#include "framework/text/SysFont.h"

namespace {

constexpr int kDefaultPointSize = 12;

// Reads a value the declaration should give; notes the name of one that is missing.
template <typename T, typename Reader>
void ReadOrNote(pugi::xml_node node, const char* attribute, T& out, Reader read, std::string& missing)
{
    if (read(node, attribute, out))
        return;
    missing += missing.empty() ? "" : ", ";
    missing += attribute;
}

} // namespace

TCFont::TCFont(Nubra::ImageFontHost* app) : app_(app) {}

TCFont::~TCFont() = default;

void TCFont::LoadFonts(pugi::xml_node root)
{
    for (pugi::xml_node node : root.children("font")) {
        std::string name, type;
        XmlGetString(node, "name", name);
        XmlGetString(node, "type", type);
        std::unique_ptr<Nubra::Font> font;
        if (type == "System")
            font = CreateSystemFont(node, name);
        else if (type == "Image")
            font = CreateImageFont(node, name);
        if (!font)
            continue;
        std::unique_ptr<Nubra::Font>& slot = fonts_[name];
        if (slot)
            replaced_.push_back(std::move(slot));
        slot = std::move(font);
    }
}

Nubra::Font* TCFont::Find(const std::string& name) const
{
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second.get();
}

std::unique_ptr<Nubra::Font> TCFont::CreateSystemFont(pugi::xml_node node, const std::string& name) const
{
    std::string face, missing;
    int size = kDefaultPointSize;
    bool bold = false, italic = false, underline = false;
    XmlGetString(node, "face", face);
    ReadOrNote(node, "size", size, XmlGetInt, missing);
    ReadOrNote(node, "bold", bold, XmlGetBool, missing);
    ReadOrNote(node, "italic", italic, XmlGetBool, missing);
    ReadOrNote(node, "underline", underline, XmlGetBool, missing);
    if (!missing.empty())
        WriteLog("WARNING: font \"%s\" lacks %s; a plain %d-point font stands in for it", name.c_str(),
                 missing.c_str(), size);
    return std::make_unique<Nubra::SysFont>(face, size, bold, italic, underline);
}

std::unique_ptr<Nubra::Font> TCFont::CreateImageFont(pugi::xml_node node, const std::string& name) const
{
    std::string face;
    float scale = 1.0f;
    XmlGetString(node, "face", face);
    XmlGetFloat(node, "scale", scale);
    auto font = std::make_unique<Nubra::ImageFont>(app_, face);
    // The font itself stays silent about a description it could not read.
    if (!font->fontData->initialized)
        WriteLog("WARNING: font \"%s\": no usable description \"%s\"", name.c_str(), face.c_str());
    font->SetScale(scale);
    font->Prepare();
    return font;
}
