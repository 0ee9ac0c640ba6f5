#pragma once
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/TCTexture.h"
#include "engine/ui/TCCandyWidget.h"
#include "engine/ui/TCTextStyle.h"

namespace Nubra {
class MemoryImage;
}
class TCEngine;
class TCScrollBar;

// Rows of text drawn into a cached image in up to three styles, the selected row under a bar of
// its colour, a check mark on one row; a press selects, an optional scroll bar scrolls. It tells
// no one: screens read GetSelected.
class TCList : public TCCandyWidget {
public:
    static constexpr int kNormalTexture = 0;
    static constexpr int kDisabledTexture = 1;
    static constexpr int kListStyles = 3; // shadow, stroke, normal

    explicit TCList(TCCandyWidget* parent);
    ~TCList() override;

    virtual void LoadFromXml(pugi::xml_node node, TCEngine* app);
    // Index 0-2 (shadow, stroke, normal); others are ignored.
    virtual void SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color, const Nubra::Color& disabledColor);
    // The declared image of that id for the normal and the disabled texture.
    virtual void SetTexturesImage(const std::string& imageId);
    virtual void AddItem(const std::wstring& text);
    virtual void Clear();
    // -1: no row.
    virtual void SetCheckRow(int index);
    virtual int GetSelected() const { return selected_; }
    virtual void SetSelected(int index);

    using Nubra::Widget::Resize;
    void Resize(int x, int y, int width, int height) override;
    using Nubra::Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void SetDisabled(bool isDisabled) override;
    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void OnShown() override;
    void OnHidden() override;

    // "line_spacing" when positive, else the normal style's font height, else 1.
    int RowHeight() const;
    int GetVisibleRows() const { return visibleRows_; }
    int GetTopRow() const { return topRow_; }
    int GetCheckRow() const { return checkRow_; }
    int GetTextWidth() const { return textWidth_; }
    TCScrollBar* GetScrollBar() const { return scroll_; }
    const std::vector<std::wstring>& GetItems() const { return items_; }
    Nubra::MemoryImage* GetImage() const { return image_.get(); }

private:
    void LoadScrollBar(pugi::xml_node node, TCEngine* app);
    void LoadCheckTexture(pugi::xml_node node);
    // The scroll maximum for the rows and items there are now.
    void UpdateScrollRange();
    void RenderRows();
    void Invalidate();

    TCScrollBar* scroll_ = nullptr;
    Nubra::Color selectionColor_;
    int rowHeight_ = -1;
    int topRow_ = 0;
    int visibleRows_ = 0;
    int selected_ = 0;
    bool imageValid_ = false;
    std::array<TCTextStyle, kListStyles> styles_{};
    TCTexture check_;
    int checkRow_ = -1;
    std::unique_ptr<Nubra::MemoryImage> image_;
    std::vector<std::wstring> items_;
    int textWidth_ = 0;
    int left_ = 0;
};
