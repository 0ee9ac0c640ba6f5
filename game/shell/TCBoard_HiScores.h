#pragma once
#include <pugixml.hpp>

#include "engine/ui/TCDialog.h"

class TCEngine3;

// The two hi-score tables side by side, a page of the main menu's book: the career on the left,
// survival on the right, the current player's rows standing out.
class TCBoard_HiScores : public TCDialog {
public:
    // Built from the element "hiscores" of the UI document's root.
    TCBoard_HiScores(TCEngine3* app, pugi::xml_node uiRoot);

    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void OnShow() override;
    void OnButtonClick(intptr_t id) override;

    TCCandyWidget* GetInnerDialog() const { return inner_; }
    TCCandyWidget* GetLeftPage() const { return leftPage_; }
    TCCandyWidget* GetRightPage() const { return rightPage_; }

private:
    // Rows "line<table><r>" and "score<table><r>" of the page; table 0 is the career's.
    void FillPage(TCCandyWidget* page, int table, bool survival);

    TCEngine3* game_;
    TCCandyWidget* close_ = nullptr;
    TCCandyWidget *rightPage_ = nullptr, *leftPage_ = nullptr;
    TCCandyWidget* inner_ = nullptr;
};
