#pragma once
#include <string>

#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCTextStyle.h"

class TCEngine;

// A line of text the player types into: focus on a click, characters from the keyboard up to a
// length, Backspace and Delete, the caret moved by Left, Right, Home and End and blinking.
class TCEditWidget : public TCCandyWidget {
public:
    static constexpr int kDefaultMaxLength = 16;
    static constexpr float kBlinkSeconds = 0.5f;

    explicit TCEditWidget(TCCandyWidget* parent);

    // The common attributes, "maxlen" and the "normal" text style.
    void LoadFromXml(pugi::xml_node node, TCEngine* app);

    const std::wstring& GetText() const { return text_; }
    // Cut to the length; the caret goes to the end.
    void SetText(const std::wstring& text);
    size_t GetCaret() const { return caret_; }
    bool IsCaretOn() const { return caretOn_; }

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void KeyChar(char16_t unit) override;
    void KeyDown(int key) override;
    void GotFocus() override;

private:
    void Insert(wchar_t c);
    void MoveCaret(size_t to);

    std::wstring text_;
    size_t caret_ = 0;
    size_t maxLength_ = kDefaultMaxLength;
    TCTextStyle style_;
    char16_t highSurrogate_ = 0; // the first half of a character beyond 16 bits
    float blinkClock_ = 0.0f;
    bool caretOn_ = true;
};
