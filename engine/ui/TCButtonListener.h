#pragma once
#include <cstdint>

// What a studio button tells its owner. Ids are pointer-sized because a button built from the
// UI document carries its own address as its id, which screens compare with the buttons they
// looked up by name. Every notice is ignored unless overridden.
class TCButtonListener {
public:
    virtual ~TCButtonListener() = default;

    virtual void ButtonPress(intptr_t id, int clickCount)
    {
        (void)id;
        (void)clickCount;
    }
    // A completed click: released over the button while the application has focus.
    virtual void ButtonDepress(intptr_t id) { (void)id; }
    // Once per update step while the button is held and under the mouse.
    virtual void ButtonDownTick(intptr_t id) { (void)id; }
    virtual void ButtonMouseEnter(intptr_t id) { (void)id; }
    virtual void ButtonMouseLeave(intptr_t id) { (void)id; }
    virtual void ButtonMouseMove(intptr_t id, int x, int y)
    {
        (void)id;
        (void)x;
        (void)y;
    }
};
