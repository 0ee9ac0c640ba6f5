#pragma once
#include <pugixml.hpp>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Nubra {
class Font;
class ImageFontHost;
} // namespace Nubra

// The fonts the UI names, declared once in the UI document and created at start-up.
class TCFont {
public:
    // Image fonts take their glyph sheets from the host, which must outlive the table.
    explicit TCFont(Nubra::ImageFontHost* app);
    TCFont(const TCFont&) = delete;
    TCFont& operator=(const TCFont&) = delete;
    virtual ~TCFont();

    // Reads every "font" child of the root; a type other than "System" or "Image" adds nothing.
    void LoadFonts(pugi::xml_node root);
    // Null for a name no font was declared under.
    Nubra::Font* Find(const std::string& name) const;

private:
    std::unique_ptr<Nubra::Font> CreateSystemFont(pugi::xml_node node, const std::string& name) const;
    std::unique_ptr<Nubra::Font> CreateImageFont(pugi::xml_node node, const std::string& name) const;

    Nubra::ImageFontHost* app_;
    std::map<std::string, std::unique_ptr<Nubra::Font>> fonts_;
    // A repeated name replaces the font, but a control may already hold the earlier one.
    std::vector<std::unique_ptr<Nubra::Font>> replaced_;
};
