#pragma once

namespace Nubra {

// What a button tells its owner. Every notice is ignored unless overridden.
class ButtonListener {
public:
    virtual ~ButtonListener() = default;

    virtual void ButtonPress(int id, int clickCount)
    {
        (void)clickCount;
        ButtonPress(id);
    }
    virtual void ButtonPress(int id) { (void)id; }
    virtual void ButtonDepress(int id) { (void)id; }
    virtual void ButtonDownTick(int id) { (void)id; }
    virtual void ButtonMouseEnter(int id) { (void)id; }
    virtual void ButtonMouseLeave(int id) { (void)id; }
    virtual void ButtonMouseMove(int id, int x, int y)
    {
        (void)id;
        (void)x;
        (void)y;
    }
};

} // namespace Nubra
