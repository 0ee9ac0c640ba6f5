#include "engine/ui/TCText.h"

#include <algorithm>

#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"
#include "framework/graphics/Graphics.h"

std::wstring SubstituteTextVars(const std::wstring& label, const std::function<std::wstring(const std::string&)>& value,
                                std::map<std::string, std::wstring>& shown)
{
    std::wstring text;
    std::string name;
    bool inReference = false;
    for (wchar_t c : label) {
        if (c == L'%') {
            if (inReference) {
                std::wstring current = value(name);
                text += current;
                shown[name] = std::move(current);
            }
            name.clear();
            inReference = !inReference;
        } else if (inReference) {
            name += char(c & 0xFF);
        } else {
            text += c;
        }
    }
    return text;
}

TCText::TCText(TCCandyWidget* parent, TCEngine* app) : TCCandyWidget(parent), app_(app) {}

TCText::~TCText() = default;

void TCText::LoadFromXml(pugi::xml_node node, TCEngine* app)
{
    app_ = app;
    TCCandyWidget::LoadFromXml(node);
    std::string id;
    SetLabel(XmlGetString(node, "label", id) && app_ ? app_->GetLocalization().GetText(id) : std::wstring());
    layout_ = TCLabelLayout();
    XmlGetInt(node, "line_spacing", layout_.lineSpacing);
    XmlGetInt(node, "justify", layout_.justify);
    XmlGetInt(node, "valign", layout_.valign);
    XmlGetInt(node, "hoffset", layout_.hoffset);
    XmlGetInt(node, "woffset", layout_.woffset);
    for (int index = 0; index < kTextStyleCount; ++index) {
        TCTextStyle style;
        if (ReadTextStyle(node, kTextStyleNames[index], style))
            SetTextStyle(index, style.font, style.color, style.disabledColor);
    }
    LoadStateTextures(*this, node, {{"normal", kNormalTexture}, {"disabled", kDisabledTexture}});
}

void TCText::SetLabel(const std::wstring& text)
{
    label_ = text;
    shownVars_.clear();
    varsValid_ = false;
    if (label_.empty()) {
        displayed_.clear();
        visibleChars_ = 0;
        image_.Invalidate();
    }
}

void TCText::SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color, const Nubra::Color& disabledColor)
{
    if (index < 0 || index >= kTextStyleCount)
        return;
    styles_[size_t(index)].font = font;
    styles_[size_t(index)].color = color;
    styles_[size_t(index)].disabledColor = disabledColor;
    image_.Invalidate();
}

void TCText::SetVisibleChars(int count)
{
    visibleChars_ = std::clamp(count, 0, int(displayed_.size()));
    image_.Invalidate();
}

void TCText::SetTexturesImage(const std::string& imageId)
{
    for (int id : {kNormalTexture, kDisabledTexture})
        if (TCTexture* texture = GetTexture(id))
            texture->SetImage(FindTexture(imageId));
}

void TCText::SetTextureImage(int which, const std::string& imageId, const Nubra::Rect& rect)
{
    if (which != kNormalTexture && which != kDisabledTexture)
        return;
    if (TCTexture* texture = GetTexture(which))
        texture->SetImage(FindTexture(imageId), rect);
}

void TCText::SetDisabled(bool isDisabled)
{
    TCCandyWidget::SetDisabled(isDisabled);
    image_.Invalidate();
}

void TCText::OnHidden()
{
    TCCandyWidget::OnHidden();
    image_.Free();
}

bool TCText::ShownVariablesChanged() const
{
    return app_ && std::any_of(shownVars_.begin(), shownVars_.end(),
                               [this](const auto& entry) { return app_->GetTextVar(entry.first) != entry.second; });
}

void TCText::RebuildText()
{
    varsValid_ = true;
    image_.Invalidate();
    shownVars_.clear();
    displayed_ = SubstituteTextVars(
        label_, [this](const std::string& name) { return app_ ? app_->GetTextVar(name) : std::wstring(); },
        shownVars_);
    RunEffect("onchange");
}

void TCText::Update()
{
    if (IsVisibleInTree() && !label_.empty()) {
        if (!varsValid_ || ShownVariablesChanged())
            RebuildText();
        // Effects run below and may lower the count for this frame only.
        if (visibleChars_ != int(displayed_.size())) {
            visibleChars_ = int(displayed_.size());
            image_.Invalidate();
        }
    }
    ChooseTexture();
    TCCandyWidget::Update();
}

void TCText::ChooseTexture()
{
    ShowNormalOrDisabledLook(GetTexture(kNormalTexture), GetTexture(kDisabledTexture), disabled);
}

void TCText::Draw(Nubra::Graphics* g)
{
    if (replacement_) {
        g->DrawImage(replacement_, 0, 0, width, height);
        return;
    }
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
    if (!displayed_.empty()) {
        image_.Render(*this, displayed_, visibleChars_, styles_, layout_);
        TintByEffectiveAlpha(g, *this);
        image_.Draw(g, *this);
    }
    DrawOutlineIfAsked(g, *this);
}
