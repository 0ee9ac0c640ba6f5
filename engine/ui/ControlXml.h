#pragma once
#include <pugixml.hpp>

#include <initializer_list>
#include <utility>

#include "engine/ui/TCTextStyle.h"

class TCCandyWidget;
class TCTexture;

// A hexadecimal AARRGGBB attribute; false, leaving `out`, when it is missing.
bool ReadHexColor(pugi::xml_node node, const char* name, Nubra::Color& out);

// The control's "textattr" child of that id; false when there is none. Colours are hexadecimal
// AARRGGBB; the hover and disabled colours default to the colour.
bool ReadTextStyle(pugi::xml_node control, const char* id, TCTextStyle& style);

// The control's texture[@id=name], sized to the control, added under that id; null when absent.
TCTexture* LoadStateTexture(TCCandyWidget& control, pugi::xml_node node, const char* name, int id);

// For each (name, id): LoadStateTexture.
void LoadStateTextures(TCCandyWidget& control, pugi::xml_node node,
                       std::initializer_list<std::pair<const char*, int>> textures);

// The first child of that element name whose "id" is exactly `id`.
pugi::xml_node ChildWithId(pugi::xml_node node, const char* element, const char* id);

// Whether the texture is there and has a declared image to show.
bool HasFrames(const TCTexture* texture);

// A disabled control shows its disabled look when it has one, its normal look otherwise.
void ShowNormalOrDisabledLook(TCTexture* normal, TCTexture* disabledLook, bool disabled);
