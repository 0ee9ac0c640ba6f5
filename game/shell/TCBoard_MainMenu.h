#pragma once
#include <pugixml.hpp>

#include <string>

#include "engine/ui/TCDialog.h"

class TCEngine3;
class TCEditWidget;
class TCList;

// The main menu, a book of pages: its main page leads to the career, survival, help, hi-scores,
// options, the studio's web page and quit; its profile page creates, chooses and deletes the
// players. The current player's name is the text variable "profile_name".
class TCBoard_MainMenu : public TCDialog {
public:
    // How a page is turned to, as the screens that turn the book pass it.
    static constexpr int kTurnToMain = 0;
    static constexpr int kTurnToCareer = 1;
    static constexpr int kTurnToHelp = 2;
    static constexpr int kTurnToHiScores = 5;

    inline static const std::string kWebsite = "https://www.trilvogames.com/";

    // Built from the element "main_menu" of the UI document's root.
    TCBoard_MainMenu(TCEngine3* app, pugi::xml_node uiRoot);

    // A turn of the book: the page turned to, backwards or not, and how.
    struct Turn {
        TCCandyWidget* page = nullptr;
        bool backward = false;
        int kind = kTurnToMain;
    };

    // Shows the page (null: the book's main page) in place of the one shown now. The direction
    // and the kind would choose the turn's animation; the page changes at once.
    void TurnToPage(TCCandyWidget* page, bool backward, int kind);
    const Turn& GetLastTurn() const { return lastTurn_; }
    // Null while the main page is shown.
    TCCandyWidget* GetPage() const { return page_; }
    TCCandyWidget* GetMainPage() const { return mainPage_; }
    TCCandyWidget* GetProfilePage() const { return profilePage_; }

    void OnShow() override;
    void OnButtonClick(intptr_t id) override;

private:
    TCCandyWidget* PageChild(TCCandyWidget* page, const char* name) const;
    // The profile page comes first while no player is chosen; true when one is.
    bool RequireProfile();
    void CreateProfile();
    void SelectProfile();
    void DeleteProfile();
    void ShowProfiles();
    void ShowProfileName();

    TCEngine3* game_;
    TCCandyWidget* page_ = nullptr; // shown in place of the main page; not owned
    Turn lastTurn_;
    TCCandyWidget* mainPage_ = nullptr;
    TCCandyWidget* profilePage_ = nullptr;
    TCCandyWidget *career_ = nullptr, *survival_ = nullptr, *help_ = nullptr, *hiScores_ = nullptr;
    TCCandyWidget *options_ = nullptr, *website_ = nullptr, *quit_ = nullptr, *players_ = nullptr;
    TCList* profiles_ = nullptr;
    TCEditWidget* newName_ = nullptr;
    TCCandyWidget *create_ = nullptr, *select_ = nullptr, *delete_ = nullptr, *back_ = nullptr;
};
