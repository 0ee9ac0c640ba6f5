#include "game/sim/TCBoard_Game.h"

#include "engine/core/Log.h"
#include "engine/core/TCDebugSettings.h"
#include "engine/core/TCEngine.h"
#include "framework/graphics/Graphics.h"
#include "framework/text/Font.h"
#include "framework/util/StringUtils.h"
#include "game/sim/TCBoardCore.h"

TCBoard_Game::TCBoard_Game(TCCandyWidget* parent, TCBoardCore& core) : TCCandyWidget(parent), core_(core)
{
    SetName("board");
    if (gTCEngine)
        Resize(0, 0, gTCEngine->width, gTCEngine->height);
    else
        Resize(0, 0, kScreenWidth, kScreenHeight);
}

void TCBoard_Game::Update()
{
    TCCandyWidget::Update();
    core_.Update();
}

void TCBoard_Game::KeyUp(int key)
{
    TCCandyWidget::KeyUp(key);
    core_.KeyUp(key);
}

void TCBoard_Game::Draw(Nubra::Graphics* g)
{
    TCCandyWidget::Draw(g);
    core_.Draw(*g);
    if (IsDeveloperMode())
        DrawWatchLines(*g);
}

void TCBoard_Game::DrawWatchLines(Nubra::Graphics& g)
{
    Nubra::Font* font = DebugSettings().GetMonoFont();
    if (!font || core_.GetDebugWatches().empty())
        return;
    g.SetFont(font);
    g.SetColor(Nubra::Color(255, 255, 255));
    int baseline = font->GetAscent();
    for (const auto& [name, line] : core_.GetDebugWatches()) {
        g.DrawString(Nubra::StringToWString(line), 0, baseline);
        baseline += font->GetHeight();
    }
}

void TCBoard_Game::SetVisible(bool visible)
{
    TCCandyWidget::SetVisible(visible);
    core_.SetShown(visible);
}

void TCBoard_Game::MouseMove(int x, int y)
{
    TCCandyWidget::MouseMove(x, y);
    core_.UpdateHover(x, y);
}

void TCBoard_Game::MouseDown(int x, int y, int button, int clickCount)
{
    (void)clickCount;
    core_.MouseDown(x, y, button);
}

void TCBoard_Game::OnShow()
{
    if (parent)
        parent->SetFocus(this);
}

void TCBoard_Game::OnHide()
{
    if (parent)
        parent->SetFocus(nullptr);
}
