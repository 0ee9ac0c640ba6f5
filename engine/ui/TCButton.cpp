#include "engine/ui/TCButton.h"

#include "engine/core/TCCursorSet.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCSound.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"
#include "engine/ui/TCButtonListener.h"
#include "framework/widgets/WidgetManager.h"

namespace {

void SetCursorMode(const char* mode)
{
    if (gTCEngine)
        gTCEngine->GetCursorSet().SetCursor(mode);
}

} // namespace

TCButtonLook ChooseButtonLook(TCButtonState state, bool downUsable, TCOverTexture over)
{
    TCButtonLook look;
    const bool overInPlace = over.usable && !over.additive;
    switch (state) {
    case TCButtonState::Disabled:
        look.disabled = true;
        break;
    case TCButtonState::Pressed:
        look.down = downUsable;
        look.over = !downUsable && overInPlace;
        look.normal = !look.down && !look.over;
        break;
    case TCButtonState::Hovered:
        look.over = overInPlace || over.additive;
        look.normal = !overInPlace;
        break;
    case TCButtonState::Idle:
        look.normal = true;
        break;
    }
    return look;
}

TCButton::TCButton(TCCandyWidget* parent, intptr_t id, TCButtonListener* listener)
    : TCCandyWidget(parent), id_(id), listener_(listener)
{
    hasAlpha = true;
    layout_.valign = 0;
    layout_.justify = 0;
}

TCButton::~TCButton() = default;

void TCButton::LoadFromXml(pugi::xml_node node, TCEngine* app)
{
    TCCandyWidget::LoadFromXml(node);
    std::string id;
    SetLabel(XmlGetString(node, "label", id) && app ? app->GetLocalization().GetText(id) : std::wstring());
    XmlGetInt(node, "line_spacing", layout_.lineSpacing);
    XmlGetInt(node, "justify", layout_.justify);
    XmlGetInt(node, "valign", layout_.valign);
    XmlGetInt(node, "hoffset", layout_.hoffset);
    XmlGetInt(node, "woffset", layout_.woffset);
    XmlGetString(node, "snd_hover", hoverSound_);
    XmlGetString(node, "snd_click", clickSound_);
    LoadStateTextures(*this, node,
                      {{"normal", kNormalTexture}, {"over", kOverTexture}, {"down", kDownTexture},
                       {"disabled", kDisabledTexture}});
    for (int index = 0; index < kTextStyleCount; ++index) {
        TCTextStyle style;
        if (ReadTextStyle(node, kTextStyleNames[index], style))
            SetTextStyle(index, style.font, style.color, style.hoverColor, style.disabledColor);
    }
}

void TCButton::SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color, const Nubra::Color& hoverColor,
                            const Nubra::Color& disabledColor)
{
    if (index < 0 || index >= kTextStyleCount)
        return;
    styles_[size_t(index)] = {font, color, hoverColor, disabledColor};
    image_.Invalidate();
    MarkDirty();
}

void TCButton::SetStateImages(const std::string& imageId)
{
    for (int id : {kNormalTexture, kOverTexture, kDownTexture, kDisabledTexture})
        SetStateImage(imageId, id);
}

void TCButton::SetStateImage(const std::string& imageId, int textureId)
{
    if (TCTexture* texture = GetTexture(textureId))
        texture->SetImage(FindTexture(imageId));
    MarkDirty();
}

void TCButton::SetLabel(const std::wstring& text)
{
    label_ = text;
    image_.Invalidate();
}

TCButtonState TCButton::State() const
{
    if (disabled)
        return TCButtonState::Disabled;
    if (isDown && isOver)
        return TCButtonState::Pressed;
    return isOver ? TCButtonState::Hovered : TCButtonState::Idle;
}

void TCButton::ShowTextures()
{
    TCTexture* normal = GetTexture(kNormalTexture);
    TCTexture* over = GetTexture(kOverTexture);
    TCTexture* down = GetTexture(kDownTexture);
    TCTexture* disabledLook = GetTexture(kDisabledTexture);
    const TCButtonState state = State();
    const TCButtonLook look =
        ChooseButtonLook(state, HasFrames(down), {HasFrames(over), over && over->IsAdditive()});
    for (auto [texture, shown] : {std::pair{normal, look.normal}, std::pair{over, look.over},
                                  std::pair{down, look.down}, std::pair{disabledLook, look.disabled}})
        if (texture)
            texture->SetVisible(shown);
    // The highlight starts from its first frame on the next hover.
    if (state == TCButtonState::Idle && HasFrames(over))
        over->Rewind();
}

void TCButton::Update()
{
    TCCandyWidget::Update();
    ShowTextures();
    if (isDown && isOver && listener_)
        listener_->ButtonDownTick(id_);
}

void TCButton::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
    if (!label_.empty()) {
        image_.Render(*this, label_, int(label_.size()), styles_, layout_);
        TintByEffectiveAlpha(g, *this);
        image_.Draw(g, *this);
    }
    DrawOutlineIfAsked(g, *this);
}

void TCButton::OnHidden()
{
    TCCandyWidget::OnHidden();
    image_.Free();
}

void TCButton::Touch()
{
    image_.Invalidate();
    MarkDirty();
}

void TCButton::MouseEnter()
{
    TCCandyWidget::MouseEnter();
    Touch();
    if (listener_)
        listener_->ButtonMouseEnter(id_);
    SetCursorMode("active");
    PlaySound(hoverSound_);
}

void TCButton::MouseLeave()
{
    TCCandyWidget::MouseLeave();
    Touch();
    if (listener_)
        listener_->ButtonMouseLeave(id_);
    SetCursorMode("normal");
}

void TCButton::MouseMove(int x, int y)
{
    Touch();
    if (listener_)
        listener_->ButtonMouseMove(id_, x, y);
}

void TCButton::MouseDown(int, int, int, int clickCount)
{
    Touch();
    if (disabled)
        return;
    if (listener_)
        listener_->ButtonPress(id_, clickCount);
    PlaySound(clickSound_);
}

void TCButton::MouseUp(int, int, int, int)
{
    Touch();
    // A click completes only over the button, and not while the application is in the background.
    if (isOver && manager && manager->hasFocus && listener_)
        listener_->ButtonDepress(id_);
}
