#include "engine/ui/TCCheckBox.h"

#include "engine/core/TCTexture.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"

TCTexture* ChooseCheckBoxTexture(TCTexture* normal, TCTexture* over, TCTexture* disabledLook, bool isDisabled,
                                 bool isOver)
{
    if (isDisabled)
        return disabledLook;
    if (isOver && HasFrames(over))
        return over;
    return normal;
}

TCCheckBox::TCCheckBox(TCCandyWidget* parent) : TCCandyWidget(parent) {}

void TCCheckBox::SetChecked(bool checked)
{
    checked_ = checked;
    MarkDirty();
}

void TCCheckBox::LoadFromXml(pugi::xml_node node, TCEngine*)
{
    TCCandyWidget::LoadFromXml(node);
    static constexpr std::pair<const char*, Slot> kIds[] = {
        {"normal", kNormal},           {"over", kOver},           {"disabled", kDisabled},
        {"check_normal", kCheckNormal}, {"check_over", kCheckOver}, {"check_disabled", kCheckDisabled},
    };
    for (const auto& [id, slot] : kIds)
        if (TCTexture* texture = LoadStateTexture(*this, node, id, 0))
            textures_[slot] = texture;
}

void TCCheckBox::Update()
{
    TCCandyWidget::Update();
    for (TCTexture* texture : textures_)
        if (texture)
            texture->SetVisible(false);
    const int set = checked_ ? kCheckNormal : kNormal;
    if (TCTexture* shown = ChooseCheckBoxTexture(textures_[size_t(set)], textures_[size_t(set + 1)],
                                                 textures_[size_t(set + 2)], disabled, isOver))
        shown->SetVisible(true);
}

void TCCheckBox::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
}

void TCCheckBox::MouseEnter()
{
    TCCandyWidget::MouseEnter();
    MarkDirty();
}

void TCCheckBox::MouseLeave()
{
    TCCandyWidget::MouseLeave();
    MarkDirty();
}

void TCCheckBox::MouseUp(int, int, int, int)
{
    if (isOver)
        checked_ = !checked_;
    MarkDirty();
}
