#include "framework/widgets/Dialog.h"

#include <algorithm>

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/SysFont.h"
#include "framework/widgets/DialogButton.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/WidgetManager.h"

namespace Nubra {
namespace {

constexpr int kCursorPointer = 0;
constexpr int kCursorDragging = 2;
constexpr int kDefaultButtonHeight = 24;
constexpr int kDragMargin = 8; // how far a dialog may be dragged past a screen edge
constexpr int kFooterGap = 8;
constexpr int kButtonGap = 8;

const std::wstring kYesText = L"YES";
const std::wstring kNoText = L"NO";
const std::wstring kOkText = L"OK";
const std::wstring kCancelText = L"CANCEL";

bool IsDialogButton(int id) { return id == Dialog::kYesButton || id == Dialog::kNoButton; }

std::unique_ptr<Font> DefaultFont(int pointSize)
{
    return std::make_unique<SysFont>(gNubraAppBase, ButtonWidget::kDefaultFontFace, pointSize, 0);
}

// The position along one axis after a drag: at most `margin` past either edge of the screen.
int ClampToScreen(int position, int size, int screenSize)
{
    if (position < -kDragMargin)
        return -kDragMargin;
    if (position + size > screenSize + kDragMargin)
        return screenSize + kDragMargin - size;
    return position;
}

} // namespace

Dialog::Dialog(Image* frame, Image* buttonFrame, int id, bool isModal, const std::wstring& headerText,
               const std::wstring& linesText, const std::wstring& footerText, int mode)
    : dialogListener(gNubraAppBase),
      frameImage(frame),
      header(headerText),
      footer(footerText),
      lines(linesText),
      buttonMode(mode),
      buttonHeight(buttonFrame ? buttonFrame->GetHeight() : kDefaultButtonHeight),
      dialogId(id),
      modal(isModal)
{
    auto makeButton = [&](int buttonId, const std::wstring& text) {
        auto button = std::make_unique<DialogButton>(buttonFrame, buttonId, this);
        button->label = text;
        return button;
    };
    if (mode == kYesNo || mode == kOkCancel) {
        yesButton = makeButton(kYesButton, mode == kYesNo ? kYesText : kOkText);
        noButton = makeButton(kNoButton, mode == kYesNo ? kNoText : kCancelText);
    } else if (mode == kFooterButton) {
        yesButton = makeButton(kYesButton, footer);
    }
    hasTransparencies = true;
    hasAlpha = true;
    priority = 1;
    static constexpr int kColours[][3] = {{255, 255, 255}, {255, 255, 0},   {255, 255, 255}, {255, 255, 255},
                                          {255, 255, 255}, {80, 80, 80},    {255, 255, 255}};
    SetColors(kColours, 7);
}

Dialog::~Dialog()
{
    status_->alive = false;
    // The buttons leave the manager as they go.
    yesButton.reset();
    noButton.reset();
}

template <typename Visit> void Dialog::ForEachButton(Visit visit)
{
    for (DialogButton* button : {yesButton.get(), noButton.get()})
        if (button)
            visit(button);
}

void Dialog::SetButtonFont(Font* font)
{
    ForEachButton([font](DialogButton* button) { button->SetFont(font); });
}

void Dialog::SetHeaderFont(Font* font) { headerFont.reset(font ? font->Duplicate() : nullptr); }

void Dialog::SetLinesFont(Font* font) { linesFont.reset(font ? font->Duplicate() : nullptr); }

void Dialog::EnsureFonts()
{
    if (!headerFont)
        headerFont = DefaultFont(14);
    if (!linesFont)
        linesFont = DefaultFont(12);
}

void Dialog::SetColor(int index, const Color& color)
{
    Widget::SetColor(index, color);
    if (index == kButtonLabel || index == kButtonLabelOver) {
        const int buttonIndex = index == kButtonLabel ? ButtonWidget::kLabel : ButtonWidget::kLabelOver;
        ForEachButton([&](DialogButton* button) { button->SetColor(buttonIndex, color); });
    }
}

void Dialog::Resize(int newX, int newY, int newWidth, int newHeight)
{
    Widget::Resize(newX, newY, newWidth, newHeight);
    LayoutButtons();
}

void Dialog::LayoutButtons()
{
    const Insets& content = contentInsets;
    const Insets& background = backgroundInsets;
    const int rowY = y + height - background.bottom - content.bottom - buttonHeight;
    const int left = x + content.left + background.left;
    if (yesButton && noButton) {
        const int buttonWidth = (width - content.left - content.right - background.left - background.right -
                                 2 * buttonSidePadding - buttonSpacing) / 2;
        yesButton->Resize(left + buttonSidePadding, rowY, buttonWidth, buttonHeight);
        noButton->Resize(yesButton->x + buttonWidth + buttonSpacing, rowY, buttonWidth, buttonHeight);
    } else if (yesButton) {
        yesButton->Resize(left, rowY, width - background.right - content.right - content.left - background.left,
                          buttonHeight);
    }
}

void Dialog::AddedToManager(WidgetManager* newManager)
{
    Widget::AddedToManager(newManager);
    ForEachButton([newManager](DialogButton* button) { newManager->AddWidget(button); });
}

void Dialog::RemovedFromManager(WidgetManager* oldManager)
{
    Widget::RemovedFromManager(oldManager);
    ForEachButton([oldManager](DialogButton* button) { oldManager->RemoveWidget(button); });
}

void Dialog::OrderChanged()
{
    if (manager)
        ForEachButton([this](DialogButton* button) { manager->PutInFront(button, this); });
}

Rect Dialog::LinesRect(int dialogWidth, int top) const
{
    const Insets& content = contentInsets;
    const Insets& background = backgroundInsets;
    return Rect(content.left + 2 + background.left, top,
                dialogWidth - background.right - content.left - background.left - content.right - 4, 0);
}

void Dialog::Draw(Graphics* g)
{
    EnsureFonts();
    const Insets& content = contentInsets;
    if (frameImage) {
        g->DrawImageBox(Rect(content.left, content.top, width - content.right - content.left,
                             height - content.bottom - content.top),
                        frameImage);
    } else {
        g->SetColor(GetColor(kBoxOutline));
        g->DrawRect(12, 12, width - 25, height - 25);
        g->SetColor(GetColor(kBoxFill));
        g->FillRect(13, 13, width - 26, height - 26);
        g->SetColor(Color(0, 0, 0, 128));
        g->FillRect(width - 12, 24, 12, height - 36);
        g->FillRect(24, height - 12, width - 24, 12);
    }

    int textY = backgroundInsets.top + content.top;
    if (!header.empty()) {
        textY += headerFont->GetAscent() - headerFont->GetAscentPadding();
        g->SetFont(headerFont.get());
        g->SetColor(GetColor(kHeader));
        WriteCenteredLine(g, textY, header);
        textY += headerFont->GetHeight() - headerFont->GetAscent() + spaceAfterHeader;
    }

    g->SetFont(linesFont.get());
    g->SetColor(GetColor(kLines));
    const int linesHeight = WriteWordWrapped(g, LinesRect(width, textY), lines,
                                             linesFont->GetLineSpacing() + lineSpacingOffset, linesJustify);

    if (!footer.empty() && buttonMode != kFooterButton) {
        g->SetFont(headerFont.get());
        g->SetColor(GetColor(kFooter));
        WriteCenteredLine(g, textY + linesHeight + kFooterGap + headerFont->GetLineSpacing(), footer);
    }
}

int Dialog::GetPreferredHeight(int preferredWidth)
{
    EnsureFonts();
    int total = backgroundInsets.top + backgroundInsets.bottom + contentInsets.top + contentInsets.bottom;
    bool anything = false;
    if (!header.empty()) {
        total += headerFont->GetHeight() - headerFont->GetAscentPadding();
        anything = true;
    }
    if (!lines.empty()) {
        if (!header.empty())
            total += spaceAfterHeader;
        Graphics measure;
        measure.SetFont(linesFont.get());
        total += measure.GetWordWrappedHeight(LinesRect(preferredWidth, 0).width, lines,
                                              linesFont->GetLineSpacing() + lineSpacingOffset);
        anything = true;
    }
    if (!footer.empty() && buttonMode != kFooterButton) {
        if (anything)
            total += kFooterGap;
        total += headerFont->GetLineSpacing();
        anything = true;
    }
    if (yesButton) {
        if (anything)
            total += kButtonGap;
        total += kButtonGap + buttonHeight;
    }
    return total;
}

void Dialog::SetCursor(int number)
{
    if (manager && manager->app)
        manager->app->SetCursor(number);
}

void Dialog::MouseDown(int mouseX, int mouseY, int, int clickCount)
{
    if (clickCount != 1)
        return;
    SetCursor(kCursorDragging);
    dragging = true;
    dragX = mouseX;
    dragY = mouseY;
}

void Dialog::MouseDrag(int mouseX, int mouseY)
{
    if (!dragging || !manager)
        return;
    const int newX = ClampToScreen(x + mouseX - dragX, width, manager->width);
    const int newY = ClampToScreen(y + mouseY - dragY, height, manager->height);
    // The grab point follows the pointer into the dialog's new place, kept off its edges.
    dragX = std::clamp(x + mouseX - newX, kDragMargin, std::max(width - 9, kDragMargin));
    dragY = std::clamp(y + mouseY - newY, kDragMargin, std::max(height - 9, kDragMargin));
    Move(newX, newY);
}

void Dialog::MouseUp(int, int, int, int)
{
    if (!dragging)
        return;
    SetCursor(kCursorPointer);
    dragging = false;
}

void Dialog::ButtonPress(int id)
{
    if (IsDialogButton(id) && dialogListener)
        dialogListener->DialogButtonPress(dialogId, id);
}

void Dialog::ButtonDepress(int id)
{
    if (!IsDialogButton(id))
        return;
    status_->result = id;
    if (dialogListener)
        dialogListener->DialogButtonDepress(dialogId, id);
}

int Dialog::WaitForResult(bool killAfter)
{
    NubraAppBase* app = gNubraAppBase;
    // Held here: the dialog may be killed and deleted during any of the steps.
    const std::shared_ptr<Status> status = status_;
    bool updated = false;
    while (app && app->UpdateAppStep(updated) && status->alive && manager && status->result == kNoResult) {
    }
    if (killAfter && app && status->alive)
        app->KillDialog(this);
    return status->result;
}

} // namespace Nubra
