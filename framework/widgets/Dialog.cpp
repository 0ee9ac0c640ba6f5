#include "framework/widgets/Dialog.h"

#include "framework/app/NubraAppBase.h"

namespace Nubra {
namespace {

bool IsDialogButton(int id) { return id == Dialog::kYesButton || id == Dialog::kNoButton; }

} // namespace

Dialog::Dialog(Image* frame, Image* buttonFrame, int id, bool isModal, const std::wstring& headerText,
               const std::wstring& linesText, const std::wstring& footerText, int mode)
    : dialogListener(gNubraAppBase),
      frameImage(frame),
      buttonFrameImage(buttonFrame),
      header(headerText),
      footer(footerText),
      lines(linesText),
      buttonMode(mode),
      dialogId(id),
      modal(isModal)
{
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
    result = id;
    if (dialogListener)
        dialogListener->DialogButtonDepress(dialogId, id);
}

} // namespace Nubra
