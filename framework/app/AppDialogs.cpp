// The application object's dialogs, kept by id.
#include <algorithm>

#include "framework/app/NubraAppBase.h"
#include "framework/widgets/Dialog.h"

namespace Nubra {
namespace {

constexpr int kYesButtonOffset = 2000;
constexpr int kNoButtonOffset = 3000;

} // namespace

Dialog* NubraAppBase::NewDialog(int id, bool modal, const std::wstring& title, const std::wstring& text,
                                const std::wstring& footer, int buttonMode)
{
    return new Dialog(nullptr, nullptr, id, modal, title, text, footer, buttonMode);
}

Dialog* NubraAppBase::DoDialog(int id, bool modal, const std::wstring& title, const std::wstring& text,
                               const std::wstring& footer, int buttonMode)
{
    Dialog* dialog = NewDialog(id, modal, title, text, footer, buttonMode);
    AddDialog(id, dialog);
    return dialog;
}

void NubraAppBase::AddDialog(Dialog* dialog) { AddDialog(dialog->dialogId, dialog); }

void NubraAppBase::AddDialog(int id, Dialog* dialog)
{
    if (GetDialog(id) == dialog)
        return;
    // A new dialog replaces the one shown under its id.
    KillDialog(id);
    dialogMap[id] = dialog;
    widgetManager->AddWidget(dialog);
    // A modal dialog shuts input off beneath it (its buttons lie above it) until it leaves.
    if (dialog->IsModal())
        widgetManager->AddBaseModal(dialog);
}

Dialog* NubraAppBase::GetDialog(int id) const
{
    auto found = dialogMap.find(id);
    return found == dialogMap.end() ? nullptr : found->second;
}

bool NubraAppBase::KillDialog(Dialog* dialog)
{
    auto found = std::find_if(dialogMap.begin(), dialogMap.end(),
                              [dialog](const auto& entry) { return entry.second == dialog; });
    return found != dialogMap.end() && KillDialog(found->first);
}

bool NubraAppBase::KillDialog(int id) { return KillDialog(id, true, true); }

bool NubraAppBase::KillDialog(int id, bool removeWidget, bool deleteWidget)
{
    auto found = dialogMap.find(id);
    if (found == dialogMap.end())
        return false;
    Dialog* dialog = found->second;
    dialogMap.erase(found);
    if (removeWidget && dialog->parent)
        dialog->parent->RemoveWidget(dialog);
    if (deleteWidget)
        SafeDeleteWidget(dialog);
    return true;
}

void NubraAppBase::DialogButtonPress(int dialogId, int buttonId)
{
    if (buttonId == Dialog::kYesButton)
        ButtonPress(dialogId + kYesButtonOffset);
    else if (buttonId == Dialog::kNoButton)
        ButtonPress(dialogId + kNoButtonOffset);
}

void NubraAppBase::DialogButtonDepress(int dialogId, int buttonId)
{
    if (buttonId == Dialog::kYesButton)
        ButtonDepress(dialogId + kYesButtonOffset);
    else if (buttonId == Dialog::kNoButton)
        ButtonDepress(dialogId + kNoButtonOffset);
}

} // namespace Nubra
