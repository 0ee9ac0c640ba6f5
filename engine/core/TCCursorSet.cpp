#include "engine/core/TCCursorSet.h"

#include "engine/core/TCDebugSettings.h"
#include "engine/core/XmlHelpers.h"
#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"

namespace {

// The framework's pointer that draws nothing.
constexpr int kNoPointer = 12;

} // namespace

void TCCursorSet::Load(pugi::xml_node root)
{
    ForEachNode(root, "cursors", [this](pugi::xml_node node) {
        std::string mode, image;
        if (!XmlGetString(node, "mode", mode) || !XmlGetString(node, "image", image))
            return true;
        TCImageRef ref = FindTexture(image);
        if (!ref || entries_.count(mode))
            return true;
        Entry& entry = entries_[mode];
        entry.image = ref;
        entry.image.Lock();
        XmlGetInt(node, "hot_spot_x", entry.hotSpotX);
        XmlGetInt(node, "hot_spot_y", entry.hotSpotY);
        return true;
    });
}

void TCCursorSet::SetCursor(const std::string& mode)
{
    auto found = entries_.find(mode);
    if (found == entries_.end())
        mode_.clear();
    else
        mode_ = mode;
    const bool hasImage = found != entries_.end() && found->second.image.GetDesc()->GetImage();
    if (!hasImage || DebugSettings().SimpleCursor) {
        current_ = nullptr;
        UseSystemCursor();
        return;
    }
    current_ = &found->second;
    if (app_) {
        app_->EnableCustomCursors(true);
        app_->SetCursor(kNoPointer);
    }
}

void TCCursorSet::UseSystemCursor()
{
    if (!app_)
        return;
    app_->EnableCustomCursors(false);
    app_->SetCursor(0);
    app_->SetCursorImage(kNoPointer, nullptr);
}

void TCCursorSet::Draw(Nubra::Graphics* g)
{
    if (!shown_ || !current_ || !app_)
        return;
    Nubra::MemoryImage* image = current_->image.GetImage();
    if (!image)
        return;
    g->DrawImage(image, app_->widgetManager->lastMouseX - current_->hotSpotX, app_->widgetManager->lastMouseY - current_->hotSpotY);
}

void TCCursorSet::Clear()
{
    current_ = nullptr;
    UseSystemCursor();
    for (auto& [mode, entry] : entries_)
        entry.image.Unlock();
}
