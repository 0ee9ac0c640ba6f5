#pragma once
#include <pugixml.hpp>

#include <vector>

#include "engine/ui/TCDialog.h"

class TCEngine3;

// The paged help, a page of the main menu's book. Opened from the escape menu of a running level,
// it returns there.
class TCBoard_Help : public TCDialog {
public:
    // Built from the element "help" of the UI document's root.
    TCBoard_Help(TCEngine3* app, pugi::xml_node uiRoot);

    // Every child whose name contains "page_" is a page, in the order of the layout.
    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void OnShow() override;
    void OnHide() override;
    void OnButtonClick(intptr_t id) override;
    // Turns the book to that page when there is one, and offers the way to its neighbours.
    void SetPage(int index);

    int GetPageIndex() const { return current_; }
    const std::vector<TCCandyWidget*>& GetPages() const { return pages_; }

private:
    void Close();

    TCEngine3* game_;
    TCCandyWidget *prev_ = nullptr, *next_ = nullptr, *close_ = nullptr;
    std::vector<TCCandyWidget*> pages_; // not owned
    int current_ = -1;
    bool turningBack_ = false;
};
