#include "engine/ui/TCEditWidget.h"

#include <algorithm>

#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/Font.h"
#include "framework/util/StringUtils.h"
#include "platform/VirtualKeys.h"

TCEditWidget::TCEditWidget(TCCandyWidget* parent) : TCCandyWidget(parent) { wantsFocus = true; }

void TCEditWidget::LoadFromXml(pugi::xml_node node, TCEngine*)
{
    TCCandyWidget::LoadFromXml(node);
    int maxLength = kDefaultMaxLength;
    XmlGetInt(node, "maxlen", maxLength);
    maxLength_ = size_t(std::max(maxLength, 0));
    ReadTextStyle(node, kTextStyleNames[kStyleNormal], style_);
}

void TCEditWidget::SetText(const std::wstring& text)
{
    text_ = text.substr(0, maxLength_);
    MoveCaret(text_.size());
}

void TCEditWidget::MoveCaret(size_t to)
{
    caret_ = std::min(to, text_.size());
    // The caret shows at once wherever it went.
    caretOn_ = true;
    blinkClock_ = 0.0f;
}

void TCEditWidget::Insert(wchar_t c)
{
    if (text_.size() >= maxLength_)
        return;
    text_.insert(caret_, 1, c);
    MoveCaret(caret_ + 1);
}

void TCEditWidget::KeyChar(char16_t unit)
{
    if (Nubra::IsHighSurrogate(unit)) {
        highSurrogate_ = unit;
        return;
    }
    if (Nubra::IsLowSurrogate(unit)) {
        if (highSurrogate_)
            Insert(wchar_t(Nubra::JoinSurrogates(highSurrogate_, unit)));
        highSurrogate_ = 0;
        return;
    }
    highSurrogate_ = 0;
    if (unit == plat::kVkBack) {
        if (caret_ > 0) {
            text_.erase(caret_ - 1, 1);
            MoveCaret(caret_ - 1);
        }
    } else if (unit >= 32 && unit != 127) {
        Insert(wchar_t(unit));
    }
}

void TCEditWidget::KeyDown(int key)
{
    switch (key) {
    case plat::kVkDelete:
        if (caret_ < text_.size())
            text_.erase(caret_, 1);
        MoveCaret(caret_);
        break;
    case plat::kVkLeft:
        MoveCaret(caret_ > 0 ? caret_ - 1 : 0);
        break;
    case plat::kVkRight:
        MoveCaret(caret_ + 1);
        break;
    case plat::kVkHome:
        MoveCaret(0);
        break;
    case plat::kVkEnd:
        MoveCaret(text_.size());
        break;
    default:
        TCCandyWidget::KeyDown(key);
    }
}

void TCEditWidget::GotFocus()
{
    TCCandyWidget::GotFocus();
    MoveCaret(caret_);
}

void TCEditWidget::Update()
{
    TCCandyWidget::Update();
    blinkClock_ += UpdateStep();
    // Steps of a hundredth do not add up to exactly a half in floats.
    if (blinkClock_ >= kBlinkSeconds - 1e-4f) {
        blinkClock_ -= kBlinkSeconds;
        caretOn_ = !caretOn_;
    }
}

void TCEditWidget::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
    Nubra::Font* font = style_.font;
    if (font) {
        const int baseline = (height - font->GetHeight()) / 2 + font->GetAscent();
        g->SetFont(font);
        g->SetColor(disabled ? style_.disabledColor : style_.color);
        g->DrawString(text_, 0, baseline);
        if (hasFocus && caretOn_) {
            const int caretX = font->StringWidth(text_.substr(0, caret_));
            g->FillRect(caretX, baseline - font->GetAscent(), 1, font->GetHeight());
        }
    }
    DrawOutlineIfAsked(g, *this);
}
