#include "game/shell/WelcomeDialog.h"

#include "engine/core/TCEngine.h"

WelcomeDialog::WelcomeDialog(TCEngine* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app)
{
    app->SetTextVar("money", money_);
    FindDialogNode(uiRoot, "welcome");
}

void WelcomeDialog::OnButtonClick(intptr_t id)
{
    if (id == reinterpret_cast<intptr_t>(FindChild("serve"))) {
        money_ += kCoffeePrice;
        GetApp()->SetTextVar("money", money_);
    } else if (id == reinterpret_cast<intptr_t>(FindChild("quit"))) {
        GetApp()->Shutdown();
    }
}
