#include "engine/ui/TCControlFactory.h"

#include <map>

#include "engine/ui/TCAnim.h"
#include "engine/ui/TCBar.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCCheckBox.h"
#include "engine/ui/TCDialog.h"
#include "engine/ui/TCEditWidget.h"
#include "engine/ui/TCList.h"
#include "engine/ui/TCScrollBar.h"
#include "engine/ui/TCSlider.h"
#include "engine/ui/TCText.h"

namespace {

template <typename Dialog>
TCCandyWidget* BuildDialog(TCDialog& parent, pugi::xml_node element)
{
    auto* dialog = new Dialog(&parent, parent.GetApp());
    dialog->BuildFromXml(element);
    return dialog;
}

TCCandyWidget* BuildButton(TCDialog& parent, pugi::xml_node element)
{
    auto* button = new TCButton(&parent, 0, &parent);
    // Screens tell their buttons apart by address.
    button->SetId(reinterpret_cast<intptr_t>(button));
    button->LoadFromXml(element, parent.GetApp());
    return button;
}

TCCandyWidget* BuildText(TCDialog& parent, pugi::xml_node element)
{
    auto* text = new TCText(&parent, parent.GetApp());
    text->LoadFromXml(element, parent.GetApp());
    return text;
}

// A control made with its parent alone and loaded with the application.
template <typename Control>
TCCandyWidget* BuildControl(TCDialog& parent, pugi::xml_node element)
{
    auto* control = new Control(&parent);
    control->LoadFromXml(element, parent.GetApp());
    return control;
}

TCCandyWidget* BuildAnim(TCDialog& parent, pugi::xml_node element)
{
    auto* anim = new TCAnim(&parent);
    anim->LoadFromXml(element);
    return anim;
}

TCCandyWidget* BuildEdit(TCDialog& parent, pugi::xml_node element)
{
    auto* edit = new TCEditWidget(&parent);
    edit->LoadFromXml(element, parent.GetApp());
    return edit;
}

std::map<std::string, TCControlBuilder>& Builders()
{
    static std::map<std::string, TCControlBuilder> builders{
        {"tcbutton", BuildButton},
        {"tctext", BuildText},
        {"tcdialog", BuildDialog<TCDialog>},
        {"tctutorial", BuildDialog<TCTutorialDialog>},
        {"tcanim", BuildAnim},
        {"tcedit", BuildEdit},
        {"tcbar", BuildControl<TCBar>},
        {"tccheckbox", BuildControl<TCCheckBox>},
        {"tcslider", BuildControl<TCSlider>},
        {"tclist", BuildControl<TCList>},
        {"tcscroll", BuildControl<TCScrollBar>},
    };
    return builders;
}

} // namespace

void RegisterControlType(const std::string& type, TCControlBuilder build) { Builders()[type] = std::move(build); }

const TCControlBuilder* FindControlBuilder(const std::string& type)
{
    auto found = Builders().find(type);
    return found == Builders().end() ? nullptr : &found->second;
}
