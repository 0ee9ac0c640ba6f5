#pragma once
#include <pugixml.hpp>

#include <functional>
#include <string>

class TCCandyWidget;
class TCDialog;

// Makes the control of one element type as a child of the dialog and loads it from the element;
// null when it makes nothing.
using TCControlBuilder = std::function<TCCandyWidget*(TCDialog& parent, pugi::xml_node element)>;

// The control types that packages beyond the dialog's own add; a type registered again replaces
// the earlier builder.
void RegisterControlType(const std::string& type, TCControlBuilder build);
// Null for a type no one builds. Type names compare exactly.
const TCControlBuilder* FindControlBuilder(const std::string& type);
