#include "game/shell/TCBoard_Menu.h"

TCBoard_Menu::TCBoard_Menu(TCEngine* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "global_bkg");
    FindDialogNode(uiRoot, "menu_bg");
}

TCBoard_LoadScreen::TCBoard_LoadScreen(TCEngine* app, pugi::xml_node uiRoot) : TCDialog(nullptr, app)
{
    SetVisible(false);
    FindDialogNode(uiRoot, "load_screen");
}
