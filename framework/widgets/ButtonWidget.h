#pragma once
#include <memory>
#include <string>

#include "framework/graphics/Rect.h"
#include "framework/widgets/Widget.h"

namespace Nubra {

class ButtonListener;
class Font;
class Image;

// A push button, drawn from an image per state or, without images, as a plain bevelled box.
// It reports presses, completed clicks, held ticks and hovering to its listener by its id.
class ButtonWidget : public Widget {
public:
    enum Colour { kLabel, kLabelOver, kDarkEdge, kLightEdge, kMiddleEdge, kBackground };
    enum Justification { kCentred = 0, kRight = 1, kLeft = -1 }; // any other value is left too
    static constexpr const char* kDefaultFontFace = "Arial Unicode MS";

    ButtonWidget(int id, ButtonListener* listener);
    ~ButtonWidget() override;

    // A zero-width source rectangle draws the whole image.
    virtual void DrawButtonImage(Graphics* g, Image* image, const Rect& srcRect, int drawX, int drawY);
    // The font is the caller's and must outlive its use here.
    virtual void SetFont(Font* newFont);
    virtual bool IsButtonDown() const { return isDown && isOver && !disabled; }

    void SetDisabled(bool isDisabled) override;
    void Update() override;
    void Draw(Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int mouseX, int mouseY) override;
    using Widget::MouseDown;
    using Widget::MouseUp;
    void MouseDown(int mouseX, int mouseY, int button, int clickCount) override;
    void MouseUp(int mouseX, int mouseY, int button, int clickCount) override;

    // A state has a look when its image is set or its source rectangle has a width; a state
    // without an image of its own takes its rectangle from the button image.
    bool HasLook(const Image* image, const Rect& srcRect) const { return image || srcRect.width != 0; }
    bool HasOverLook() const { return HasLook(overImage, overRect); }

    int id;
    std::wstring label;
    int labelJustify = kCentred;
    Font* font = nullptr; // in use; either the caller's or ownFont
    Image* buttonImage = nullptr; // none of the images is owned
    Image* overImage = nullptr;
    Image* downImage = nullptr;
    Image* disabledImage = nullptr;
    Rect normalRect, overRect, downRect, disabledRect;
    bool inverted = false; // swaps the pressed and released looks
    bool drawNothing = false;
    bool frameDrawOff = false; // no background or bevel on the plain box
    ButtonListener* listener; // not owned
    double overAlpha = 0.0; // opacity of the highlight
    double overAlphaSpeed = 0.0; // fade-out step per update
    double overAlphaFadeInSpeed = 0.0;

protected:
    // The label's font, made on first use when none was given.
    void EnsureFont(int pointSize, int charSet);
    // The label with the given colour index at (labelX, labelY); nothing without a font.
    void DrawLabel(Graphics* g, int colourIndex, int labelX, int labelY);
    // Hover changes the look unless the button is up, has no highlight and one label colour.
    bool HoverChangesLook() const;
    Color OverColour() const; // white at the over alpha

    std::unique_ptr<Font> ownFont;

private:
    void DrawPlainBox(Graphics* g, bool pressed);
    void DrawImages(Graphics* g, bool pressed);
    Image* LookImage(Image* image) const { return image ? image : buttonImage; }
};

} // namespace Nubra
