#pragma once
#include <string>

#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/Widget.h"

namespace Nubra {

class DialogListener;
class Image;

// A message box of the framework with a header, body lines, a footer and up to two buttons.
class Dialog : public Widget, public ButtonListener {
public:
    enum { kYesButton = 1000, kNoButton = 1001 };
    static constexpr int kNoResult = 0x7fffffff;

    // Button modes: 0 none, 1 yes/no, 2 ok/cancel, 3 one button labelled with the footer.
    Dialog(Image* frameImage, Image* buttonFrameImage, int dialogId, bool modal, const std::wstring& header,
           const std::wstring& lines, const std::wstring& footer, int buttonMode);

    virtual bool IsModal() const { return modal; }

    // As the listener of its own buttons: reports them to the dialog listener.
    using ButtonListener::ButtonPress;
    void ButtonPress(int id) override;
    void ButtonDepress(int id) override;

    DialogListener* dialogListener;
    Image* frameImage;
    Image* buttonFrameImage;
    std::wstring header, footer, lines;
    int buttonMode;
    int dialogId;
    bool modal;
    int result = kNoResult;
};

} // namespace Nubra
