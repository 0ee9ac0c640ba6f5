#pragma once
#include <functional>
#include <vector>

#include "engine/ui/TCDialog.h"

// The first screen: black, showing its pages one after another, each for as long as its effect
// keeps it up; a key or a click skips the page. When the last page has gone the screen hides.
class TCBoard_Splash : public TCDialog {
public:
    // Built from the element "splash" of the UI document's root.
    TCBoard_Splash(TCEngine* app, pugi::xml_node uiRoot);

    // Runs when the splash has hidden: the menu comes up.
    std::function<void()> onEnded;

    // Every child starts hidden; those with an effect that answers events are the pages.
    void AddChild(const std::string& name, TCCandyWidget* child) override;
    void Draw(Nubra::Graphics* g) override;
    void OnShown() override;
    void OnHidden() override;
    void Update() override;
    void KeyDown(int key) override;
    using TCDialog::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;

    size_t GetPageCount() const { return pages_.size(); }
    size_t GetPageIndex() const { return index_; }

private:
    void Skip();

    std::vector<TCCandyWidget*> pages_; // children, not owned
    size_t index_ = 0;
    bool seen_ = false;
};
