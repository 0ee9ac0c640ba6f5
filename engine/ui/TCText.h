#pragma once
#include <functional>
#include <map>
#include <string>

#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCLabelImage.h"
#include "engine/ui/TCTextStyle.h"

namespace Nubra {
class Image;
}
class TCEngine;

// "%name%" in the label becomes the variable's value, noted in `shown` under its name. A
// reference left open at the end is dropped ("50%" gives "50"); "%%" is the variable named "".
std::wstring SubstituteTextVars(const std::wstring& label, const std::function<std::wstring(const std::string&)>& value,
                                std::map<std::string, std::wstring>& shown);

// Static text of a screen: a localised label with text variables that follows their values,
// written in up to four styles over a normal or a disabled texture.
class TCText : public TCCandyWidget {
public:
    static constexpr int kNormalTexture = 0;
    static constexpr int kDisabledTexture = 1;

    TCText(TCCandyWidget* parent, TCEngine* app);
    ~TCText() override;

    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    // Rebuilt at the next update while shown; an empty label clears the text.
    virtual void SetLabel(const std::wstring& text);
    // Index 0-3 (shadow, stroke, normal, gradient); others are ignored.
    virtual void SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color,
                              const Nubra::Color& disabledColor);
    virtual void SetVisibleChars(int count);
    // Drawn alone over the whole control in place of textures and text; null goes back to them.
    virtual void SetImage(Nubra::Image* image) { replacement_ = image; }
    // The declared image of that id for the normal and the disabled texture.
    virtual void SetTexturesImage(const std::string& imageId);
    // which: 0 the normal texture, 1 the disabled one.
    virtual void SetTextureImage(int which, const std::string& imageId, const Nubra::Rect& rect);

    void SetDisabled(bool isDisabled) override;
    void OnHidden() override;
    TCText* AsText() override { return this; }
    void Update() override;
    void Draw(Nubra::Graphics* g) override;

    const std::wstring& GetLabel() const { return label_; }
    const std::wstring& GetDisplayedText() const { return displayed_; }
    int GetVisibleChars() const { return visibleChars_; }
    const TCLabelImage& GetLabelImage() const { return image_; }

private:
    bool ShownVariablesChanged() const;
    void RebuildText();
    void ChooseTexture();

    TCEngine* app_;
    std::wstring label_;
    bool varsValid_ = false;
    std::map<std::string, std::wstring> shownVars_;
    TCLabelLayout layout_;
    std::wstring displayed_;
    TCTextStyles styles_;
    int visibleChars_ = 0;
    TCLabelImage image_;
    Nubra::Image* replacement_ = nullptr; // not owned
};
