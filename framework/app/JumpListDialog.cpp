#include "framework/app/JumpListDialog.h"

#include "framework/app/NubraAppBase.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/SysFont.h"
#include "framework/util/StringUtils.h"
#include "framework/widgets/ButtonWidget.h"

namespace Nubra {
namespace {

constexpr int kRowHeight = 18;
constexpr int kRowPadding = 4;
constexpr int kWidth = 400;
constexpr int kHeight = 400;

} // namespace

std::vector<JumpListItem> JumpListItems(const std::vector<DemoJumpPoint>& points, uint32_t updateCount,
                                        uint32_t demoLength, int32_t updatePeriod)
{
    std::vector<JumpListItem> items;
    for (const DemoJumpPoint& point : points) {
        if (int32_t(point.update) <= int32_t(updateCount))
            continue;
        const int64_t seconds = (int64_t(demoLength) - int64_t(point.update)) * updatePeriod / 1000;
        items.push_back({StrFormat("%s (%02d:%02d:%02d)", point.name.c_str(), int(seconds / 3600),
                                   int(seconds / 60 % 60), int(seconds % 60)),
                         point.update});
    }
    return items;
}

JumpListDialog::JumpListDialog(NubraAppBase* app)
    : Dialog(nullptr, nullptr, kDialogId, true, L"Marker List", L"", L"Close", kFooterButton),
      items(JumpListItems(app->demoJumpPoints, app->updateCount, app->demoLength, app->updatePeriod)),
      app_(app),
      wasPaused_(app->paused)
{
    dialogListener = this;
    app_->demoMarkerListOpen = true;
    app_->paused = true;
    Resize((app->width - kWidth) / 2, (app->height - kHeight) / 2, kWidth, kHeight);
}

JumpListDialog::~JumpListDialog()
{
    app_->demoMarkerListOpen = false;
    app_->paused = wasPaused_;
    app_->ResetUpdateTiming(false);
}

int JumpListDialog::ListTop() const { return backgroundInsets.top + kRowHeight + spaceAfterHeader; }

int JumpListDialog::RowAt(int localY) const
{
    const int offset = localY - ListTop();
    if (offset < 0)
        return -1;
    const int row = offset / kRowHeight;
    return row < int(items.size()) ? row : -1;
}

void JumpListDialog::Draw(Graphics* g)
{
    Dialog::Draw(g);
    if (!linesFont)
        linesFont = std::make_unique<SysFont>(app_, ButtonWidget::kDefaultFontFace, 12, 0);
    g->SetFont(linesFont.get());
    const int left = backgroundInsets.left;
    const int rowWidth = width - backgroundInsets.left - backgroundInsets.right;
    for (int row = 0; row < int(items.size()); ++row) {
        const int top = ListTop() + row * kRowHeight;
        if (row == selected) {
            g->SetColor(GetColor(kLines));
            g->FillRect(left, top, rowWidth, kRowHeight);
            g->SetColor(GetColor(kBoxFill));
        } else {
            g->SetColor(GetColor(kLines));
        }
        g->DrawString(StringToWString(items[size_t(row)].text), left + kRowPadding, top + linesFont->GetAscent());
    }
}

void JumpListDialog::MouseDown(int mouseX, int mouseY, int button, int clickCount)
{
    const int row = RowAt(mouseY);
    if (row >= 0 && row != selected) {
        selected = row;
        MarkDirty();
    }
    if (clickCount == 2)
        JumpToSelected();
    else
        Dialog::MouseDown(mouseX, mouseY, button, clickCount);
}

bool JumpListDialog::JumpToSelected()
{
    if (selected < 0 || selected >= int(items.size()))
        return false;
    const uint32_t target = items[size_t(selected)].update;
    if (int32_t(target) > int32_t(app_->updateCount))
        app_->demoJumpTarget = target;
    app_->KillDialog(this);
    return true;
}

void JumpListDialog::DialogButtonPress(int dialogId, int buttonId)
{
    (void)dialogId;
    (void)buttonId;
}

void JumpListDialog::DialogButtonDepress(int dialogId, int buttonId)
{
    (void)dialogId;
    if (buttonId == kYesButton)
        app_->KillDialog(this);
}

int DoJumpListDialog()
{
    NubraAppBase* app = gNubraAppBase;
    if (!app || !app->playingDemo || app->GetDialog(JumpListDialog::kDialogId))
        return 0;
    app->AddDialog(new JumpListDialog(app));
    return 0;
}

} // namespace Nubra
