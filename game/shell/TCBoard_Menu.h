#pragma once
#include <pugixml.hpp>

#include "engine/ui/TCDialog.h"

// The full-screen background behind the menu screens: the game's common background, then the
// menu's own elements over it, shown and hidden with the main menu.
class TCBoard_Menu : public TCDialog {
public:
    // Built from the elements "global_bkg" and then "menu_bg" of the UI document's root.
    TCBoard_Menu(TCEngine* app, pugi::xml_node uiRoot);
};

// The screen that covers a level while it loads.
class TCBoard_LoadScreen : public TCDialog {
public:
    // Built from the element "load_screen" of the UI document's root.
    TCBoard_LoadScreen(TCEngine* app, pugi::xml_node uiRoot);
};
