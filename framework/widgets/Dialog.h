#pragma once
#include <memory>
#include <string>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Nubra {

class DialogButton;
class DialogListener;
class Font;
class Image;

// A movable message box of the framework: a header, word-wrapped body lines, a footer and up
// to two buttons, which sit in the manager as the dialog's top-level siblings, kept in front of
// it. A release over a button becomes the dialog's result and goes to the dialog listener.
class Dialog : public Widget, public ButtonListener {
public:
    enum { kYesButton = 1000, kNoButton = 1001 };
    enum ButtonMode { kNoButtons = 0, kYesNo = 1, kOkCancel = 2, kFooterButton = 3 };
    enum Colour { kHeader, kLines, kFooter, kButtonLabel, kButtonLabelOver, kBoxFill, kBoxOutline };
    static constexpr int kNoResult = 0x7fffffff;

    // The button frame image (may be null) gives the buttons their look and height.
    Dialog(Image* frameImage, Image* buttonFrameImage, int dialogId, bool modal, const std::wstring& header,
           const std::wstring& lines, const std::wstring& footer, int buttonMode);
    ~Dialog() override;

    virtual void SetButtonFont(Font* font); // the caller's; it must outlive the buttons' use
    virtual void SetHeaderFont(Font* font); // a copy is kept
    virtual void SetLinesFont(Font* font);  // a copy is kept
    virtual int GetPreferredHeight(int preferredWidth);
    virtual bool IsModal() const { return modal; }
    // Runs the application's update steps until a button is released, the dialog leaves the
    // manager or the application ends; then, when asked, the application kills it. The result,
    // or kNoResult; safe when the dialog is destroyed meanwhile.
    virtual int WaitForResult(bool killAfter);
    int GetResult() const { return status_->result; }

    void SetColor(int index, const Color& color) override;
    using Widget::Resize;
    void Resize(int newX, int newY, int newWidth, int newHeight) override;
    void AddedToManager(WidgetManager* newManager) override;
    void RemovedFromManager(WidgetManager* oldManager) override;
    void OrderChanged() override;
    void Draw(Graphics* g) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int mouseX, int mouseY, int button, int clickCount) override;
    void MouseDrag(int mouseX, int mouseY) override;
    void MouseUp(int mouseX, int mouseY, int button, int clickCount) override;

    // As the listener of its own buttons: reports them to the dialog listener.
    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

    DialogListener* dialogListener; // the application
    Image* frameImage; // not owned
    std::unique_ptr<DialogButton> yesButton;
    std::unique_ptr<DialogButton> noButton;
    std::wstring header, footer, lines;
    int buttonMode;
    std::unique_ptr<Font> headerFont; // made on first use when none was set
    std::unique_ptr<Font> linesFont;
    int linesJustify = 0;
    int lineSpacingOffset = 0;
    int buttonHeight;
    Insets contentInsets;
    Insets backgroundInsets{24, 24, 24, 24};
    int spaceAfterHeader = 10;
    bool dragging = false;
    int dragX = 0; // the grab point, in the dialog's coordinates
    int dragY = 0;
    int dialogId;
    bool modal;
    int buttonSpacing = 8;
    int buttonSidePadding = 0;

private:
    // The result and whether the dialog still exists, for a wait that may outlive it.
    struct Status {
        int result = kNoResult;
        bool alive = true;
    };

    void EnsureFonts();
    void LayoutButtons();
    void SetCursor(int number);
    // The body lines' box, for a dialog of the given width.
    Rect LinesRect(int dialogWidth, int top) const;
    template <typename Visit> void ForEachButton(Visit visit);

    std::shared_ptr<Status> status_ = std::make_shared<Status>();
};

} // namespace Nubra
