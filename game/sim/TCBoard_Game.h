#pragma once
#include "engine/ui/TCCandyWidget.h"

class TCBoardCore;

// The game board on screen: a widget over the whole screen that hands its step, its drawing and
// the mouse to the board's rules, and takes the keyboard while it is shown.
class TCBoard_Game : public TCCandyWidget {
public:
    TCBoard_Game(TCCandyWidget* parent, TCBoardCore& core);

    void Update() override;
    void Draw(Nubra::Graphics* g) override;
    void SetVisible(bool visible) override;
    void MouseMove(int x, int y) override;
    void MouseDown(int x, int y, int button, int clickCount) override;
    void KeyUp(int key) override;
    void OnShow() override;
    void OnHide() override;

    TCBoardCore& GetCore() { return core_; }

private:
    void DrawWatchLines(Nubra::Graphics& g);

    TCBoardCore& core_;
};
