#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "engine/ui/TCButtonListener.h"
#include "engine/ui/TCCandyWidget.h"

class TCEngine;

// The container of the screens: its look, a background and a modal flag from its element, one
// child control per nested "element", and the clicks of its buttons routed to OnButtonClick.
class TCDialog : public TCCandyWidget, public TCButtonListener {
public:
    static constexpr int kBackgroundTexture = 0;

    TCDialog(TCCandyWidget* parent, TCEngine* app);
    ~TCDialog() override;

    virtual void BuildFromXml(pugi::xml_node node);
    // A completed click of a button built here; the id is the button's address. Unless a screen
    // overrides it, the click goes up to the enclosing dialog.
    virtual void OnButtonClick(intptr_t id);
    // While modal and shown, input reaches only this dialog and what lies above it. Acts at once.
    virtual void SetModal(bool modal);
    // The background with the declared image of that id and a source rectangle; null without one.
    virtual TCTexture* SetBackground(const std::string& imageId, const Nubra::Rect& rect);
    TCTexture* GetBackground() const { return GetTexture(kBackgroundTexture); }

    // Builds this dialog from the element named `name` of type "tcdialog" directly under `node`;
    // false, leaving the dialog empty, when there is none.
    bool FindDialogNode(pugi::xml_node node, const std::string& name);
    // Every mouse press on the dialog goes to it as well.
    void SetMousePressTarget(TCCandyWidget* target) { pressTarget_ = target; }

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    using Nubra::Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void OnShown() override;
    void OnHidden() override;
    TCDialog* AsDialog() override { return this; }
    void ButtonDepress(intptr_t id) override;

    bool IsModal() const { return modal_; }
    bool IsInModalLayer() const { return inModalLayer_; }
    TCEngine* GetApp() const { return app_; }

protected:
    // Whether the clicked id is that button; never for a button the layout does not have.
    static bool Is(intptr_t id, const TCCandyWidget* button) { return button && id == reinterpret_cast<intptr_t>(button); }

private:
    void BuildElements(pugi::xml_node node);
    void EnterModalLayer();
    void LeaveModalLayer();

    bool modal_ = false;
    TCCandyWidget* pressTarget_ = nullptr; // not owned
    TCEngine* app_;
    bool inModalLayer_ = false;
    // Shown on the loading thread: the layer is entered by the first update on the main thread.
    bool modalLayerDeferred_ = false;
};

// The dialog the tutorial shows: it may hide itself on a click, and its button tells the
// tutorial that it was closed instead of reporting a click.
class TCTutorialDialog : public TCDialog {
public:
    TCTutorialDialog(TCCandyWidget* parent, TCEngine* app) : TCDialog(parent, app) {}

    // The tutorial engine sets this to hear that a tutorial dialog was closed.
    static inline std::function<void()> onClosed;

    void BuildFromXml(pugi::xml_node node) override;
    using TCDialog::MouseUp;
    void MouseUp(int x, int y) override;
    void ButtonDepress(intptr_t id) override;

    bool HidesOnClick() const { return clickHide_; }

private:
    bool clickHide_ = false;
};
