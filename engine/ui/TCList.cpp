#include "engine/ui/TCList.h"

#include <algorithm>

#include "engine/core/Log.h"
#include "engine/core/TCTextureTable.h"
#include "engine/core/XmlHelpers.h"
#include "engine/ui/ControlDrawing.h"
#include "engine/ui/ControlXml.h"
#include "engine/ui/TCButton.h"
#include "engine/ui/TCScrollBar.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/text/Font.h"

TCList::TCList(TCCandyWidget* parent) : TCCandyWidget(parent) {}

TCList::~TCList() = default;

void TCList::LoadFromXml(pugi::xml_node node, TCEngine* app)
{
    XmlGetInt(node, "line_spacing", rowHeight_);
    XmlGetInt(node, "left", left_);
    ReadHexColor(node, "sel_color", selectionColor_);
    TCCandyWidget::LoadFromXml(node);
    textWidth_ = width - left_;
    LoadScrollBar(node.find_child_by_attribute("element", "name", "scroll"), app);
    for (int index = kListStyles - 1; index >= 0; --index) {
        TCTextStyle style;
        if (ReadTextStyle(node, kTextStyleNames[index], style))
            SetTextStyle(index, style.font, style.color, style.disabledColor);
    }
    LoadStateTextures(*this, node, {{"normal", kNormalTexture}, {"disabled", kDisabledTexture}});
    LoadCheckTexture(ChildWithId(node, "texture", "check"));
    if (rowHeight_ <= 0)
        WriteLog("WARNING: list \"%s\" has no positive line_spacing; rows are %d high", GetName().c_str(),
                 RowHeight());
    const Nubra::Rect& layout = GetLayoutRect();
    Resize(layout.x, layout.y, layout.width, layout.height);
}

void TCList::LoadScrollBar(pugi::xml_node node, TCEngine* app)
{
    if (!node)
        return;
    scroll_ = new TCScrollBar(this);
    scroll_->LoadFromXml(node, app);
    AddChild("scroll", scroll_);
    const int barWidth = scroll_->width;
    scroll_->Resize(width - barWidth, 0, barWidth, height);
    textWidth_ = width - barWidth - left_;
    TCButton* up = scroll_->GetButton(TCScrollBar::kUp);
    TCButton* down = scroll_->GetButton(TCScrollBar::kDown);
    TCButton* slider = scroll_->GetButton(TCScrollBar::kSlider);
    const int upHeight = up ? up->height : 0;
    const int downHeight = down ? down->height : 0;
    if (up)
        up->Move(0, 0);
    if (down)
        down->Move(0, height - downHeight);
    scroll_->SetSliderPath(0, upHeight, 0, height - downHeight - (slider ? slider->height : 0));
}

void TCList::LoadCheckTexture(pugi::xml_node node)
{
    if (!node)
        return;
    std::string id;
    XmlGetString(node, "texture", id);
    TCImageRef ref = FindTexture(id);
    const Nubra::MemoryImage* image = ref.GetImage();
    Nubra::Rect source;
    XmlGetInt(node, "u", source.x);
    XmlGetInt(node, "v", source.y);
    source.width = image ? image->GetWidth() - source.x : 0;
    source.height = image ? image->GetHeight() - source.y : 0;
    XmlGetInt(node, "width", source.width);
    XmlGetInt(node, "height", source.height);
    check_.SetImage(ref, source);
    check_.LockFrames();
}

void TCList::SetTextStyle(int index, Nubra::Font* font, const Nubra::Color& color, const Nubra::Color& disabledColor)
{
    if (index < 0 || index >= kListStyles)
        return;
    styles_[size_t(index)] = {font, color, color, disabledColor};
    Invalidate();
}

void TCList::SetTexturesImage(const std::string& imageId)
{
    for (int id : {kNormalTexture, kDisabledTexture})
        if (TCTexture* texture = GetTexture(id))
            texture->SetImage(FindTexture(imageId), texture->GetRect());
}

void TCList::AddItem(const std::wstring& text)
{
    items_.push_back(text);
    UpdateScrollRange();
    Invalidate();
}

void TCList::Clear()
{
    items_.clear();
    UpdateScrollRange();
    Invalidate();
}

void TCList::SetCheckRow(int index)
{
    checkRow_ = index;
    Invalidate();
}

void TCList::SetSelected(int index)
{
    selected_ = index;
    Invalidate();
}

int TCList::RowHeight() const
{
    if (rowHeight_ > 0)
        return rowHeight_;
    Nubra::Font* font = styles_[kStyleNormal].font;
    return font ? std::max(font->GetHeight(), 1) : 1;
}

void TCList::UpdateScrollRange()
{
    if (!scroll_)
        return;
    int maximum = int(items_.size()) - visibleRows_;
    if (visibleRows_ * RowHeight() > height)
        ++maximum;
    scroll_->SetMax(std::max(maximum, 0));
}

void TCList::Resize(int newX, int newY, int newWidth, int newHeight)
{
    visibleRows_ = newHeight / RowHeight() + 1;
    TCCandyWidget::Resize(newX, newY, newWidth, newHeight);
    UpdateScrollRange();
    if (scroll_)
        scroll_->SetPosition(0);
    image_.reset();
}

void TCList::MouseDown(int, int y, int, int)
{
    const int rowHeight = RowHeight();
    const int row = topRow_ + y / rowHeight;
    if (row >= 0 && row < int(items_.size()))
        selected_ = row;
    // The selected row reaches below the bottom edge.
    if ((selected_ - topRow_ + 1) * rowHeight > height) {
        ++topRow_;
        if (scroll_)
            scroll_->SetPosition(topRow_);
    }
    Invalidate();
}

void TCList::SetDisabled(bool isDisabled)
{
    TCCandyWidget::SetDisabled(isDisabled);
    Invalidate();
}

void TCList::Update()
{
    if (scroll_ && scroll_->GetPosition() != topRow_) {
        topRow_ = scroll_->GetPosition();
        Invalidate();
    }
    ShowNormalOrDisabledLook(GetTexture(kNormalTexture), GetTexture(kDisabledTexture), disabled);
    TCCandyWidget::Update();
}

void TCList::Invalidate()
{
    imageValid_ = false;
    MarkDirty();
}

void TCList::RenderRows()
{
    imageValid_ = true;
    image_->Clear();
    Nubra::Graphics g(image_.get());
    const int rowHeight = RowHeight();
    const int checkWidth = check_.GetRect().width, checkHeight = check_.GetRect().height;
    for (int row = topRow_, y = 0; row >= 0 && row < int(items_.size()) && y < height; ++row, y += rowHeight) {
        if (row == selected_) {
            g.SetColor(selectionColor_);
            g.FillRect(0, y, textWidth_ + left_, rowHeight);
        }
        if (row == checkRow_)
            check_.DrawInto(&g, Nubra::Rect(0, y + (rowHeight - checkHeight) / 2, checkWidth, checkHeight));
        for (const TCTextStyle& style : styles_) {
            if (!style.font)
                continue;
            g.SetColor(disabled ? style.disabledColor : style.color);
            g.SetFont(style.font);
            g.clipRect = Nubra::Rect(0, 0, width, height);
            g.DrawString(items_[size_t(row)], left_,
                         y + (rowHeight - style.font->GetHeight()) / 2 + style.font->GetAscent());
        }
    }
}

void TCList::Draw(Nubra::Graphics* g)
{
    TintByEffectiveAlpha(g, *this);
    TCCandyWidget::Draw(g);
    if (width <= 0 || height <= 0)
        return;
    if (!image_) {
        image_ = std::make_unique<Nubra::MemoryImage>();
        image_->Create(width, height);
        imageValid_ = false;
    }
    if (!imageValid_)
        RenderRows();
    TintByEffectiveAlpha(g, *this);
    DrawThroughTransform(g, *this, image_.get());
    DrawOutlineIfAsked(g, *this);
}

void TCList::OnShown()
{
    TCCandyWidget::OnShown();
    check_.LockFrames();
}

void TCList::OnHidden()
{
    TCCandyWidget::OnHidden();
    check_.UnlockFrames();
    image_.reset();
}
