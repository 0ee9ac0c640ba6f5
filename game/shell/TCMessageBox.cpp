#include "game/shell/TCMessageBox.h"

#include <memory>

#include "engine/core/Log.h"
#include "engine/core/TCEngine.h"
#include "engine/core/TCLocalization.h"
#include "engine/core/TCTexture.h"
#include "engine/core/TCTextureTable.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCText.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"

TCBoard_Confirm2* gConfirm2 = nullptr;
TCBoard_Confirm1* gConfirm1 = nullptr;
TCBgDialog* gBgDialog = nullptr;

namespace {

void Attach(Nubra::WidgetManager& manager, Nubra::Widget* widget)
{
    if (widget && !widget->parent)
        manager.AddWidget(widget);
}

} // namespace

TCBoard_Confirm2::TCBoard_Confirm2(TCEngine* app, const char* element) : TCDialog(nullptr, app)
{
    SetName(element);
}

void TCBoard_Confirm2::SetLabel(const char* control, const std::string& textId)
{
    TCCandyWidget* child = FindChild(control);
    if (!child)
        return;
    const std::wstring text = GetApp()->GetLocalization().GetText(textId);
    if (TCText* label = child->AsText())
        label->SetLabel(text);
    else if (auto* button = dynamic_cast<TCButton*>(child))
        button->SetLabel(text);
}

void TCBoard_Confirm2::SetTexts(const std::string& key)
{
    if (TCCandyWidget* icon = FindChild("icon")) {
        TCImageRef ref = FindTexture("db01_icon_" + key);
        if (TCTexture* texture = icon->GetTexture(0); texture && ref) {
            texture->SetImage(ref);
            if (Nubra::MemoryImage* image = ref.GetImage())
                icon->Resize(icon->x, icon->y, image->GetWidth(), image->GetHeight());
        }
    }
    SetLabel("text1", "db01_text1_" + key);
    SetLabel("text2", "db01_text2_" + key);
    SetLabel("btn_yes", "db01_btnyes_" + key);
    SetLabel("btn_no", "db01_btnno_" + key);
}

int TCBoard_Confirm2::Ask(const std::string& key)
{
    TCEngine& app = *GetApp();
    Nubra::WidgetManager& manager = *app.widgetManager;
    SetTexts(key);
    result_ = kMessageBoxNoAnswer;
    // Before the box's modal layer takes the focus away.
    Nubra::Widget* focus = manager.focusWidget;
    if (gBgDialog) {
        manager.BringToFront(gBgDialog);
        gBgDialog->SetVisible(true);
    }
    manager.BringToFront(this);
    Show();
    manager.SetFocus(this);

    asking_ = true;
    bool updated = false;
    while (result_ == kMessageBoxNoAnswer && parent && app.UpdateAppStep(updated)) {
    }
    asking_ = false;

    if (gBgDialog)
        gBgDialog->SetVisible(false);
    // After the layers below the box are back, which may move the focus.
    manager.SetFocus(focus);
    return result_;
}

void TCBoard_Confirm2::OnButtonClick(intptr_t id)
{
    TCCandyWidget* yes = FindChild("btn_yes");
    Answer(yes && id == reinterpret_cast<intptr_t>(yes) ? kMessageBoxYes : kMessageBoxNo);
}

void TCBoard_Confirm2::Answer(int result)
{
    result_ = result;
    Hide();
}

TCBgDialog::TCBgDialog(TCEngine* app) : TCDialog(nullptr, app)
{
    SetName("bg_dialog");
    Resize(0, 0, kScreenWidth, kScreenHeight);
}

namespace {

// Null, with a warning, when the document has no such box: a box without buttons would never end.
template <typename Box>
Box* BuildBox(TCEngine* app, pugi::xml_node uiRoot, const char* element)
{
    auto box = std::make_unique<Box>(app);
    if (box->FindDialogNode(uiRoot, element))
        return box.release();
    WriteLog("WARNING: no message box \"%s\" in cfg\\ui.xml", element);
    return nullptr;
}

} // namespace

void BuildMessageBoxes(TCEngine* app, pugi::xml_node uiRoot)
{
    gConfirm2 = BuildBox<TCBoard_Confirm2>(app, uiRoot, "dialogbox_2button");
    gConfirm1 = BuildBox<TCBoard_Confirm1>(app, uiRoot, "dialogbox_1button");
    gBgDialog = new TCBgDialog(app);
}

void AttachMessageBoxes(TCEngine* app)
{
    Attach(*app->widgetManager, gConfirm2);
    Attach(*app->widgetManager, gConfirm1);
    Attach(*app->widgetManager, gBgDialog);
}

void ForgetMessageBoxes()
{
    gConfirm2 = nullptr;
    gConfirm1 = nullptr;
    gBgDialog = nullptr;
}

int ShowMessageBox2(const std::string& key) { return gConfirm2 ? gConfirm2->Ask(key) : kMessageBoxNoAnswer; }

int ShowMessageBox1(const std::string& key) { return gConfirm1 ? gConfirm1->Ask(key) : kMessageBoxNoAnswer; }

bool IsMessageBoxOpen() { return (gConfirm2 && gConfirm2->IsAsking()) || (gConfirm1 && gConfirm1->IsAsking()); }
