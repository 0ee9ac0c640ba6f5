#include "engine/ui/TCCandyWidget.h"

#include <algorithm>
#include <cmath>

#include "engine/core/EffectFile.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCParticleRegistry.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"

namespace {

const Nubra::Rect kScreen(0, 0, TCCandyWidget::kScreenWidth, TCCandyWidget::kScreenHeight);

} // namespace

TCCandyWidget::TCCandyWidget(TCCandyWidget* parent) : parent_(parent) { visible = false; }

TCCandyWidget::~TCCandyWidget()
{
    effect_.reset();
    textures_.clear();
    RemoveAllWidgets(true, false);
}

void TCCandyWidget::LoadFromXml(pugi::xml_node node)
{
    int left = 0, top = 0, w = 0, h = 0;
    XmlGetInt(node, "x", left);
    XmlGetInt(node, "y", top);
    XmlGetInt(node, "width", w);
    XmlGetInt(node, "height", h);
    bool shown = false;
    if (XmlGetBool(node, "visible", shown))
        SetVisible(shown);
    Resize(left, top, w, h);

    hasAlpha = true;
    XmlGetBool(node, "has_alpha", hasAlpha);
    mouseVisible = true;
    XmlGetBool(node, "mousevisible", mouseVisible);

    std::string effectName;
    XmlGetString(node, "effect", effectName);
    if (!effectName.empty())
        SetEffect(CreateEffect(effectName.c_str()));
    XmlGetInt(node, "scalepointx", scalePoint_.x);
    XmlGetInt(node, "scalepointy", scalePoint_.y);
    XmlGetFloat(node, "scale", scale_);
}

float TCCandyWidget::UpdateStep()
{
    return Nubra::gNubraAppBase ? float(Nubra::gNubraAppBase->updatePeriod) / 1000.0f : 0.01f;
}

void TCCandyWidget::Update()
{
    const float dt = UpdateStep();
    if (effect_) {
        effect_->UpdateTimers(dt);
        UpdateParticlesOf(effect_.get(), dt);
        InvalidateTransform();
    }
    Nubra::Widget::Update();
    if (transformDirty_ || boundsDirty_)
        PushTransformToTextures();
    for (auto& [id, texture] : textures_)
        texture->Update(dt);
    MarkDirty();
}

void TCCandyWidget::PushTransformToTextures()
{
    Nubra::Matrix3 matrix = GetTransform();
    Nubra::Rect bounds;
    if (drawOffset_.x != 0 || drawOffset_.y != 0) {
        matrix.m[0][2] += float(drawOffset_.x);
        matrix.m[1][2] += float(drawOffset_.y);
        bounds = GetBoundsFor(matrix);
    } else {
        bounds = GetBounds();
    }
    bounds = bounds.Intersection(kScreen);
    for (auto& [id, texture] : textures_) {
        texture->SetTransform(matrix);
        texture->SetClipRect(bounds);
    }
}

void TCCandyWidget::Draw(Nubra::Graphics* g)
{
    Nubra::Widget::Draw(g);
    for (auto& [id, texture] : textures_)
        texture->DrawInRect(g);
    if (effect_) {
        effect_->SetBinding(kBindGraphics, g);
        effect_->RunEvent("render_ps");
    }
}

void TCCandyWidget::SetVisible(bool shown)
{
    if (shown == visible)
        return;
    hiding_ = false;
    showing_ = false;
    if (shown) {
        Nubra::Widget::SetVisible(true);
        Walk(&TCCandyWidget::OnShown);
    } else {
        Walk(&TCCandyWidget::OnHidden);
        Nubra::Widget::SetVisible(false);
    }
}

void TCCandyWidget::Walk(void (TCCandyWidget::*hook)())
{
    if (!IsVisibleInTree())
        return;
    (this->*hook)();
    ForEachCandyChild([hook](TCCandyWidget* child) {
        if (child->visible)
            child->Walk(hook);
    });
}

bool TCCandyWidget::IsVisibleInTree() const
{
    for (const TCCandyWidget* widget = this; widget; widget = widget->parent_)
        if (!widget->visible)
            return false;
    return true;
}

void TCCandyWidget::OnShown()
{
    for (auto& [id, texture] : textures_)
        texture->LockFrames();
}

void TCCandyWidget::OnHidden()
{
    for (auto& [id, texture] : textures_)
        texture->UnlockFrames();
}

void TCCandyWidget::Show()
{
    if (showing_)
        return;
    OnShow();
    if (RunEffect("onshow")) {
        hiding_ = false;
        showing_ = true;
        return;
    }
    SetVisible(true);
}

void TCCandyWidget::Hide()
{
    if (hiding_)
        return;
    OnHide();
    if (RunEffect("onhide")) {
        showing_ = false;
        hiding_ = true;
        return;
    }
    SetVisible(false);
}

void TCCandyWidget::ShowChildren()
{
    for (auto& [name, child] : namedChildren_)
        child->Show();
}

void TCCandyWidget::HideChildren()
{
    for (auto& [name, child] : namedChildren_)
        child->Hide();
}

void TCCandyWidget::SetEffect(std::unique_ptr<TCEffect> effect)
{
    effect_ = std::move(effect);
    if (!effect_)
        return;
    effect_->SetBinding(kBindWidgetOffset, &offset_);
    effect_->SetBinding(kBindWidgetScalePoint, &scalePoint_);
    effect_->SetBinding(kBindWidget, this);
    effect_->SetBinding(kBindChildRecords, &childRecords_);
    effect_->SetTarget(this);
}

bool TCCandyWidget::RunEffect(const char* event) { return effect_ && effect_->RunEvent(event); }

void TCCandyWidget::Resize(int newX, int newY, int newWidth, int newHeight)
{
    layout_ = {newX, newY, newWidth, newHeight};
    Nubra::Widget::Resize(newX, newY, newWidth, newHeight);
    InvalidateTransform();
}

void TCCandyWidget::Move(int newX, int newY) { Resize(newX, newY, width, height); }

void TCCandyWidget::MouseEnter()
{
    Nubra::Widget::MouseEnter();
    if (enterTask_)
        enterTask_->Run();
}

void TCCandyWidget::MouseLeave()
{
    Nubra::Widget::MouseLeave();
    if (leaveTask_)
        leaveTask_->Run();
}

void TCCandyWidget::AddChild(const std::string& name, TCCandyWidget* child)
{
    childRecords_.push_back({&child->offset_, &child->scalePoint_, child});
    child->name_ = name;
    AddWidget(child);
    namedChildren_.emplace(name, child);
}

TCCandyWidget* TCCandyWidget::FindChild(const std::string& name) const
{
    auto found = namedChildren_.find(name);
    return found == namedChildren_.end() ? nullptr : found->second;
}

TCCandyWidget* FindBelow(const TCCandyWidget* root, const std::string& name)
{
    if (!root)
        return nullptr;
    if (TCCandyWidget* child = root->FindChild(name))
        return child;
    for (Nubra::Widget* widget : root->children)
        if (auto* child = dynamic_cast<TCCandyWidget*>(widget))
            if (TCCandyWidget* found = FindBelow(child, name))
                return found;
    return nullptr;
}

bool TCCandyWidget::IsNamedChild(const TCCandyWidget* child) const
{
    auto found = namedChildren_.find(child->name_);
    return found != namedChildren_.end() && found->second == child;
}

void TCCandyWidget::AddTexture(int id, TCTexture* texture)
{
    if (!texture)
        return;
    textures_.emplace(id, texture);
    // The new texture needs the transform pushed at the next update.
    transformDirty_ = true;
}

TCTexture* TCCandyWidget::GetTexture(int id, int index) const
{
    auto [first, last] = textures_.equal_range(id);
    for (; first != last; ++first, --index)
        if (index == 0)
            return first->second.get();
    return nullptr;
}

void TCCandyWidget::ClearTextures() { textures_.clear(); }

void TCCandyWidget::RestartTextures()
{
    for (auto& [id, texture] : textures_)
        texture->Restart();
}

bool TCCandyWidget::IsAnyTexturePlaying() const
{
    return std::any_of(textures_.begin(), textures_.end(), [](const auto& entry) { return entry.second->IsPlaying(); });
}

void TCCandyWidget::ResetTextureFrames()
{
    for (auto& [id, texture] : textures_)
        texture->SetFrame(0);
}

void TCCandyWidget::SetDrawOffset(int x, int y)
{
    drawOffset_ = {x, y};
    ForEachCandyChild([x, y](TCCandyWidget* child) { child->SetDrawOffset(x, y); });
    InvalidateTransform();
}

void TCCandyWidget::InvalidateTransform()
{
    transformDirty_ = true;
    boundsDirty_ = true;
    ForEachCandyChild([](TCCandyWidget* child) { child->InvalidateTransform(); });
}

const Nubra::Matrix3& TCCandyWidget::GetTransform()
{
    if (!transformDirty_)
        return transform_;
    Nubra::Transform2D local;
    local.Translate(float(x + offset_.x - scalePoint_.x), float(y + offset_.y - scalePoint_.y));
    local.RotateDeg(rotation_);
    local.Scale(scale_, scale_);
    local.Translate(float(scalePoint_.x), float(scalePoint_.y));
    transform_ = parent_ ? parent_->GetTransform() * local.GetMatrix() : local.GetMatrix();
    transformDirty_ = false;
    return transform_;
}

const Nubra::Rect& TCCandyWidget::GetBounds()
{
    if (boundsDirty_) {
        bounds_ = GetBoundsFor(GetTransform());
        boundsDirty_ = false;
    }
    return bounds_;
}

Nubra::Rect TCCandyWidget::GetBoundsFor(const Nubra::Matrix3& matrix)
{
    const float cornerX[4] = {0.0f, float(width), 0.0f, float(width)};
    const float cornerY[4] = {0.0f, 0.0f, float(height), float(height)};
    float minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        const float in[3] = {cornerX[i], cornerY[i], 1.0f};
        float out[3];
        matrix.Multiply(in, out);
        minX = i == 0 ? out[0] : std::min(minX, out[0]);
        maxX = i == 0 ? out[0] : std::max(maxX, out[0]);
        minY = i == 0 ? out[1] : std::min(minY, out[1]);
        maxY = i == 0 ? out[1] : std::max(maxY, out[1]);
    }
    const Nubra::Rect rect(int(std::trunc(minX)), int(std::trunc(minY)), int(std::trunc(maxX - minX)), int(std::trunc(maxY - minY)));
    return parent_ ? rect.Intersection(parent_->GetBounds()) : rect;
}

Nubra::Rect TCCandyWidget::GetScreenClipRect(const Nubra::Rect* rect)
{
    return (rect ? *rect : GetBounds()).Intersection(kScreen);
}

float TCCandyWidget::GetEffectiveAlpha() const
{
    float result = 1.0f;
    for (const TCCandyWidget* widget = this; widget; widget = widget->parent_)
        result *= widget->alpha_;
    return result;
}
