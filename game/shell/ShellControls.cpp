#include "game/shell/ShellControls.h"

#include "engine/core/TCLocalization.h"
#include "engine/core/TCTexture.h"
#include "engine/core/TCTextureTable.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCText.h"
#include "framework/util/StringUtils.h"

std::string FirstKnownTexture(std::initializer_list<std::string> ids)
{
    for (const std::string& id : ids)
        if (FindTexture(id))
            return id;
    return {};
}

void SetPicture(TCCandyWidget* widget, const std::string& textureId)
{
    TCTexture* texture = widget && !textureId.empty() ? widget->GetTexture(0) : nullptr;
    if (texture)
        texture->SetImage(FindTexture(textureId));
}

void SetControlLabel(TCCandyWidget* control, const std::wstring& label)
{
    if (TCText* text = control ? control->AsText() : nullptr)
        text->SetLabel(label);
    else if (auto* button = dynamic_cast<TCButton*>(control))
        button->SetLabel(label);
}

std::wstring TextOr(const TCLocalization& texts, const std::string& id, const std::string& fallback)
{
    std::wstring text = texts.GetText(id);
    return text == L"$" + Nubra::Utf8ToWString(id) ? texts.GetText(fallback) : text;
}

void SetControlShown(TCCandyWidget* control, bool shown)
{
    if (control)
        control->SetVisible(shown);
}

void SetControlEnabled(TCCandyWidget* control, bool enabled)
{
    if (control)
        control->SetDisabled(!enabled);
}
