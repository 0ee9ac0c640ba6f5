#pragma once
#include <cstdint>
#include <string>

#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCLabelImage.h"
#include "engine/ui/TCTextStyle.h"

class TCButtonListener;
class TCEngine;

// Which of a button's four textures show for a state. "Usable" means present with frames.
struct TCButtonLook {
    bool normal = false, over = false, down = false, disabled = false;
    bool operator==(const TCButtonLook&) const = default;
};
enum class TCButtonState { Idle, Hovered, Pressed, Disabled };
struct TCOverTexture {
    bool usable = false;
    bool additive = false; // drawn on top of the normal texture rather than in its place
};
TCButtonLook ChooseButtonLook(TCButtonState state, bool downUsable, TCOverTexture over);

// The push button of the screens: a texture per state, a localised label in up to four styles,
// hover and click sounds, the "active" cursor while hovered, and notices to its listener.
class TCButton : public TCCandyWidget {
public:
    static constexpr int kNormalTexture = 0;
    static constexpr int kOverTexture = 1;
    static constexpr int kDownTexture = 2;
    static constexpr int kDisabledTexture = 3;

    TCButton(TCCandyWidget* parent, intptr_t id, TCButtonListener* listener);
    ~TCButton() override;

    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    // Index 0-3 (shadow, stroke, normal, gradient); others are ignored.
    virtual void SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color, const Nubra::Color& hoverColor,
                              const Nubra::Color& disabledColor);
    // The declared image of that id for every state texture the button has.
    virtual void SetStateImages(const std::string& imageId);
    virtual void SetStateImage(const std::string& imageId, int textureId);
    virtual void SetLabel(const std::wstring& text);
    virtual void SetId(intptr_t id) { id_ = id; }

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void OnHidden() override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int x, int y) override;
    using Nubra::Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    using Nubra::Widget::MouseUp;
    void MouseUp(int x, int y, int button, int clickCount) override;

    intptr_t GetId() const { return id_; }
    const std::wstring& GetLabel() const { return label_; }
    const TCLabelImage& GetLabelImage() const { return image_; }
    const std::string& GetHoverSound() const { return hoverSound_; }
    const std::string& GetClickSound() const { return clickSound_; }

private:
    TCButtonState State() const;
    void ShowTextures();
    // The look may have changed.
    void Touch();

    intptr_t id_;
    std::wstring label_;
    TCLabelLayout layout_;
    std::string hoverSound_, clickSound_;
    TCTextStyles styles_;
    TCButtonListener* listener_; // not owned
    TCLabelImage image_;
};
