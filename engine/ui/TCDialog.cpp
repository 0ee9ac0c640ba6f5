#include "engine/ui/TCDialog.h"

#include "engine/core/TCEngine.h"
#include "engine/core/TCTexture.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"
#include "engine/ui/TCControlFactory.h"
#include "framework/widgets/WidgetManager.h"

TCDialog::TCDialog(TCCandyWidget* parent, TCEngine* app) : TCCandyWidget(parent), app_(app)
{
    SetRotation(0.0f);
    SetScale(1.0f);
    SetScalePointX(0);
    SetScalePointY(0);
}

TCDialog::~TCDialog() = default;

void TCDialog::BuildFromXml(pugi::xml_node node)
{
    TCCandyWidget::LoadFromXml(node);
    LoadStateTextures(*this, node, {{"normal", kBackgroundTexture}});
    XmlGetBool(node, "modal", modal_);
    BuildElements(node);
}

void TCDialog::BuildElements(pugi::xml_node node)
{
    for (pugi::xml_node element : node.children("element")) {
        std::string type, name;
        XmlGetString(element, "type", type);
        const TCControlBuilder* build = FindControlBuilder(type);
        if (!build || !XmlGetString(element, "name", name))
            continue;
        TCCandyWidget* control = (*build)(*this, element);
        if (!control)
            continue;
        control->RunEffect("oncreate");
        AddChild(name, control);
    }
}

bool TCDialog::FindDialogNode(pugi::xml_node node, const std::string& name)
{
    // Compared here rather than in a path, so that any character may appear in the name.
    for (pugi::xml_node element : node.children("element"))
        if (name == element.attribute("name").value() && std::string(element.attribute("type").value()) == "tcdialog") {
            BuildFromXml(element);
            return true;
        }
    return false;
}

void TCDialog::OnButtonClick(intptr_t id)
{
    if (TCDialog* outer = GetParent() ? GetParent()->AsDialog() : nullptr)
        outer->OnButtonClick(id);
}

void TCDialog::ButtonDepress(intptr_t id) { OnButtonClick(id); }

void TCDialog::SetModal(bool modal)
{
    modal_ = modal;
    if (modal)
        EnterModalLayer();
    else
        LeaveModalLayer();
}

TCTexture* TCDialog::SetBackground(const std::string& imageId, const Nubra::Rect& rect)
{
    TCTexture* background = GetBackground();
    if (background)
        background->SetImage(FindTexture(imageId), rect);
    return background;
}

void TCDialog::Update()
{
    if (modalLayerDeferred_ && modal_ && IsVisibleInTree())
        EnterModalLayer();
    TCCandyWidget::Update();
}

void TCDialog::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
    DrawOutlineIfAsked(g, *this);
}

void TCDialog::MouseDown(int x, int y, int button, int clickCount)
{
    if (pressTarget_)
        pressTarget_->MouseDown(x, y, button, clickCount);
}

void TCDialog::OnShown()
{
    TCCandyWidget::OnShown();
    if (modal_)
        EnterModalLayer();
}

void TCDialog::OnHidden()
{
    TCCandyWidget::OnHidden();
    LeaveModalLayer();
}

void TCDialog::EnterModalLayer()
{
    if (inModalLayer_ || !app_)
        return;
    // The widget manager belongs to the main thread; screens built while loading wait for it.
    modalLayerDeferred_ = !app_->IsMainThread();
    if (modalLayerDeferred_)
        return;
    app_->widgetManager->PushBaseModal(this);
    inModalLayer_ = true;
}

void TCDialog::LeaveModalLayer()
{
    modalLayerDeferred_ = false;
    if (!inModalLayer_)
        return;
    app_->widgetManager->RemoveBaseModal(this);
    inModalLayer_ = false;
}

void TCTutorialDialog::BuildFromXml(pugi::xml_node node)
{
    TCDialog::BuildFromXml(node);
    XmlGetBool(node, "clickhide", clickHide_);
}

void TCTutorialDialog::MouseUp(int, int)
{
    if (clickHide_)
        Hide();
}

void TCTutorialDialog::ButtonDepress(intptr_t)
{
    if (onClosed)
        onClosed();
}
