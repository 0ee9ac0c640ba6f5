#pragma once
#include <initializer_list>
#include <string>

class TCCandyWidget;
class TCLocalization;

// Helpers the screens share for the controls of their layouts.

// The first of the texture ids that the UI document declares; empty when none is.
std::string FirstKnownTexture(std::initializer_list<std::string> ids);

// Shows the declared texture as the widget's picture (its first texture); the picture stays as
// it was when the id is empty or the widget has no texture.
void SetPicture(TCCandyWidget* widget, const std::string& textureId);

// The label of a text or button control.
void SetControlLabel(TCCandyWidget* control, const std::wstring& label);

// The text of the id, or of the fallback id when the texts have none: content may leave a
// day's own text out.
std::wstring TextOr(const TCLocalization& texts, const std::string& id, const std::string& fallback);

// Both leave a control the layout does not have alone.
void SetControlShown(TCCandyWidget* control, bool shown);
void SetControlEnabled(TCCandyWidget* control, bool enabled);
