#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/TCIEffect.h"
#include "framework/graphics/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"

namespace pugi {
class xml_node;
}

class TCCandyWidget;
class TCDialog;
class TCEffect;
class TCText;
class TCTexture;

// Work a screen hands to a widget, run when the mouse enters or leaves it.
class TCTask {
public:
    virtual ~TCTask() = default;
    virtual void Run() = 0;
};

// What a parent's effect may move of each child.
struct TCChildEffectRecord {
    Nubra::Point* offset;
    Nubra::Point* scalePoint;
    TCCandyWidget* child;
};

// The base of every studio widget: its look from a "cfg\ui.xml" element, textures drawn through
// a 2-D transform (offset, uniform scale and rotation about a scale point), named children, and
// an effect that animates showing and hiding.
class TCCandyWidget : public Nubra::Widget, public TCIEffect {
public:
    static constexpr int kScreenWidth = 1024;
    static constexpr int kScreenHeight = 768;

    // Starts hidden.
    explicit TCCandyWidget(TCCandyWidget* parent);
    ~TCCandyWidget() override;

    void LoadFromXml(pugi::xml_node node);

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    // A real change only; showing reaches OnShown, hiding OnHidden, of every widget that becomes
    // (or stops being) visible on screen.
    void SetVisible(bool visible) override;
    using Nubra::Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    void Move(int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;

    virtual void OnShow() {}
    virtual void OnHide() {}
    virtual void OnShown();
    virtual void OnHidden();
    virtual void AddChild(const std::string& name, TCCandyWidget* child);
    virtual TCCandyWidget* FindChild(const std::string& name) const;
    virtual TCDialog* AsDialog() { return nullptr; }
    virtual TCText* AsText() { return nullptr; }

    // TCIEffect: the setters only store; the next update recomputes the transform.
    void SetAlpha(float alpha) override { alpha_ = alpha; }
    void SetScale(float scale) override { scale_ = scale; }
    void SetEffectVisible(bool visible) override { SetVisible(visible); }
    void SetScalePointX(int x) override { scalePoint_.x = x; }
    void SetScalePointY(int y) override { scalePoint_.y = y; }
    void SetOffsetX(int x) override { offset_.x = x; }
    void SetOffsetY(int y) override { offset_.y = y; }
    const std::string& GetName() const override { return name_; }

    // Through the "onshow" ("onhide") effect when there is one, else at once.
    void Show();
    void Hide();
    void ShowChildren();
    void HideChildren();
    bool IsVisibleInTree() const;
    bool IsShowing() const { return showing_; }
    bool IsHiding() const { return hiding_; }
    // False without an effect or when it has no such event.
    bool RunEffect(const char* event);
    // Owned from now on, with the widget's values bound and the widget as its target.
    void SetEffect(std::unique_ptr<TCEffect> effect);
    TCEffect* GetEffect() const { return effect_.get(); }

    // Owned from now on; null is ignored.
    void AddTexture(int id, TCTexture* texture);
    // The index-th texture under exactly that id, in the order added.
    TCTexture* GetTexture(int id, int index = 0) const;
    void ClearTextures();
    void RestartTextures();
    bool IsAnyTexturePlaying() const;
    void ResetTextureFrames();

    // A translation of the textures only, here and in every descendant.
    void SetDrawOffset(int x, int y);
    const Nubra::Point& GetDrawOffset() const { return drawOffset_; }
    void InvalidateTransform();
    // Widget to screen.
    const Nubra::Matrix3& GetTransform();
    // The transformed rectangle within the parent's bounds.
    const Nubra::Rect& GetBounds();
    Nubra::Rect GetBoundsFor(const Nubra::Matrix3& matrix);
    // The rectangle, or the bounds when none is given, within the screen.
    Nubra::Rect GetScreenClipRect(const Nubra::Rect* rect = nullptr);

    void SetRotation(float degrees) { rotation_ = degrees; }
    float GetRotation() const { return rotation_; }
    void SetEnterTask(TCTask* task) { enterTask_ = task; }
    void SetLeaveTask(TCTask* task) { leaveTask_ = task; }
    void SetName(const std::string& name) { name_ = name; }
    float GetAlpha() const { return alpha_; }
    // The own alpha times every ancestor's.
    float GetEffectiveAlpha() const;
    float GetScale() const { return scale_; }
    const Nubra::Point& GetOffset() const { return offset_; }
    const Nubra::Point& GetScalePoint() const { return scalePoint_; }
    const Nubra::Rect& GetLayoutRect() const { return layout_; }
    TCCandyWidget* GetParent() const { return parent_; }
    const std::vector<TCChildEffectRecord>& GetChildRecords() const { return childRecords_; }

protected:
    // The application's step in seconds: widgets animate on it even while the game is paused.
    static float UpdateStep();
    // Named children in name order, then the children added under a name already taken.
    template <typename Visit> void ForEachCandyChild(Visit visit);

private:
    // The hook on this widget and its visible descendants, while all of it is on screen.
    void Walk(void (TCCandyWidget::*hook)());
    bool IsNamedChild(const TCCandyWidget* child) const;
    void PushTransformToTextures();

    TCTask* enterTask_ = nullptr;
    TCTask* leaveTask_ = nullptr;
    Nubra::Point offset_;
    float scale_ = 1.0f;
    Nubra::Point scalePoint_;
    float rotation_ = 0.0f;
    Nubra::Point drawOffset_;
    Nubra::Rect layout_;
    float alpha_ = 1.0f;
    std::unique_ptr<TCEffect> effect_;
    TCCandyWidget* parent_;
    std::vector<TCChildEffectRecord> childRecords_;
    std::map<std::string, TCCandyWidget*> namedChildren_;
    std::multimap<int, std::unique_ptr<TCTexture>> textures_;
    bool hiding_ = false;
    bool showing_ = false;
    std::string name_ = "undefined";
    Nubra::Matrix3 transform_;
    bool transformDirty_ = true;
    Nubra::Rect bounds_;
    bool boundsDirty_ = true;
};

// The first widget of that name at any depth below the root, nearer ones first, so that a
// layout may nest its controls freely; null when there is none or no root.
TCCandyWidget* FindBelow(const TCCandyWidget* root, const std::string& name);

template <typename Visit> void TCCandyWidget::ForEachCandyChild(Visit visit)
{
    for (const auto& [name, child] : namedChildren_)
        if (HasWidget(child))
            visit(child);
    for (Nubra::Widget* widget : children)
        if (auto* child = dynamic_cast<TCCandyWidget*>(widget); child && !IsNamedChild(child))
            visit(child);
}
