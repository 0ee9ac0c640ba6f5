#include "game/shell/TCBoard_Splash.h"

#include "engine/core/TCCursorSet.h"
#include "engine/core/TCEffect.h"
#include "engine/core/TCEngine.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"

TCBoard_Splash::TCBoard_Splash(TCEngine* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app)
{
    FindDialogNode(uiRoot, "splash");
}

void TCBoard_Splash::AddChild(const std::string& name, TCCandyWidget* child)
{
    TCDialog::AddChild(name, child);
    child->SetVisible(false);
    if (child->GetEffect() && child->GetEffect()->HasEvents())
        pages_.push_back(child);
}

void TCBoard_Splash::Draw(Nubra::Graphics* g)
{
    g->SetColor(Nubra::Color()); // opaque black
    g->FillRect(0, 0, width, height);
    TCDialog::Draw(g);
}

void TCBoard_Splash::OnShown()
{
    TCDialog::OnShown();
    GetApp()->GetCursorSet().Hide();
    GetApp()->widgetManager->SetFocus(this);
    // Without pages there is nothing to wait for.
    if (pages_.empty())
        Hide();
    else
        pages_[index_]->Show();
}

void TCBoard_Splash::OnHidden()
{
    TCDialog::OnHidden();
    GetApp()->GetCursorSet().Show();
    GetApp()->widgetManager->SetFocus(nullptr);
    if (onEnded)
        onEnded();
}

void TCBoard_Splash::Update()
{
    TCDialog::Update();
    if (!visible || index_ >= pages_.size())
        return;
    TCCandyWidget* page = pages_[index_];
    if (page->visible) {
        seen_ = true;
        return;
    }
    if (!seen_)
        return;
    seen_ = false;
    if (index_ + 1 < pages_.size())
        pages_[++index_]->Show();
    else
        Hide();
}

void TCBoard_Splash::KeyDown(int) { Skip(); }

void TCBoard_Splash::MouseDown(int, int, int, int) { Skip(); }

void TCBoard_Splash::Skip()
{
    if (index_ >= pages_.size())
        return;
    pages_[index_]->SetVisible(false);
    seen_ = true;
}
